// Printed documents as a page model: text placed at character columns on
// numbered lines, bold and underline, page breaks and a header repeated on
// every page. The Qt window system renders it (printer, PDF, preview); tests
// read it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qz {

struct PrintText {
  int line = 0;      // 0-based line of the page
  int column = 0;    // 0-based character column
  std::string text;  // UTF-8
  bool bold = false;
  bool underline = false;
};

struct PrintPage {
  std::vector<PrintText> items;
};

struct PrintDocument {
  std::string title;
  int lines_per_page = 66;
  int columns = 80;
  bool landscape = false;
  std::vector<PrintPage> pages;

  // The page as plain text, one string per line (trailing blanks dropped).
  std::vector<std::string> PageLines(int page) const;
};

class PageWriter {
 public:
  PageWriter(std::string title, int lines_per_page = 66, int columns = 80, bool landscape = false);

  // Printed at the top of every page (the current page included when set
  // before anything is printed on it). Receives the 1-based page number.
  void SetHeader(std::function<void(PageWriter&, int page)> header);

  enum Style { kPlain = 0, kBold = 1, kUnderline = 2 };
  // Prints `text` at `column` of the current line.
  void Say(int column, const std::string& text, int style = kPlain);
  // Moves to the next line; starts a new page when the next line would pass
  // 95 % of the page.
  void NewLine();
  void NewPage();

  int line() const { return line_; }
  int page() const { return static_cast<int>(doc_.pages.size()); }
  PrintDocument Finish();

 private:
  void StartPage();

  PrintDocument doc_;
  std::function<void(PageWriter&, int)> header_;
  int line_ = 0;
  bool in_header_ = false;
  bool page_started_ = false;
};

}  // namespace qz
