// The department editor: opening, loading and the header fields.
#include "payroll/departments/def_dto.h"

#include "lib/errors/error_handler.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "payroll/departments/brow_dto.h"
#include "payroll/form_fields.h"

namespace qz {
namespace {

using namespace def_dto;

// Fields bound one to one to a control.
const std::vector<BoundField>& HeaderFields() {
  static const std::vector<BoundField> kFields = {
      {kDescrip, "DESCRIP", BoundField::kText, ""},
      {kHoraIni, "HORA_INI", BoundField::kText, ""},
      {kHoraFin, "HORA_FIN", BoundField::kText, ""},
      {kUnidad, "UNIDAD", BoundField::kNumber, "9999"},
      {kDeptoHora, "DEPTO_HORA", BoundField::kCheck, ""},
      {kInactivo, "INACTIVO", BoundField::kCheck, ""},
      {kInacUCon, "INAC_U_CON", BoundField::kCheck, ""},
      {kOtroFacto, "OTRO_FACTO", BoundField::kCheck, ""},
      {kDepExtra, "DEP_EXTRA", BoundField::kCheck, ""},
      {kLogoComp, "LOGO_COMP", BoundField::kCheck, ""},
      {kNota1, "NOTA_1", BoundField::kText, ""},
      {kNota2, "NOTA_2", BoundField::kText, ""},
      {kNota3, "NOTA_3", BoundField::kText, ""},
      {kNotas, "NOTAS", BoundField::kCheck, ""},
      {kLigaCont, "LIGA_CONT", BoundField::kText, ""},
      {kDebRet, "DEB_RET", BoundField::kText, ""},
      {kCredRet, "CRED_RET", BoundField::kText, ""},
      {kCecos, "CECOS", BoundField::kText, ""},
      {kSerial, "SERIAL", BoundField::kCheck, ""},
      {kSerialEmp, "SERIAL_EMP", BoundField::kText, ""},
      {kCantPers, "CANT_PERS", BoundField::kNumber, "999999"},
  };
  return kFields;
}

// The print totals: flag, picture and label fields; controls flag, +1, +2.
struct Total {
  int id;
  const char* flag;
  const char* picture;
  const char* label;
};
constexpr Total kTotals[] = {{kTotSal, "TOT_SAL", "PIC_SAL", "ROT_T_SAL"},
                             {kTotSal2, "TOT_SAL2", "PIC_SAL2", "ROT_T_SAL2"},
                             {kTotDed, "TOT_DED", "PIC_DED", "ROT_T_DED"},
                             {kTotReb, "TOT_REB", "PIC_REB", "ROT_T_REB"},
                             {kDeducible, "DEDUCIBLE", "PIC_DEDUC", "ROT_DED"}};

// Combos whose entry is a code field of the department.
struct Coded {
  int id;
  const char* field;
};
constexpr Coded kCoded[] = {
    {kTipo, "TIPO"}, {kMoneda, "MONEDA"}, {kCCosto, "C_COSTO"}, {kColLibre, "COL_LIBRE"}};

// Memos keep the suite's line ends; the controls work with "\n".
std::string MemoText(const xb::Table& t, const char* field) {
  auto v = t.Get(field);
  std::string s = v.ok() ? FromField(*v) : std::string();
  std::string out;
  for (char c : s)
    if (c != '\r') out += c;
  return TrimRight(out);
}

std::string MemoBytes(const std::string& utf8) {
  std::string out;
  for (char c : utf8) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return ToField(out, 0);
}

}  // namespace

DEF_DTO::DEF_DTO(BROW_DTO& parent, const std::string& template_name, const std::string& business,
                 int mode, uint32_t recno)
    : WDIAG(parent.desktop(), &parent, template_name),
      parent_(parent),
      negocio_(business),
      tipo_(mode),
      recno_(recno) {}

DEF_DTO::~DEF_DTO() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

void DEF_DTO::CerrarBases() {
  for (TablePtr* t : {&tip_pla_, &monedas_, &c_costos_, &ligas_, &t_prov_}) CloseTable(*t);
  if (parent_disabled_) {
    parent_disabled_ = false;
    if (desktop().Alive(&parent_)) parent_.ENABLEWINDOW(true);
  }
}

void DEF_DTO::Terminar(int result) {
  ENDDIALOG(result);
}

bool DEF_DTO::Init() {
  try {
    return Open();
  } catch (...) {
    CerrarBases();  // the list is usable again whatever failed
    throw;
  }
}

bool DEF_DTO::Open() {
  parent_.ENABLEWINDOW(false);
  parent_disabled_ = true;
  OnNCDestroy = [this] { CerrarBases(); };
  tip_pla_ = OpenTable(this, "TIP_PLA");
  monedas_ = OpenTable(this, "MONEDAS");
  c_costos_ = OpenTable(this, "C_COSTOS");
  ligas_ = OpenTable(this, "LIGAS");
  t_prov_ = OpenTable(this, "T_PROV");
  if (!tip_pla_ || !monedas_ || !c_costos_ || !ligas_ || !t_prov_ || !INIT().ok()) {
    CerrarBases();
    return false;
  }
  Register();
  if (!CREATE().ok()) {
    CerrarBases();
    return false;
  }
  WAIT wait(this, kLoading);
  types_ = dept::ReadColumnTypes(negocio_);
  FillCombos();
  if (tipo_ == 1) {
    LoadRow();
  } else {
    LoadNew();
  }
  for (int s = 0; s < dept::kSections; ++s) {
    ShowSection(s);
    ShowSets(s, "");
  }
  ShowLinks();
  ShowProvisions();
  ShowCentres();
  for (int id : {kLigaCont, kDebRet, kCredRet}) ShowLinkDescrip(id);
  SetFocus(kCodigo);
  return true;
}

void DEF_DTO::Register() {
  ADD(1, [this] { PROCESAR(); });
  ADD(2, [this] { Terminar(2); });
  for (int s = 0; s < dept::kSections; ++s) {
    const int b = kSectionBase[s];
    ADD(b + kIncluir, [this, s] { Incluir(s); });
    ADD(b + kExcluir, [this, s] { Excluir(s); });
    ADD(b + kUp, [this, s] { Up(s); });
    ADD(b + kDown, [this, s] { Down(s); });
    ADD(b + kSetAdd, [this, s] { SetAdd(s); });
    ADD(b + kSetDel, [this, s] { SetDelete(s); });
    ADD(b + kSetMod, [this, s] { SetModify(s); });
    ADD(b + kIntoSet, [this, s] { IntoSet(s); });
    ADD(b + kOutOfSet, [this, s] { OutOfSet(s); });
    // Choosing a set shows its members.
    ADD(b + kConjuntos, [this, s] { ShowDetail(s); });
  }
  for (int id : {kLigaCont, kDebRet, kCredRet}) ADD(id + 1, [this, id] { PickHeaderLink(id); });
  ADD(kLigaColumna, [this] { PickColumnLink(); });
  ADD(kProvAdd, [this] { ProvisionEdit(true); });
  ADD(kProvMod, [this] { ProvisionEdit(false); });
  ADD(kProvDel, [this] { ProvisionDelete(); });
  ADD(kCentroAdd, [this] { CentreEdit(true); });
  ADD(kCentroMod, [this] { CentreEdit(false); });
  ADD(kCentroDel, [this] { CentreDelete(); });
}

void DEF_DTO::FillCombos() {
  AddBusinessRows(*this, kTipo, tip_pla_->table(), negocio_, "DESCRIP");
  AddBusinessRows(*this, kMoneda, monedas_->table(), negocio_, "DESCRIP");
  AddBusinessRows(*this, kCCosto, c_costos_->table(), negocio_, "DESCRIP");
  AddEntry(kColLibre, "", "");
  for (const auto& t : types_) AddEntry(kColLibre, t.descrip, TrimRight(FromField(xb::Value::Char(t.code))));
  for (int s = 0; s < dept::kSections; ++s) {
    const int list = kSectionBase[s] + kDisponibles;
    for (const auto& t : types_) AddEntry(list, TrimRight(t.code) + " " + t.descrip, t.code);
  }
}

void DEF_DTO::LoadNew() {
  SetText(kHoraIni, "00:00:00");
  SetText(kHoraFin, "00:00:00");
  SetText(kUnidad, "0");
  SetText(kCantPers, "0");
}

void DEF_DTO::LoadRow() {
  xb::Table& t = *parent_.main_table();
  t.GoTo(recno_);
  codigo_ = FieldBytes(t, "CODIGO");
  SetText(kCodigo, FieldText(t, "CODIGO"));
  LoadBound(*this, t, HeaderFields());
  for (const Total& tot : kTotals) {
    SetCheck(tot.id, FieldNumber(t, tot.flag) == 1 ? 1 : 0);
    SetText(tot.id + 1, FieldText(t, tot.picture));
    SetText(tot.id + 2, FieldText(t, tot.label));
  }
  SetText(kLogoFile, FieldText(t, "LOGO_FILE"));
  SetText(kFinAccion, MemoText(t, "FIN_ACCION"));
  SetText(kFinLiq, MemoText(t, "FIN_LIQ"));
  for (const Coded& c : kCoded) CCOMBOBOX(*this, c.id).SEEKCARGO(FieldText(t, c.field));
  dept::LoadDepartment(negocio_, codigo_, types_, &scratch_);
}

void DEF_DTO::WriteHeader(xb::Table& t) {
  WriteBound(*this, t, HeaderFields());
  // What is not shown is not kept: a total without its flag loses its
  // picture and label, a pay slip without logo its file.
  for (const Total& tot : kTotals) {
    const bool on = Check(tot.id) != 0;
    t.Put(tot.flag, xb::Value::Number(on ? 1 : 0));
    t.Put(tot.picture, xb::Value::Char(ToField(on ? Text(tot.id + 1) : " ", FieldWidth(t, tot.picture))));
    t.Put(tot.label, xb::Value::Char(ToField(on ? Text(tot.id + 2) : " ", FieldWidth(t, tot.label))));
  }
  t.Put("LOGO_FILE", xb::Value::Char(ToField(Check(kLogoComp) ? Text(kLogoFile) : "",
                                             FieldWidth(t, "LOGO_FILE"))));
  t.Put("FIN_ACCION", xb::Value::Char(MemoBytes(Text(kFinAccion))));
  t.Put("FIN_LIQ", xb::Value::Char(MemoBytes(Text(kFinLiq))));
  for (const Coded& c : kCoded) {
    const int width = FieldWidth(t, c.field);
    if (width > 0)
      t.Put(c.field, xb::Value::Char(ToField(CCOMBOBOX(*this, c.id).CURCARGO().value_or(""), width)));
  }
}

}  // namespace qz
