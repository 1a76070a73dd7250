#include "lib/accounting/sap_reconcile.h"

#include <cmath>
#include <map>

#include "lib/accounting/sap_print.h"
#include "lib/data/date_time.h"
#include "lib/payroll/work_table.h"
#include "xbase/codepage.h"
#include "xbase/value.h"

namespace qz {
namespace {

std::string U(const std::string& bytes) {
  return xb::ToUtf8(RTrim(bytes));
}

std::string Money(double v) {
  std::string s = SapAmountText(v);
  return s.substr(s.find_first_not_of(' '));
}

}  // namespace

bool SapSameAmount(double a, double b) {
  return std::fabs(a - b) < 0.005;
}

xb::Result<SapReconciliation> ReconcileSapPayroll(const SapPayrollKey& k) {
  auto t = OpenPayrollTable(nullptr, "F_AS_SA2");
  if (!t.ok()) return t.status();
  auto mapping = LoadSapMapping((*t)->table(), k.negocio);
  ReleasePayrollTable(*t);
  if (!mapping.ok()) return mapping.status();
  return ReconcileSapPayroll(k, *mapping);
}

xb::Result<SapReconciliation> ReconcileSapPayroll(const SapPayrollKey& k,
                                                  const std::vector<SapMapRow>& mapping,
                                                  bool journal_rules) {
  SapPaid paid;
  auto computed = ComputeHistorySap(k, mapping, &paid, !journal_rules);
  if (!computed.ok()) return computed.status();
  SapReconciliation r;
  r.key = k;
  r.lines = paid.lines;
  if (!computed->departments.empty()) r.descrip = U(computed->departments[0].descrip);
  for (const auto& p : computed->problems) r.differences.push_back(p.text);
  if (mapping.empty())
    r.differences.push_back("El negocio no tiene definiciones para el asiento S.A.P");
  const SapDeptRow* dept = computed->departments.empty() ? nullptr : &computed->departments[0];
  const int extra = dept ? dept->extra : 0;

  // By column and total: what was paid against what the journal computed.
  std::set<std::string> named;
  for (const auto& m : mapping) {
    if (m.IsBalance() || !named.insert(m.columna).second) continue;
    SapReconRow row;
    if (m.IsTotal()) {
      row.concepto = SapTotalLabel(m.columna);
      row.planilla = paid.totals.Of(m.columna);
      row.asiento = dept ? dept->totals.Of(m.columna) : 0;
    } else {
      row.concepto = m.columna + " " + U(paid.names[m.columna]);
      row.planilla = paid.columns[m.columna];
      if (dept && dept->columns.count(m.columna)) row.asiento = dept->columns.at(m.columna).r[0];
    }
    if (!SapSameAmount(row.planilla, row.asiento))
      r.differences.push_back(row.concepto + ": planilla " + Money(row.planilla) + ", asiento " +
                              Money(row.asiento));
    r.columns.push_back(row);
  }
  // Every amount paid reaches the journal, by itself or in its total.
  for (const auto& [col, amount] : paid.columns) {
    const std::string& part = paid.part_of[col];
    if (SapSameAmount(amount, 0) || named.count(col) || (!part.empty() && named.count(part)))
      continue;
    if (part.empty()) continue;  // informative: booked only when mapped
    r.differences.push_back("La columna " + col + " " + U(paid.names[col]) + " pagó " +
                            Money(amount) + " y no llega al asiento");
  }

  // By block and account: the payroll's amounts through the mapping against
  // the journal's lines.
  r.journal = BuildSapLines(mapping, *computed);
  std::map<std::pair<std::string, std::string>, SapReconRow> accounts;
  std::map<std::string, double> expected_balance;
  for (const auto& m : mapping) {
    if (m.IsBalance() || !m.Passes(extra)) continue;
    const double base = m.IsTotal() ? paid.totals.Of(m.columna) : paid.columns[m.columna];
    const double amount = std::round(base * m.factor * 100) / 100;
    const double signed_amount = m.debito == 1 ? amount : -amount;
    SapReconRow& a = accounts[{m.bloque, m.cuenta}];
    a.bloque = U(m.bloque);
    a.cuenta = U(m.cuenta);
    a.planilla += signed_amount;
    expected_balance[m.bloque] += signed_amount;
  }
  for (const auto& l : r.journal) {
    if (l.balance) continue;
    SapReconRow& a = accounts[{l.bloque, l.cuenta}];
    a.bloque = U(l.bloque);
    a.cuenta = U(l.cuenta);
    a.asiento += l.debito - l.credito;
  }
  for (auto& [key, a] : accounts) {
    a.concepto = "Cuenta " + a.cuenta;
    if (!SapSameAmount(a.planilla, a.asiento))
      r.differences.push_back("Bloque " + a.bloque + ", cuenta " + a.cuenta + ": planilla " +
                              Money(a.planilla) + ", asiento " + Money(a.asiento));
    r.accounts.push_back(a);
  }

  // Each block's debits against its credits. A balancing line may take up
  // what rounding the nets added; anything more is a difference it hides.
  r.blocks = SapBlockTotals(r.journal);
  for (const auto& b : r.blocks) {
    const double allowed = b.has_balance_line ? std::fabs(paid.rounding) : 0;
    if (std::fabs(b.balance) >= allowed + 0.005)
      r.differences.push_back("Bloque " + U(b.bloque) + ": los débitos exceden a los créditos en " +
                              Money(b.balance) +
                              (b.has_balance_line ? " (la línea de diferencia lo oculta)" : ""));
    else if (!SapSameAmount(b.debito, b.credito))
      r.differences.push_back("Bloque " + U(b.bloque) + ": débitos " + Money(b.debito) +
                              " y créditos " + Money(b.credito) + " no concuerdan");
  }
  return r;
}

PrintDocument SapReconciliationDocument(const SapReconciliation& r,
                                        const std::string& negocio_name) {
  constexpr int kWidth = 120;
  PageWriter w("Conciliación de Planilla y Asiento S.A.P", 66, kWidth, true);
  w.UseReportFrame({"Conciliación de Planilla y Asiento S.A.P", negocio_name,
                    "Departamento " + r.key.depto + " " + r.descrip + " - Planilla del " +
                        DateText(r.key.fecha)},
                   "");
  w.SetHeader([](PageWriter& p, int) {
    p.Say(0, "Concepto", PageWriter::kBold);
    p.Say(46, "Bloque", PageWriter::kBold);
    p.Say(58, "Cuenta", PageWriter::kBold);
    p.SayAligned(74, 14, "      Planilla", PrintAlign::kRight, PageWriter::kBold);
    p.SayAligned(89, 14, "       Asiento", PrintAlign::kRight, PageWriter::kBold);
    p.SayAligned(104, 14, "    Diferencia", PrintAlign::kRight, PageWriter::kBold);
    p.RuleBelow(0, kWidth);
    p.NewLine();
  });
  auto row = [&](const SapReconRow& x) {
    w.Say(0, x.concepto);
    w.Say(46, x.bloque);
    w.Say(58, x.cuenta);
    w.SayAligned(74, 14, SapAmountText(x.planilla), PrintAlign::kRight);
    w.SayAligned(89, 14, SapAmountText(x.asiento), PrintAlign::kRight);
    w.SayAligned(104, 14, SapAmountText(x.Diferencia()), PrintAlign::kRight);
    w.NewLine();
  };
  for (const auto& x : r.columns) row(x);
  w.NewLine();
  for (const auto& x : r.accounts) row(x);
  w.NewLine();
  for (const auto& b : r.blocks) {
    SapReconRow x;
    x.concepto = "Débitos y créditos del bloque";
    x.bloque = U(b.bloque);
    x.planilla = b.debito;
    x.asiento = b.credito;
    row(x);
  }
  w.NewLine();
  if (r.differences.empty()) {
    w.Say(0, "La planilla y el asiento concuerdan.", PageWriter::kBold);
    w.NewLine();
  }
  for (const auto& d : r.differences) {
    w.Say(0, d);
    w.NewLine();
  }
  return w.Finish();
}

}  // namespace qz
