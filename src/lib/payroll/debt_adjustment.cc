#include "lib/payroll/debt_adjustment.h"

#include <cmath>
#include <map>

#include "lib/data/locking.h"
#include "lib/data/use.h"
#include "lib/payroll/consolidation_tables.h"
#include "lib/payroll/days_worked.h"
#include "lib/payroll/payroll_line.h"
#include "lib/payroll/rates.h"
#include "lib/settings/globals.h"
#include "xbase/codepage.h"
#include "xbase/value.h"

namespace qz {
namespace {

using consolidation::Padded;
using consolidation::Raw;
using consolidation::RowsOf;

struct Tables {
  std::map<std::string, TablePtr> open;
  Tables() {
    for (const char* name : {"ENC_DEPT", "TIP_PLA", "ENC_PERS", "DET_PERS", "ENC_TIP", "DEUDORES",
                             "ENC_DDA", "CONCEPTT", "CONCEPTD", "T_CAMBIO"})
      open[name] = USE(nullptr, name);
  }
  ~Tables() {
    for (auto& [name, t] : open) KILLTABLA(t);
  }
  WDBTable& operator[](const std::string& name) { return *open.at(name); }
  xb::Table& t(const std::string& name) { return open.at(name)->table(); }
};

// One debt column of one active employee, with what its sum needs.
struct DebtColumn {
  uint32_t recno = 0;  // DET_PERS row
  int aplica = -1;     // APLICA of the column's deduction concept; -1 when missing
  double divisor = 1;
  std::vector<DebtTransaction> transactions;
};

// Walks the active employees of the departments and their debt columns;
// `department` is told each department (ENC_DEPT on its record), `column`
// each column. Stops early when `column` returns false.
class DebtWalk {
 public:
  DebtWalk(Tables& t, const DebtAdjustmentRequest& r) : t_(t), r_(r) {
    negocio_ = Padded(t.t("ENC_DEPT"), "NEGOCIO", xb::FromUtf8(r.negocio));
  }

  xb::Status Run(const std::function<void()>& department,
                 const std::function<bool(DebtColumn&)>& column, int* employees) {
    xb::Table& depts = t_.t("ENC_DEPT");
    for (const std::string& code : r_.deptos) {
      const std::string depto = Padded(depts, "CODIGO", xb::FromUtf8(code));
      if (!Lookup(depts, "ENC_DEPT", negocio_ + depto)) continue;
      const uint32_t dept_rec = depts.RecNo();
      PayrollType tipo;
      if (Lookup(t_.t("TIP_PLA"), "TIP_PLA", negocio_ + Padded(t_.t("TIP_PLA"), "CODIGO",
                                                                  Raw(depts, "TIPO"))))
        (void)ReadPayrollType(t_.t("TIP_PLA"), &tipo);
      const std::string moneda = Raw(depts, "MONEDA");
      if (department) department();
      xb::Table& emp = t_.t("ENC_PERS");
      for (uint32_t e : RowsOf(t_["ENC_PERS"], "ENC_PERS", negocio_ + depto)) {
        XB_RETURN_IF_ERROR(emp.GoTo(e));
        if (IntField(emp, "ACTIVO") != 1) continue;
        if (employees) ++*employees;
        if (r_.on_employee)
          r_.on_employee(xb::ToUtf8(StrField(emp, "CODIGO")) + "  " +
                         xb::ToUtf8(StrField(emp, "NOMBRE")));
        const std::string empleado = Raw(emp, "CODIGO");
        std::string deudor;
        bool has_debtor = false;
        if (Lookup(t_.t("DEUDORES"), "DEUDOR3",
                   negocio_ + Padded(t_.t("DEUDORES"), "EMPLEADO", empleado))) {
          deudor = Padded(t_.t("ENC_DDA"), "DEUDOR", Raw(t_.t("DEUDORES"), "CODIGO"));
          has_debtor = true;
        }
        xb::Table& dp = t_.t("DET_PERS");
        for (uint32_t v : RowsOf(t_["DET_PERS"], "DET_PERS",
                                 negocio_ + Padded(dp, "CODIGO", empleado))) {
          XB_RETURN_IF_ERROR(dp.GoTo(v));
          const std::string col = Raw(dp, "COD_COLUMN");
          xb::Table& tip = t_.t("ENC_TIP");
          if (!Lookup(tip, "ENC_TIP", negocio_ + Padded(tip, "CODIGO", col)) ||
              IntField(tip, "TIPO") != 1 || IntField(tip, "DEUDA") != 1)
            continue;
          ColumnType def;
          (void)ReadColumnType(tip, &def);
          DebtColumn c;
          c.recno = v;
          c.divisor = PeriodDivisor(tipo, def);
          xb::Table& cd = t_.t("CONCEPTD");
          if (Lookup(cd, "CONCEPTD", negocio_ + Padded(cd, "CODIGO", Raw(tip, "C_DEUDA"))))
            c.aplica = IntField(cd, "APLICA");
          if (has_debtor) ReadTransactions(deudor, col, moneda, &c);
          if (!column(c)) return xb::Status::OK();
        }
      }
      XB_RETURN_IF_ERROR(depts.GoTo(dept_rec));
    }
    return xb::Status::OK();
  }

  const std::string& negocio() const { return negocio_; }

 private:
  void ReadTransactions(const std::string& deudor, const std::string& col,
                        const std::string& moneda, DebtColumn* c) {
    xb::Table& dda = t_.t("ENC_DDA");
    for (uint32_t d : RowsOf(t_["ENC_DDA"], "ENC_DDA4",
                             negocio_ + deudor + Padded(dda, "COLUMNA", col))) {
      if (!dda.GoTo(d).ok()) continue;
      DebtTransaction tr;
      tr.codigo = Raw(dda, "CODIGO");
      tr.activa = IntField(dda, "ACTIVA");
      tr.saldo = NumField(dda, "SALDO");
      tr.cuota = NumField(dda, "CUOTA");
      xb::Table& ct = t_.t("CONCEPTT");
      if (Lookup(ct, "CONCEPTT", negocio_ + Padded(ct, "CODIGO", Raw(dda, "CONCEPTO"))))
        tr.concept_type = IntField(ct, "TIPO");
      const std::string from = Raw(dda, "MONEDA");
      if (!RTrim(from).empty() && !RTrim(moneda).empty() && PadRight(from, 2) != PadRight(moneda, 2))
        tr.tasa = CAMBIO_ACT(negocio_, t_.t("T_CAMBIO"), moneda, from);
      c->transactions.push_back(tr);
    }
  }

  Tables& t_;
  const DebtAdjustmentRequest& r_;
  std::string negocio_;
};

}  // namespace

double DebtInstalment(const std::vector<DebtTransaction>& ts, int aplica, double divisor) {
  const double d = divisor > 0 ? divisor : 1;
  double sum = 0;
  for (const DebtTransaction& t : ts) {
    if (t.concept_type != aplica || t.activa != 1) continue;
    if (t.concept_type == 0) {
      if (t.saldo == 0) continue;
      // The last instalment: only what is still owed.
      sum += t.cuota / d > t.saldo ? t.saldo * d * t.tasa : t.cuota * t.tasa;
    } else if (t.concept_type == 1) {
      sum += t.cuota * t.tasa;
    }
  }
  return std::round(sum * 100) / 100;
}

std::string MisappliedTransactionText(const std::string& codigo) {
  return "El concepto de abono aplicar a la transacción : " + codigo + "es incorrecto";
}

xb::Result<std::optional<std::string>> FirstMisappliedTransaction(const DebtAdjustmentRequest& r) {
  Tables t;
  DebtWalk walk(t, r);
  std::optional<std::string> bad;
  XB_RETURN_IF_ERROR(walk.Run(nullptr,
                              [&](DebtColumn& c) {
                                for (const DebtTransaction& tr : c.transactions) {
                                  if (tr.concept_type >= 0 && tr.concept_type == c.aplica) continue;
                                  bad = tr.codigo;
                                  return false;
                                }
                                return true;
                              },
                              nullptr));
  return bad;
}

xb::Result<DebtAdjustmentDone> AdjustDebtInstalments(const DebtAdjustmentRequest& r) {
  Tables t;
  DebtWalk walk(t, r);
  DebtAdjustmentDone done;
  auto stamp = [&] {
    WDBTable& d = t["ENC_DEPT"];
    LOCK_FOR_MODIFY(d);
    (void)d.table().Put("F_AJUSTE", xb::Value::Date(r.hoy));
    UNLOCK_FOR_MODIFY(d);
  };
  auto set = [&](DebtColumn& c) {
    WDBTable& v = t["DET_PERS"];
    xb::Table& dp = v.table();
    if (!dp.GoTo(c.recno).ok()) return true;
    const double amount = DebtInstalment(c.transactions, c.aplica, c.divisor);
    ++done.columns;
    if (NumField(dp, "VALOR_1") == amount) return true;
    LOCK_FOR_MODIFY(v);
    (void)dp.Put("VALOR_1", xb::Value::Number(amount));
    UNLOCK_FOR_MODIFY(v);
    ++done.changed;
    return true;
  };
  XB_RETURN_IF_ERROR(walk.Run(stamp, set, &done.employees));
  return done;
}

}  // namespace qz
