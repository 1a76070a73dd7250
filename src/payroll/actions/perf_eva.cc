#include "payroll/actions/perf_eva.h"

#include "lib/data/transaction.h"
#include "lib/ui/catalog_data.h"
#include "payroll/actions/delete_with.h"
#include "payroll/detail_rows.h"
#include "payroll/form_fields.h"
#include "payroll/lookup_lists.h"

namespace qz {
namespace {

const std::vector<BoundField> kFields = {
    {E_PER_EV::kAntIni, "ANT_INI", BoundField::kNumber, "9999"},
    {E_PER_EV::kAntFinal, "ANT_FINAL", BoundField::kNumber, "9999"},
    {E_PER_EV::kAntNota, "ANT_NOTA", BoundField::kNumber, "999.99"},
    {E_PER_EV::kObliAnt, "OBLI_ANT", BoundField::kCheck, ""},
    {E_PER_EV::kPerAnt, "PER_ANT", BoundField::kNumber, "9999"},
    {E_PER_EV::kHorIni, "HOR_INI", BoundField::kNumber, "9999999.99"},
    {E_PER_EV::kHorFinal, "HOR_FINAL", BoundField::kNumber, "9999999.99"},
    {E_PER_EV::kHorNota, "HOR_NOTA", BoundField::kNumber, "999.99"},
    {E_PER_EV::kObliHor, "OBLI_HOR", BoundField::kCheck, ""},
    {E_PER_EV::kPerHor, "PER_HOR", BoundField::kNumber, "9999"},
    {E_PER_EV::kPrueNota, "PRUE_NOTA", BoundField::kNumber, "999.99"},
    {E_PER_EV::kObliPrue, "OBLI_PRUE", BoundField::kCheck, ""},
    {E_PER_EV::kPerPrue, "PER_PRUE", BoundField::kNumber, "9999"},
    {E_PER_EV::kNotaMini, "NOTA_MINI", BoundField::kNumber, "999.99"},
    {E_PER_EV::kAumento, "AUMENTO", BoundField::kNumber, "999.9999"},
    {E_PER_EV::kMinPReg, "MIN_P_REG", BoundField::kNumber, "9999"},
    {E_PER_EV::kMinOReg, "MIN_O_REG", BoundField::kNumber, "9999"}};

const std::vector<int> kTipoIds = {E_PER_EV::kSegunMinima, E_PER_EV::kSegunCada};
const std::vector<int> kTipoValues = {0, 1};

}  // namespace

E_PER_EV::~E_PER_EV() {
  CloseOwnTables();
}

bool E_PER_EV::AbrirBases() {
  // A private copy, empty on every open, deleted on close.
  tmp_ev_ = USE(this, "TMP_EV.DBF", "TMP_EV");
  if (!tmp_ev_) return false;
  tests_ = std::make_unique<EvalTests>(tmp_ev_.get());
  return true;
}

void E_PER_EV::CloseOwnTables() {
  grid_.reset();
  tests_.reset();
  CloseTable(tmp_ev_);
}

void E_PER_EV::BuildControls() {
  grid_ = std::make_unique<WBLISTBOX>(*this, kGrid, &tmp_ev_->table());
  ADD(kAgregar, [this] { EditTest(true); });
  ADD(kModificar, [this] { EditTest(false); });
  ADD(kBorrar, [this] { RemoveTest(); });
}

void E_PER_EV::Fill() {
  // Hours are counted in the columns whose value follows the hourly cost.
  auto hours = [](const xb::Table& t) { return NumberField(t, "VAL_DEPEND") == 1; };
  FillLookup(*this, kHorDeta,
             LookupSource("ENC_TIP", "ENC_TIP", Negocio(), "CODIGO", "DESCRIP", hours));
  xb::Table* scratch = &tmp_ev_->table();
  WBLISTBOX& b = *grid_;
  AGREGARCOL(b, scratch, "Prueba", "PRUEBA", "XXXX");
  AGREGARCOL(b, scratch, "Descripción", "DESCRIP", std::string(30, 'X'));
  AGREGARCOL(b, scratch, "R.Nota Inicial", "NOTA_INI", "999.99");
  AGREGARCOL(b, scratch, "R. NotaFinal", "NOTA_FIN", "999.99");
  AGREGARCOL(b, scratch, "Obligatoria", "OBLIGA", "9");
  b.SHOWNUMBERS = false;
  BROWMARKS(b, {{1, "TMP_EV"}}, 1, "");
}

void E_PER_EV::LoadRow(const xb::Table& t) {
  LoadBound(*this, t, kFields);
  LoadChoice(*this, t, "TIPO_EVAL", kTipoIds, kTipoValues);
  SelectBracketed(*this, kHorDeta, FieldText(t, "HOR_DETA"));
  tests_->Load(Negocio(), FieldBytes(t, "CODIGO"));
  grid_->REFRESHALL();
}

void E_PER_EV::LoadDefaults() {
  SetCheck(kSegunMinima, 1);
  for (const auto& f : kFields)
    if (f.kind == BoundField::kNumber) SetText(f.id, "0");
}

bool E_PER_EV::Validate(const std::string& code) {
  (void)code;
  return BoundNumbersValid(*this, kFields);
}

void E_PER_EV::WriteFields(xb::Table& t) {
  WriteBound(*this, t, kFields);
  WriteChoice(*this, t, "TIPO_EVAL", kTipoIds, kTipoValues);
  const int width = FieldWidth(t, "HOR_DETA");
  if (width > 0)
    t.Put("HOR_DETA", xb::Value::Char(ToField(BracketedSelection(*this, kHorDeta, width), width)));
}

void E_PER_EV::AfterSave(const std::string& code) {
  tests_->Save(Negocio(), mode() == 1 ? loaded_code() : code, code);
}

void E_PER_EV::PROCESAR() {
  // The profile and its tests are written together: a save cut short must
  // not leave a profile that lost its tests.
  START_ATOMIC_TRANSACTION();
  RecordEditor::PROCESAR();
  END_TRANSACTION();
}

void E_PER_EV::EditTest(bool add) {
  const uint32_t recno = add ? 0 : grid_->SelectedRecNo();
  if (!add && recno == 0) {
    MESSAGE_BOX("No hay registros a modificar", "Aviso", kMbIconInformation);
    return;
  }
  if (!tests_->Edit(*this, Negocio(), recno)) return;
  const uint32_t saved = tmp_ev_->table().RecNo();
  grid_->REFRESHALL();
  grid_->SelectRecNo(saved);
}

void E_PER_EV::RemoveTest() {
  const uint32_t recno = grid_->SelectedRecNo();
  if (recno == 0) return;
  tests_->Remove(recno);
  grid_->REFRESHALL();
}

PERF_EVA::PERF_EVA(Desktop& desktop, const std::string& template_name, const std::string& business)
    : EditedCatalog<E_PER_EV>(desktop, template_name, business, Setup()) {}

CatalogSetup PERF_EVA::Setup() {
  CatalogSetup s;
  s.name = "PERF_EVA";
  s.table = "PERF_EVA";
  s.tag = "PERF_EVA";
  s.key_width = 4;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", "!!!!"}, {"Descripción", "DESCRIP", std::string(31, '!')}};
  // A modified profile given another's code would merge both profiles' tests.
  s.duplicate_on_add = s.duplicate_on_modify = "Este Código ya existe...";
  s.delete_question = "¿Desea borrar el item seleccionado?";
  s.edit_template = "E_PER_EV";
  s.references = {{"PUESTOS", "PUESTOS", "PERFIL_EVA", CodeReference::Match::kField}};
  // The tests follow a new code when the profile is saved (they are
  // rewritten from the form), and go with a deleted profile (Delete).
  return s;
}

void PERF_EVA::Delete() {
  // The profile and its tests go together.
  DeleteSelectedWith(*this, [this](const std::string& code) {
    TablePtr det = OpenTable(nullptr, "PERF_EV2");
    if (det) DeleteDetailRows(*det, "PERF_EV2", Negocio() + code);
    CloseTable(det);
  });
}

}  // namespace qz
