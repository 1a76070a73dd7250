#include "payroll/e_transf.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"

namespace qz {
namespace {

// Controls holding a text field as typed (memos included).
struct TextControl {
  int id;
  const char* field;
};
constexpr TextControl kTexts[] = {
    {510, "COD_PATRON"}, {511, "SUCURSAL"},   {512, "CUENTA"},     {513, "DIGITO"},
    {514, "COD_BANCO"},  {515, "ID_BANCO"},   {516, "TXT_EMPRES"}, {517, "ID_EMPRESA"},
    {518, "CENT_COSTO"}, {519, "TIPO_ID"},    {524, "CUENTA_CHE"}, {525, "ENCABEZADO"},
    {526, "DESPEDIDA"},  {527, "TXT_REPORT"},
};

// The electronic files the payroll can write for the banks (TIP_ARCH).
const std::pair<const char*, const char*> kFileTypes[] = {
    {"1", "Banco Nacional de Costa Rica"}, {"2", "Banco de Costa Rica"},
    {"3", "BAC Credomatic"},               {"4", "Banco Popular"},
    {"5", "Scotiabank"},                   {"6", "Archivo de texto genérico"},
};

// The file format versions (F_VERSION), as the banks named them.
const char* const kVersions[] = {"Antiguo",     "Actual",   "Int. Banking ",
                                 "B.Pop. 2005", "BCR(Y2K)", "BCR(Nuevo Formato)"};

double Num(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() && v->is_numeric() ? v->number() : 0;
}

}  // namespace

E_TRANSF::E_TRANSF(CatalogScreen& parent, const std::string& template_name,
                   const std::string& business, int mode)
    : WDIAG(parent.desktop(), &parent, template_name),
      parent_(parent),
      negocio_(business),
      tipo_(mode) {}

E_TRANSF::~E_TRANSF() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

void E_TRANSF::CerrarBases() {
  if (parent_disabled_) {
    parent_disabled_ = false;
    parent_.ENABLEWINDOW(true);
  }
}

bool E_TRANSF::Init() {
  try {
    return Open();
  } catch (...) {
    CerrarBases();  // the caller is usable again whatever failed
    throw;
  }
}

bool E_TRANSF::Open() {
  parent_.ENABLEWINDOW(false);
  parent_disabled_ = true;
  OnNCDestroy = [this] { CerrarBases(); };
  if (!INIT().ok()) {
    CerrarBases();
    return false;
  }
  ADD(1, [this] { PROCESAR(); });
  ADD(2, [this] { Terminar(2); });
  oMoneda_ = std::make_unique<CCOMBOBOX>(*this, kMoneda);
  oArchivo_ = std::make_unique<CCOMBOBOX>(*this, kArchivo);
  oVersion_ = std::make_unique<CCOMBOBOX>(*this, kVersion);
  oSerial_ = std::make_unique<CCOMBOBOX>(*this, kSerial);
  oBanco_ = std::make_unique<CCOMBOBOX>(*this, kBancoCheque);
  if (!CREATE().ok()) {
    CerrarBases();
    return false;
  }
  FillLists();
  if (tipo_ == 1) {
    recno_ = parent_.SelectedRecNo();
    parent_.main_table()->GoTo(recno_);
    LoadRow();
  } else {
    SetCheck(kOrdenCedula, 1);
    SetCheck(kCtaCorriente, 1);
    oVersion_->SEEKCARGO("1");
  }
  SetFocus(kCodigo);
  return true;
}

void E_TRANSF::Terminar(int result) {
  ENDDIALOG(result);
}

void E_TRANSF::Fill(CCOMBOBOX& combo, const std::string& table, const std::string& tag,
                    const std::string& scope) {
  TablePtr lookup = OpenTable(this, table);
  if (!lookup) return;
  xb::Table& t = lookup->table();
  std::optional<xb::Value> key = xb::Value::Char(negocio_ + scope);
  if (t.SetOrder(tag).ok() && t.SetScope(key, key).ok()) {
    for (t.GoTop(); !t.Eof(); t.Skip(1)) {
      auto code = t.Get("CODIGO");
      combo.ADD(FieldText(t, "DESCRIP"), code.ok() ? TrimRight(FromField(*code)) : "");
    }
  }
  CloseTable(lookup);
}

void E_TRANSF::FillLists() {
  Fill(*oMoneda_, "MONEDAS", "MONEDAS", "");
  Fill(*oSerial_, "SERIALES", "SERIAL3", "06       ");
  Fill(*oBanco_, "BANCOS", "BANCOS", "");
  for (const auto& [code, text] : kFileTypes) oArchivo_->ADD(text, code);
  for (int i = 0; i < 6; ++i) oVersion_->ADD(kVersions[i], std::to_string(i));
}

void E_TRANSF::LoadRow() {
  xb::Table& t = *parent_.main_table();
  auto code = t.Get("CODIGO");
  codigo_ = code.ok() && code->is_char() ? code->str() : std::string();
  codigo_.resize(parent_.setup().key_width, ' ');
  SetText(kCodigo, FieldText(t, "CODIGO"));
  SetText(kDescrip, FieldText(t, "DESCRIP"));
  for (const auto& c : kTexts) SetText(c.id, FieldText(t, c.field));
  oMoneda_->SEEKCARGO(FieldText(t, "MONEDA"));
  oSerial_->SEEKCARGO(FieldText(t, "SERIAL"));
  oBanco_->SEEKCARGO(FieldText(t, "BANCO_CHE"));
  oArchivo_->SEEKCARGO(std::to_string(static_cast<int>(Num(t, "TIP_ARCH"))));
  oVersion_->SEEKCARGO(std::to_string(static_cast<int>(Num(t, "F_VERSION"))));
  SetCheck(Num(t, "ORDEN") == 2 ? kOrdenNombre : kOrdenCedula, 1);
  SetCheck(Num(t, "TIPO_CTA") == 1 ? kCtaAhorros : kCtaCorriente, 1);
  SetCheck(kCero, Num(t, "XCHAR") == 1 ? 1 : 0);
  SetCheck(kCheque, Num(t, "CHEQUE") == 1 ? 1 : 0);
  SetCheck(kCtaPorEmpleado, Num(t, "CTA_X_EMP") == 1 ? 1 : 0);
}

void E_TRANSF::WriteFields(const std::string& code) {
  xb::Table& t = *parent_.main_table();
  // Older installations may lack some of the fields: those are skipped.
  auto put_text = [&t](const std::string& field, const std::string& utf8) {
    int i = t.FieldIndex(field);
    if (i < 0) return;
    int width = t.fields()[i].type == 'M' ? 0 : t.fields()[i].len;
    t.Put(i, xb::Value::Char(ToField(utf8, width)));
  };
  auto put_number = [&t](const std::string& field, double n) {
    if (t.FieldIndex(field) >= 0) t.Put(field, xb::Value::Number(n));
  };
  auto cargo_number = [](const std::optional<std::string>& c) {
    return c ? std::stod(*c) : 0.0;
  };
  t.Put("CODIGO", xb::Value::Char(code));
  put_text("DESCRIP", Text(kDescrip));
  for (const auto& c : kTexts) put_text(c.field, Text(c.id));
  put_text("MONEDA", oMoneda_->CURCARGO().value_or(""));
  if (auto serial = oSerial_->CURCARGO()) put_text("SERIAL", *serial);
  if (auto bank = oBanco_->CURCARGO()) put_text("BANCO_CHE", *bank);
  put_number("TIP_ARCH", cargo_number(oArchivo_->CURCARGO()));
  put_number("F_VERSION", cargo_number(oVersion_->CURCARGO()));
  put_number("ORDEN", Check(kOrdenNombre) ? 2 : 1);
  put_number("TIPO_CTA", Check(kCtaAhorros) ? 1 : 0);
  put_number("XCHAR", Check(kCero) ? 1 : 0);
  put_number("CHEQUE", Check(kCheque) ? 1 : 0);
  put_number("CTA_X_EMP", Check(kCtaPorEmpleado) ? 1 : 0);
}

void E_TRANSF::PROCESAR() {
  // Checked before anything is locked, so a refused form writes nothing.
  if (!oMoneda_->CURCARGO() || oMoneda_->CURCARGO()->empty()) {
    MESSAGE_BOX(kFaltaMoneda, "Error", kMbIconStop);
    SetFocus(kMoneda);
    return;
  }
  if (!oArchivo_->CURCARGO()) {
    MESSAGE_BOX(kFaltaArchivo, "Error", kMbIconStop);
    SetFocus(kArchivo);
    return;
  }
  CatalogSave save = parent_.SaveSettings(tipo_, this);
  save.recno = recno_;
  save.old_code = codigo_;
  std::string code = parent_.CodeFromText(Text(kCodigo));
  if (!BeginCatalogWrite(save, code)) return;  // the window stays open with what was typed
  WriteFields(code);
  FinishCatalogWrite(save);
  Terminar(1);
}

}  // namespace qz
