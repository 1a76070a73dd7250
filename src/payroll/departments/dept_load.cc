// Reading a department into the editor's scratch state.
#include <map>

#include "lib/data/use.h"
#include "lib/payroll/definitions.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "payroll/departments/dept_data.h"
#include "payroll/departments/dept_rows.h"

namespace qz::dept {

std::vector<ColumnTypeInfo> ReadColumnTypes(const std::string& negocio) {
  std::vector<ColumnTypeInfo> out;
  TablePtr enc_tip = USE(nullptr, "ENC_TIP");
  for (uint32_t rec : RowsOf(enc_tip->table(), "ENC_TIP", PadRight(negocio, 15))) {
    xb::Table& t = enc_tip->table();
    t.GoTo(rec);
    out.push_back({FieldBytes(t, "CODIGO"), FieldText(t, "DESCRIP"),
                   IntField(t, "DUPLICA") == 1, IntField(t, "CONTA_IND") == 1,
                   IntField(t, "VAL_DEPEND") == 1});
  }
  KILLTABLA(enc_tip);
  return out;
}

xb::Status LoadDepartment(const std::string& negocio, const std::string& code,
                          const std::vector<ColumnTypeInfo>& types, DeptScratch* out) {
  const std::string key = PadRight(negocio, 15) + PadRight(code, 15);
  std::map<std::string, bool> separator;
  for (const auto& t : types) separator[t.code] = t.separator;
  auto section_of = [](const std::string& tipo) {
    for (int s = 0; s < kSections; ++s)
      if (tipo == SectionCode(s)) return s;
    return -1;
  };
  DeptLayout& layout = out->layout;

  TablePtr det = USE(nullptr, "DET_DEPT");
  xb::Table& d = det->table();
  for (uint32_t rec : RowsOf(d, "DET_DEPT3", key)) {
    d.GoTo(rec);
    const int s = section_of(FieldBytes(d, "TIPO"));
    if (s < 0) continue;
    LayoutColumn c;
    c.column = FieldBytes(d, "COD_COLUMN");
    c.row = IntField(d, "CODIGO");
    c.link = FieldBytes(d, "LIGA_CONTA");
    c.recno = rec;
    c.separator = separator[c.column];
    const int orden = IntField(d, "ORDEN");
    const std::string set = FieldBytes(d, "COD_CONJ");
    if (orden == 0 && TrimRight(set) != "0" && !TrimRight(set).empty()) c.set = set;
    // A column without a place goes after the placed ones.
    layout.LoadColumn(s, c, orden > 0 ? orden : 1 << 20);
  }
  KILLTABLA(det);

  TablePtr conj = USE(nullptr, "CONJ_COL");
  xb::Table& cj = conj->table();
  for (uint32_t rec : RowsOf(cj, "CONJ_COL2", key)) {
    cj.GoTo(rec);
    const int s = section_of(FieldBytes(cj, "TIPO"));
    if (s < 0) continue;
    layout.LoadSet(s,
                   {FieldBytes(cj, "CODIGO"), FieldText(cj, "DESCRIP"), FieldText(cj, "PICTURE"),
                    FieldText(cj, "COD_TOTAL"), rec},
                   IntField(cj, "ORDEN"));
  }
  KILLTABLA(conj);
  layout.FinishLoading();

  TablePtr prov = USE(nullptr, "DET_DEP2");
  xb::Table& p = prov->table();
  for (uint32_t rec : RowsOf(p, "DET_DEP2", key)) {
    p.GoTo(rec);
    out->provisions.push_back({rec, IntField(p, "CODIGO"), FieldBytes(p, "TIPO"),
                               NumField(p, "PORCENTAJE"), FieldBytes(p, "LIGA"),
                               FieldText(p, "DESCRIP"), IntField(p, "TIPO_EMP")});
  }
  KILLTABLA(prov);

  TablePtr split = USE(nullptr, "DET_DEP3");
  xb::Table& c = split->table();
  for (uint32_t rec : RowsOf(c, "DET_DEP3A", key)) {
    c.GoTo(rec);
    const std::string centre = FieldBytes(c, "COD_CENTRO");
    out->centres.push_back({rec, centre, centre, NumField(c, "PORCENTAJE")});
  }
  KILLTABLA(split);
  return xb::Status::OK();
}

bool CodeTaken(const std::string& negocio, const std::string& code, uint32_t own) {
  // A handle of its own: the list's table keeps its order and scope.
  TablePtr enc = USE(nullptr, "ENC_DEPT");
  bool taken = false;
  for (uint32_t rec : RowsOf(enc->table(), "ENC_DEPT", PadRight(negocio, 15) + PadRight(code, 15)))
    if (rec != own) taken = true;
  KILLTABLA(enc);
  return taken;
}

}  // namespace qz::dept
