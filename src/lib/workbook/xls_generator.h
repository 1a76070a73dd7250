// XLS_GENERATOR: the program's spreadsheet workbook. Reports and grids write
// typed cells into it through a fixed table of fonts and formats; closing it
// writes the title block (logo, titles, timestamp line) and saves an .xlsx
// file under a name that never overwrites an existing workbook.
//
// The workbook is kept in memory until it is saved (renaming or deleting a
// sheet is then just an edit) and is written by libxlsxwriter to a side file
// that is renamed into place only once complete.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace qz {

// A calendar date for a date cell.
struct XlsDate {
  int year = 0, month = 0, day = 0;
};
using XlsValue = std::variant<std::string, double, XlsDate>;

// The format groups and their slots (1-based, as the writers count them).
enum class XlsFont { kTitle = 0, kSubtitle = 1, kBorder = 2, kData = 3 };
struct XlsFormatRef {
  XlsFont group = XlsFont::kData;
  int slot = 1;
};

// What a format slot looks like (the table every workbook is created with).
struct XlsFormatStyle {
  std::string font;
  double size = 10;
  bool bold = false;
  bool boxed = false;          // thin border all round
  bool shaded = false;         // solid fill, palette colour 31
  bool bottom_medium = false;  // medium bottom border
  std::string num_format;      // "" = general
};
XlsFormatStyle FormatStyle(XlsFormatRef f);

struct XlsCell {
  enum Kind { kText, kNumber, kBlank } kind = kBlank;
  std::string text;  // UTF-8
  double number = 0;
  XlsFormatRef format;
  std::string num_format;  // overrides the slot's number format when set
};

struct XlsPicture {
  int row = 0, col = 0;
  std::string path;
  int width_px = 0, height_px = 0;  // size on the sheet
};

struct XlsSheet {
  std::string name;
  std::map<std::pair<int, int>, XlsCell> cells;  // {row, col}, 0-based
  std::map<int, double> widths;                  // column -> characters
  std::vector<XlsPicture> pictures;
};

// Where the timestamp line goes: the column of the text (-1: no timestamp)
// and the columns that get a blank bordered cell beside it.
struct XlsTimestampPlan {
  int column = 0;
  std::vector<int> blank_columns;
};

// The excel serial number of a date (1900 date system, as Excel counts).
double XlsDateSerial(const XlsDate& d);

class XLS_GENERATOR {
 public:
  static constexpr int kRowOffset = 8;  // yOffset: rows above the data

  // NEW(obj, dir, fileName, sheetName): `dir` is the target folder ("" for
  // none), `file_name` the name used by XLSCLOSEFILE; the first sheet is
  // named "HOJA 1" when no name is given and "Hoja 1" when it is blank.
  XLS_GENERATOR(std::string dir, const std::string& file_name,
                const std::optional<std::string>& sheet_name = std::nullopt);

  // Writes one cell of the active sheet at sheet row `row` + 8 and column
  // `col` - 1. Format slot: 1 + type offset (0 text, 4 number, 8 date)
  // + 2 if boxed + 1 if bold; a framed row makes the cell boxed and bold.
  void XLSWRITE(int row, int col, const XlsValue& value, bool boxed = false, bool bold = false,
                bool framed_row = false);
  // Width of sheet column `col` - 1, in characters.
  void XLSCOLSIZE(int col, double width);
  // The number format of the numbers written from now on ("" = the slot's).
  void SETNUMFORMAT(const std::string& format) { num_format_ = format; }

  // Writes the title block into the current sheet when a title is given,
  // then adds a sheet with the cleaned name and makes it active.
  void NEW_SHEET(const std::vector<std::string>& titles, const std::string& logo,
                 const std::string& sheet_name);
  void CHANGESHEETNAME(int index, const std::string& name);
  int NUM_SHEETS() const { return static_cast<int>(sheets_.size()); }
  std::string GET_SHEETNAME(int index) const;  // 1-based; "" when out of range
  void SET_ACTIVESHEET(int index);
  int GET_ACTIVESHEET() const { return active_ + 1; }
  bool DEL_SHEET(int index);  // the last sheet is never deleted

  // The title block in the active sheet: logo at row 1, titles at rows 3
  // to 6, the timestamp line at row 7.
  void WriteTitleBlock(const std::vector<std::string>& titles, const std::string& logo,
                       const XlsTimestampPlan& stamp);

  // XLSCLOSE: writes the title block, saves as dir + name + ".xlsx" (a
  // numbered variant " (2)", " (3)" ... when that name exists), releases the
  // workbook and, when asked, opens it. Returns the final path, or "" when
  // it could not be saved (the user has been told why).
  std::string XLSCLOSE(const std::vector<std::string>& titles, const std::string& logo,
                       const std::string& name, bool open, const XlsTimestampPlan& stamp);
  // Saves under the file name given at creation (replacing it) when `save`;
  // returns the path or "".
  std::string XLSCLOSEFILE(bool save = true);

  const std::vector<XlsSheet>& sheets() const { return sheets_; }
  const XlsSheet& active() const { return sheets_[active_]; }
  const std::string& dir() const { return dir_; }

 private:
  XlsSheet& Active() { return sheets_[active_]; }
  // Writes the workbook to `path` through libxlsxwriter; "" or the reason.
  std::string WriteXlsx(const std::string& path) const;
  std::string Save(const std::string& base_path, bool replace, std::string* error);

  std::string dir_;
  std::string file_name_;
  std::vector<XlsSheet> sheets_;
  int active_ = 0;
  std::string num_format_;
  bool released_ = false;
};

// The timestamp line of the title block.
std::string XlsTimestampText();

}  // namespace qz
