// WBLISTBOX: the grid of a screen, bound to a table. It shows the records of
// the table's controlling tag inside the scope BROWMARKS sets (the business),
// one column per AGREGARCOL, and keeps the table positioned on the selected
// row, so the screen's operations work on "the current row" as they expect.
//
// Rows are read once per REFRESHALL (and when the order changes) into a
// cache of formatted cells; drawing never touches the table, which keeps
// scrolling smooth on large tables.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "lib/ui/wdiag.h"
#include "xbase/table.h"

namespace qz {

// The global browse-refresh setting: grids re-read themselves every 60 s
// while it is on.
void SetBrowseRefresh(bool on);
bool BrowseRefresh();

inline constexpr int64_t kBrowseRefreshMs = 60000;
inline constexpr int kBrowseTimerId = 7001;
// Colour of the header of the column whose tag is the active order (a
// Windows COLORREF, 0x00BBGGRR).
inline constexpr uint32_t kActiveMarkColour = 13750210;

class BrowseView {
 public:
  virtual ~BrowseView() = default;
  virtual void RowsReset() = 0;          // rows, columns or order changed
  virtual void RowChanged(int row) = 0;  // one row re-read
  virtual void CurrentChanged(int row) = 0;
};

struct BrowseColumn {
  std::string header;  // UTF-8
  std::string field;
  std::string picture;
  int field_index = -1;
  int width = 0;  // characters
  bool right_align = false;
  std::string tag;  // backing tag (BROWMARKS), "" = none
  // In-place editing: called with the typed text while the table sits on the
  // row; returns false to refuse (the cell keeps its value).
  std::function<bool(const std::string&)> on_edit;
};

class WBLISTBOX {
 public:
  // The grid on control `id` of `owner`, over `table` (not owned).
  WBLISTBOX(WDIAG& owner, int id, xb::Table* table);
  ~WBLISTBOX();

  // Presentation properties, as the screens set them.
  bool SHOWNUMBERS = true;
  int NUBWIDTH = 1;
  bool BOXCURSOR = true;
  bool AUTOLITE = true;
  bool ESCAPE = true;
  std::string COLFONT, HEADFONT;
  bool MAKE3D = true;
  bool MIMICBUTTON = true;
  bool SHOWFOCUS = true;
  bool AUTOSIZE = false;
  bool USERMOVE = true;
  bool USERSIZE = true;

  // The number of rows the grid believes it has. Screens add and subtract
  // one as they append and delete; REFRESHALL sets the true count.
  int NMAXREC = 0;

  xb::Table* table() const { return table_; }
  WDIAG& owner() const { return owner_; }
  int id() const { return id_; }
  const std::string& business() const { return business_; }

  // Adds a column showing `field` with `picture`. Unknown fields are
  // reported in the returned status and shown blank.
  xb::Status AddColumn(const std::string& header, const std::string& field,
                       const std::string& picture);
  const std::vector<BrowseColumn>& columns() const { return columns_; }
  void SetEditable(int col, std::function<bool(const std::string&)> on_edit);

  // BROWMARKS: `marks` are {column (1-based), tag}. Switches to the tag of
  // `first_column`, limits the rows to keys beginning with `business`, goes
  // to the first row and starts the 60-second refresh.
  xb::Status BROWMARKS(const std::vector<std::pair<int, std::string>>& marks, int first_column,
                       const std::string& business);

  // Re-reads every row and keeps the selection on the same record when it is
  // still there (else on the row that took its place).
  xb::Status REFRESHALL();

  // --- what the view shows
  int RowCount() const { return static_cast<int>(rows_.size()); }
  const std::string& Cell(int row, int col) const;
  uint32_t RecNoAt(int row) const;
  int current() const { return current_; }
  // The record of the selected row (0 = none). The selection is the grid's
  // own: the table's cursor may be anywhere (another screen, a lookup, a
  // save moved it), and operations on "the selected row" go by this.
  uint32_t SelectedRecNo() const { return RecNoAt(current_); }
  // Selects the row showing `recno`; false when it is not shown.
  bool SelectRecNo(uint32_t recno);
  int RowOf(uint32_t recno) const;  // -1 when not shown
  // 0-based column whose tag is the active order, -1 for none.
  int active_mark() const { return active_mark_; }
  std::optional<uint32_t> HeaderColour(int col) const;

  // --- what the user does
  // Selects a row and moves the table to its record.
  xb::Status Select(int row);
  // Header click: switches to the column's tag (when it has one).
  xb::Status ClickHeader(int col);
  // Incremental search: appends `typed` to the text typed so far (restarting
  // after a pause) and seeks business + text, dropping characters from the
  // end until a row is found. Returns true when the selection moved.
  bool TypeSearch(const std::string& typed);
  const std::string& search_text() const { return search_; }
  // In-place edit of a cell; false when the column is not editable or the
  // screen refused the text.
  bool EditCell(int row, int col, const std::string& text);

  void SetView(BrowseView* v) { view_ = v; }
  const xb::Status& last_error() const { return last_error_; }

 private:
  struct Row {
    uint32_t recno;
    std::vector<std::string> cells;
  };
  void ReadCells(Row* r) const;
  xb::Status ApplyOrder(const std::string& tag);
  void TimerTick();

  WDIAG& owner_;
  int id_;
  xb::Table* table_;
  std::string business_;  // Windows-1252 bytes, as in the table
  std::vector<BrowseColumn> columns_;
  std::vector<Row> rows_;
  std::unordered_map<uint32_t, int> row_of_;
  int current_ = -1;
  int active_mark_ = -1;
  std::string search_;
  int64_t last_key_ms_ = 0;
  BrowseView* view_ = nullptr;
  xb::Status last_error_;
};

// AGREGARCOL(grid, table, header, field, picture).
xb::Status AGREGARCOL(WBLISTBOX& grid, xb::Table* table, const std::string& header,
                      const std::string& field, const std::string& picture);
// BROWMARKS(grid, marks, first column, business).
xb::Status BROWMARKS(WBLISTBOX& grid, const std::vector<std::pair<int, std::string>>& marks,
                     int first_column, const std::string& business);

}  // namespace qz
