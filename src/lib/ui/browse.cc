#include "lib/ui/browse.h"

#include <algorithm>

#include "lib/clock.h"
#include "lib/settings/globals.h"
#include "lib/ui/desktop.h"
#include "lib/ui/picture.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

bool g_refresh = true;
const std::string kEmpty;
// Typing after this pause starts a new search text.
constexpr int64_t kSearchPauseMs = 1500;

}  // namespace

void SetBrowseRefresh(bool on) {
  g_refresh = on;
}
bool BrowseRefresh() {
  return g_refresh;
}

WBLISTBOX::WBLISTBOX(WDIAG& owner, int id, xb::Table* table)
    : owner_(owner), id_(id), table_(table) {
  owner_.AttachGrid(id_, this);
}

WBLISTBOX::~WBLISTBOX() {
  owner_.desktop().KillTimer(&owner_, kBrowseTimerId);
  if (owner_.Grid(id_) == this) owner_.AttachGrid(id_, nullptr);
}

namespace {

// The picture a column without one shows its field with.
std::string PictureFor(const xb::FieldDef& f) {
  switch (f.type) {
    case 'D':
      return "99/99/99";
    case 'N':
    case 'F':
    case 'B':
    case 'Y':
    case 'I': {
      if (f.type == 'I' || f.type == 'B' || f.type == 'Y') return std::string(10, '9');
      if (f.dec == 0) return std::string(f.len, '9');
      int whole = std::max(1, f.len - f.dec - 1);
      return std::string(whole, '9') + "." + std::string(f.dec, '9');
    }
    case 'L':
      return "X";
    case 'M':
      return std::string(40, 'X');
    default:
      return std::string(std::max<int>(1, f.len), 'X');
  }
}

std::string TrimBlanks(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

// Rows read together when one is missing: about two screenfuls.
constexpr int kFetchBlock = 48;
// Formatted rows kept; beyond it the cache starts again.
constexpr size_t kCacheLimit = 20000;

}  // namespace

xb::Status WBLISTBOX::AddColumn(const std::string& header, const std::string& field,
                                const std::string& picture) {
  BrowseColumn c;
  c.header = header;
  c.field = field;
  c.picture = picture;
  c.field_index = table_ ? table_->FieldIndex(field) : -1;
  if (c.picture.empty() && c.field_index >= 0) c.picture = PictureFor(table_->fields()[c.field_index]);
  c.width = static_cast<int>(c.picture.size());
  c.right_align = IsNumericPicture(c.picture);
  columns_.push_back(std::move(c));
  totals_.push_back(0);
  cache_.clear();
  if (view_) view_->RowsReset();
  if (columns_.back().field_index < 0)
    return xb::Status::NotFound("the table has no field " + field);
  return xb::Status::OK();
}

void WBLISTBOX::SetEditable(int col, std::function<bool(const std::string&)> on_edit) {
  if (col >= 0 && col < static_cast<int>(columns_.size()))
    columns_[col].on_edit = std::move(on_edit);
}

void WBLISTBOX::SetFormat(int col, std::function<std::string(const xb::Value&)> format) {
  if (col >= 0 && col < static_cast<int>(columns_.size())) columns_[col].format = std::move(format);
}

void WBLISTBOX::SetTotal(int col, bool on) {
  if (col < 0 || col >= static_cast<int>(columns_.size())) return;
  columns_[col].total = on;
  // The sums come from a walk of the rows.
  if (!order_.empty()) Reread();
}

bool WBLISTBOX::has_totals() const {
  for (const auto& c : columns_)
    if (c.total) return true;
  return false;
}

double WBLISTBOX::Total(int col) const {
  return col >= 0 && col < static_cast<int>(totals_.size()) ? totals_[col] : 0;
}

std::string WBLISTBOX::TotalCell(int col) const {
  if (col < 0 || col >= static_cast<int>(columns_.size()) || !columns_[col].total) return "";
  const std::string& pic = columns_[col].picture;
  return FormatNumber(totals_[col], IsNumericPicture(pic) ? pic : std::string(12, '9'));
}

int WBLISTBOX::FitWidth(int col) const {
  if (col < 0 || col >= static_cast<int>(columns_.size())) return 0;
  int w = Utf8Length(columns_[col].header);
  int last = std::max(visible_last_, std::min(RowCount(), visible_first_ + kFetchBlock) - 1);
  for (int r = std::max(0, visible_first_); r <= last && r < RowCount(); ++r)
    w = std::max(w, Utf8Length(TrimBlanks(Cell(r, col))));
  if (columns_[col].total) w = std::max(w, Utf8Length(TrimBlanks(TotalCell(col))));
  return w;
}

xb::Status WBLISTBOX::ApplyOrder(const std::string& tag) {
  if (!table_) return xb::Status::InvalidArgument("grid without a table");
  XB_RETURN_IF_ERROR(table_->SetOrder(tag));
  order_descending_ = false;
  order_char_ = false;
  for (const auto& t : table_->Tags()) {
    if (!tag.empty() && EqualsNoCase(t.name, tag)) {
      order_descending_ = t.descending;
      order_char_ = t.key_type == 'C';
    }
  }
  if (!tag.empty() && !business_.empty()) {
    XB_RETURN_IF_ERROR(table_->SetScope(xb::Value::Char(business_), xb::Value::Char(business_)));
  }
  return xb::Status::OK();
}

xb::Status WBLISTBOX::BROWMARKS(const std::vector<std::pair<int, std::string>>& marks,
                                int first_column, const std::string& business) {
  business_ = business;
  for (auto& c : columns_) c.tag.clear();
  for (const auto& [col, tag] : marks) {
    if (col >= 1 && col <= static_cast<int>(columns_.size())) columns_[col - 1].tag = tag;
  }
  std::string tag;
  active_mark_ = -1;
  if (first_column >= 1 && first_column <= static_cast<int>(columns_.size())) {
    tag = columns_[first_column - 1].tag;
    if (!tag.empty()) active_mark_ = first_column - 1;
  }
  xb::Status st = ApplyOrder(tag);
  if (st.ok() && table_) st = table_->GoTop();
  current_ = -1;
  xb::Status r = Rebuild(table_ && !table_->Eof() ? table_->RecNo() : 0, -1);
  if (st.ok()) st = r;
  owner_.desktop().SetTimer(&owner_, kBrowseTimerId, kBrowseRefreshMs, [this] { TimerTick(); });
  last_error_ = st;
  return st;
}

void WBLISTBOX::TimerTick() {
  if (!BrowseRefresh()) return;
  if (owner_.desktop().active() != &owner_ || !owner_.window_enabled()) return;
  Reread();
}

WBLISTBOX::Cached WBLISTBOX::ReadCurrent() const {
  Cached r;
  r.bytes = table_->RecordBytes();
  r.cells.resize(columns_.size());
  for (size_t i = 0; i < columns_.size(); ++i) {
    const BrowseColumn& c = columns_[i];
    if (c.field_index < 0) {
      r.cells[i] = std::string(c.width, ' ');
      continue;
    }
    auto v = table_->Get(c.field_index);
    if (!v.ok()) {
      r.cells[i] = std::string(c.width, '?');
    } else {
      r.cells[i] = c.format ? c.format(*v) : FormatWithPicture(*v, c.picture);
    }
  }
  ++rows_read_;
  return r;
}

void WBLISTBOX::Restore() const {
  if (current_ >= 0 && current_ < RowCount()) table_->GoTo(order_[current_]);
}

const WBLISTBOX::Cached& WBLISTBOX::Fetch(int row) const {
  if (cache_.size() > kCacheLimit) cache_.clear();
  // Read the block the row is in, so scrolling reads a screenful at a time.
  int first = std::max(0, row - kFetchBlock / 4);
  int last = std::min(RowCount(), first + kFetchBlock);
  for (int r = first; r < last; ++r) {
    uint32_t recno = order_[r];
    if (cache_.count(recno)) continue;
    if (!table_->GoTo(recno).ok()) continue;
    cache_[recno] = ReadCurrent();
  }
  Restore();
  auto it = cache_.find(order_[row]);
  if (it == cache_.end()) {
    // The record cannot be read (cut short by another program): blank.
    Cached blank;
    blank.cells.assign(columns_.size(), "");
    it = cache_.emplace(order_[row], std::move(blank)).first;
  }
  return it->second;
}

xb::Status WBLISTBOX::Walk(std::vector<uint32_t>* order) {
  ++walks_;
  order->clear();
  std::vector<int> summed;
  for (size_t i = 0; i < columns_.size(); ++i)
    if (columns_[i].total && columns_[i].field_index >= 0) summed.push_back(static_cast<int>(i));
  std::fill(totals_.begin(), totals_.end(), 0.0);
  xb::Status st = table_->GoTop();
  while (st.ok() && !table_->Eof()) {
    order->push_back(table_->RecNo());
    for (int c : summed) {
      auto v = table_->Get(columns_[c].field_index);
      if (v.ok() && v->is_numeric()) totals_[c] += v->number();
    }
    st = table_->Skip(1);
  }
  auto rc = table_->RecCount();
  rec_count_ = rc.ok() ? *rc : 0;
  return st;
}

xb::Status WBLISTBOX::Rebuild(uint32_t keep, int old_current, bool walked) {
  if (!table_) return xb::Status::InvalidArgument("grid without a table");
  cache_.clear();
  xb::Status st = walked ? xb::Status::OK() : Walk(&order_);
  NMAXREC = RowCount();
  int sel = RowOf(keep);
  if (sel < 0 && !order_.empty()) sel = std::clamp(old_current, 0, RowCount() - 1);
  current_ = sel;
  if (current_ >= 0) {
    xb::Status g = table_->GoTo(order_[current_]);
    if (st.ok()) st = g;
  }
  last_error_ = st;
  if (view_) {
    view_->RowsReset();
    view_->CurrentChanged(current_);
  }
  return st;
}

void WBLISTBOX::SetVisibleRows(int first, int last) {
  visible_first_ = std::max(0, first);
  visible_last_ = last;
}

std::vector<int> WBLISTBOX::HotRows(uint32_t keep) const {
  std::vector<int> rows;
  int first = visible_first_, last = visible_last_;
  if (last < first) {
    // No view tells what it shows: a screenful around the selection.
    first = std::max(0, current_ - kFetchBlock / 4);
    last = first + kFetchBlock / 2;
  }
  last = std::min(last, RowCount() - 1);
  for (int r = std::max(0, first); r <= last; ++r) rows.push_back(r);
  for (int extra : {RowOf(keep), current_}) {
    if (extra >= 0 && (extra < first || extra > last)) rows.push_back(extra);
  }
  return rows;
}

void WBLISTBOX::AddToTotals(const Cached& c, double sign) {
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (!columns_[i].total || i >= c.cells.size()) continue;
    totals_[i] += sign * NumericValue(c.cells[i]);
  }
}

// Whether `row`, now holding `key`, still sits between its neighbours.
bool WBLISTBOX::InPlace(int row, const std::string& key) {
  if (table_->Order().empty()) return true;  // record order: rows never move
  if (key.empty()) return false;             // left a filtered tag
  if (order_char_ && !business_.empty() && key.compare(0, business_.size(), business_) != 0)
    return false;  // left the business
  auto before = [&](const std::string& a, uint32_t ra, const std::string& b, uint32_t rb) {
    if (a == b) return !order_descending_ && ra < rb;
    return order_descending_ ? a > b : a < b;
  };
  uint32_t me = order_[row];
  for (int n : {row - 1, row + 1}) {
    if (n < 0 || n >= RowCount()) continue;
    if (!table_->GoTo(order_[n]).ok()) return false;
    auto k = table_->CurrentKey();
    if (!k.ok()) return false;
    bool ok = n < row ? before(*k, order_[n], key, me) : before(key, me, *k, order_[n]);
    if (!ok) return false;
  }
  return true;
}

bool WBLISTBOX::RereadRows(const std::vector<int>& rows, int keep_row,
                           std::vector<int>* changed) {
  for (int r : rows) {
    uint32_t recno = order_[r];
    auto it = cache_.find(recno);
    // A row never shown is read when it is shown; only the row the screen
    // just wrote is looked at anyway, since it may have moved.
    if (it == cache_.end() && r != keep_row) continue;
    if (!table_->GoTo(recno).ok() || table_->Eof()) return false;
    if (xb::DeletedHidden() && table_->Deleted()) return false;
    if (it != cache_.end() && it->second.bytes == table_->RecordBytes()) continue;
    auto key = table_->CurrentKey();
    if (!table_->Order().empty() && !key.ok()) return false;
    Cached fresh = ReadCurrent();
    if (!InPlace(r, key.ok() ? *key : std::string())) return false;
    if (it != cache_.end()) {
      AddToTotals(it->second, -1);
      AddToTotals(fresh, +1);
      it->second = std::move(fresh);
    } else if (has_totals()) {
      return false;  // its old values are not known: the sums are walked again
    } else {
      cache_[recno] = std::move(fresh);
    }
    changed->push_back(r);
  }
  return true;
}

xb::Status WBLISTBOX::REFRESHALL() {
  if (!table_) return xb::Status::InvalidArgument("grid without a table");
  // The selection stays where the user put it, wherever the cursor is; the
  // record under the cursor is the one the screen just wrote, read again.
  uint32_t written = table_->Eof() ? 0 : table_->RecNo();
  uint32_t keep = SelectedRecNo();
  if (keep == 0) keep = written;
  int old_current = current_;
  auto rc = table_->RecCount();
  bool walk = NMAXREC != RowCount() || !rc.ok() || *rc != rec_count_ ||
              (keep != 0 && RowOf(keep) < 0) || (written != 0 && RowOf(written) < 0);
  std::vector<int> changed;
  if (!walk) {
    std::vector<int> hot = HotRows(keep);
    int written_row = RowOf(written);
    if (written_row >= 0 && std::find(hot.begin(), hot.end(), written_row) == hot.end())
      hot.push_back(written_row);
    // Rows out of view are read again when they are shown. With totals the
    // rows read so far are kept: their old values adjust the sums.
    if (!has_totals()) {
      std::unordered_map<uint32_t, Cached> kept;
      for (int r : hot) {
        auto it = cache_.find(order_[r]);
        if (it != cache_.end()) kept.emplace(it->first, std::move(it->second));
      }
      cache_.swap(kept);
    }
    walk = !RereadRows(hot, RowOf(written), &changed);
  }
  if (walk) return Rebuild(keep, old_current);
  int sel = RowOf(keep);
  if (sel >= 0) current_ = sel;
  Restore();
  last_error_ = xb::Status::OK();
  if (view_) {
    for (int r : changed) view_->RowChanged(r);
    view_->CurrentChanged(current_);
  }
  return xb::Status::OK();
}

xb::Status WBLISTBOX::Redraw() {
  return Rebuild(SelectedRecNo(), current_, /*walked=*/true);
}

xb::Status WBLISTBOX::Reread() {
  if (!table_) return xb::Status::InvalidArgument("grid without a table");
  uint32_t keep = SelectedRecNo();
  if (keep == 0 && !table_->Eof()) keep = table_->RecNo();
  std::vector<uint32_t> order;
  xb::Status st = Walk(&order);
  if (!st.ok() || order != order_) {
    order_ = std::move(order);
    xb::Status r = Rebuild(keep, current_, /*walked=*/true);
    return st.ok() ? r : st;
  }
  NMAXREC = RowCount();
  // Same rows in the same order: only their contents may differ.
  std::vector<int> changed;
  for (int r : HotRows(keep)) {
    auto it = cache_.find(order_[r]);
    if (!table_->GoTo(order_[r]).ok()) continue;
    if (it != cache_.end() && it->second.bytes == table_->RecordBytes()) continue;
    cache_[order_[r]] = ReadCurrent();
    changed.push_back(r);
  }
  // Rows out of view are read again when shown.
  for (auto it = cache_.begin(); it != cache_.end();) {
    int r = RowOf(it->first);
    bool hot = r >= 0 && ((r >= visible_first_ && r <= visible_last_) || r == current_);
    it = hot ? std::next(it) : cache_.erase(it);
  }
  int sel = RowOf(keep);
  if (sel >= 0) current_ = sel;
  Restore();
  if (view_) {
    for (int r : changed) view_->RowChanged(r);
    view_->CurrentChanged(current_);
  }
  return xb::Status::OK();
}

const std::string& WBLISTBOX::Cell(int row, int col) const {
  if (row < 0 || row >= RowCount() || col < 0 || col >= static_cast<int>(columns_.size()))
    return kEmpty;
  auto it = cache_.find(order_[row]);
  const Cached& c = it != cache_.end() ? it->second : Fetch(row);
  return col < static_cast<int>(c.cells.size()) ? c.cells[col] : kEmpty;
}

uint32_t WBLISTBOX::RecNoAt(int row) const {
  return row >= 0 && row < RowCount() ? order_[row] : 0;
}

int WBLISTBOX::RowOf(uint32_t recno) const {
  if (recno == 0) return -1;
  // A scan of record numbers: 100,000 rows take tens of microseconds, less
  // than keeping a map in step with every walk.
  auto it = std::find(order_.begin(), order_.end(), recno);
  return it == order_.end() ? -1 : static_cast<int>(it - order_.begin());
}

std::optional<uint32_t> WBLISTBOX::HeaderColour(int col) const {
  if (col == active_mark_ && col >= 0) return kActiveMarkColour;
  return std::nullopt;
}

xb::Status WBLISTBOX::Select(int row) {
  if (row < 0 || row >= RowCount()) return xb::Status::InvalidArgument("no such row");
  current_ = row;
  xb::Status st = table_->GoTo(order_[row]);
  if (view_) view_->CurrentChanged(row);
  return st;
}

bool WBLISTBOX::SelectRecNo(uint32_t recno) {
  int row = RowOf(recno);
  return row >= 0 && Select(row).ok();
}

xb::Status WBLISTBOX::ClickHeader(int col) {
  if (col < 0 || col >= static_cast<int>(columns_.size()) || columns_[col].tag.empty())
    return xb::Status::OK();
  if (col == active_mark_) return xb::Status::OK();
  uint32_t keep = current_ >= 0 ? order_[current_] : 0;
  XB_RETURN_IF_ERROR(ApplyOrder(columns_[col].tag));
  active_mark_ = col;
  search_.clear();
  return Rebuild(keep, current_);
}

bool WBLISTBOX::TypeSearch(const std::string& typed) {
  if (!table_ || order_.empty()) return false;
  int64_t now = CurrentClock().TickMs();
  if (now - last_key_ms_ > kSearchPauseMs) search_.clear();
  last_key_ms_ = now;
  search_ += typed;
  return SeekText(search_);
}

bool WBLISTBOX::SeekText(const std::string& utf8) {
  if (!table_ || order_.empty()) return false;
  search_ = utf8;
  int col = active_mark_ >= 0 ? active_mark_ : 0;
  // Nothing longer than the column can match: keep the typing within it, so
  // a long run of keys costs no more seeks than the key is wide.
  int width = columns_.empty() ? 0 : columns_[col].width;
  if (width > 0 && Utf8Length(search_) > width) search_ = Utf8Left(search_, width);
  std::string text = xb::FromUtf8(search_);
  if (!columns_.empty() && !columns_[col].picture.empty() && columns_[col].picture[0] == '!')
    text = UpperCp1252(text);
  uint32_t before = table_->RecNo();
  while (!text.empty()) {
    xb::Status st = table_->Seek(xb::Value::Char(business_ + text));
    if (st.ok() && table_->Found()) {
      int row = RowOf(table_->RecNo());
      if (row >= 0) {
        Select(row);
        return true;
      }
    }
    text.pop_back();
  }
  // Nothing matched: stay where the user was.
  if (current_ >= 0)
    table_->GoTo(order_[current_]);
  else if (before)
    table_->GoTo(before);
  return false;
}

bool WBLISTBOX::EditCell(int row, int col, const std::string& text) {
  edit_refused_ = false;
  if (col < 0 || col >= static_cast<int>(columns_.size()) || !columns_[col].on_edit) return false;
  if (!Select(row).ok()) return false;
  const BrowseColumn& c = columns_[col];
  std::string accepted = FilterInput(text, c.picture, c.width, &edit_refused_);
  bool ok = c.on_edit(accepted);
  // Whatever the screen did, show the row as it now is on disk.
  uint32_t recno = order_[row];
  if (table_->GoTo(recno).ok()) {
    auto it = cache_.find(recno);
    Cached fresh = ReadCurrent();
    if (it != cache_.end()) AddToTotals(it->second, -1);
    AddToTotals(fresh, +1);
    if (it == cache_.end() && has_totals()) {
      // Its old values were never read: the sums are walked again.
      cache_[recno] = std::move(fresh);
      Reread();
    } else {
      cache_[recno] = std::move(fresh);
    }
  }
  if (view_) view_->RowChanged(row);
  return ok;
}

xb::Status AGREGARCOL(WBLISTBOX& grid, xb::Table* table, const std::string& header,
                      const std::string& field, const std::string& picture) {
  (void)table;  // the grid's own table: the screens pass the same handle
  return grid.AddColumn(header, field, picture);
}

xb::Status BROWMARKS(WBLISTBOX& grid, const std::vector<std::pair<int, std::string>>& marks,
                     int first_column, const std::string& business) {
  return grid.BROWMARKS(marks, first_column, business);
}

}  // namespace qz
