// A past payroll as the SAP journal computes it: the payroll's lines
// (H_E_PERS) with their values (H_D_PERS) through the payroll's own copies
// of the column types (H_E_TIP / H_D_TIP), payroll type (H_TIP_PL) and
// schedules (H_TIEM_E); the journal the day it was opened. Beside it, what
// the payroll's rows say was paid.
#include <map>
#include <memory>

#include "lib/accounting/sap_run.h"
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

const char* const kTables[] = {"H_E_DEPT", "H_E_PERS", "H_D_PERS", "H_D_DEPT", "H_E_TIP",
                               "H_D_TIP",  "H_TIP_PL", "H_TIEM_E", "T_CAMBIO", "F_PLAN"};

class HistoryRun {
 public:
  HistoryRun(const SapPayrollKey& k, const std::vector<SapMapRow>& mapping, SapPaid* paid,
             bool as_paid)
      : k_(k),
        as_paid_(as_paid),
        negocio_(PadRight(k.negocio, 15)),
        depto_(PadRight(k.depto, 15)),
        day_(xb::DtosFromJulian(k.fecha)),
        mapped_(SapMappedColumns(mapping)),
        paid_(paid) {
    for (const auto& m : mapping)
      if (m.aplica == kSapDetallado) detail_ = true;
  }

  xb::Result<SapComputation> Run() {
    for (const char* name : kTables) {
      auto t = OpenPayrollTable(nullptr, name, std::string(name) == "H_D_PERS" ? "H_D_PERS2" : "");
      if (!t.ok()) return t.status();
      t_[name] = std::move(*t);
    }
    xb::Status s = Compute();
    for (auto& [name, t] : t_) ReleasePayrollTable(t);
    if (!s.ok()) return s;
    return std::move(out_);
  }

 private:
  xb::Table& T(const char* name) { return t_[name]->table(); }

  xb::Status Compute() {
    xb::Table& h = T("H_E_DEPT");
    if (!Lookup(h, "H_E_DEPT2", negocio_ + depto_ + day_))
      return xb::Status::NotFound("no payroll of " + k_.depto + " on " + day_);
    if (Lookup(T("F_PLAN"), "F_PLAN", negocio_)) {
      ctx_.redondeo = IntField(T("F_PLAN"), "REDONDEO");
      ctx_.decimales = IntField(T("F_PLAN"), "DECIMALES", 2);
      ctx_.decimal_5 = IntField(T("F_PLAN"), "DECIMAL_5");
    }
    SapDeptRow header;
    header.depto = RTrim(depto_);
    header.descrip = StrField(h, "DESCRIP");
    header.cecos = StrField(h, "CECOS");
    header.extra = IntField(h, "EXTRA");
    header.moneda = StrField(h, "MONEDA");
    header.fecha = k_.fecha;
    depto_hora_ = IntField(h, "DEPTO_HORA");
    const std::string tipo = PadRight(StrField(h, "TIPO"), 2);
    ctx_.has_tipo = Lookup(T("H_TIP_PL"), "H_TIP_PL", negocio_ + depto_ + tipo + day_) &&
                    ReadPayrollType(T("H_TIP_PL"), &ctx_.tipo).ok();
    const std::string texto = ctx_.has_tipo ? StrField(T("H_TIP_PL"), "DESCRIP") : "";
    moneda_ = header.moneda;
    ctx_.r1 = Rate(k_.moneda, moneda_);
    if (ctx_.r1 == 0)
      out_.problems.push_back({"", "", "Falta el tipo de cambio de " + xb::ToUtf8(moneda_) +
                                           " a " + k_.moneda + " al " + day_});
    ctx_.r2 = [this](const std::string& m2) { return Rate(m2, moneda_); };
    ctx_.mapped = &mapped_;
    ctx_.tax_base = [this](const SapEmployeeInput& e, const SapColumnInput& c, IncomeInput ii,
                           VAL_COMP* k) {
      IncomeTables it{&T("H_TIP_PL"), &T("H_E_DEPT"), &T("H_E_PERS"), &T("H_D_PERS"), nullptr};
      ii.fecha = k_.fecha;
      return HIST_OBTENER_SALARIO(negocio_, it, ii, k->definition(), depto_, e.codigo, k,
                                  c.columna);
    };
    SapForRows(T("H_TIEM_E"), "H_TIEM_E2", negocio_ + depto_ + day_, [&](xb::Table& t) {
      schedules_[StrField(t, "CODIGO")] = NumField(t, "FACTOR");
    });
    SapForRows(T("H_D_DEPT"), "H_D_DEPT5", negocio_ + depto_ + day_, [&](xb::Table& t) {
      categories_[StrField(t, "COD_COLUMN")] = StrField(t, "TIPO");
    });

    SapGather gather(&out_, detail_);
    gather.BeginDept(header);
    SapForRows(T("H_E_PERS"), "H_E_PERS", negocio_ + depto_ + day_,
            [&](xb::Table& p) { Line(p, texto, gather); });
    gather.EndDept();
    return xb::Status::OK();
  }

  double Rate(const std::string& target, const std::string& source) {
    if (RTrim(target).empty() || RTrim(source).empty() ||
        PadRight(target, 2) == PadRight(source, 2))
      return 1;
    return CAMBIO_SPEC(negocio_, T("T_CAMBIO"), target, source, k_.fecha);
  }

  // The date of the employee's payroll line before this one (0: none).
  int32_t PreviousLine(const std::string& codigo) {
    xb::Table& h = T("H_E_PERS");
    TablePosition keep(&h);
    const std::string key = negocio_ + PadRight(codigo, 15);
    if (!SeekOn(h, "H_E_PERS7", key, true).ok()) return 0;
    for (bool more = true; more && !h.Eof(); more = h.Skip().ok()) {
      if (PadRight(StrField(h, "NEGOCIO"), 15) + PadRight(StrField(h, "CODIGO"), 15) != key) break;
      const int32_t f = DateField(h, "FECHA");
      if (f < k_.fecha) return f;
    }
    return 0;
  }

  void Line(xb::Table& p, const std::string& texto, SapGather& gather) {
    SapEmployeeInput in;
    SapEmployeeRow row;
    ReadSapEmployee(p, &in, &row);
    const std::string& codigo = in.codigo;
    auto sch = schedules_.find(StrField(p, "COD_TIEMPO"));
    in.schedule_factor = sch == schedules_.end() ? 0 : sch->second;
    // Days worked and the period start only matter to columns computed again.
    int32_t inicio = 0;
    if (!as_paid_) {
      HistoryTables ht{&p,          &T("H_D_PERS"), &T("H_D_DEPT"), &T("H_E_TIP"),
                       &T("H_TIP_PL"), &T("H_TIEM_E"), &T("H_E_DEPT")};
      in.dias_laborados = GET_HIST_DIAS_LABORADOS(negocio_, ht, depto_, codigo, k_.fecha);
      inicio = PreviousLine(codigo);
    }

    SapTotals paid;
    SapForRows(T("H_D_PERS"), "H_D_PERS2", negocio_ + PadRight(codigo, 15) + day_, [&](xb::Table& v) {
      SapColumnInput c;
      if (!ReadSapColumn(v, categories_, &c)) return;
      c.clase = Class(c.columna, inicio, &c.type_missing);
      const double total = NumField(v, "TOTAL");
      if (c.clase) Paid(c, total, &paid);
      c.has_paid = as_paid_;
      c.paid = total;
      in.columns.push_back(c);
    });
    SapEmployeeResult res = ComputeSapEmployee(in, ctx_);
    if (paid_) {
      const double net = paid.i_total + paid.ind_total - (paid.d_total + paid.r_total);
      paid.s_total = SapNetRounding(net, ctx_);
      paid_->rounding += paid.s_total - net;
      paid_->totals.Add(paid);
      ++paid_->lines;
    }

    row.texto = texto;
    gather.Add(std::move(row), res, in.ret_acum);
  }

  // What the value row says was paid, sorted into the journal's totals.
  void Paid(const SapColumnInput& c, double total, SapTotals* t) {
    if (!paid_) return;
    const ColumnType& def = c.clase->definition();
    const bool withheld = c.categoria == "02" || c.categoria == "03";
    const double v = (withheld ? -total : total) * ctx_.r1;
    std::string part;
    if (c.categoria == "02") part = "_2";
    if (c.categoria == "03") part = "_3";
    if (c.categoria == "01" && !(def.tipo != 1 && def.info == 1))
      part = def.deducible == 1 ? "_5" : "_4";
    if (part == "_2") t->d_total += v;
    if (part == "_3") t->r_total += v;
    if (part == "_4") t->ind_total += v;
    if (part == "_5") t->i_total += v;
    paid_->columns[c.columna] += v;
    if (!paid_->names.count(c.columna)) {
      paid_->names[c.columna] = Descrip(c.columna);
      paid_->part_of[c.columna] = part;
    }
  }

  std::string Descrip(const std::string& col) {
    xb::Table& t = T("H_E_TIP");
    TablePosition keep(&t);
    if (Lookup(t, "H_E_TIP", negocio_ + depto_ + PadRight(col, 2) + day_))
      return StrField(t, "DESCRIP");
    return "";
  }

  ColumnValue* Class(const std::string& col, int32_t inicio, bool* missing) {
    auto key = std::make_pair(col, inicio);
    auto it = classes_.find(key);
    if (it == classes_.end()) {
      PayrollContext pc;
      pc.fecha = k_.fecha;
      pc.fecha_inicio = inicio;
      pc.tipo = ctx_.tipo;
      pc.depto_hora = depto_hora_;
      ColumnRequest req{negocio_, depto_, col, true, moneda_};
      ColumnTables tables{&T("H_E_TIP"), &T("H_D_TIP"), &T("H_E_DEPT"), &T("T_CAMBIO"), nullptr};
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

  SapPayrollKey k_;
  bool as_paid_;
  std::string negocio_, depto_, day_;
  std::set<std::string> mapped_;
  SapPaid* paid_;
  bool detail_ = false;
  std::map<std::string, TablePtr> t_;
  SapDeptContext ctx_;
  std::string moneda_;
  int depto_hora_ = 0;
  std::map<std::string, double> schedules_;
  std::map<std::string, std::string> categories_;
  std::map<std::pair<std::string, int32_t>, Made> classes_;
  SapComputation out_;
};

}  // namespace

xb::Result<SapComputation> ComputeHistorySap(const SapPayrollKey& k,
                                             const std::vector<SapMapRow>& mapping,
                                             SapPaid* paid, bool as_paid) {
  return HistoryRun(k, mapping, paid, as_paid).Run();
}

}  // namespace qz
