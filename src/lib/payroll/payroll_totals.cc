#include "lib/payroll/payroll_totals.h"

#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "lib/data/locking.h"
#include "lib/data/use.h"
#include "lib/payroll/consolidation_tables.h"
#include "lib/payroll/value_loader.h"
#include "xbase/codepage.h"
#include "xbase/value.h"

namespace qz {
namespace {

using consolidation::Padded;
using consolidation::Raw;
using consolidation::RowsOf;
using consolidation::Trimmed;

struct Row {
  uint32_t recno;
  LineValue value;
  bool entered;
};

}  // namespace

xb::Result<PayrollTotals> ComputePayrollTotals(const PayrollKey& key, const EnteredValue& entered) {
  TablePtr header = USE(nullptr, "H_E_DEPT", "H_E_DEPT2");
  xb::Table& h = header->table();
  const std::string negocio = Padded(h, "NEGOCIO", xb::FromUtf8(key.negocio));
  const std::string depto = Padded(h, "CODIGO", xb::FromUtf8(key.depto));
  const std::string day = xb::DtosFromJulian(key.fecha);
  XB_RETURN_IF_ERROR(h.Seek(xb::Value::Char(negocio + depto + day)));
  if (!h.Found() || h.Eof())
    return xb::Status::NotFound("no payroll of " + key.depto + " on " + day);
  PayrollContext payroll;
  payroll.fecha = key.fecha;
  payroll.depto_hora = static_cast<int>(NumField(h, "DEPTO_HORA"));
  const std::string tipo = Raw(h, "TIPO");
  const std::string moneda = Trimmed(Raw(h, "MONEDA"));

  TablePtr types = USE(nullptr, "H_TIP_PL", "H_TIP_PL");
  xb::Table& tp = types->table();
  XB_RETURN_IF_ERROR(
      tp.Seek(xb::Value::Char(negocio + depto + Padded(tp, "CODIGO", tipo) + day)));
  if (tp.Found() && !tp.Eof()) XB_RETURN_IF_ERROR(ReadPayrollType(tp, &payroll.tipo));
  KILLTABLA(types);
  std::map<std::string, double> schedules;
  TablePtr tiempo = USE(nullptr, "H_TIEM_E", "H_TIEM_E2");
  for (uint32_t r : RowsOf(*tiempo, "H_TIEM_E2", negocio + depto + day)) {
    XB_RETURN_IF_ERROR(tiempo->table().GoTo(r));
    schedules[Trimmed(Raw(tiempo->table(), "CODIGO"))] = NumField(tiempo->table(), "FACTOR");
  }
  KILLTABLA(tiempo);

  TablePtr h_e_tip = USE(nullptr, "H_E_TIP", "H_E_TIP");
  TablePtr h_d_tip = USE(nullptr, "H_D_TIP", "H_D_TIP");
  TablePtr rates = USE(nullptr, "T_CAMBIO");
  ColumnTables tables{&h_e_tip->table(), &h_d_tip->table(), &h, &rates->table(), nullptr};
  std::map<std::string, std::unique_ptr<ColumnValue>> classes;
  auto value_class = [&](const std::string& column) -> ColumnValue* {
    auto it = classes.find(column);
    if (it != classes.end()) return it->second.get();
    ColumnRequest r{negocio, depto, column, true, moneda};
    auto made = OpenColumnValue(r, tables, payroll);
    return (classes[column] = made.ok() ? std::move(*made) : nullptr).get();
  };
  const int per_month = PayrollsInMonth(payroll.tipo, key.fecha);

  PayrollTotals out;
  TablePtr lines = USE(nullptr, "H_E_PERS", "H_E_PERS");
  TablePtr values = USE(nullptr, "H_D_PERS", "H_D_PERS2");
  xb::Table& v = values->table();
  for (uint32_t l : RowsOf(*lines, "H_E_PERS", negocio + depto + day)) {
    xb::Table& p = lines->table();
    XB_RETURN_IF_ERROR(p.GoTo(l));
    const std::string code = Raw(p, "CODIGO");
    LineFacts facts = ReadLineFacts(p);
    auto schedule = schedules.find(Trimmed(Raw(p, "COD_TIEMPO")));
    facts.schedule_factor = schedule == schedules.end() ? 0 : schedule->second;
    const std::string empleado = Trimmed(xb::ToUtf8(code));

    std::vector<Row> rows;
    std::vector<LineValue> line;
    for (uint32_t r : RowsOf(*values, "H_D_PERS2", negocio + Padded(v, "CODIGO", code) + day)) {
      XB_RETURN_IF_ERROR(v.GoTo(r));
      LineValue lv{Trimmed(Raw(v, "COD_COLUMN")), NumField(v, "VALOR_1"), NumField(v, "FACTOR")};
      const bool given = entered && entered(empleado, &lv);
      rows.push_back({r, lv, given});
      line.push_back(lv);
    }
    std::vector<double> totals(line.size(), 0);
    for (size_t i = 0; i < line.size(); ++i) {
      ColumnValue* k = value_class(line[i].columna);
      if (!k) continue;
      if (auto* tax = dynamic_cast<VAL_COMP*>(k); tax && k->definition().tipo_tabla == 1) {
        line[i].valor = facts.tot_sal * per_month;
        tax->PUT_2(true, per_month, false, 0);
      }
      k->PUT(LineInput(k->definition(), line, line[i], facts));
      totals[i] = std::round(k->GET().total * 100) / 100;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
      XB_RETURN_IF_ERROR(v.GoTo(rows[i].recno));
      if (NumField(v, "VALOR_1") == line[i].valor && NumField(v, "FACTOR") == line[i].factor &&
          NumField(v, "TOTAL") == totals[i])
        continue;
      LOCK_FOR_MODIFY(*values);
      values->FieldPut("VALOR_1", xb::Value::Number(line[i].valor));
      values->FieldPut("FACTOR", xb::Value::Number(line[i].factor));
      values->FieldPut("TOTAL", xb::Value::Number(totals[i]));
      UNLOCK_FOR_MODIFY(*values);
      ++out.rows;
    }
    ++out.lines;
  }
  for (TablePtr* t : {&lines, &values, &h_e_tip, &h_d_tip, &rates, &header}) KILLTABLA(*t);
  return out;
}

}  // namespace qz
