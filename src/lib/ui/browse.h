// WBLISTBOX: the grid of a screen, bound to a table. It shows the records of
// the table's controlling tag inside the scope BROWMARKS sets (the business),
// one column per AGREGARCOL, and keeps the table positioned on the selected
// row, so the screen's operations work on "the current row" as they expect.
//
// The grid keeps the order of the rows (their record numbers, walked once
// from the tag) but reads and formats a row only when it is shown, in blocks,
// and keeps the formatted cells: opening a grid over a large table costs one
// walk of the tag, scrolling costs the rows that come into view. REFRESHALL
// re-reads the rows in view and the row the screen just wrote, and walks the
// tag again only when the order may have changed (rows added or deleted, a
// key changed, another workstation appended); the 60-second refresh walks the
// tag to catch what other workstations changed out of view.
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
  bool total = false;  // summed in the totals row
  // In-place editing: called with the typed text while the table sits on the
  // row; returns false to refuse (the cell keeps its value).
  std::function<bool(const std::string&)> on_edit;
  // Shows the value its own way (a check mark for a flag) instead of
  // through the picture.
  std::function<std::string(const xb::Value&)> format;
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
  // An empty picture shows the field as its type reads: dates "dd/mm/yy",
  // numbers with their decimals, text as wide as the field.
  xb::Status AddColumn(const std::string& header, const std::string& field,
                       const std::string& picture);
  const std::vector<BrowseColumn>& columns() const { return columns_; }
  // In-place editing of column `col` (0-based): the typed text passes the
  // column's picture first (upper case for "!", digits for numbers, the
  // picture's width), then `on_edit` runs with the table on the row.
  void SetEditable(int col, std::function<bool(const std::string&)> on_edit);
  // Column `col` (0-based) shows its value through `format`.
  void SetFormat(int col, std::function<std::string(const xb::Value&)> format);

  // Totals row: numeric column `col` (0-based) is summed over every row of
  // the grid; the view shows the sums under the rows.
  void SetTotal(int col, bool on = true);
  bool has_totals() const;
  double Total(int col) const;
  std::string TotalCell(int col) const;  // formatted with the column's picture
  // The width (characters) that fits the header and the trimmed contents of
  // the rows read so far (the first screenful is read for it when needed).
  int FitWidth(int col) const;

  // BROWMARKS: `marks` are {column (1-based), tag}. Switches to the tag of
  // `first_column`, limits the rows to keys beginning with `business`, goes
  // to the first row and starts the 60-second refresh.
  xb::Status BROWMARKS(const std::vector<std::pair<int, std::string>>& marks, int first_column,
                       const std::string& business);

  // Re-reads the rows in view (and the table's current record, the one a
  // screen just wrote) and keeps the selection on the same record when it is
  // still there (else on the row that took its place). The order is walked
  // again only when it may have changed: NMAXREC differs from the rows
  // shown, the table grew, or a re-read row left its place, its scope or was
  // deleted.
  xb::Status REFRESHALL();
  // Walks the tag again and re-reads the rows in view (the 60-second
  // refresh: what other workstations changed anywhere in the table).
  xb::Status Reread();
  // Formats every row again, keeping the order and the selection: for a
  // column whose format shows the screen's own state (a row marked in
  // memory), which no change of the record would reveal.
  xb::Status Redraw();
  // The rows the view shows (so a refresh re-reads them and nothing else).
  void SetVisibleRows(int first, int last);
  // Rows read from the table since the grid was made (for tests and
  // benchmarks); walks of the tag count separately.
  int64_t rows_read() const { return rows_read_; }
  int64_t walks() const { return walks_; }

  // --- what the view shows
  int RowCount() const { return static_cast<int>(order_.size()); }
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
  // Seeks `text` (UTF-8) on the active order the same way, as a whole.
  bool SeekText(const std::string& text);
  const std::string& search_text() const { return search_; }
  // In-place edit of a cell; false when the column is not editable or the
  // screen refused the text. Characters the picture refuses are dropped
  // first (last_edit_refused() tells).
  bool EditCell(int row, int col, const std::string& text);
  bool last_edit_refused() const { return edit_refused_; }

  void SetView(BrowseView* v) { view_ = v; }
  const xb::Status& last_error() const { return last_error_; }

 private:
  // A row read from the table: its bytes (to see whether it changed) and
  // its formatted cells.
  struct Cached {
    std::string bytes;
    std::vector<std::string> cells;
  };
  Cached ReadCurrent() const;  // the table's current record
  const Cached& Fetch(int row) const;
  void Restore() const;  // the table back on the selected row
  xb::Status ApplyOrder(const std::string& tag);
  xb::Status Walk(std::vector<uint32_t>* order);
  xb::Status Rebuild(uint32_t keep, int old_current, bool walked = false);
  // Re-reads `rows`; false when one of them left its place in the order.
  bool RereadRows(const std::vector<int>& rows, int keep_row, std::vector<int>* changed);
  bool InPlace(int row, const std::string& key);
  std::vector<int> HotRows(uint32_t keep) const;
  void AddToTotals(const Cached& c, double sign);
  void TimerTick();

  WDIAG& owner_;
  int id_;
  xb::Table* table_;
  std::string business_;  // Windows-1252 bytes, as in the table
  std::vector<BrowseColumn> columns_;
  std::vector<uint32_t> order_;  // record numbers, in the order shown
  mutable std::unordered_map<uint32_t, Cached> cache_;
  mutable int64_t rows_read_ = 0;
  int64_t walks_ = 0;
  std::vector<double> totals_;
  uint32_t rec_count_ = 0;  // the table's record count at the last walk
  bool order_descending_ = false;
  bool order_char_ = false;
  int visible_first_ = 0, visible_last_ = -1;
  bool edit_refused_ = false;
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
