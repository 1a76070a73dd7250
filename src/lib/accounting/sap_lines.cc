#include "lib/accounting/sap_lines.h"

#include <algorithm>
#include <cmath>

#include "lib/payroll/money.h"
#include "lib/payroll/table_position.h"
#include "lib/settings/globals.h"

namespace qz {
namespace {

double Amount(const SapMapRow& m, const SapTotals& t, const std::map<std::string, SapAmounts>& cols) {
  if (m.IsTotal()) return t.Of(m.columna);
  auto it = cols.find(m.columna);
  return it == cols.end() ? 0 : it->second.r[0];
}

void Add(std::vector<SapLine>* out, const SapMapRow& m, double amount, const std::string& ce_cos,
         const std::string& rotulo) {
  if (amount == 0 && !m.IsBalance()) return;
  SapLine l;
  l.columna = m.columna;
  l.orden = m.orden;
  l.bloque = m.bloque;
  l.cuenta = m.cuenta;
  l.ce_cos = ce_cos;
  l.rotulo = rotulo;
  l.rotulo2 = m.rotulo;
  l.balance = m.IsBalance();
  if (!l.balance) (m.debito == 1 ? l.debito : l.credito) = RoundHalfAway(amount * m.factor, 2);
  out->push_back(std::move(l));
}

}  // namespace

std::string SapLineKey(const SapLine& l) {
  return PadRight(l.bloque, 10) + Str(l.orden, 4);
}

std::vector<SapLine> BuildSapLines(const std::vector<SapMapRow>& mapping, const SapComputation& c) {
  // Department rows in the order of TMP_PL11's tag (extra mark, code), employee
  // rows in that of TMP_PLA4's TMP_13 (extra mark, code).
  std::vector<const SapDeptRow*> depts;
  for (const auto& d : c.departments) depts.push_back(&d);
  std::stable_sort(depts.begin(), depts.end(), [](const SapDeptRow* a, const SapDeptRow* b) {
    return std::make_pair(a->extra, PadRight(a->depto, 15)) <
           std::make_pair(b->extra, PadRight(b->depto, 15));
  });
  std::vector<const SapEmployeeRow*> emps;
  for (const auto& e : c.employees) emps.push_back(&e);
  std::stable_sort(emps.begin(), emps.end(), [](const SapEmployeeRow* a, const SapEmployeeRow* b) {
    return std::make_pair(a->extra, PadRight(a->codigo, 15)) <
           std::make_pair(b->extra, PadRight(b->codigo, 15));
  });

  std::vector<SapLine> out;
  for (const auto& m : mapping) {
    if (m.IsBalance()) {
      // One balancing line for its block, whatever level the row names.
      Add(&out, m, 0, "", m.rotulo);
      continue;
    }
    switch (m.aplica) {
      case kSapDetallado:
        for (const SapEmployeeRow* e : emps)
          if (m.Passes(e->extra)) Add(&out, m, Amount(m, e->totals, e->columns), m.cecos, e->nombre);
        break;
      case kSapGranTotal: {
        double sum = 0;
        for (const SapDeptRow* d : depts)
          if (m.Passes(d->extra)) sum += Amount(m, d->totals, d->columns);
        Add(&out, m, sum, "", m.rotulo);
        break;
      }
      default:
        for (const SapDeptRow* d : depts)
          if (m.Passes(d->extra)) Add(&out, m, Amount(m, d->totals, d->columns), d->cecos, d->descrip);
        break;
    }
  }
  BalanceSapLines(&out);
  return out;
}

void BalanceSapLines(std::vector<SapLine>* lines) {
  std::stable_sort(lines->begin(), lines->end(), [](const SapLine& a, const SapLine& b) {
    return SapLineKey(a) < SapLineKey(b);
  });
  for (const auto& block : SapBlockTotals(*lines)) {
    bool first = true;
    for (auto& l : *lines) {
      if (!l.balance || l.bloque != block.bloque) continue;
      l.debito = l.credito = 0;
      if (!first) continue;
      first = false;
      // Cents decide: what a printout would show as equal sums is equal.
      const double diff = RoundHalfAway(block.balance, 2);
      if (diff > 0) l.credito = diff;
      if (diff < 0) l.debito = -diff;
    }
  }
}

std::vector<SapBlockTotal> SapBlockTotals(const std::vector<SapLine>& lines) {
  std::vector<SapBlockTotal> out;
  for (const auto& l : lines) {
    if (out.empty() || PadRight(out.back().bloque, 10) != PadRight(l.bloque, 10)) {
      out.push_back(SapBlockTotal{});
      out.back().bloque = l.bloque;
    }
    SapBlockTotal& b = out.back();
    b.debito += l.debito;
    b.credito += l.credito;
    if (l.balance) {
      b.has_balance_line = true;
    } else {
      b.balance += l.debito - l.credito;
    }
  }
  return out;
}

}  // namespace qz
