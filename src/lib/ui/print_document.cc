#include "lib/ui/print_document.h"

#include <algorithm>

#include "lib/data/date_time.h"
#include "lib/settings/globals.h"
#include "xbase/env.h"

namespace qz {

namespace {

// Splits UTF-8 text into characters, so accented letters take one column.
std::vector<std::string> Characters(const std::string& s) {
  std::vector<std::string> out;
  for (size_t i = 0; i < s.size();) {
    size_t len = 1;
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0xF0)
      len = 4;
    else if (c >= 0xE0)
      len = 3;
    else if (c >= 0xC0)
      len = 2;
    out.push_back(s.substr(i, len));
    i += len;
  }
  return out;
}

}  // namespace

int TextColumns(const std::string& utf8) {
  int n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
  return n;
}

int PrintText::Span() const { return width > 0 ? width : TextColumns(text); }

std::vector<std::string> PrintDocument::PageLines(int page) const {
  std::vector<std::string> lines;
  if (page < 0 || page >= static_cast<int>(pages.size())) return lines;
  std::vector<std::vector<std::string>> grid;
  for (const auto& t : pages[page].items) {
    if (t.line < 0) continue;
    if (t.line >= static_cast<int>(grid.size())) grid.resize(t.line + 1);
    auto& row = grid[t.line];
    std::vector<std::string> chars = Characters(t.text);
    int len = static_cast<int>(chars.size());
    int col = t.column;
    if (t.width > len) {
      if (t.align == PrintAlign::kRight) col += t.width - len;
      if (t.align == PrintAlign::kCenter) col += (t.width - len) / 2;
    }
    for (const auto& ch : chars) {
      if (col >= static_cast<int>(row.size())) row.resize(col + 1, " ");
      row[col++] = ch;
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

std::string PrintDocument::PlainText() const {
  std::string out;
  for (int p = 0; p < static_cast<int>(pages.size()); ++p) {
    if (p > 0) out += "\f\n";
    for (const auto& l : PageLines(p)) out += l + "\n";
  }
  return out;
}

std::string InstallationBitmap(const std::string& file) {
  std::string path = G().PATH + "BMP/" + file;
  auto found = xb::Env::Default()->Resolve(path);
  return found.ok() ? found.value() : path;
}

PageWriter::PageWriter(std::string title, int lines_per_page, int columns, bool landscape) {
  doc_.title = std::move(title);
  doc_.lines_per_page = lines_per_page < 4 ? 4 : lines_per_page;
  doc_.columns = columns < 1 ? 1 : columns;
  doc_.landscape = landscape;
  if (!G().XPRINT_FONT.empty()) doc_.font_family = G().XPRINT_FONT;
  allow_shade_ = G().XGRAYED != 0;
}

void PageWriter::SetHeader(std::function<void(PageWriter&, int)> header) {
  header_ = std::move(header);
}

void PageWriter::SetFooter(int lines, std::function<void(PageWriter&, int, int)> footer) {
  // The body keeps at least four lines whatever the footer asks.
  footer_lines_ = std::max(0, std::min(lines, doc_.lines_per_page - kFrameFooterLines - 4));
  footer_ = std::move(footer);
}

void PageWriter::UseReportFrame(const std::vector<std::string>& titles,
                                const std::string& logo_file) {
  frame_titles_.assign(titles.begin(), titles.begin() + std::min<size_t>(titles.size(), 4));
  frame_logo_ = logo_file;
  framed_ = true;
  doc_.titles = frame_titles_;
  if (!frame_titles_.empty() && !frame_titles_[0].empty()) doc_.title = frame_titles_[0];
}

void PageWriter::PrintFrameHeader(int page) {
  (void)page;
  int cols = doc_.columns;
  int first = line_;
  if (!frame_logo_.empty()) Logo(frame_logo_, 0, 3, std::min(10, cols / 6));
  for (size_t i = 0; i < frame_titles_.size(); ++i) {
    if (frame_titles_[i].empty()) continue;
    if (i == 0)
      SayAligned(0, cols, frame_titles_[i], PrintAlign::kCenter, kBold, 1.4);
    else
      SayAligned(0, cols, frame_titles_[i], PrintAlign::kCenter, kBold);
    ++line_;
  }
  line_ = std::max(line_, first + (frame_logo_.empty() ? 0 : 3));
  ++line_;  // a blank line before the report's own heading
}

void PageWriter::PrintFrameFooter(int page, int pages) {
  Rule(line_ + 0.5, 0, line_ + 0.5, doc_.columns);
  ++line_;
  Say(0, DateText(XDATE()) + " " + XTIME());
  SayRight(doc_.columns,
           "Página " + std::to_string(page) + " de " + std::to_string(pages));
}

void PageWriter::StartPage() {
  doc_.pages.emplace_back();
  line_ = 0;
  page_started_ = true;
  if (role_ != PrintRole::kBody) return;  // a header that breaks pages: no recursion
  if (framed_) {
    role_ = PrintRole::kFrame;
    PrintFrameHeader(page());
    role_ = PrintRole::kBody;
  }
  if (header_) {
    role_ = PrintRole::kHeading;
    header_(*this, page());
    role_ = PrintRole::kBody;
  }
}

PrintPage& PageWriter::Current() {
  if (target_page_ >= 0) return doc_.pages[target_page_];
  if (!page_started_) StartPage();
  return doc_.pages.back();
}

void PageWriter::Say(int column, const std::string& text, int style) {
  SayAligned(column, 0, text, PrintAlign::kLeft, style);
}

void PageWriter::SayAligned(int column, int width, const std::string& text, PrintAlign align,
                            int style, double scale) {
  PrintPage& pg = Current();
  PrintText t;
  t.line = line_;
  t.column = column < 0 ? 0 : column;
  t.text = text;
  t.bold = style & kBold;
  t.underline = style & kUnderline;
  t.italic = style & kItalic;
  t.scale = scale > 0 ? scale : 1.0;
  t.align = align;
  t.width = width < 0 ? 0 : width;
  t.role = role_;
  pg.items.push_back(std::move(t));
}

void PageWriter::SayRight(int end_column, const std::string& text, int style) {
  int len = TextColumns(text);
  SayAligned(end_column - len, len, text, PrintAlign::kRight, style);
}

void PageWriter::RuleBelow(double from, double to, double pen_points) {
  Rule(line_ + 1, from, line_ + 1, to, pen_points);
}

void PageWriter::Rule(double line1, double col1, double line2, double col2, double pen_points) {
  Current().rules.push_back({line1, col1, line2, col2, pen_points});
}

void PageWriter::Box(int lines, double from, double to, int shade, bool frame) {
  PrintBox b;
  b.top = line_;
  b.bottom = line_ + std::max(lines, 1);
  b.left = from;
  b.right = to;
  b.frame = frame;
  b.shade = allow_shade_ ? std::max(0, std::min(shade, 100)) : 0;
  if (!b.frame && b.shade == 0) return;  // nothing left to draw
  Current().boxes.push_back(b);
}

void PageWriter::Logo(const std::string& file, double column, double lines, double columns) {
  if (file.empty()) return;
  PrintImage img;
  img.top = line_;
  img.left = column;
  img.bottom = line_ + lines;
  img.right = column + columns;
  img.path = InstallationBitmap(file);
  Current().images.push_back(std::move(img));
}

void PageWriter::NewLine() {
  if (target_page_ < 0 && !page_started_) StartPage();
  // Line n covers [n, n+1) of the page; the next one would end at line_ + 2.
  if (role_ == PrintRole::kBody && target_page_ < 0 && (line_ + 2) * 100 > body_lines() * 95) {
    NewPage();
    return;
  }
  ++line_;
}

void PageWriter::NewPage() {
  if (role_ != PrintRole::kBody || target_page_ >= 0) return;
  StartPage();
}

PrintDocument PageWriter::Finish() {
  if (!page_started_) StartPage();
  if (footer_ || framed_) {
    int pages = page();
    for (int p = 0; p < pages; ++p) {
      target_page_ = p;
      role_ = PrintRole::kFrame;
      line_ = body_lines();
      if (footer_) footer_(*this, p + 1, pages);
      line_ = doc_.lines_per_page - kFrameFooterLines;
      if (framed_) PrintFrameFooter(p + 1, pages);
    }
    target_page_ = -1;
    role_ = PrintRole::kBody;
  }
  return doc_;
}

}  // namespace qz
