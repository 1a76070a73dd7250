// The current payroll of the marked departments, as "Creación de Asiento
// S.A.P" computes it: each department's employees (ENC_PERS) included at the
// pay date, their current column values (DET_PERS) in the department's
// columns (DET_DEPT) through the current column types (ENC_TIP).
#include <map>
#include <memory>

#include "lib/accounting/sap_run.h"
#include "lib/payroll/calc_vac.h"
#include "lib/payroll/days_worked.h"
#include "lib/payroll/income.h"
#include "lib/payroll/rates.h"
#include "lib/payroll/table_position.h"
#include "lib/payroll/value_loader.h"
#include "lib/payroll/work_table.h"
#include "xbase/codepage.h"
#include "xbase/table.h"

namespace qz {
namespace {

const char* const kTables[] = {"ENC_DEPT", "ENC_PERS", "DET_PERS", "DET_DEPT", "ENC_TIP",
                               "DET_TIP",  "TIP_PLA",  "TIEMPO_E", "T_CAMBIO", "H_E_DEPT",
                               "H_E_PERS", "H_D_PERS", "F_PLAN"};

class CurrentRun {
 public:
  CurrentRun(const SapRequest& r, const std::vector<SapMapRow>& mapping)
      : r_(r), negocio_(PadRight(r.negocio, 15)), mapped_(SapMappedColumns(mapping)) {
    for (const auto& m : mapping)
      if (m.aplica == kSapDetallado) detail_ = true;
  }

  SapComputation Run() {
    SapComputation out;
    for (const char* name : kTables) {
      auto t = OpenPayrollTable(r_.owner, name, std::string(name) == "H_D_PERS" ? "H_D_PERS2" : "");
      if (!t.ok()) {
        out.problems.push_back({"", "", "No se pudo abrir la tabla " + std::string(name)});
        return out;
      }
      t_[name] = std::move(*t);
    }
    ReadParameters();
    SapGather gather(&out, detail_);
    for (const auto& d : r_.departamentos) {
      if (!Department(PadRight(d, 15), gather)) {
        out.cancelled = true;
        break;
      }
    }
    for (auto& [name, t] : t_) ReleasePayrollTable(t);
    return out;
  }

 private:
  xb::Table& T(const char* name) { return t_[name]->table(); }

  void ReadParameters() {
    if (Lookup(T("F_PLAN"), "F_PLAN", negocio_)) {
      ctx_.redondeo = IntField(T("F_PLAN"), "REDONDEO");
      ctx_.decimales = IntField(T("F_PLAN"), "DECIMALES", 2);
      ctx_.decimal_5 = IntField(T("F_PLAN"), "DECIMAL_5");
    }
  }

  // False when the user stopped the run.
  bool Department(const std::string& depto, SapGather& gather) {
    xb::Table& dept = T("ENC_DEPT");
    if (!Lookup(dept, "ENC_DEPT", negocio_ + depto)) return true;
    SapDeptRow header;
    header.depto = RTrim(depto);
    header.descrip = StrField(dept, "DESCRIP");
    header.cecos = StrField(dept, "CECOS");
    header.extra = IntField(dept, "EXTRA");
    header.moneda = StrField(dept, "MONEDA");
    const int depto_hora = IntField(dept, "DEPTO_HORA");
    ctx_.has_tipo = Lookup(T("TIP_PLA"), "TIP_PLA", negocio_ + PadRight(StrField(dept, "TIPO"), 2)) &&
                    ReadPayrollType(T("TIP_PLA"), &ctx_.tipo).ok();
    if (!ctx_.has_tipo) ctx_.tipo = PayrollType{};
    const std::string texto = ctx_.has_tipo ? StrField(T("TIP_PLA"), "DESCRIP") : "";
    pay_ = SapPayDate(ctx_.has_tipo ? &ctx_.tipo : nullptr,
                      ctx_.has_tipo ? IntField(T("TIP_PLA"), "OBLIGA_DIA") : 0, r_.corte);
    header.fecha = pay_;
    gather.BeginDept(header);

    moneda_ = header.moneda;
    ctx_.r1 = Rate(r_.moneda, moneda_);
    ctx_.r2 = [this](const std::string& moneda2) { return Rate(moneda2, moneda_); };
    ctx_.mapped = &mapped_;
    ctx_.tax_base = [this, &depto](const SapEmployeeInput& e, const SapColumnInput& c,
                                   IncomeInput ii, VAL_COMP* k) {
      IncomeTables it{&T("TIP_PLA"), &T("H_E_DEPT"), &T("H_E_PERS"), &T("H_D_PERS"), &T("ENC_DEPT")};
      ii.fecha = pay_;
      return OBTENER_SALARIO(negocio_, it, ii, k->definition(), depto, e.codigo, k, c.columna);
    };
    categories_.clear();
    SapForRows(T("DET_DEPT"), "DET_DEPT4", negocio_ + depto, [&](xb::Table& t) {
      categories_[StrField(t, "COD_COLUMN")] = StrField(t, "TIPO");
    });
    classes_.clear();
    calc_vac_.reset();

    std::vector<uint32_t> employees;
    SapForRows(T("ENC_PERS"), "ENC_PERS", negocio_ + depto,
            [&](xb::Table& t) { employees.push_back(t.RecNo()); });
    int64_t done = 0;
    for (uint32_t recno : employees) {
      xb::Table& p = T("ENC_PERS");
      if (!p.GoTo(recno).ok()) continue;
      if (r_.progress && !r_.progress(xb::ToUtf8(header.descrip), done++, employees.size())) {
        gather.EndDept();
        return false;
      }
      Employee(p, depto, depto_hora, texto, gather);
    }
    gather.EndDept();
    return true;
  }

  double Rate(const std::string& target, const std::string& source) {
    if (RTrim(target).empty() || RTrim(source).empty() ||
        PadRight(target, 2) == PadRight(source, 2))
      return 1;
    return CAMBIO_ACT(negocio_, T("T_CAMBIO"), target, source);
  }

  int32_t NewestLine(const std::string& codigo) {
    xb::Table& h = T("H_E_PERS");
    TablePosition keep(&h);
    const std::string key = negocio_ + PadRight(codigo, 15);
    if (!SeekOn(h, "H_E_PERS7", key, true).ok() || h.Eof()) return 0;
    if (PadRight(StrField(h, "NEGOCIO"), 15) + PadRight(StrField(h, "CODIGO"), 15) != key) return 0;
    return DateField(h, "FECHA");
  }

  void Employee(xb::Table& p, const std::string& depto, int depto_hora, const std::string& texto,
                SapGather& gather) {
    const std::string codigo = StrField(p, "CODIGO");
    SapEmployeeStatus st;
    st.f_ingreso = DateField(p, "F_INGRESO");
    st.f_retiro = DateField(p, "F_RETIRO");
    st.activo = IntField(p, "ACTIVO");
    st.inmediato = IntField(p, "INMEDIATO");
    if (st.activo != 1) st.newest_line = NewestLine(codigo);
    if (!SapIncluded(st, pay_)) return;
    const int32_t inicio = st.activo == 1 ? NewestLine(codigo) : st.newest_line;

    SapEmployeeInput in;
    SapEmployeeRow row;
    ReadSapEmployee(p, &in, &row);
    if (Lookup(T("TIEMPO_E"), "TIEMPO_E", negocio_ + PadRight(StrField(p, "COD_TIEMPO"), 2)))
      in.schedule_factor = NumField(T("TIEMPO_E"), "FACTOR");
    CurrentTables ct{&p, &T("DET_PERS"), &T("DET_DEPT"), &T("ENC_TIP"), &T("TIP_PLA"),
                     &T("TIEMPO_E"), &T("ENC_DEPT")};
    in.dias_laborados = GET_DIAS_LABORADOS(negocio_, ct, depto, codigo);

    SapForRows(T("DET_PERS"), "DET_PERS", negocio_ + PadRight(codigo, 15), [&](xb::Table& v) {
      SapColumnInput c;
      if (!ReadSapColumn(v, categories_, &c)) return;
      c.clase = Class(depto, c.columna, inicio, depto_hora, &c.type_missing);
      c.ajuste_vacaciones = SapVacationAdjustment(c, codigo, calc_vac_, [&] {
        CALC_VAC::Bases bases{};
        bases[CALC_VAC::kEncPers] = &p;
        return std::make_unique<CALC_VAC>(negocio_, r_.owner, bases, pay_);
      });
      in.columns.push_back(c);
    });
    SapEmployeeResult res = ComputeSapEmployee(in, ctx_);

    row.texto = texto;
    gather.Add(std::move(row), res, in.ret_acum);
  }

  // The value class of a column for employees whose newest payroll is dated
  // `inicio` (the start of the period the journal books for them).
  ColumnValue* Class(const std::string& depto, const std::string& col, int32_t inicio,
                     int depto_hora, bool* missing) {
    auto key = std::make_pair(col, inicio);
    auto it = classes_.find(key);
    if (it == classes_.end()) {
      PayrollContext pc;
      pc.fecha = pay_;
      pc.fecha_inicio = inicio;
      pc.tipo = ctx_.tipo;
      pc.depto_hora = depto_hora;
      ColumnRequest req{negocio_, depto, col, false, moneda_};
      ColumnTables tables{&T("ENC_TIP"), &T("DET_TIP"), &T("H_E_DEPT"), &T("T_CAMBIO"), r_.owner};
      auto made = OpenColumnValue(req, tables, pc);
      Made m;
      m.missing = !made.ok();
      if (made.ok()) m.clase = std::move(*made);
      it = classes_.emplace(key, std::move(m)).first;
    }
    *missing = it->second.missing;
    return it->second.clase.get();
  }

  struct Made {
    std::unique_ptr<ColumnValue> clase;
    bool missing = false;
  };

  const SapRequest& r_;
  std::string negocio_;
  std::set<std::string> mapped_;
  bool detail_ = false;
  std::map<std::string, TablePtr> t_;
  SapDeptContext ctx_;
  int32_t pay_ = 0;
  std::string moneda_;
  std::map<std::string, std::string> categories_;
  std::map<std::pair<std::string, int32_t>, Made> classes_;
  std::unique_ptr<CALC_VAC> calc_vac_;
};

}  // namespace

SapComputation ComputeCurrentSap(const SapRequest& r, const std::vector<SapMapRow>& mapping) {
  return CurrentRun(r, mapping).Run();
}

}  // namespace qz
