#include "lib/accounting/expense_output.h"

#include <algorithm>
#include <tuple>

#include "lib/payroll/money.h"
#include "lib/workbook/xls_generator.h"

namespace qz {
namespace {

// Cut to `n` characters (UTF-8 aware), so a long text never runs into the
// next column.
std::string Cut(const std::string& s, int n) {
  std::string out;
  int chars = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if ((c & 0xC0) != 0x80 && chars++ == n) break;
    out += s[i];
  }
  return out;
}

std::string Amount(double x) { return x == 0 ? std::string() : ExpenseAmountText(x); }

struct Totals {
  double debito = 0, credito = 0;
  void Add(double d, double c) {
    debito = RoundHalfAway(debito + d, 2);
    credito = RoundHalfAway(credito + c, 2);
  }
};

// The page's amount columns.
struct Columns {
  int debit, credit;
};

void SayAmounts(PageWriter& w, Columns c, double debito, double credito, int style) {
  w.SayRight(c.debit + 14, Amount(debito), style);
  w.SayRight(c.credit + 14, Amount(credito), style);
}

void TotalLine(PageWriter& w, Columns c, int label_col, const std::string& label, const Totals& t) {
  // A rule over the amounts, at the top of the totals' line.
  w.Rule(w.line(), c.debit, w.line(), c.credit + 14);
  w.Say(label_col, label, PageWriter::kBold);
  SayAmounts(w, c, t.debito, t.credito, PageWriter::kBold);
  w.NewLine();
  w.NewLine();
}

void CentreHeading(PageWriter& w, const ExpenseCentre& c) {
  w.Say(0, "División: " + c.prefijo + " : " + c.descrip, PageWriter::kBold);
  w.NewLine();
}

}  // namespace

std::vector<std::string> ExpenseTitles(const std::string& business_name,
                                       const std::string& rotulo) {
  return {business_name, kExpenseTitle, rotulo};
}

std::string WriteExpenseWorkbook(const ExpenseRun& run, const std::string& path,
                                 const std::vector<std::string>& titles) {
  if (!run.errors.empty()) return "";
  std::string p = path;
  std::replace(p.begin(), p.end(), '\\', '/');
  const size_t slash = p.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "" : p.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
  XLS_GENERATOR xls(dir, name, std::string("Gastos de Planilla"));
  const char* const heads[] = {"División", "Cuenta", "Descripción", "Débito", "Crédito"};
  for (int col = 1; col <= 5; ++col) xls.XLSWRITE(1, col, std::string(heads[col - 1]), true, true);
  int row = 2;
  Totals total;
  for (const ExpenseSummaryRow& r : SummarizeExpenses(run)) {
    xls.XLSWRITE(row, 1, r.prefijo);
    xls.XLSWRITE(row, 2, r.cuenta);
    xls.XLSWRITE(row, 3, r.descripcion);
    xls.XLSWRITE(row, 4, r.debito);
    xls.XLSWRITE(row, 5, r.credito);
    total.Add(r.debito, r.credito);
    ++row;
  }
  xls.XLSWRITE(row, 3, std::string("Gran Total"), true, true);
  xls.XLSWRITE(row, 4, total.debito, true, true);
  xls.XLSWRITE(row, 5, total.credito, true, true);
  const double widths[] = {10, 17, 42, 16, 16};
  for (int col = 1; col <= 5; ++col) xls.XLSCOLSIZE(col, widths[col - 1]);
  std::vector<std::string> wb_titles = {kExpenseTitle};
  for (size_t i = 0; i < titles.size(); ++i)
    if (titles[i] != kExpenseTitle) wb_titles.push_back(titles[i]);
  return xls.XLSCLOSE(wb_titles, "", name, false, XlsTimestampPlan{0, {1, 2, 3, 4}});
}

PrintDocument ExpenseSummaryDocument(const ExpenseRun& run,
                                     const std::vector<std::string>& titles) {
  PageWriter w(kExpenseTitle, 66, 96);
  w.UseReportFrame(titles, "");
  const Columns cols{66, 81};
  w.SetHeader([cols](PageWriter& p, int) {
    p.Say(0, "Cuenta", PageWriter::kBold);
    p.Say(16, "Descripción", PageWriter::kBold);
    p.SayRight(cols.debit + 14, "        Debito", PageWriter::kBold);
    p.SayRight(cols.credit + 14, "       Credito", PageWriter::kBold);
    p.RuleBelow(0, 95);
    p.NewLine();
  });
  const std::vector<ExpenseSummaryRow> rows = SummarizeExpenses(run);
  Totals grand;
  for (const ExpenseCentre& c : run.centres) {
    CentreHeading(w, c);
    Totals centre;
    for (const ExpenseSummaryRow& r : rows) {
      if (r.centro != c.codigo) continue;
      w.Say(0, r.cuenta);
      w.Say(16, Cut(r.descripcion, 46));
      SayAmounts(w, cols, r.debito, r.credito, PageWriter::kPlain);
      w.NewLine();
      centre.Add(r.debito, r.credito);
    }
    TotalLine(w, cols, 16, "Total por División", centre);
    grand.Add(centre.debito, centre.credito);
  }
  TotalLine(w, cols, 16, "Gran Total", grand);
  return w.Finish();
}

PrintDocument ExpenseDetailDocument(const ExpenseRun& run, const std::vector<std::string>& titles) {
  PageWriter w(kExpenseTitle, 48, 160, /*landscape=*/true);
  w.UseReportFrame(titles, "");
  const Columns cols{130, 145};
  w.SetHeader([cols](PageWriter& p, int) {
    p.Say(0, "Cuenta", PageWriter::kBold);
    p.Say(16, "Detalle", PageWriter::kBold);
    p.Say(58, "Empleado", PageWriter::kBold);
    p.Say(90, "Comentario", PageWriter::kBold);
    p.SayRight(cols.debit + 14, "        Debito", PageWriter::kBold);
    p.SayRight(cols.credit + 14, "       Credito", PageWriter::kBold);
    p.RuleBelow(0, 159);
    p.NewLine();
  });
  Totals grand;
  for (const ExpenseCentre& c : run.centres) {
    // The centre's lines by link, then employee.
    std::vector<const ExpenseLine*> lines;
    for (const ExpenseLine& l : run.lines)
      if (l.centro == c.codigo) lines.push_back(&l);
    std::stable_sort(lines.begin(), lines.end(), [](const ExpenseLine* a, const ExpenseLine* b) {
      return std::tie(a->liga, a->empleado) < std::tie(b->liga, b->empleado);
    });
    CentreHeading(w, c);
    Totals centre;
    for (const ExpenseLine* l : lines) {
      const double d = l->debito ? l->monto : 0, k = l->debito ? 0 : l->monto;
      w.Say(0, l->cuenta);
      w.Say(16, Cut(l->txt_cuenta, 41));
      w.Say(58, Cut(l->nombre, 31));
      w.Say(90, Cut(l->comenta, 39));
      SayAmounts(w, cols, d, k, PageWriter::kPlain);
      w.NewLine();
      centre.Add(d, k);
    }
    TotalLine(w, cols, 90, "Total por Division", centre);
    grand.Add(centre.debito, centre.credito);
  }
  TotalLine(w, cols, 90, "Gran Total", grand);
  return w.Finish();
}

}  // namespace qz
