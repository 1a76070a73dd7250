#include "payroll/actions/etap_pla.h"

#include <cstdio>

#include "lib/data/transaction.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "payroll/actions/delete_with.h"
#include "payroll/actions/stage_lists.h"
#include "payroll/form_fields.h"

namespace qz {
namespace {

std::vector<BoundField> Fields() {
  std::vector<BoundField> f = {{MANT_PLA::kLeyenda, "P_LEYENDA", BoundField::kText, ""},
                               {MANT_PLA::kNotificar, "NOTIFICAR1", BoundField::kCheck, ""},
                               {MANT_PLA::kTiempo1, "TIEMPO1", BoundField::kNumber, "9999"},
                               {MANT_PLA::kTiempo2, "TIEMPO2", BoundField::kNumber, "9999"},
                               {MANT_PLA::kHora1, "HORA1", BoundField::kText, ""},
                               {MANT_PLA::kHora2, "HORA2", BoundField::kText, ""}};
  int id = MANT_PLA::kFirstFlag;
  for (const char* flag : MANT_PLA::kFlags) f.push_back({id++, flag, BoundField::kCheck, ""});
  return f;
}

const std::vector<int> kTipoIds = {510, 511, 512, 513, 514};
const std::vector<int> kTipoValues = {1, 2, 3, 4, 5};

}  // namespace

std::optional<std::string> StageHour(const std::string& text) {
  std::string s = TrimRight(text);
  s.erase(0, s.find_first_not_of(' '));
  if (s.empty()) return std::string();
  int h = -1, m = -1, sec = 0;
  char tail = 0;
  int read = std::sscanf(s.c_str(), "%2d:%2d:%2d%c", &h, &m, &sec, &tail);
  if (read < 2 || read > 3 || h < 0 || h > 23 || m < 0 || m > 59 || sec < 0 || sec > 59)
    return std::nullopt;
  char out[9];
  std::snprintf(out, sizeof out, "%02d:%02d:%02d", h, m, sec);
  return std::string(out);
}

void MANT_PLA::LoadRow(const xb::Table& t) {
  LoadBound(*this, t, Fields());
  LoadChoice(*this, t, "TIPO", kTipoIds, kTipoValues);
}

void MANT_PLA::LoadDefaults() {
  SetCheck(kFirstTipo + 1, 1);  // an intermediate stage, the usual addition
  for (int id : {kTiempo1, kTiempo2}) SetText(id, "0");
  // Notices go out in office hours unless the stage says otherwise.
  SetText(kHora1, "08:00");
  SetText(kHora2, "17:00");
}

bool MANT_PLA::Validate(const std::string& code) {
  (void)code;
  if (!BoundNumbersValid(*this, Fields())) return false;
  for (int id : {kHora1, kHora2})
    if (!StageHour(Text(id))) return Refuse("La hora \"" + Text(id) + "\" no es válida", id);
  return true;
}

void MANT_PLA::WriteFields(xb::Table& t) {
  for (int id : {kHora1, kHora2}) SetText(id, *StageHour(Text(id)));
  WriteBound(*this, t, Fields());
  WriteChoice(*this, t, "TIPO", kTipoIds, kTipoValues);
}

void MANT_PLA::AfterSave(const std::string& code) {
  if (mode() != 1 || code == loaded_code()) return;
  WAIT wait(this, "Un momento por favor...");
  RenameStage(Negocio(), loaded_code(), code);
  wait.TERMINAR();
}

void MANT_PLA::PROCESAR() {
  // A rename reaches every person in charge and every definition naming the
  // stage, or none: half of them on the old code would lose their stage.
  const bool renames = mode() == 1 && parent().CodeFromText(Text(kCodigo)) != loaded_code();
  if (renames) START_ATOMIC_TRANSACTION();
  RecordEditor::PROCESAR();
  if (renames) END_TRANSACTION();
}

ETAP_PLA::ETAP_PLA(Desktop& desktop, const std::string& template_name, const std::string& business)
    : EditedCatalog<MANT_PLA>(desktop, template_name, business, Setup()) {}

CatalogSetup ETAP_PLA::Setup() {
  CatalogSetup s;
  s.name = "ETAP_PLA";
  s.table = "ETAP_PLA";
  s.tag = "ETAP_PLA";
  s.key_width = 4;
  s.menu_id = kMenuId;
  s.columns = {{"Código", "CODIGO", "!!!!"}, {"Descripción", "DESCRIP", std::string(40, 'X')}};
  // Persons, action types and parameters name a stage by its code: two
  // stages with one code could not be told apart.
  s.duplicate_on_add = s.duplicate_on_modify = "Este Código ya existe...";
  s.delete_question = "¿Desea borrar la Etapa?";
  s.edit_template = "MANT_PLA";
  return s;
}

void ETAP_PLA::Delete() {
  // The stage and its place in the persons' lists go together.
  DeleteSelectedWith(*this,
                     [this](const std::string& code) { RemoveStageFromPersons(Negocio(), code); });
}

}  // namespace qz
