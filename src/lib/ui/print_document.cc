#include "lib/ui/print_document.h"

#include "lib/ui/picture.h"

namespace qz {

std::vector<std::string> PrintDocument::PageLines(int page) const {
  std::vector<std::string> lines;
  if (page < 0 || page >= static_cast<int>(pages.size())) return lines;
  // Work on code points so accented letters take one column.
  std::vector<std::vector<std::string>> grid;
  for (const auto& t : pages[page].items) {
    if (t.line >= static_cast<int>(grid.size())) grid.resize(t.line + 1);
    auto& row = grid[t.line];
    int col = t.column;
    for (size_t i = 0; i < t.text.size();) {
      size_t len = 1;
      unsigned char c = static_cast<unsigned char>(t.text[i]);
      if (c >= 0xF0)
        len = 4;
      else if (c >= 0xE0)
        len = 3;
      else if (c >= 0xC0)
        len = 2;
      if (col >= static_cast<int>(row.size())) row.resize(col + 1, " ");
      row[col++] = t.text.substr(i, len);
      i += len;
    }
  }
  for (const auto& row : grid) {
    std::string s;
    for (const auto& ch : row) s += ch;
    while (!s.empty() && s.back() == ' ') s.pop_back();
    lines.push_back(s);
  }
  return lines;
}

PageWriter::PageWriter(std::string title, int lines_per_page, int columns, bool landscape) {
  doc_.title = std::move(title);
  doc_.lines_per_page = lines_per_page < 4 ? 4 : lines_per_page;
  doc_.columns = columns;
  doc_.landscape = landscape;
}

void PageWriter::SetHeader(std::function<void(PageWriter&, int)> header) {
  header_ = std::move(header);
}

void PageWriter::StartPage() {
  doc_.pages.emplace_back();
  line_ = 0;
  page_started_ = true;
  if (header_ && !in_header_) {
    in_header_ = true;
    header_(*this, page());
    in_header_ = false;
  }
}

void PageWriter::Say(int column, const std::string& text, int style) {
  if (!page_started_) StartPage();
  PrintText t;
  t.line = line_;
  t.column = column < 0 ? 0 : column;
  t.text = text;
  t.bold = style & kBold;
  t.underline = style & kUnderline;
  doc_.pages.back().items.push_back(std::move(t));
}

void PageWriter::NewLine() {
  if (!page_started_) StartPage();
  // Line n covers [n, n+1) of the page; the next one would end at line_ + 2.
  if (!in_header_ && (line_ + 2) * 100 > doc_.lines_per_page * 95) {
    NewPage();
    return;
  }
  ++line_;
}

void PageWriter::NewPage() {
  if (in_header_) return;
  StartPage();
}

PrintDocument PageWriter::Finish() {
  if (!page_started_) StartPage();
  return doc_;
}

}  // namespace qz
