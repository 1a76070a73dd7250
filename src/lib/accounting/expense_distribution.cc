#include "lib/accounting/expense_distribution.h"

#include <optional>
#include <set>

#include "lib/accounting/expense_accounts.h"
#include "lib/accounting/expense_pay.h"
#include "lib/payroll/consolidation_tables.h"
#include "lib/payroll/days_worked.h"
#include "lib/payroll/money.h"
#include "lib/payroll/rates.h"
#include "lib/settings/globals.h"
#include "xbase/codepage.h"
#include "xbase/table.h"

namespace qz {
namespace {

using consolidation::Raw;
using consolidation::RowsOf;

const char* const kModuloPlanilla = "06";
const char* const kModuloBancos = "04";

// The payroll parameters the net and the balancing read.
struct Rounding {
  bool redondeo = false;
  int decimales = 2, decimal_5 = 0;
  std::string lig_ajuste;
};

struct Person {
  std::string raw_code;  // as stored
  std::string codigo, nombre, dist_cost;
  std::string banco, cuenta, banco_tot, cuenta_tot;
  int tipo_pago = 0;
};

class Distributor {
 public:
  Distributor(ExpenseTables& t, const ExpenseReference& ref, const ExpenseRequest& req,
              ExpenseRun& run)
      : t_(t), ref_(ref), req_(req), run_(run), negocio_(PadRight(xb::FromUtf8(req.negocio), 15)) {
    xb::Table& f = t_["F_PLAN"];
    if (Lookup(f, "F_PLAN", negocio_)) {
      rounding_.redondeo = IntField(f, "REDONDEO") == 1;
      rounding_.decimales = IntField(f, "DECIMALES");
      rounding_.decimal_5 = IntField(f, "DECIMAL_5");
      rounding_.lig_ajuste = ExpenseText(f, "LIG_AJUSTE");
    }
  }

  // The employees of the department the run takes, by record number.
  std::vector<uint32_t> Employees(const std::string& depto) {
    xb::Table& e = t_["ENC_PERS"];
    std::string prefix = negocio_ + PadRight(xb::FromUtf8(depto), 15);
    const char* tag = "ENC_PERS";
    if (!req_.todas_las_formas) {
      prefix += std::to_string(req_.forma_pago).substr(0, 1);
      tag = "ENC_PERS10";
    }
    std::vector<uint32_t> out;
    if (!e.SetOrder(tag).ok() || !e.Seek(xb::Value::Char(prefix), true).ok()) return out;
    for (; !e.Eof(); (void)e.Skip(1)) {
      auto key = e.CurrentKey();
      if (!key.ok() || key->compare(0, prefix.size(), prefix) != 0) break;
      out.push_back(e.RecNo());
    }
    return out;
  }

  // Computes the department's employees `rows`; false when the user stopped.
  bool Department(const std::string& code, const std::vector<uint32_t>& rows, int64_t* done,
                  int64_t total) {
    const ExpenseDepartment d =
        ReadExpenseDepartment(t_["ENC_DEPT"], t_["TIP_PLA"], req_.negocio, code);
    if (!d.found) return true;
    depto_ = &d;
    rate_ = CAMBIO_ACT(xb::FromUtf8(req_.negocio), t_["T_CAMBIO"], xb::FromUtf8(req_.moneda),
                       xb::FromUtf8(d.moneda));
    ExpensePayCalculator calc(t_, req_.negocio, d, req_.fecha);
    int included = 0;
    for (uint32_t r : rows) {
      xb::Table& e = t_["ENC_PERS"];
      if (!e.GoTo(r).ok() || e.Eof()) continue;
      if (EmployeeIncluded(t_, req_.negocio, req_.fecha)) {
        ++included;
        Employee(calc);
      }
      ++*done;
      if (req_.progress && !req_.progress(*done, total)) {
        run_.cancelled = true;
        break;
      }
    }
    if (included > 0) {
      if (!ref_.Link(kModuloPlanilla, d.liga_cont))
        Error("La liga contable definida para el  departamento " + d.descrip + "  no es válida");
      if (!ref_.Link(kModuloPlanilla, d.cred_ret))
        Error("La liga contable crédito para la retención temporal es invalida para el "
              "departamento " + d.descrip);
      if (!ref_.Link(kModuloPlanilla, d.deb_ret))
        Error("La liga contable débito para la retención temporal es invalida para el "
              "departamento " + d.descrip);
    }
    run_.empleados += included;
    depto_ = nullptr;
    return !run_.cancelled;
  }

 private:
  void Employee(ExpensePayCalculator& calc) {
    xb::Table& e = t_["ENC_PERS"];
    Person p;
    p.raw_code = Raw(e, "CODIGO");
    p.codigo = ExpenseText(e, "CODIGO");
    p.nombre = ExpenseText(e, "NOMBRE");
    p.dist_cost = ExpenseText(e, "DIST_COST");
    p.banco = ExpenseText(e, "BANCO");
    p.cuenta = ExpenseText(e, "CUENTA");
    p.banco_tot = ExpenseText(e, "BANCO_TOT");
    p.cuenta_tot = ExpenseText(e, "CUENTA_TOT");
    p.tipo_pago = IntField(e, "TIPO_PAGO");
    person_ = &p;
    const size_t first = run_.lines.size();
    const EmployeePay pay = calc.Compute();

    for (const ColumnAmount& c : pay.columns) {
      ExpenseLine base = Line(c.columna, c.descrip);
      std::vector<SplitPart> split = Split(c.centro_ind ? c.columna : "", c.descrip);
      if (c.individual) {
        if (consolidation::Trimmed(c.cuenta_con).empty()) {
          Error("La cuenta no es válida para la columna " + c.descrip + " del empleado " + p.nombre,
                c.columna);
          continue;
        }
        base.individual = true;
        base.debito = c.afecta_debito;
        base.modulo = kModuloPlanilla;
        AddLines(c.monto, base, nullptr, c.cuenta_con, split, c.descrip);
        continue;
      }
      const ExpenseLink* link = ref_.Link(kModuloPlanilla, c.liga);
      if (!link) {
        Error("La liga contable definida en el departamento " + depto_->descrip +
                  " para la columna " + c.descrip + "  no es válida",
              c.columna);
        continue;
      }
      base.modulo = kModuloPlanilla;
      AddLines(c.monto, base, link, "", split, c.descrip);
    }

    double net = pay.Net();
    // The employee's own split, read when something is booked on it.
    std::optional<std::vector<SplitPart>> own;
    auto split = [&]() -> const std::vector<SplitPart>& {
      if (!own) own = Split("", "");
      return *own;
    };
    if (rounding_.redondeo) {
      const double rounded = ROUND6(net, rounding_.decimales, rounding_.decimal_5);
      if (rounded != net) {
        if (const ExpenseLink* link = ref_.Link(kModuloPlanilla, rounding_.lig_ajuste)) {
          ExpenseLine l = Line("", "Redondeo");
          l.modulo = kModuloPlanilla;
          AddLines(rounded - net, l, link, "", split(), "Redondeo");
        } else {
          Error("La liga contable definida para el ajuste por redondeo no existe");
        }
        net = rounded;
      }
    }
    // The withholding carried to this payroll is taken back in full: the net
    // already has it subtracted, so the entry stays balanced.
    if (pay.ret_acum != 0) PayrollLink(depto_->cred_ret, pay.ret_acum, "Retención Acumulada", split());
    if (net > 0) {
      run_.a_pagar += net * rate_;
      Payment(net, split());
    } else if (net < 0) {
      for (size_t i = first; i < run_.lines.size(); ++i) run_.lines[i].grupo = kGrupoRetencion;
      const ExpenseLink* link = ref_.Link(kModuloPlanilla, depto_->deb_ret);
      if (link) {
        ExpenseLine l = Line("", link->descrip);
        l.grupo = kGrupoRetencion;
        l.modulo = kModuloPlanilla;
        AddLines(-net, l, link, "", split(), "");
      }
      run_.retenido += -net * rate_;
    } else {
      for (size_t i = first; i < run_.lines.size(); ++i) run_.lines[i].grupo = kGrupoNetoCero;
      run_.neto_cero = true;
    }
    person_ = nullptr;
  }

  // The net on the payment method's link.
  void Payment(double net, const std::vector<SplitPart>& split) {
    const Person& p = *person_;
    if (p.tipo_pago == kPagoChequeIndividual || p.tipo_pago == kPagoChequeTotalizado) {
      const bool tot = p.tipo_pago == kPagoChequeTotalizado;
      const std::string& banco = tot ? p.banco_tot : p.banco;
      const std::string& cuenta = tot ? p.cuenta_tot : p.cuenta;
      const ExpenseLink* link = ref_.Link(kModuloBancos, ref_.BankLink(banco, cuenta));
      if (!link) {
        Error("La liga contable de la cuenta bancaria " + banco + " " + cuenta +
              " no es válida para el empleado " + p.nombre);
        return;
      }
      ExpenseLine l = Line("", link->descrip);
      l.modulo = kModuloBancos;
      AddLines(net, l, link, "", split, "");
      return;
    }
    PayrollLink(depto_->liga_cont, net, "", split);
  }

  // An amount on one of the department's payroll links (comment: the
  // link's description unless given). A missing link is reported by the
  // department's checks.
  void PayrollLink(const std::string& code, double amount, const std::string& comment,
                   const std::vector<SplitPart>& split) {
    const ExpenseLink* link = ref_.Link(kModuloPlanilla, code);
    if (!link) return;
    ExpenseLine l = Line("", comment.empty() ? link->descrip : comment);
    l.modulo = kModuloPlanilla;
    AddLines(amount, l, link, "", split, "");
  }

  ExpenseLine Line(const std::string& columna, const std::string& comenta) const {
    ExpenseLine l;
    l.depto = depto_->codigo;
    l.empleado = person_->codigo;
    l.nombre = person_->nombre;
    l.columna = columna;
    l.comenta = comenta;
    return l;
  }

  // The split of a column booked on its own split (`columna` given), else
  // the employee's: its distribution table, or the department's split.
  std::vector<SplitPart> Split(const std::string& columna, const std::string& descrip) {
    std::vector<SplitPart> parts;
    const Person& p = *person_;
    if (!columna.empty()) {
      xb::Table& s = t_["DET_PER3"];
      const std::string prefix = negocio_ + p.raw_code + PadRight(xb::FromUtf8(columna), 2);
      if (s.SetOrder("DET_PER_A").ok() && s.Seek(xb::Value::Char(prefix), true).ok())
        for (; !s.Eof(); (void)s.Skip(1)) {
          auto key = s.CurrentKey();
          if (!key.ok() || key->compare(0, prefix.size(), prefix) != 0) break;
          parts.push_back({ExpenseText(s, "COD_CENTRO"), NumField(s, "PORCENTAJE") / 100});
        }
    } else {
      const std::vector<SplitPart>* found = p.dist_cost.empty()
                                                ? ref_.DepartmentSplit(depto_->codigo)
                                                : ref_.TableSplit(p.dist_cost);
      if (found) parts = *found;
    }
    double sum = 0;
    for (const SplitPart& part : parts) sum += part.fraccion;
    if (sum == 0 && !descrip.empty())
      Error("La distribución por centros de costo suma 0 para la columna " + descrip +
                " del empleado " + p.nombre,
            columna);
    else if (sum == 0)
      Error("La distribución por centros de costo del empleado " + p.nombre + " suma 0");
    return parts;
  }

  // Adds the amount's lines, one per part of the split.
  void AddLines(double amount, const ExpenseLine& base, const ExpenseLink* link,
                const std::string& own_account, const std::vector<SplitPart>& split,
                const std::string& what) {
    if (amount == 0) return;
    if (rate_ == 0) {
      Error("No existe el tipo de cambio de " + depto_->moneda + " a " + req_.moneda +
                " para el empleado " + person_->nombre +
                (what.empty() ? std::string() : " en la columna " + what),
            base.columna);
      return;
    }
    for (const SplitPart& part : split) {
      if (part.fraccion == 0) continue;
      const ExpenseReference::Centre* centre = ref_.FindCentre(part.centro);
      if (!centre) {
        Error("El centro de costo " + part.centro + " no existe (empleado " + person_->nombre +
                  (what.empty() ? std::string() : ", columna " + what) + ")",
              base.columna);
        continue;
      }
      ExpenseLine l = base;
      l.centro = part.centro;
      l.porcentaje = part.fraccion * 100;
      l.monto = RoundHalfAway(amount * part.fraccion * rate_, 2);
      if (link) {
        l.liga = link->codigo;
        l.debito = link->debito;
        l.cuenta = AccountFromLink(link->cuenta, link->formato, centre->prefijo_raw);
        l.txt_cuenta = link->descrip;
        l.c_analiza = link->c_analiza;
      } else {
        l.cuenta = consolidation::Trimmed(centre->prefijo_raw).empty() ? OwnAccountWithoutCentre(own_account)
                                                          : OwnAccountForCentre(own_account,
                                                                                centre->prefijo_raw);
        l.txt_cuenta = ref_.AccountDescription(l.cuenta);
      }
      if (l.monto == 0) continue;
      RememberCentre(part.centro, *centre);
      run_.lines.push_back(std::move(l));
    }
  }

  void RememberCentre(const std::string& code, const ExpenseReference::Centre& c) {
    if (!seen_.insert(code).second) return;
    run_.centres.push_back({code, consolidation::Trimmed(c.prefijo_raw), c.descrip});
  }

  void Error(const std::string& text, const std::string& columna = "") {
    if (!reported_.insert(text).second) return;
    run_.errors.push_back({text, depto_ ? depto_->codigo : "", person_ ? person_->codigo : "",
                           columna});
  }

  ExpenseTables& t_;
  const ExpenseReference& ref_;
  const ExpenseRequest& req_;
  ExpenseRun& run_;
  std::string negocio_;
  Rounding rounding_;
  const ExpenseDepartment* depto_ = nullptr;
  const Person* person_ = nullptr;
  double rate_ = 1;
  std::set<std::string> seen_, reported_;
};

// Runs the departments of `req` into `run` (without balancing). `done` and
// `total` count the employees of a larger pass the progress reports on
// (total 0: just these departments).
void Distribute(ExpenseTables& tables, const ExpenseReference& ref, const ExpenseRequest& req,
                ExpenseRun& run, int64_t* done, int64_t total = 0) {
  Distributor d(tables, ref, req, run);
  std::vector<std::vector<uint32_t>> rows;
  int64_t own = 0;
  for (const std::string& depto : req.deptos) {
    rows.push_back(d.Employees(depto));
    own += static_cast<int64_t>(rows.back().size());
  }
  for (size_t i = 0; i < req.deptos.size(); ++i)
    if (!d.Department(req.deptos[i], rows[i], done, total ? total : own)) break;
}

std::string Unbalanced(const GroupSums& s, int grupo, double amount, const std::string& depto) {
  std::string text = "Los Débitos" + ExpenseAmountText(s.debitos) + " y Créditos " +
                     ExpenseAmountText(s.creditos);
  if (grupo == kGrupoRetencion)
    return text + " , no concuerdan.Revise las ligas contables del departamento : " + depto +
           "\r\nMonto a girar por retencion" + ExpenseAmountText(amount);
  return text + " , no concuerdan.\r\nMonto a girar" + ExpenseAmountText(amount);
}

}  // namespace

ExpenseRun ComputeExpenseDistribution(const ExpenseRequest& request) {
  ExpenseRun run;
  ExpenseTables tables;
  ExpenseReference ref(request.negocio);
  int64_t done = 0;
  Distribute(tables, ref, request, run, &done);
  BalanceRun(run);
  return run;
}

std::vector<ExpenseError> ValidateExpenseDistribution(const ExpenseRequest& request) {
  std::vector<ExpenseError> errors;
  ExpenseTables tables;
  ExpenseReference ref(request.negocio);
  std::set<std::string> seen;
  ExpenseRequest all = request;
  all.todas_las_formas = true;
  int64_t total = 0, done = 0;
  {
    ExpenseRun counting;
    Distributor d(tables, ref, all, counting);
    for (const std::string& depto : all.deptos)
      total += static_cast<int64_t>(d.Employees(depto).size());
  }
  for (const std::string& depto : request.deptos) {
    ExpenseRequest one = all;
    one.deptos = {depto};
    ExpenseRun run;
    Distribute(tables, ref, one, run, &done, total);
    BalanceRun(run);
    const ExpenseDepartment d =
        ReadExpenseDepartment(tables["ENC_DEPT"], tables["TIP_PLA"], request.negocio, depto);
    for (int grupo : {kGrupoPagar, kGrupoRetencion, kGrupoNetoCero}) {
      const GroupSums s = SumGroup(run.lines, grupo);
      if (ExpenseAmountText(s.debitos) == ExpenseAmountText(s.creditos)) continue;
      const double amount = grupo == kGrupoPagar       ? run.a_pagar
                            : grupo == kGrupoRetencion ? run.retenido
                                                       : 0;
      run.errors.push_back({Unbalanced(s, grupo, amount, d.descrip), d.codigo, "", ""});
    }
    for (ExpenseError& e : run.errors)
      if (seen.insert(e.text).second) errors.push_back(std::move(e));
    if (run.cancelled) break;
  }
  return errors;
}

}  // namespace qz
