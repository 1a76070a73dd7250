// What a SAP journal run computes: the totals of each included employee and
// department, the recorded results of the mapped columns, and the journal
// lines the mapping makes of them. Plain values: the work tables, the
// printout and the reconciliation are written from them.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qz {

// RESULTADO .. RESULTADO5 of a column: the amount, the value, the factor,
// the constant and the first group amount, in the journal's currency.
struct SapAmounts {
  std::array<double, 5> r{0, 0, 0, 0, 0};
  void Add(const SapAmounts& o) {
    for (size_t i = 0; i < r.size(); ++i) r[i] += o.r[i];
  }
};

// S_TOTAL (net), D_TOTAL (deductions), R_TOTAL (withholdings), IND_TOTAL
// (non-deductible income), I_TOTAL (salary income).
struct SapTotals {
  double s_total = 0, d_total = 0, r_total = 0, ind_total = 0, i_total = 0;
  // The amount of a total code "_1" .. "_5" (0 for anything else).
  double Of(const std::string& code) const;
  void Add(const SapTotals& o);
};

struct SapEmployeeRow {
  std::string codigo, nombre, depto;  // as stored (code page bytes), right-trimmed
  int extra = 0;
  int contador = 1;
  SapTotals totals;
  std::map<std::string, SapAmounts> columns;  // recorded columns, by trimmed code
  // The identification fields the employee totals table keeps.
  std::string cod_seguro, seguro_pat, identifica, moneda, a_depto, id_interno, telefono1,
      telefono2, email, gafete, texto;
  int32_t fecha = 0, nacimiento = 0, f_inicio = 0, f_retiro = 0;
};

struct SapDeptRow {
  std::string depto, descrip, cecos, moneda;  // as stored, right-trimmed
  int extra = 0;
  int32_t fecha = 0;  // the pay date
  int employees = 0;  // included employees
  SapTotals totals;
  std::map<std::string, SapAmounts> columns;
};

// A problem that keeps the journal from being written: the employee (name)
// and column it concerns, and the text shown to the user.
struct SapProblem {
  std::string empleado, columna;
  std::string text;  // UTF-8
};

struct SapComputation {
  bool detail = false;  // some mapping row lists employees (APLICA = 1)
  bool cancelled = false;
  std::vector<SapDeptRow> departments;   // with at least one included employee
  std::vector<SapEmployeeRow> employees;  // only with the detail flag
  std::vector<SapProblem> problems;
};

// One journal line (TMP_PL13).
struct SapLine {
  std::string columna;
  int orden = 0;
  std::string bloque, cuenta, ce_cos, rotulo, rotulo2;  // as stored bytes, right-trimmed
  double debito = 0, credito = 0;
  bool balance = false;  // the "_6" line: its amounts balance its block
};

// Debit and credit sums of a block, its balancing line included.
struct SapBlockTotal {
  std::string bloque;
  double debito = 0, credito = 0;
  double balance = 0;  // debit - credit before the balancing line
  bool has_balance_line = false;
};

}  // namespace qz
