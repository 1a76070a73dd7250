#include "admin/moneda.h"

#include <memory>

#include "lib/data/transaction.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"

namespace qz {

namespace {

struct NumberBox {
  int id;
  const char* field;
  const char* picture;
};
const NumberBox kNumbers[] = {{MONEDA::kCambioMin, "CAMBIO_MIN", "999,999.99"},
                              {MONEDA::kSalCxp, "SAL_CXP", "999,999.9999"},
                              {MONEDA::kSalCxc, "SAL_CXC", "999,999.9999"}};

struct TextBox {
  int id;
  const char* field;
};
const TextBox kTexts[] = {
    {MONEDA::kDescrip, "DESCRIP"}, {MONEDA::kSimbolo, "SIMBOLO"}, {MONEDA::kSiglas, "SIGLAS"}};

// The code targets of the suite's documents, in the order they are re-keyed.
struct CodeRef {
  const char* table;
  const char* tag;
  const char* field;
};
const CodeRef kDocuments[] = {
    {"ENC_CHEQ", "ENC_CHE8", "MONEDA"},  {"PENC_CHE", "PENC_CHE6", "MONEDA"},
    {"PENC_CXP", "PENC_CXP9", "MONEDA"}, {"ENC_CXP", "ENC_CXP15", "MONEDA"},
    {"ENC_INV", "ENC_INV11", "MONEDA"},  {"DOCUMENT", "DOCUMEN11", "MONEDA"},
    {"PDOCUMEN", "DOCUMEN4", "MONEDA"},  {"ENC_PREC", "ENC_PREC2", "MONEDA"},
    {"DET_MON", "DET_MON", "MONEDA_1"},  {"DET_MON", "DET_MON2", "MONEDA_2"},
    {"T_CAMBIO", "T_CAMB4", "MONEDA2"},  {"T_CAMBIO", "T_CAMBIO", "MONEDA1"},
    {"PENC_PED", "DOCUMEN4", "MONEDA"},  {"ENC_HLIB", "ENC_HLIB12", "MONEDA"},
};

}  // namespace

std::vector<RekeyTarget> CurrencyReferences(const std::string& business, const std::string& code,
                                            uint32_t own_recno) {
  std::vector<RekeyTarget> out;
  for (const CodeRef& r : kDocuments)
    out.push_back(CodeTarget(r.table, r.tag, r.field, business, code));
  // Two references the document list leaves out, the business's accounting
  // currency and the other currencies' equivalence: renaming the accounting
  // currency without them would turn every conversion of the business into
  // "no rate" and every currency into an out-of-date warning.
  auto rows_of = [&](const char* table, const char* business_field, const char* field,
                     uint32_t skip) {
    RekeyTarget t;
    t.table = t.tag = table;
    t.field = field;
    t.seek = business;
    t.in_range = [business, business_field](const xb::Table& row) {
      return FieldBytes(row, business_field) == business;
    };
    t.wanted = [code, field, skip](const xb::Table& row, uint32_t recno) {
      return recno != skip && TrimRight(FieldBytes(row, field)) == TrimRight(code);
    };
    return t;
  };
  out.push_back(rows_of("NEGOCIOS", "CODIGO", "MONEDA_CON", 0));
  out.push_back(rows_of("MONEDAS", "NEGOCIO", "EQUIVAL", own_recno));
  return out;
}

MONEDA::MONEDA(Desktop& desktop, const std::string& template_name, const std::string& business)
    : CatalogScreen(desktop, template_name, business, Setup()) {}

CatalogSetup MONEDA::Setup() {
  CatalogSetup s;
  s.name = "MONEDA";
  s.table = "MONEDAS";
  s.tag = "MONEDAS";
  s.key_width = 2;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", "!!"}, {"Descrpción", "DESCRIP", std::string(40, '!')}};
  s.duplicate_on_add = "Código de MONEDA ya definido...";
  s.duplicate_on_modify = "Código de MONEDA Ya definido...";
  s.delete_question = "Desea borrar la Moneda?";
  s.edit_template = "MODIMONEDA";
  return s;
}

void MONEDA::Add() {
  DIALOG_BOX(desktop(), "MODIMONEDA", this,
             [this](WDIAG& d, int m, int64_t w, int64_t) { return Ctrl(d, m, w, 0); });
}

void MONEDA::Modify() {
  if (!HasCurrentRow()) {
    MESSAGE_BOX("No hay registros a modificar", "Aviso", kMbIconInformation);
    return;
  }
  DIALOG_BOX(desktop(), "MODIMONEDA", this,
             [this](WDIAG& d, int m, int64_t w, int64_t) { return Ctrl(d, m, w, 1); });
}

int MONEDA::Ctrl(WDIAG& dlg, int msg, int64_t wparam, int mode) {
  if (msg == kWmInitDialog) {
    Load(dlg, mode);
    dlg.SetFocus(kCodigo);
    return 1;
  }
  if (msg != kWmCommand) return 0;
  if (wparam == 2) {
    dlg.ENDDIALOG(2);
  } else if (wparam == 1 && Save(dlg, mode)) {
    dlg.ENDDIALOG(1);
  }
  return 1;
}

void MONEDA::Load(WDIAG& dlg, int mode) {
  xb::Table& t = *main_table();
  std::string equival;
  if (mode == 1) {
    Registro = SelectedRecNo();
    t.GoTo(Registro);
    Codigo = FieldBytes(t, "CODIGO");
    Codigo.resize(setup().key_width, ' ');
    Descrip = FieldText(t, "DESCRIP");
    dlg.SetText(kCodigo, FieldText(t, "CODIGO"));
    for (const auto& b : kTexts) dlg.SetText(b.id, FieldText(t, b.field));
    for (const auto& b : kNumbers) {
      std::string text = FormatNumber(FieldNumber(t, b.field), b.picture);
      dlg.SetText(b.id, text.substr(text.find_first_not_of(' ') == std::string::npos
                                        ? text.size()
                                        : text.find_first_not_of(' ')));
    }
    dlg.SetCheck(kNegativo, FieldNumber(t, "NEGATIVO") == 1 ? 1 : 0);
    equival = FieldText(t, "EQUIVAL");
  }
  // Every currency of the business may be the equivalent one.
  CCOMBOBOX combo(dlg, kEquival);
  const std::string business = Negocio();
  for (t.Seek(xb::Value::Char(business), true); !t.Eof() && FieldBytes(t, "NEGOCIO") == business;
       t.Skip(1))
    combo.ADD(FieldText(t, "DESCRIP"), FieldText(t, "CODIGO"));
  if (!equival.empty()) combo.SEEKCARGO(equival);
  if (mode == 1) t.GoTo(Registro);
}

bool MONEDA::Save(WDIAG& dlg, int mode) {
  for (const auto& b : kNumbers) {
    if (ParseNumber(dlg.Text(b.id))) continue;
    MESSAGE_BOX(NotANumberMessage(dlg.Text(b.id)), "Error", kMbIconStop);
    dlg.SetFocus(b.id);
    return false;
  }
  const std::string code = CodeFromText(dlg.Text(kCodigo));
  CatalogSave save = SaveSettings(mode, &dlg);
  std::unique_ptr<RekeyRows> rekey;
  if (mode == 1) {
    save.rekey = [&](const std::string& old_code, const std::string& new_code) {
      rekey = std::make_unique<RekeyRows>(CurrencyReferences(save.business, old_code, save.recno),
                                          old_code, new_code);
      rekey->Run();
    };
  }
  xb::Table& t = *main_table();
  // The currency and every row re-keyed to it form one transaction: the
  // server engine rolls all of it back when any part fails.
  START_TRANSACTION();
  try {
    if (!BeginCatalogWrite(save, code)) {
      END_TRANSACTION();
      return false;
    }
    t.Put("CODIGO", xb::Value::Char(code));
    for (const auto& b : kTexts)
      t.Put(b.field, xb::Value::Char(ToField(dlg.Text(b.id), FieldWidth(t, b.field))));
    for (const auto& b : kNumbers) t.Put(b.field, xb::Value::Number(*ParseNumber(dlg.Text(b.id))));
    t.Put("NEGATIVO", xb::Value::Number(dlg.Check(kNegativo) ? 1 : 0));
    std::string equival = CodeFromText(CCOMBOBOX(dlg, kEquival).CURCARGO().value_or(""));
    // A currency that named itself as its equivalent keeps doing so.
    if (mode == 1 && equival == Codigo) equival = code;
    t.Put("EQUIVAL", xb::Value::Char(TrimRight(equival).empty() ? std::string(2, ' ') : equival));
    FinishCatalogWrite(save);
    END_TRANSACTION();
  } catch (...) {
    if (rekey) rekey->Undo();
    if (mode == 1) t.UnlockRecord(save.recno);
    throw;
  }
  return true;
}

}  // namespace qz
