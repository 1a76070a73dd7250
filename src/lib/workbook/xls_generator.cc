#include "lib/workbook/xls_generator.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <cmath>
#include <fstream>

#include "lib/data/date_time.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/output_file.h"
#include "lib/ui/print_document.h"
#include "lib/workbook/workbook_names.h"

namespace qz {

namespace {

constexpr uint32_t kShadeColour = 0xCCCCFF;  // palette colour index 31

// Width and height of a Windows bitmap, from its header; {0, 0} otherwise.
std::pair<int, int> BitmapSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char h[26] = {};
  if (!in.read(reinterpret_cast<char*>(h), sizeof h) || h[0] != 'B' || h[1] != 'M') return {0, 0};
  auto le32 = [&](int o) {
    return static_cast<int32_t>(h[o] | h[o + 1] << 8 | h[o + 2] << 16 | h[o + 3] << 24);
  };
  return {std::abs(le32(18)), std::abs(le32(22))};
}

std::string ReplaceExtensionWithBmp(const std::string& file) {
  size_t dot = file.find_last_of('.');
  return (dot == std::string::npos ? file : file.substr(0, dot)) + ".BMP";
}

}  // namespace

XlsFormatStyle FormatStyle(XlsFormatRef f) {
  XlsFormatStyle s;
  int slot = std::max(1, std::min(f.slot, f.group == XlsFont::kData ? 12 : 4));
  int variant = (slot - 1) % 4;  // 0 plain, 1 bold, 2 boxed, 3 bold boxed
  switch (f.group) {
    case XlsFont::kTitle:
      s.font = "Arial Black";
      s.size = 20;
      break;
    case XlsFont::kSubtitle:
      s.font = "Arial Black";
      s.size = 10;
      break;
    case XlsFont::kBorder:
      s.font = "Arial Black";
      s.size = 6;
      s.bottom_medium = true;
      break;
    case XlsFont::kData:
      s.font = "Tahoma";
      s.size = 8;
      if (slot >= 9)
        s.num_format = "dd/mm/yyyy";
      else if (slot >= 5)
        s.num_format = "#,##0.00";
      break;
  }
  s.bold = variant == 1 || variant == 3;
  s.shaded = variant >= 2;
  // The border group's shaded variants keep only their medium bottom line.
  s.boxed = variant >= 2 && f.group != XlsFont::kBorder;
  return s;
}

double XlsDateSerial(const XlsDate& d) {
  // Day 0 of the 1900 system is 30 December 1899 (Julian day 2415019).
  return static_cast<double>(JulianOf(LocalDateTime{d.year, d.month, d.day}) - 2415019);
}

std::string XlsTimestampText() {
  return "QUARTZEL Front-Office/Back-Office   Timestamp: " + DateText(XDATE()) + " " + XTIME() +
         "  U:" + G().XUSER_ABREVIA + " on:" + HostName();
}

XLS_GENERATOR::XLS_GENERATOR(std::string dir, const std::string& file_name,
                             const std::optional<std::string>& sheet_name)
    : dir_(std::move(dir)), file_name_(CORRECT_NAME(file_name, /*file_name_form=*/true)) {
  if (!dir_.empty() && dir_.back() != '/') dir_ += '/';
  XlsSheet first;
  first.name = sheet_name ? SheetName(*sheet_name, "Hoja 1") : "HOJA 1";
  sheets_.push_back(std::move(first));
}

void XLS_GENERATOR::XLSWRITE(int row, int col, const XlsValue& value, bool boxed, bool bold,
                             bool framed_row) {
  if (row + kRowOffset < 0 || col < 1) return;
  if (framed_row) boxed = bold = true;
  XlsCell c;
  int offset = 0;
  if (const auto* s = std::get_if<std::string>(&value)) {
    c.kind = XlsCell::kText;
    c.text = *s;
  } else if (const auto* n = std::get_if<double>(&value)) {
    c.kind = XlsCell::kNumber;
    c.number = *n;
    c.num_format = num_format_;
    offset = 4;
  } else {
    c.kind = XlsCell::kNumber;
    c.number = XlsDateSerial(std::get<XlsDate>(value));
    offset = 8;
  }
  c.format = {XlsFont::kData, 1 + offset + (boxed ? 2 : 0) + (bold ? 1 : 0)};
  Active().cells[{row + kRowOffset, col - 1}] = std::move(c);
}

void XLS_GENERATOR::XLSCOLSIZE(int col, double width) {
  if (col < 1) return;
  Active().widths[col - 1] = width;
}

void XLS_GENERATOR::NEW_SHEET(const std::vector<std::string>& titles, const std::string& logo,
                              const std::string& sheet_name) {
  bool any_title = false;
  for (const auto& t : titles) any_title |= !t.empty();
  if (any_title) WriteTitleBlock(titles, logo, XlsTimestampPlan{});
  XlsSheet s;
  s.name = SheetName(sheet_name, "Hoja " + std::to_string(sheets_.size() + 1));
  sheets_.push_back(std::move(s));
  active_ = static_cast<int>(sheets_.size()) - 1;
  CHANGESHEETNAME(active_ + 1, sheets_[active_].name);  // makes it unique
}

void XLS_GENERATOR::CHANGESHEETNAME(int index, const std::string& name) {
  if (index < 1 || index > NUM_SHEETS()) return;
  std::string base = SheetName(name, sheets_[index - 1].name);
  auto taken = [&](const std::string& n) {
    for (int i = 0; i < NUM_SHEETS(); ++i) {
      if (i == index - 1 || sheets_[i].name.size() != n.size()) continue;
      bool same = true;
      for (size_t k = 0; k < n.size() && same; ++k)
        same = std::toupper(static_cast<unsigned char>(n[k])) ==
               std::toupper(static_cast<unsigned char>(sheets_[i].name[k]));
      if (same) return true;
    }
    return false;
  };
  // Sheet names are unique in a workbook: a repeated one gets a number.
  std::string candidate = base;
  for (int n = 2; taken(candidate); ++n) {
    std::string suffix = " (" + std::to_string(n) + ")";
    candidate = SheetName(base.substr(0, std::max<size_t>(0, 31 - suffix.size())) + suffix);
  }
  sheets_[index - 1].name = candidate;
}

std::string XLS_GENERATOR::GET_SHEETNAME(int index) const {
  if (index < 1 || index > NUM_SHEETS()) return "";
  return sheets_[index - 1].name;
}

void XLS_GENERATOR::SET_ACTIVESHEET(int index) {
  if (index >= 1 && index <= NUM_SHEETS()) active_ = index - 1;
}

bool XLS_GENERATOR::DEL_SHEET(int index) {
  if (index < 1 || index > NUM_SHEETS() || NUM_SHEETS() == 1) return false;
  sheets_.erase(sheets_.begin() + (index - 1));
  if (active_ >= NUM_SHEETS()) active_ = NUM_SHEETS() - 1;
  return true;
}

void XLS_GENERATOR::WriteTitleBlock(const std::vector<std::string>& titles,
                                    const std::string& logo, const XlsTimestampPlan& stamp) {
  XlsSheet& s = Active();
  if (!logo.empty()) {
    std::string path = InstallationBitmap(ReplaceExtensionWithBmp(logo));
    auto [w, h] = BitmapSize(path);
    if (w > 0 && h > 0) s.pictures.push_back({1, 0, path, 120, 105});
  }
  auto title = [&](size_t i) { return i < titles.size() ? titles[i] : std::string(); };
  auto text = [&](int row, int col, const std::string& t, XlsFormatRef f) {
    XlsCell c;
    c.kind = t.empty() ? XlsCell::kBlank : XlsCell::kText;
    c.text = t;
    c.format = f;
    s.cells[{row, col}] = std::move(c);
  };
  text(3, 0, std::string(14, ' ') + title(0), {XlsFont::kTitle, 2});
  for (int i = 1; i <= 3; ++i) text(3 + i, 0, std::string(32, ' ') + title(i), {XlsFont::kSubtitle, 2});
  if (stamp.column >= 0) {
    text(7, stamp.column, XlsTimestampText(), {XlsFont::kBorder, 1});
    for (int c : stamp.blank_columns)
      if (c != stamp.column) text(7, c, "", {XlsFont::kBorder, 1});
  }
}

std::string XLS_GENERATOR::WriteXlsx(const std::string& path) const {
  lxw_workbook* book = workbook_new(path.c_str());
  if (!book) return "no se pudo crear el archivo";
  std::map<std::string, lxw_format*> formats;
  auto format_for = [&](const XlsCell& c) {
    XlsFormatStyle style = FormatStyle(c.format);
    if (!c.num_format.empty()) style.num_format = c.num_format;
    std::string key = std::to_string(static_cast<int>(c.format.group)) + "/" +
                      std::to_string(c.format.slot) + "/" + style.num_format;
    auto it = formats.find(key);
    if (it != formats.end()) return it->second;
    lxw_format* f = workbook_add_format(book);
    format_set_font_name(f, style.font.c_str());
    format_set_font_size(f, style.size);
    if (style.bold) format_set_bold(f);
    if (style.boxed) format_set_border(f, LXW_BORDER_THIN);
    if (style.bottom_medium) format_set_bottom(f, LXW_BORDER_MEDIUM);
    if (style.shaded) {
      format_set_pattern(f, LXW_PATTERN_SOLID);
      format_set_fg_color(f, kShadeColour);
    }
    if (!style.num_format.empty()) format_set_num_format(f, style.num_format.c_str());
    formats[key] = f;
    return f;
  };
  std::string error;
  for (const auto& sheet : sheets_) {
    lxw_worksheet* ws = workbook_add_worksheet(book, sheet.name.c_str());
    if (!ws) {
      error = "nombre de hoja no válido: " + sheet.name;
      break;
    }
    for (const auto& [col, width] : sheet.widths)
      worksheet_set_column(ws, col, col, width, nullptr);
    for (const auto& [pos, cell] : sheet.cells) {
      lxw_format* f = format_for(cell);
      switch (cell.kind) {
        case XlsCell::kText:
          worksheet_write_string(ws, pos.first, pos.second, cell.text.c_str(), f);
          break;
        case XlsCell::kNumber:
          worksheet_write_number(ws, pos.first, pos.second, cell.number, f);
          break;
        case XlsCell::kBlank:
          worksheet_write_blank(ws, pos.first, pos.second, f);
          break;
      }
    }
    for (const auto& p : sheet.pictures) {
      auto [w, h] = BitmapSize(p.path);
      lxw_image_options opt = {};
      opt.x_scale = static_cast<double>(p.width_px) / w;
      opt.y_scale = static_cast<double>(p.height_px) / h;
      // A picture the library cannot read is left out; the data still counts.
      worksheet_insert_image_opt(ws, p.row, p.col, p.path.c_str(), &opt);
    }
  }
  lxw_error rc = workbook_close(book);
  if (error.empty() && rc != LXW_NO_ERROR) {
    error = rc == LXW_ERROR_CREATING_XLSX_FILE ? SystemErrorText(errno) : lxw_strerror(rc);
  }
  return error;
}

std::string XLS_GENERATOR::Save(const std::string& base_path, bool replace, std::string* error) {
  std::string first = base_path + ".xlsx";
  std::string folder = FolderOf(first);
  if (!FolderExists(folder)) {
    *error = "la carpeta no existe";
    return "";
  }
  std::string side = SideFileName(first);
  // Claim the side name first, so a folder we may not write to is told
  // plainly (the library only says that it could not create the file).
  int fd = ::open(side.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) {
    *error = SystemErrorText(errno);
    return "";
  }
  ::close(fd);
  *error = WriteXlsx(side);
  if (!error->empty()) {
    ::unlink(side.c_str());
    return "";
  }
  for (int n = 1; n < 1000; ++n) {
    std::string target = n == 1 ? first : base_path + " (" + std::to_string(n) + ").xlsx";
    xb::Status st = PublishFile(side, target, replace);
    if (st.ok()) return target;
    if (st.code() != xb::Code::kExists) {
      *error = st.message();
      return "";
    }
  }
  ::unlink(side.c_str());
  *error = "demasiados archivos con el mismo nombre";
  return "";
}

std::string XLS_GENERATOR::XLSCLOSE(const std::vector<std::string>& titles,
                                    const std::string& logo, const std::string& name, bool open,
                                    const XlsTimestampPlan& stamp) {
  std::string base = WithoutWorkbookExtension(name);
  if (!dir_.empty()) base = CORRECT_NAME(base);
  if (base.empty()) base = "Libro";
  WriteTitleBlock(titles, logo, stamp);
  std::string error;
  std::string path = Save(dir_ + base, /*replace=*/false, &error);
  released_ = true;
  if (path.empty()) {
    MESSAGE_BOX("No se pudo guardar el libro de Excel:\r\n" + dir_ + base + ".xlsx\r\n" + error,
                "Error", kMbIconStop);
    return "";
  }
  if (open) {
    WAIT wait(nullptr, "Un momento por favor...");
    std::string shown = path.substr(path.find_last_of('/') + 1);
    wait.PUT_TEXT("Cargando EXCEL: " + shown);
    wait.TERMINAR();
    if (Desktop* d = CurrentDesktop()) d->window_system().OpenDocument(path);
  }
  return path;
}

std::string XLS_GENERATOR::XLSCLOSEFILE(bool save) {
  released_ = true;
  if (!save) return "";
  std::string error;
  std::string path = Save(dir_ + WithoutWorkbookExtension(file_name_), /*replace=*/true, &error);
  if (path.empty())
    MESSAGE_BOX("No se pudo guardar el libro de Excel:\r\n" + dir_ + file_name_ + "\r\n" + error,
                "Error", kMbIconStop);
  return path;
}

}  // namespace qz
