#include "lib/payroll/employee_move_columns.h"

#include "lib/data/use.h"
#include "lib/payroll/consolidation_tables.h"
#include "lib/settings/globals.h"

namespace qz {
namespace {

using consolidation::Raw;
using consolidation::RowsOf;

double Number(const xb::Table& t, const char* field) {
  auto v = t.Get(field);
  return v.ok() && v->is_numeric() ? v->number() : 0;
}

// A column code as the tables key it: two characters.
std::string Code(const std::string& code) {
  return PadRight(code, 2);
}

std::map<std::string, MoveColumns::Type> TypesOf(WDBTable& enc_tip, const std::string& negocio) {
  std::map<std::string, MoveColumns::Type> out;
  xb::Table& t = enc_tip.table();
  for (uint32_t r : RowsOf(enc_tip, "ENC_TIP", PadRight(negocio, 15))) {
    if (!t.GoTo(r).ok()) continue;
    MoveColumns::Type& type = out[Code(Raw(t, "CODIGO"))];
    type.descrip = Raw(t, "DESCRIP");
    type.tipo = static_cast<int>(Number(t, "TIPO"));
    type.duplica = Number(t, "DUPLICA") == 1;
    type.deuda = Number(t, "DEUDA") == 1;
  }
  return out;
}

}  // namespace

MoveColumns::MoveColumns(const std::string& source, const std::string& target,
                         const std::string& target_depto) {
  TablePtr enc_tip = USE(nullptr, "ENC_TIP");
  source_ = TypesOf(*enc_tip, source);
  target_ = TypesOf(*enc_tip, target);
  KILLTABLA(enc_tip);
  TablePtr det_dept = USE(nullptr, "DET_DEPT");
  xb::Table& d = det_dept->table();
  for (uint32_t r : RowsOf(*det_dept, "DET_DEPT", PadRight(target, 15) + PadRight(target_depto, 15)))
    if (d.GoTo(r).ok()) department_.insert(Code(Raw(d, "COD_COLUMN")));
  KILLTABLA(det_dept);
}

const MoveColumns::Type* MoveColumns::Source(const std::string& code) const {
  auto it = source_.find(Code(code));
  return it == source_.end() ? nullptr : &it->second;
}

bool MoveColumns::Kept(const std::string& target) const {
  return !Trim(target).empty() && department_.count(Code(target)) > 0;
}

ColumnMapping MoveColumns::Propose(const std::string& code) const {
  ColumnMapping m;
  m.source = Code(code);
  if (const Type* s = Source(code)) m.source_descrip = s->descrip;
  auto it = target_.find(m.source);
  if (it == target_.end()) {
    m.target = Code("");
    m.note = kColumnMissing;
    return m;
  }
  Retarget(m, code);
  return m;
}

void MoveColumns::Retarget(ColumnMapping& m, const std::string& code) const {
  m.target = Code(code);
  m.target_descrip.clear();
  m.note.clear();
  auto it = target_.find(m.target);
  if (it == target_.end()) {
    m.note = kColumnMissing;
    return;
  }
  m.target_descrip = it->second.descrip;
  const Type* s = Source(m.source);
  if (!s || s->tipo != it->second.tipo) {
    m.note = kColumnKindDiffers;
  } else if (department_.count(m.target) == 0) {
    m.note = kColumnNotInDepartment;
  }
}

std::vector<ColumnMapping> BuildColumnMap(const MoveColumns& columns, const std::string& source,
                                          const std::vector<std::string>& employees) {
  std::set<std::string> codes;
  TablePtr det_pers = USE(nullptr, "DET_PERS");
  xb::Table& t = det_pers->table();
  for (const std::string& e : employees)
    for (uint32_t r : RowsOf(*det_pers, "DET_PERS", PadRight(source, 15) + PadRight(e, 15)))
      if (t.GoTo(r).ok()) codes.insert(Code(Raw(t, "COD_COLUMN")));
  KILLTABLA(det_pers);
  std::vector<ColumnMapping> out;
  for (const std::string& c : codes) out.push_back(columns.Propose(c));
  return out;
}

std::vector<std::string> DroppedColumns(const MoveColumns& columns,
                                        const std::vector<ColumnMapping>& map) {
  std::vector<std::string> out;
  for (const ColumnMapping& m : map)
    if (!columns.Kept(m.target)) out.push_back(m.source);
  return out;
}

std::string SharedTarget(const MoveColumns& columns, const std::vector<ColumnMapping>& map) {
  std::set<std::string> seen;
  for (const ColumnMapping& m : map)
    if (columns.Kept(m.target) && !seen.insert(m.target).second) return m.target;
  return "";
}

}  // namespace qz
