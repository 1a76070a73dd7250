// A printed report sent to a spreadsheet instead of paper. The texts the
// report printed as its page heading define the workbook's columns; every
// text printed later at a heading's column becomes a cell under it, typed by
// the heading's alignment (right: amounts become numbers; centred and left:
// "dd/mm/yy" dates become dates), and each column is as wide as its widest
// text. The report is the same PrintDocument the preview and the printer get.
#pragma once

#include <string>

#include "lib/ui/print_document.h"
#include "lib/workbook/xls_generator.h"

namespace qz {

// The cell a report text becomes under a heading with alignment `align`, in
// `current_year` (the two-digit-year rule of left-aligned dates needs it).
XlsValue TypeReportText(const std::string& text, PrintAlign align, int current_year);

struct ReportWorkbookOptions {
  // The caller's file name; "" = named after the report's first title.
  std::string forced_name;
  // The workbook goes to the e-mail sender: temporary name, not opened.
  bool to_email = false;
  // The folder; "" = the temporary workbook folder (WorkbookFolder()).
  std::string folder;
};

// Writes `doc` into a new workbook and saves it. Returns the file's path, or
// "" when it could not be saved (the user has been told why). The workbook is
// opened afterwards unless it goes to e-mail or has a forced name.
std::string ReportToWorkbook(const PrintDocument& doc, const ReportWorkbookOptions& options = {});

// The same conversion into a generator the caller closes (for tests and for
// callers that add sheets of their own). Returns the timestamp plan.
XlsTimestampPlan FillReportWorkbook(const PrintDocument& doc, XLS_GENERATOR* book, int current_year);

}  // namespace qz
