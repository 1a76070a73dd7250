// Printed documents as a page model: text placed at character columns on
// numbered lines (bold, underline, italic, larger type, aligned inside a
// span of columns), rules, boxes with optional grey shading, logos, page
// breaks, a header repeated on every page and a footer that knows the page
// count. A report is written once with a PageWriter; the window system
// renders the same document to the preview, to PDF and to a printer, the
// workbook writer types its columns, and tests read it.
//
// Coordinates are in character cells of the page: line 0 is the top line,
// column 0 the left edge; rules, boxes and logos take fractional cells.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qz {

enum class PrintAlign { kLeft = 0, kCenter = 1, kRight = 2 };

// What part of the page printed a text: the report's column headings (they
// define the columns of a workbook), the frame around every page (titles,
// page numbers: never exported), or the body.
enum class PrintRole { kBody = 0, kHeading = 1, kFrame = 2 };

struct PrintText {
  int line = 0;      // 0-based line of the page
  int column = 0;    // 0-based character column where the span starts
  std::string text;  // UTF-8
  bool bold = false;
  bool underline = false;
  bool italic = false;
  double scale = 1.0;  // type size relative to the page's line height
  PrintAlign align = PrintAlign::kLeft;
  int width = 0;  // span in columns the text is aligned in; 0 = its own length
  PrintRole role = PrintRole::kBody;

  int Span() const;  // width, or the length of the text in characters
};

// A straight rule from (line1, col1) to (line2, col2); a horizontal rule
// under line n lies at n + 1.
struct PrintRule {
  double line1 = 0, col1 = 0, line2 = 0, col2 = 0;
  double pen_points = 0.75;
};

// A rectangle from (top, left) to (bottom, right): framed, filled with grey
// (`shade` percent of black, 0 = none) or both.
struct PrintBox {
  double top = 0, left = 0, bottom = 0, right = 0;
  bool frame = true;
  int shade = 0;
};

// A picture file drawn into a rectangle, keeping its proportions.
struct PrintImage {
  double top = 0, left = 0, bottom = 0, right = 0;
  std::string path;
};

struct PrintPage {
  std::vector<PrintText> items;
  std::vector<PrintRule> rules;
  std::vector<PrintBox> boxes;
  std::vector<PrintImage> images;
};

struct PrintDocument {
  std::string title;  // the document name the print queue shows
  // The report's titles (title 1 names the workbook sheet and file).
  std::vector<std::string> titles;
  std::string font_family = "Times New Roman";
  int lines_per_page = 66;
  int columns = 80;
  bool landscape = false;
  std::vector<PrintPage> pages;

  // The page as plain text, one string per line (trailing blanks dropped);
  // aligned texts sit where their alignment puts them inside their span.
  std::vector<std::string> PageLines(int page) const;
  // Every page's lines joined, pages separated by a form feed line.
  std::string PlainText() const;
};

// Length of UTF-8 text in characters (code points).
int TextColumns(const std::string& utf8);

class PageWriter {
 public:
  // The font is the installation's print font (XPRINT_FONT); shading of
  // boxes follows the installation's grey-box setting (XGRAYED).
  PageWriter(std::string title, int lines_per_page = 66, int columns = 80, bool landscape = false);

  // Printed at the top of every page (the current page included when set
  // before anything is printed on it). Receives the 1-based page number.
  // Texts printed here are the report's column headings.
  void SetHeader(std::function<void(PageWriter&, int page)> header);
  // Printed on the last `lines` lines of every page once the document is
  // finished, so it can show "Página n de N". The body never enters them.
  void SetFooter(int lines, std::function<void(PageWriter&, int page, int pages)> footer);
  // The common frame of a report: the logo (a file of the installation's BMP
  // folder, "" for none) and the titles at the top of every page, before the
  // header; a rule, the print date and time and "Página n de N" at the
  // bottom. Up to four titles; the first is also the document's title.
  void UseReportFrame(const std::vector<std::string>& titles, const std::string& logo_file);

  void SetFont(const std::string& family) { doc_.font_family = family; }

  enum Style { kPlain = 0, kBold = 1, kUnderline = 2, kItalic = 4 };
  // Prints `text` at `column` of the current line.
  void Say(int column, const std::string& text, int style = kPlain);
  // Prints `text` aligned inside the `width` columns starting at `column`.
  void SayAligned(int column, int width, const std::string& text, PrintAlign align,
                  int style = kPlain, double scale = 1.0);
  // Prints `text` so that it ends at column `end_column` (exclusive): the
  // way amounts line up.
  void SayRight(int end_column, const std::string& text, int style = kPlain);

  // A horizontal rule under the current line from column `from` to `to`.
  void RuleBelow(double from, double to, double pen_points = 0.75);
  // A rule anywhere on the current page (in cells).
  void Rule(double line1, double col1, double line2, double col2, double pen_points = 0.75);
  // A box over `lines` lines from the current one, columns `from` to `to`;
  // `shade` is dropped when the installation does not allow grey boxes.
  void Box(int lines, double from, double to, int shade = 0, bool frame = true);
  // A picture from the installation's BMP folder over `lines` lines and
  // `columns` columns at the current line. A missing file draws nothing.
  void Logo(const std::string& file, double column, double lines, double columns);

  // Moves to the next line; starts a new page when the next line would pass
  // 95 % of the body of the page.
  void NewLine();
  void NewPage();

  int line() const { return line_; }
  int page() const { return static_cast<int>(doc_.pages.size()); }
  // Lines of the page the body may fill (the footers take the rest).
  int body_lines() const {
    return doc_.lines_per_page - footer_lines_ - (framed_ ? kFrameFooterLines : 0);
  }
  static constexpr int kFrameFooterLines = 2;
  PrintDocument Finish();

 private:
  void StartPage();
  PrintPage& Current();
  void PrintFrameHeader(int page);
  void PrintFrameFooter(int page, int pages);

  PrintDocument doc_;
  std::function<void(PageWriter&, int)> header_;
  std::function<void(PageWriter&, int, int)> footer_;
  int footer_lines_ = 0;
  std::vector<std::string> frame_titles_;
  std::string frame_logo_;
  bool framed_ = false;
  bool allow_shade_ = true;
  int line_ = 0;
  PrintRole role_ = PrintRole::kBody;
  bool page_started_ = false;
  int target_page_ = -1;  // the page the footer is printed on
};

// The path of a file of the installation's BMP folder, matched without
// regard to case; the plain path when nothing matches.
std::string InstallationBitmap(const std::string& file);

}  // namespace qz
