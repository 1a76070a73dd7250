#include "lib/payroll/group_totals.h"

#include <cmath>
#include <map>
#include <memory>

#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/data/use.h"
#include "lib/payroll/consolidation_tables.h"
#include "lib/payroll/days_worked.h"
#include "lib/payroll/payroll_line.h"
#include "lib/payroll/value_loader.h"
#include "xbase/codepage.h"
#include "xbase/value.h"

namespace qz {
namespace {

using consolidation::Padded;
using consolidation::Raw;
using consolidation::RowsOf;
using consolidation::Trimmed;

constexpr const char* kGroupFields[4] = {"TOT_GRUPO1", "TOT_GRUPO2", "TOT_GRUPO3", "TOT_GRUPO4"};

double Cents(double v) {
  return std::round(v * 100) / 100;
}

// Every table the recomputation reads or writes, for the length of one run.
struct Tables {
  std::map<std::string, TablePtr> open;
  Tables() {
    for (const char* name : {"H_E_DEPT", "H_E_PERS", "H_D_PERS", "H_D_DEPT", "H_E_TIP", "H_TIP_PL",
                             "H_TIEM_E", "ENC_TIP", "DET_TIP", "T_CAMBIO", "ENC_DEPT", "TIP_PLA",
                             "F_PLAN"})
      open[name] = USE(nullptr, name);
  }
  ~Tables() {
    for (auto& [name, t] : open) KILLTABLA(t);
  }
  WDBTable& operator[](const std::string& name) { return *open.at(name); }
  xb::Table& t(const std::string& name) { return open.at(name)->table(); }
};

// The bonus groups whose "Base 365" flag is set in the business's parameters.
BonusBase365 BonusGroups(xb::Table& f_plan, const std::string& negocio) {
  BonusBase365 b;
  if (!Lookup(f_plan, "F_PLAN", negocio)) return b;
  for (int i = 0; i < 4; ++i)
    b.divide[i] = IntField(f_plan, ("DIVIDE_AG" + std::to_string(i + 2)).c_str()) == 1;
  return b;
}

// The payroll type the payroll was paid with: its own copy, or the
// department's current type when the copy is missing.
PayrollType PayrollTypeOf(Tables& t, const std::string& negocio, const std::string& depto,
                          const std::string& tipo, const std::string& day) {
  PayrollType out;
  if (Lookup(t.t("H_TIP_PL"), "H_TIP_PL", negocio + depto + tipo + day)) {
    (void)ReadPayrollType(t.t("H_TIP_PL"), &out);
  } else if (Lookup(t.t("TIP_PLA"), "TIP_PLA", negocio + tipo)) {
    (void)ReadPayrollType(t.t("TIP_PLA"), &out);
  }
  return out;
}

class PayrollRun {
 public:
  PayrollRun(Tables& t, const std::string& negocio, const std::string& depto, int32_t fecha,
             const BonusBase365* bonus)
      : t_(t), negocio_(negocio), depto_(depto), fecha_(fecha), day_(xb::DtosFromJulian(fecha)) {
    xb::Table& h = t.t("H_E_DEPT");
    ctx_.fecha = fecha;
    ctx_.fecha_inicio = fecha;  // the line's date is both ends: no proration
    ctx_.depto_hora = IntField(h, "DEPTO_HORA");
    ctx_.bonus = bonus;
    ctx_.tipo = PayrollTypeOf(t, negocio, depto, Padded(h, "TIPO", Raw(h, "TIPO")), day_);
    moneda_ = Trimmed(Raw(h, "MONEDA"));
  }

  // Recomputes one line (H_E_PERS on its record); true when it was rewritten.
  bool Line() {
    WDBTable& lines = t_["H_E_PERS"];
    xb::Table& p = lines.table();
    const std::string code = Raw(p, "CODIGO");
    LineFacts facts = ReadLineFacts(p);
    if (Lookup(t_.t("H_TIEM_E"), "H_TIEM_E",
               negocio_ + depto_ + Padded(t_.t("H_TIEM_E"), "CODIGO", Raw(p, "COD_TIEMPO")) + day_))
      facts.schedule_factor = NumField(t_.t("H_TIEM_E"), "FACTOR");
    HistoryTables hist{&p,
                       &t_.t("H_D_PERS"),
                       &t_.t("H_D_DEPT"),
                       &t_.t("H_E_TIP"),
                       &t_.t("H_TIP_PL"),
                       &t_.t("H_TIEM_E"),
                       &t_.t("H_E_DEPT")};
    facts.dias_laborados = GET_HIST_DIAS_LABORADOS(negocio_, hist, depto_, code, fecha_);

    xb::Table& v = t_.t("H_D_PERS");
    std::vector<LineValue> line;
    std::vector<double> constants;
    for (uint32_t r : RowsOf(t_["H_D_PERS"], "H_D_PERS2", negocio_ + code + day_)) {
      if (!v.GoTo(r).ok()) continue;
      line.push_back({Trimmed(Raw(v, "COD_COLUMN")), NumField(v, "VALOR_1"), NumField(v, "FACTOR")});
      constants.push_back(NumField(v, "FACTOR_4"));
    }
    std::array<double, 4> totals{0, 0, 0, 0};
    for (size_t i = 0; i < line.size(); ++i) {
      ColumnValue* k = ValueClass(line[i].columna);
      if (!k) continue;
      EmployeeInput in = LineInput(k->definition(), line, line[i], facts);
      in.valor = line[i].valor / PeriodDivisor(ctx_.tipo, k->definition());
      in.constante = constants[i];
      k->PUT(in);
      for (int g = 0; g < 4; ++g) totals[g] += k->GET().grupo[g];
    }

    bool same = true;
    for (int g = 0; g < 4; ++g) {
      totals[g] = Cents(totals[g]);
      same = same && NumField(p, kGroupFields[g]) == totals[g];
    }
    if (same) return false;
    LOCK_FOR_MODIFY(lines);
    for (int g = 0; g < 4; ++g) (void)p.Put(kGroupFields[g], xb::Value::Number(totals[g]));
    UNLOCK_FOR_MODIFY(lines);
    return true;
  }

 private:
  // The column's value class on the current definition; null when the
  // current type is missing or is not an absolute value.
  ColumnValue* ValueClass(const std::string& column) {
    auto it = classes_.find(column);
    if (it != classes_.end()) return it->second.get();
    std::unique_ptr<ColumnValue> made;
    xb::Table& tip = t_.t("ENC_TIP");
    if (Lookup(tip, "ENC_TIP", negocio_ + Padded(tip, "CODIGO", column)) &&
        IntField(tip, "TIPO") == 1) {
      ColumnRequest r{negocio_, depto_, column, false, moneda_};
      ColumnTables tables{&tip, &t_.t("DET_TIP"), &t_.t("H_E_DEPT"), &t_.t("T_CAMBIO"), nullptr};
      auto opened = OpenColumnValue(r, tables, ctx_);
      if (opened.ok()) made = std::move(*opened);
    }
    return (classes_[column] = std::move(made)).get();
  }

  Tables& t_;
  std::string negocio_, depto_;
  int32_t fecha_;
  std::string day_, moneda_;
  PayrollContext ctx_;
  std::map<std::string, std::unique_ptr<ColumnValue>> classes_;
};

}  // namespace

xb::Result<GroupTotalsDone> RecalcGroupTotals(const GroupTotalsRequest& r) {
  Tables t;
  xb::Table& h = t.t("H_E_DEPT");
  const std::string negocio = Padded(h, "NEGOCIO", xb::FromUtf8(r.negocio));
  const BonusBase365 bonus = BonusGroups(t.t("F_PLAN"), negocio);
  GroupTotalsDone done;
  for (const std::string& code : r.deptos) {
    const std::string depto = Padded(h, "CODIGO", xb::FromUtf8(code));
    for (uint32_t payroll : RowsOf(t["H_E_DEPT"], "H_E_DEPT2", negocio + depto)) {
      XB_RETURN_IF_ERROR(h.GoTo(payroll));
      const int32_t fecha = DateField(h, "FECHA");
      if ((r.desde != 0 && fecha < r.desde) || (r.hasta != 0 && fecha > r.hasta)) continue;
      if (r.on_payroll)
        r.on_payroll(DateText(fecha) + "  " + xb::ToUtf8(StrField(h, "DESCRIP")));
      PayrollRun run(t, negocio, depto, fecha, &bonus);
      ++done.payrolls;
      xb::Table& p = t.t("H_E_PERS");
      for (uint32_t l : RowsOf(t["H_E_PERS"], "H_E_PERS", negocio + depto + xb::DtosFromJulian(fecha))) {
        XB_RETURN_IF_ERROR(p.GoTo(l));
        if (r.on_line)
          r.on_line(xb::ToUtf8(StrField(p, "CODIGO")) + "  " + xb::ToUtf8(StrField(p, "NOMBRE")));
        if (run.Line()) ++done.changed;
        ++done.lines;
      }
    }
  }
  return done;
}

}  // namespace qz
