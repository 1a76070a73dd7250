#include "payroll/ed_tip.h"

#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "payroll/def_tip.h"
#include "payroll/ed_tip2.h"

namespace qz {
namespace {

using namespace ed_tip;

constexpr const char* kAmountPicture = "999,999,999.99";
constexpr const char* kPercentPicture = "999.99";

double Num(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() && v->is_numeric() ? v->number() : 0;
}

std::string Cargo(const xb::Table& t, const std::string& field) {
  auto v = t.Get(field);
  return v.ok() && v->is_char() ? FromField(*v) : std::string();
}

// The business's rows of a code table as combo entries (description, code).
void FillFrom(WDBTable* table, const std::string& business, CCOMBOBOX& combo) {
  xb::Table& t = table->table();
  std::optional<xb::Value> scope = xb::Value::Char(business);
  if (!t.SetOrder(1).ok() || !t.SetScope(scope, scope).ok()) return;
  for (t.GoTop(); !t.Eof(); t.Skip(1))
    combo.ADD(FieldText(t, "DESCRIP"), Cargo(t, "CODIGO"));
}

int KindOfRadio(int id) {
  return id - kKind1 + 1;
}

}  // namespace

ED_TIP::ED_TIP(DEF_TIP& parent, const std::string& template_name, int mode, uint32_t recno,
               const std::string& business)
    : WDIAG(parent.desktop(), &parent, template_name),
      parent_(parent),
      negocio_(business),
      tipo_(mode),
      recno_(recno) {}

ED_TIP::~ED_TIP() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

bool ED_TIP::AbrirBases() {
  monedas_ = OpenTable(this, "MONEDAS");
  conceptd_ = OpenTable(this, "CONCEPTD");
  grp_cmp_ = OpenTable(this, "GRP_CMP");
  // A private copy, empty on every open, deleted on close.
  tmp_tip_ = USE(this, "TMP_TIP.DBF", "TMP_TIP");
  if (tmp_tip_) scratch_ = std::make_unique<BracketScratch>(tmp_tip_.get());
  return monedas_ && conceptd_ && grp_cmp_ && tmp_tip_;
}

void ED_TIP::CerrarBases() {
  // The detail window works on the scratch table: it goes first.
  if (detail_) {
    ED_TIP2* d = detail_;
    detail_ = nullptr;
    d->Orphan();
  }
  scratch_.reset();
  CloseTable(monedas_);
  CloseTable(conceptd_);
  CloseTable(grp_cmp_);
  CloseTable(tmp_tip_);
  if (parent_disabled_) {
    parent_disabled_ = false;
    parent_.ENABLEWINDOW(true);
  }
}

bool ED_TIP::Init() {
  try {
    return Open();
  } catch (...) {
    CerrarBases();  // the catalog is usable again whatever failed
    throw;
  }
}

bool ED_TIP::Open() {
  parent_.ENABLEWINDOW(false);
  parent_disabled_ = true;
  OnNCDestroy = [this] { CerrarBases(); };
  if (!AbrirBases() || !INIT().ok()) {
    CerrarBases();
    return false;
  }
  ADD(1, [this] { PROCESAR(); });
  ADD(2, [this] { Terminar(2); });
  for (int id = kKind1; id <= kKind4; ++id) ADD(id, [this, id] { ChooseKind(KindOfRadio(id)); });
  ADD(kDetalle, [this] { OpenDetail(); });
  ADD(kFactor, [this] { FactorToggled(); });
  for (const auto& b : ColumnTypeBindings()) {
    // Every enabling box re-applies the rules when clicked.
    if (b.kind == Binding::kCheck && !Control(b.control)) continue;
    if (b.kind == Binding::kCheck && b.control != kFactor) ADD(b.control, [this] { ApplyRules(); });
  }
  oMoneda_ = std::make_unique<CCOMBOBOX>(*this, kMoneda);
  oConcepto_ = std::make_unique<CCOMBOBOX>(*this, kConceptoDeuda);
  oMonedaInfo_ = std::make_unique<CCOMBOBOX>(*this, kMonedaInfo);
  oGrupo_ = std::make_unique<CCOMBOBOX>(*this, kGrupo);
  oGrupo2_ = std::make_unique<CCOMBOBOX>(*this, kGrupoAjuste);
  if (!CREATE().ok()) {
    CerrarBases();
    return false;
  }
  FillCombos();
  if (tipo_ == 1) {
    LoadRow();
  } else {
    LoadDefaults();
  }
  ApplyRules();
  SetFocus(kCodigo);
  return true;
}

void ED_TIP::Terminar(int result) {
  ENDDIALOG(result);
}

void ED_TIP::FillCombos() {
  FillFrom(monedas_.get(), negocio_, *oMoneda_);
  FillFrom(monedas_.get(), negocio_, *oMonedaInfo_);
  oMonedaInfo_->ADD(kNinguna, "  ");
  FillFrom(conceptd_.get(), negocio_, *oConcepto_);
  FillFrom(grp_cmp_.get(), negocio_, *oGrupo_);
  FillFrom(grp_cmp_.get(), negocio_, *oGrupo2_);
  // A column need not be grouped on the pay slip.
  oGrupo_->ADD(kNinguno, "  ");
  oGrupo2_->ADD(kNinguno, "  ");
}

void ED_TIP::SetNumber(int id, double n, const std::string& picture) {
  std::string s = FormatNumber(n, picture);
  size_t first = s.find_first_not_of(' ');
  SetText(id, first == std::string::npos ? std::string() : s.substr(first));
}

double ED_TIP::Number(int id) const {
  return ParseNumber(Text(id)).value_or(0);
}

void ED_TIP::LoadDefaults() {
  kind_ = 1;
  SetCheck(kKind1, 1);
  SetCheck(kSignPlus, 1);
  SetCheck(kMontoDeducible, 1);
  SetCheck(kAfectaF4Plus, 1);
  SetCheck(kAfectaF5Plus, 1);
  SetCheck(kImpValor, 1);
  SetNumber(kValor2, 1, "9999999.99999");
  oMonedaInfo_->SEEKCARGO("  ");
  oGrupo_->SEEKCARGO("  ");
  oGrupo2_->SEEKCARGO("  ");
  scratch_->KeepBlankRowAtEnd();
}

void ED_TIP::LoadRow() {
  xb::Table& t = *parent_.main_table();
  t.GoTo(recno_);
  auto code = t.Get("CODIGO");
  codigo_ = code.ok() && code->is_char() ? code->str() : std::string();
  codigo_.resize(2, ' ');
  SetText(kCodigo, FieldText(t, "CODIGO"));
  SetText(kDescrip, FieldText(t, "DESCRIP"));
  kind_ = static_cast<int>(Num(t, "TIPO"));
  if (kind_ < 1 || kind_ > 4) kind_ = 1;
  SetCheck(kKind1 + kind_ - 1, 1);
  double valor = Num(t, "VALOR");
  if (kind_ == 1) SetNumber(kValor, valor, kAmountPicture);
  if (kind_ == 2) SetNumber(kPorcentaje, valor, kPercentPicture);
  if (kind_ == 3) SetNumber(kMontoCompuesto, valor, kAmountPicture);
  int monto = static_cast<int>(Num(t, "TIPO_MONTO"));
  SetCheck(monto == 1 ? kMontoNoDeducible : monto == 2 ? kMontoTotal : kMontoDeducible, 1);
  SetCheck(Num(t, "FACTOR_2") == 0 ? kSignMinus : kSignPlus, 1);
  SetCheck(Num(t, "AFECTA_F4") == 0 ? kAfectaF4Minus : kAfectaF4Plus, 1);
  SetCheck(Num(t, "AFECTA_F5") == 0 ? kAfectaF5Minus : kAfectaF5Plus, 1);
  oMoneda_->SEEKCARGO(Cargo(t, "MONEDA"));
  for (const auto& b : ColumnTypeBindings()) {
    switch (b.kind) {
      case Binding::kCheck:
        SetCheck(b.control, Num(t, b.field) != 0 ? 1 : 0);
        break;
      case Binding::kNumber:
        SetNumber(b.control, Num(t, b.field), b.picture);
        break;
      case Binding::kText:
        SetText(b.control, FieldText(t, b.field));
        break;
      case Binding::kCombo: {
        std::string cargo = Cargo(t, b.field);
        if (!CCOMBOBOX(*this, b.control).SEEKCARGO(cargo) && TrimRight(cargo).empty())
          CCOMBOBOX(*this, b.control).SEEKCARGO("  ");
        break;
      }
    }
  }
  table_.tipo_tabla = static_cast<int>(Num(t, "TIPO_TABLA"));
  if (table_.tipo_tabla < 1 || table_.tipo_tabla > 3) table_.tipo_tabla = 1;
  table_.dia_tabla = static_cast<int>(Num(t, "DIA_TABLA"));
  table_.resta_comp = Num(t, "RESTA_COMP");
  table_.col_base = FieldText(t, "COL_BASE");
  valor3_ = Num(t, "VALOR_3");
  val_base_ = Num(t, "VAL_BASE") != 0;
  val_depend_ = Num(t, "VAL_DEPEND") != 0;
  scratch_->Load(negocio_, codigo_);
}

void ED_TIP::ChooseKind(int kind) {
  if (kind == kind_) return;
  kind_ = kind;
  // Another kind: the bracket rows no longer apply.
  scratch_->RemoveAll();
  scratch_->KeepBlankRowAtEnd();
  if (kind == 1) {
    SetCheck(kImpValor, 1);
    SetCheck(kDivDias, 0);
  } else {
    SetCheck(kDivDias, 0);
  }
  if (kind == 4) {
    // A separator line has no value, factor or printed parts.
    for (int id : {kValXDef, kEditable, kFactor, kFactor4})
      SetCheck(id, 0);
    for (int i = 0; i < 5; ++i) {
      SetCheck(kImpValor + i, 0);
      SetCheck(kRImpV + i, 0);
    }
    FactorToggled();
  }
  ApplyRules();
}

void ED_TIP::FactorToggled() {
  if (!Check(kFactor)) {
    SetText(kFDescrip, "");
    SetText(kValor2, "");
    SetCheck(kImpFactor, 0);
    SetCheck(kRImpF, 0);
  } else if (TrimRight(Text(kValor2)).empty()) {
    SetNumber(kValor2, 1, "9999999.99999");
  }
  ApplyRules();
}

void ED_TIP::ApplyRules() {
  const bool k1 = kind_ == 1, k2 = kind_ == 2, k3 = kind_ == 3, k4 = kind_ == 4;
  EnableControl(kValor, k1);
  EnableControl(kDivDias, k1);
  EnableControl(kValXDef, k1 || k2);
  EnableControl(kEditable, k1 || k2);
  EnableControl(kPorcentaje, k2);
  for (int id : {kMontoDeducible, kMontoNoDeducible, kMontoTotal}) EnableControl(id, k2);
  EnableControl(kMontoCompuesto, k3);
  EnableControl(kMoneda, k3);
  EnableControl(kDetalle, k3);
  EnableControl(kFactor, !k4);
  EnableControl(kFactor4, !k4);
  for (int i = 0; i < 5; ++i) {
    EnableControl(kImpValor + i, !k4);
    EnableControl(kRImpV + i, !k4);
  }
  // A field follows its enabling box (and the box's own state).
  for (const auto& b : ColumnTypeBindings()) {
    if (b.enabled_by == 0) continue;
    EnableControl(b.control, ControlEnabled(b.enabled_by) && Check(b.enabled_by) != 0);
  }
  bool constant = ControlEnabled(kFactor4) && Check(kFactor4);
  for (int id : {kAfectaF4Plus, kAfectaF4Minus, kAfectaF5Plus, kAfectaF5Minus})
    EnableControl(id, constant);
}

void ED_TIP::OpenDetail() {
  if (kind_ != 3 || detail_) return;
  auto w = std::make_unique<ED_TIP2>(*this, "DEF_TIP3");
  ED_TIP2* raw = w.get();
  desktop().Adopt(std::move(w));
  if (!raw->Init()) {
    raw->ENDDIALOG(2);
    return;
  }
  detail_ = raw;
}

}  // namespace qz
