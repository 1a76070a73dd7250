#include "lib/accounting/sap_run.h"

#include "lib/payroll/dates.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/table_position.h"

namespace qz {

int32_t SapPayDate(const PayrollType* tipo, int obliga_dia, int32_t corte) {
  if (!tipo || tipo->tipo != 1 || obliga_dia != 1 || corte <= 0) return corte;
  if (tipo->dia_pago < 1 || tipo->dia_pago > 7) return corte;
  return corte + (tipo->dia_pago - Weekday(corte));
}

bool SapIncluded(const SapEmployeeStatus& e, int32_t pay) {
  if (e.f_ingreso > pay) return false;
  if (e.activo == 1) return true;
  return e.f_retiro > 0 && e.newest_line > 0 && e.f_retiro > e.newest_line && e.f_retiro <= pay &&
         e.inmediato != 1;
}

void SapForRows(xb::Table& t, const char* tag, const std::string& prefix,
                const std::function<void(xb::Table&)>& fn) {
  TablePosition keep(&t);
  if (!SeekOn(t, tag, prefix, true).ok()) return;
  std::vector<uint32_t> rows;
  for (bool more = true; more && !t.Eof(); more = t.Skip().ok()) {
    auto k = t.CurrentKey();
    if (!k.ok() || k->compare(0, prefix.size(), prefix) != 0) break;
    rows.push_back(t.RecNo());
  }
  for (uint32_t r : rows)
    if (t.GoTo(r).ok()) fn(t);
}

void ReadSapEmployee(const xb::Table& p, SapEmployeeInput* in, SapEmployeeRow* row) {
  in->codigo = StrField(p, "CODIGO");
  in->nombre = StrField(p, "NOMBRE");
  in->tot_sal = NumField(p, "TOT_SAL");
  in->ret_acum = NumField(p, "RET_ACUM");
  in->f_ingreso = DateField(p, "F_INGRESO");
  in->f_retiro = DateField(p, "F_RETIRO");
  in->sal_comple = IntField(p, "SAL_COMPLE");
  in->inc_cont = IntField(p, "INC_CONT");
  row->codigo = in->codigo;
  row->nombre = in->nombre;
  row->cod_seguro = StrField(p, "COD_SEGURO");
  row->seguro_pat = StrField(p, "SEGURO_PAT");
  row->identifica = StrField(p, "CEDULA");
  row->a_depto = StrField(p, "A_DEPTO");
  row->id_interno = StrField(p, "ID_INTERNO");
  row->telefono1 = StrField(p, "TELEFONO1");
  row->telefono2 = StrField(p, "TELEFONO2");
  row->email = StrField(p, "EMAIL");
  row->gafete = StrField(p, "GAFETE");
  row->nacimiento = DateField(p, "NACIMIENTO");
  row->f_inicio = DateField(p, "F_INICIO");
  row->f_retiro = in->f_retiro;
}

bool ReadSapColumn(const xb::Table& v, const std::map<std::string, std::string>& categories,
                   SapColumnInput* c) {
  c->columna = StrField(v, "COD_COLUMN");
  auto cat = categories.find(c->columna);
  if (cat == categories.end()) return false;
  c->categoria = cat->second;
  c->valor = NumField(v, "VALOR_1");
  c->factor = NumField(v, "FACTOR");
  c->constante = NumField(v, "FACTOR_4");
  c->limite = NumField(v, "LIMITE");
  return true;
}

std::set<std::string> SapMappedColumns(const std::vector<SapMapRow>& mapping) {
  std::set<std::string> out;
  for (const auto& m : mapping)
    if (!m.IsTotal()) out.insert(m.columna);
  return out;
}

void SapGather::Add(SapEmployeeRow row, const SapEmployeeResult& r, double ret_acum) {
  ++dept_.employees;
  SapTotals t;
  t.s_total = r.net;
  t.d_total = r.d;
  t.r_total = r.r;
  t.ind_total = r.n;
  t.i_total = r.s;
  dept_.totals.Add(t);
  for (const auto& [col, a] : r.columns) dept_.columns[col].Add(a);
  for (const auto& p : r.problems) out_->problems.push_back(p);
  if (!out_->detail) return;
  auto seen = index_.find(row.codigo);
  if (seen != index_.end()) {
    // Met again (a second department): its amounts add up.
    SapEmployeeRow& e = out_->employees[seen->second];
    e.totals.Add(t);
    ++e.contador;
    for (const auto& [col, a] : r.columns) e.columns[col].Add(a);
    return;
  }
  // On the first occurrence the net is what is paid after the withholding
  // carried over, never below 0.
  t.s_total = r.net - ret_acum > 0 ? r.net - ret_acum : 0;
  row.totals = t;
  row.contador = 1;
  row.columns = r.columns;
  row.extra = dept_.extra;
  row.depto = dept_.depto;
  row.moneda = dept_.moneda;
  row.fecha = dept_.fecha;
  index_[row.codigo] = out_->employees.size();
  out_->employees.push_back(std::move(row));
}

void SapGather::EndDept() {
  if (dept_.employees > 0) out_->departments.push_back(std::move(dept_));
  dept_ = SapDeptRow{};
}

}  // namespace qz
