#include "lib/workbook/report_workbook.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

#include "lib/payroll/dates.h"
#include "lib/settings/globals.h"
#include "lib/workbook/cell_typing.h"
#include "lib/workbook/workbook_names.h"

namespace qz {

namespace {

// One column of the report: a heading text and where it was printed.
struct ReportColumn {
  int row = 0;     // print line of the heading
  int anchor = 0;  // print column texts under it share
  std::string text;
  PrintAlign align = PrintAlign::kLeft;
  int length = 0;
  int widest = -1;  // widest text written under it; -1 = none yet
};

// The column a text belongs to: where it starts, or where it ends when it
// is right-aligned (amounts line up on their last character).
int Anchor(const PrintText& t) {
  return t.align == PrintAlign::kRight ? t.column + t.Span() : t.column;
}

// A line boxed on its own is a framed row: its cells are boxed and bold.
bool FramedLine(const PrintPage& page, int line) {
  for (const auto& b : page.boxes)
    if (b.top <= line && b.bottom >= line + 1 && b.bottom - b.top <= 1.0) return true;
  return false;
}

}  // namespace

XlsValue TypeReportText(const std::string& raw, PrintAlign align, int current_year) {
  std::string text = TrimBlanks(raw);
  if (align == PrintAlign::kRight) {
    if (auto n = ParseAmount(text)) return std::round(*n * 100) / 100;
    return text;
  }
  XlsDate d;
  if (ParseShortDate(text, &d)) {
    int yy = d.year;
    if (align == PrintAlign::kCenter)
      d.year = 2000 + yy;
    else
      d.year = yy >= (current_year % 100) + 30 ? 1900 + yy : 2000 + yy;
    return d;
  }
  return text;
}

XlsTimestampPlan FillReportWorkbook(const PrintDocument& doc, XLS_GENERATOR* book,
                                    int current_year) {
  // 1. The column table, from the texts printed as page heading, ordered by
  // print column (a heading repeated on later pages adds nothing).
  std::vector<ReportColumn> cols;
  for (const auto& page : doc.pages) {
    for (const auto& t : page.items) {
      if (t.role != PrintRole::kHeading) continue;
      std::string text = TrimBlanks(t.text);
      if (text.empty()) continue;
      int anchor = Anchor(t);
      bool known = std::any_of(cols.begin(), cols.end(), [&](const ReportColumn& c) {
        return c.anchor == anchor && c.row == t.line;
      });
      if (known) continue;
      ReportColumn c{t.line, anchor, text, t.align, TextColumns(text), -1};
      auto at = std::upper_bound(cols.begin(), cols.end(), anchor,
                                 [](int a, const ReportColumn& e) { return a < e.anchor; });
      cols.insert(at, c);
    }
  }
  XlsTimestampPlan plan;
  plan.column = -1;
  if (cols.empty()) return plan;

  // 2. Headings: rows renumbered from 1, each at its place among the
  // headings of its row.
  int first_row = cols[0].row;
  for (const auto& c : cols) first_row = std::min(first_row, c.row);
  std::map<int, int> placed_in_row;
  int heading_rows = 0;
  for (const auto& c : cols) {
    int row = c.row - first_row + 1;
    heading_rows = std::max(heading_rows, row);
    book->XLSWRITE(row, ++placed_in_row[c.row], c.text, /*boxed=*/true, /*bold=*/true);
  }
  // The sheet column of data under column i: its place in the table less the
  // headings that lie on earlier heading rows.
  std::vector<int> data_col(cols.size());
  for (size_t i = 0; i < cols.size(); ++i) {
    int earlier = 0;
    for (const auto& c : cols) earlier += c.row < cols[i].row;
    data_col[i] = static_cast<int>(i) + 1 - earlier;
  }

  // 3. Data: each body line with something under a heading is one row.
  int row = heading_rows;
  for (const auto& page : doc.pages) {
    std::map<int, std::vector<const PrintText*>> lines;
    for (const auto& t : page.items)
      if (t.role == PrintRole::kBody) lines[t.line].push_back(&t);
    for (const auto& [line, texts] : lines) {
      bool wrote = false;
      bool framed = FramedLine(page, line);
      for (const PrintText* t : texts) {
        std::string text = TrimBlanks(t->text);
        if (text.empty()) continue;
        int anchor = Anchor(*t);
        auto it = std::find_if(cols.begin(), cols.end(),
                               [&](const ReportColumn& c) { return c.anchor == anchor; });
        if (it == cols.end()) continue;  // no heading: not exported
        if (!wrote) ++row;
        wrote = true;
        size_t i = it - cols.begin();
        book->XLSWRITE(row, data_col[i], TypeReportText(text, it->align, current_year), false,
                       false, framed);
        it->widest = std::max(it->widest, TextColumns(text));
      }
    }
  }

  // 4. Widths, and the timestamp over the columns that received data.
  std::map<int, int> widths;
  for (size_t i = 0; i < cols.size(); ++i)
    widths[data_col[i]] = std::max(widths[data_col[i]], std::max(cols[i].length, cols[i].widest));
  for (const auto& [col, width] : widths) book->XLSCOLSIZE(col, width);
  if (cols[0].widest >= 0) plan.column = data_col[0] - 1;
  for (size_t i = 1; i < cols.size(); ++i)
    if (cols[i].widest >= 0 && data_col[i] - 1 != plan.column)
      plan.blank_columns.push_back(data_col[i] - 1);
  return plan;
}

std::string ReportToWorkbook(const PrintDocument& doc, const ReportWorkbookOptions& options) {
  std::vector<std::string> titles = doc.titles;
  if (titles.empty()) titles.push_back(doc.title);
  titles.resize(4);
  std::string folder = options.folder.empty() ? WorkbookFolder() : options.folder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  std::string temp = TemporaryWorkbookName();
  XLS_GENERATOR book(folder, temp + ".xlsx", titles[0]);
  XlsTimestampPlan plan = FillReportWorkbook(doc, &book, ToYmd(Today()).y);
  std::string name = options.to_email            ? temp
                     : !options.forced_name.empty() ? options.forced_name
                                                    : titles[0];
  bool open = !options.to_email && options.forced_name.empty();
  return book.XLSCLOSE(titles, G().XLOGOFILE, name, open, plan);
}

}  // namespace qz
