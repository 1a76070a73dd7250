#include "lib/payroll/factor_recalc.h"

#include <cmath>
#include <map>
#include <vector>

#include "lib/data/locking.h"
#include "lib/data/use.h"
#include "lib/payroll/calc_pl.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/money.h"
#include "lib/settings/globals.h"

namespace qz {
namespace {

// Raw field bytes (blank-padded), "" when the field is missing.
std::string Raw(const xb::Table& t, const char* field) {
  auto v = t.Get(field);
  return v.ok() && v->is_char() ? v->str() : std::string();
}

size_t Width(const xb::Table& t, const char* field) {
  int i = t.FieldIndex(field);
  return i < 0 ? 0 : t.fields()[i].len;
}

struct TypeInfo {
  bool base = false;
  bool depend = false;
  double valor_3 = 0;
};

// The definitions one business's recalculation reads, loaded once: per
// employee only the value rows are read.
struct Definitions {
  std::map<std::string, TypeInfo> column_types;  // ENC_TIP by code
  std::map<std::string, double> val_div;         // TIP_PLA by code
  std::map<std::string, double> schedule_factor; // TIEMPO_E by code
  std::map<std::string, std::string> dept_type;  // ENC_DEPT code -> TIPO
  CostRounding rounding;
};

// Visits the rows whose `tag` key starts with `prefix` (the business, or the
// business and a code), in tag order.
template <typename Fn>
void ForRows(xb::Table& t, const std::string& tag, const std::string& prefix, Fn fn) {
  const xb::Value key = xb::Value::Char(prefix);
  if (!t.SetOrder(tag).ok() || !t.SetScope(key, key).ok()) return;
  for (xb::Status s = t.GoTop(); s.ok() && !t.Eof(); s = t.Skip(1)) fn(t);
  (void)t.ClearScope();
}

Definitions LoadDefinitions(const std::string& negocio) {
  Definitions d;
  TablePtr enc_tip = USE(nullptr, "ENC_TIP");
  ForRows(enc_tip->table(), "ENC_TIP", negocio, [&](xb::Table& t) {
    TypeInfo info;
    info.base = IntField(t, "VAL_BASE") == 1;
    info.depend = IntField(t, "VAL_DEPEND") == 1;
    info.valor_3 = NumField(t, "VALOR_3");
    d.column_types[Raw(t, "CODIGO")] = info;
  });
  KILLTABLA(enc_tip);
  TablePtr tip_pla = USE(nullptr, "TIP_PLA");
  ForRows(tip_pla->table(), "TIP_PLA", negocio,
                  [&](xb::Table& t) { d.val_div[Raw(t, "CODIGO")] = NumField(t, "VAL_DIV"); });
  KILLTABLA(tip_pla);
  TablePtr tiempo = USE(nullptr, "TIEMPO_E");
  ForRows(tiempo->table(), "TIEMPO_E", negocio, [&](xb::Table& t) {
    d.schedule_factor[Raw(t, "CODIGO")] = NumField(t, "FACTOR");
  });
  KILLTABLA(tiempo);
  TablePtr dept = USE(nullptr, "ENC_DEPT");
  ForRows(dept->table(), "ENC_DEPT", negocio,
                  [&](xb::Table& t) { d.dept_type[Raw(t, "CODIGO")] = Raw(t, "TIPO"); });
  KILLTABLA(dept);
  TablePtr f_plan = USE(nullptr, "F_PLAN");
  xb::Table& fp = f_plan->table();
  if (fp.SetOrder("F_PLAN").ok() && fp.Seek(xb::Value::Char(negocio)).ok() && !fp.Eof()) {
    d.rounding.red_costo = IntField(fp, "RED_COSTO");
    d.rounding.dec_costo = IntField(fp, "DEC_COSTO");
    d.rounding.dec_cost5 = IntField(fp, "DEC_COST5");
  }
  KILLTABLA(f_plan);
  return d;
}

// The average of past payrolls, for employees without a base-salary value.
// Its tables are opened the first time one is needed: most employees have a
// base value and most recalculations never read the history.
class HistoryBase {
 public:
  explicit HistoryBase(std::string negocio) : negocio_(std::move(negocio)) {}
  ~HistoryBase() {
    for (TablePtr* t : {&h_e_pers_, &h_tip_pl_, &h_e_dept_, &f_plan_, &enc_pers_, &enc_dept_,
                        &t_cambio_})
      if (*t) KILLTABLA(*t);
  }

  double Of(const std::string& empleado, const std::string& depto) {
    if (!h_e_pers_) {
      h_e_pers_ = USE(nullptr, "H_E_PERS");
      h_tip_pl_ = USE(nullptr, "H_TIP_PL");
      h_e_dept_ = USE(nullptr, "H_E_DEPT");
      f_plan_ = USE(nullptr, "F_PLAN");
      enc_pers_ = USE(nullptr, "ENC_PERS");
      enc_dept_ = USE(nullptr, "ENC_DEPT");
      t_cambio_ = USE(nullptr, "T_CAMBIO");
      CalcPlTables t;
      t.h_e_pers = &h_e_pers_->table();
      t.h_tip_pl = &h_tip_pl_->table();
      t.h_e_dept = &h_e_dept_->table();
      t.f_plan = &f_plan_->table();
      t.enc_pers = &enc_pers_->table();
      t.enc_dept = &enc_dept_->table();
      t.t_cambio = &t_cambio_->table();
      calc_.SetTables(t);
    }
    return calc_.GET_ULTIMOS_SAL(negocio_, empleado, depto, true, 0);
  }

 private:
  std::string negocio_;
  TablePtr h_e_pers_, h_tip_pl_, h_e_dept_, f_plan_, enc_pers_, enc_dept_, t_cambio_;
  CALC_PL calc_;
};

struct Employee {
  std::string codigo;
  std::string depto;
  std::string schedule;
};

// The employees in scope, read before any value row is written.
std::vector<Employee> EmployeesInScope(const FactorRecalcScope& scope, const std::string& negocio,
                                       const Definitions& d) {
  std::vector<Employee> out;
  TablePtr handle = USE(nullptr, "ENC_PERS");
  xb::Table& t = handle->table();
  auto take = [&](xb::Table& row) {
    out.push_back({Raw(row, "CODIGO"), Raw(row, "DEPTO"), Raw(row, "COD_TIEMPO")});
  };
  if (!scope.employees.empty()) {
    const size_t width = Width(t, "CODIGO");
    for (const std::string& code : scope.employees)
      ForRows(t, "ENC_PERS2", negocio + PadRight(code, width), take);
  } else if (!scope.department.empty()) {
    ForRows(t, "ENC_PERS", negocio + PadRight(scope.department, Width(t, "DEPTO")), take);
  } else if (!scope.schedule.empty()) {
    const std::string code = PadRight(scope.schedule, Width(t, "COD_TIEMPO"));
    ForRows(t, "ENC_PERS5", negocio + code, take);
  } else if (!scope.payroll_type.empty()) {
    // Departments of the type, each with its employees (tag ENC_PERS:
    // business + department + code).
    for (const auto& [dept, type] : d.dept_type) {
      if (type != PadRight(scope.payroll_type, type.size())) continue;
      ForRows(t, "ENC_PERS", negocio + dept, take);
    }
  } else {
    ForRows(t, "ENC_PERS2", negocio, take);
  }
  KILLTABLA(handle);
  return out;
}

// The value as the field stores it: a factor that would be written unchanged
// is not written at all (no lock, no journal entry).
bool StoredEqual(double stored, double computed, int decimals) {
  return std::fabs(stored - computed) < 0.5 * std::pow(10.0, -decimals);
}

}  // namespace

xb::Result<FactorRecalcResult> RecalcEmployeeFactors(const FactorRecalcScope& scope) {
  const std::string negocio = PadRight(scope.negocio, 15);
  FactorRecalcResult result;
  Definitions d = LoadDefinitions(negocio);
  std::vector<Employee> employees = EmployeesInScope(scope, negocio, d);
  HistoryBase history(negocio);
  TablePtr det_handle = scope.det_pers ? nullptr : USE(nullptr, "DET_PERS");
  WDBTable& det = scope.det_pers ? *scope.det_pers : *det_handle;
  xb::Table& t = det.table();
  if (!t.SetOrder("DET_PERS").ok()) {
    if (det_handle) KILLTABLA(det_handle);
    return xb::Status::NotFound("DET_PERS has no tag DET_PERS");
  }
  int factor_field = t.FieldIndex("FACTOR");
  if (factor_field < 0) {
    if (det_handle) KILLTABLA(det_handle);
    return xb::Status::NotFound("DET_PERS has no field FACTOR");
  }
  const int decimals = t.fields()[factor_field].dec;
  const std::string only_type =
      scope.column_type.empty() ? "" : PadRight(scope.column_type, Width(t, "COD_COLUMN"));

  for (const Employee& e : employees) {
    ++result.employees;
    struct Row {
      uint32_t recno;
      double valor_3;
      double factor;
    };
    std::vector<Row> rows;
    double base = 0;
    bool base_found = false;
    const std::string key = negocio + e.codigo;
    if (t.Seek(xb::Value::Char(key)).ok()) {
      while (!t.Eof() && Raw(t, "NEGOCIO") == negocio && Raw(t, "CODIGO") == e.codigo) {
        const std::string column = Raw(t, "COD_COLUMN");
        auto type = d.column_types.find(column);
        if (type != d.column_types.end()) {
          const TypeInfo& info = type->second;
          if (info.base && (scope.base_is_sum || !base_found)) {
            base += NumField(t, "VALOR_1");
            base_found = true;
          }
          const bool in_scope =
              only_type.empty() ? info.depend && !info.base : column == only_type;
          if (in_scope) rows.push_back({t.RecNo(), info.valor_3, NumField(t, "FACTOR")});
        }
        if (!t.Skip(1).ok()) break;
      }
    }
    if (!rows.empty()) {
      if (base <= 0) base = history.Of(e.codigo, e.depto);
      if (base > 0) {
        auto type = d.dept_type.find(e.depto);
        double val_div = 0;
        if (type != d.dept_type.end()) {
          auto div = d.val_div.find(type->second);
          if (div != d.val_div.end()) val_div = div->second;
        }
        auto sched = d.schedule_factor.find(e.schedule);
        const double hours = sched == d.schedule_factor.end() ? 0 : sched->second;
        for (const Row& r : rows) {
          const double factor = HourlyCostFactor(base, val_div, hours, r.valor_3, d.rounding);
          if (StoredEqual(r.factor, factor, decimals)) continue;
          det.GoTo(r.recno);
          LOCK_FOR_MODIFY(det);
          t.Put("FACTOR", xb::Value::Number(factor));
          UNLOCK_FOR_MODIFY(det);
          ++result.rows;
        }
      }
    }
    if (scope.pump) scope.pump();
  }
  if (det_handle) KILLTABLA(det_handle);
  return result;
}

}  // namespace qz
