// Balancing and summing the accounting lines of the expense distribution.
#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

#include "lib/accounting/expense_distribution.h"
#include "lib/payroll/money.h"
#include "lib/ui/picture.h"

namespace qz {
namespace {

// The group's lines in link order, lines of one link in the order they were
// added (the order of the working table's group-and-link tag).
std::vector<size_t> GroupOrder(const std::vector<ExpenseLine>& lines, int grupo) {
  std::vector<size_t> order;
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].grupo == grupo) order.push_back(i);
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return lines[a].liga < lines[b].liga; });
  return order;
}

}  // namespace

GroupSums SumGroup(const std::vector<ExpenseLine>& lines, int grupo) {
  GroupSums s;
  for (const ExpenseLine& l : lines) {
    if (l.grupo != grupo) continue;
    (l.debito ? s.debitos : s.creditos) += l.monto;
  }
  s.debitos = RoundHalfAway(s.debitos, 2);
  s.creditos = RoundHalfAway(s.creditos, 2);
  return s;
}

bool BalanceGroup(std::vector<ExpenseLine>& lines, int grupo, double tolerance) {
  const GroupSums s = SumGroup(lines, grupo);
  const double diff = RoundHalfAway(s.debitos - s.creditos, 2);
  if (diff == 0 || std::fabs(diff) > tolerance) return false;
  // The payable and withholding groups move a debit line, the zero-net
  // group a credit line: either way the two sums meet.
  const bool on_debit = grupo != kGrupoNetoCero;
  for (size_t i : GroupOrder(lines, grupo)) {
    ExpenseLine& l = lines[i];
    if (l.individual || l.debito != on_debit) continue;
    l.monto = RoundHalfAway(l.monto + (on_debit ? -diff : diff), 2);
    return true;
  }
  return false;
}

void BalanceRun(ExpenseRun& run) {
  if (run.a_pagar > 0) BalanceGroup(run.lines, kGrupoPagar);
  if (run.retenido > 0) BalanceGroup(run.lines, kGrupoRetencion);
  if (run.neto_cero) BalanceGroup(run.lines, kGrupoNetoCero);
}

std::string ExpenseAmountText(double amount) {
  return FormatNumber(RoundHalfAway(amount, 2), "999,999,999.99");
}

std::vector<ExpenseSummaryRow> SummarizeExpenses(const ExpenseRun& run) {
  std::vector<ExpenseSummaryRow> out;
  for (const ExpenseCentre& c : run.centres) {
    // Key: link code, or the own account, so each prints once per centre.
    std::map<std::string, ExpenseSummaryRow> rows;
    for (const ExpenseLine& l : run.lines) {
      if (l.centro != c.codigo) continue;
      const std::string key = l.individual ? "~" + l.cuenta : l.liga + "|" + l.cuenta;
      ExpenseSummaryRow& r = rows[key];
      if (r.cuenta.empty()) {
        r.centro = c.codigo;
        r.prefijo = c.prefijo;
        r.cuenta = l.cuenta;
        r.descripcion = l.txt_cuenta;
      }
      (l.debito ? r.debito : r.credito) += l.monto;
    }
    for (auto& [key, r] : rows) {
      r.debito = RoundHalfAway(r.debito, 2);
      r.credito = RoundHalfAway(r.credito, 2);
      out.push_back(r);
    }
  }
  return out;
}

}  // namespace qz
