#include "lib/ui/browse.h"

#include <algorithm>

#include "lib/clock.h"
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

xb::Status WBLISTBOX::AddColumn(const std::string& header, const std::string& field,
                                const std::string& picture) {
  BrowseColumn c;
  c.header = header;
  c.field = field;
  c.picture = picture;
  c.width = static_cast<int>(picture.size());
  c.right_align = IsNumericPicture(picture);
  c.field_index = table_ ? table_->FieldIndex(field) : -1;
  columns_.push_back(std::move(c));
  if (view_) view_->RowsReset();
  if (columns_.back().field_index < 0)
    return xb::Status::NotFound("the table has no field " + field);
  return xb::Status::OK();
}

void WBLISTBOX::SetEditable(int col, std::function<bool(const std::string&)> on_edit) {
  if (col >= 0 && col < static_cast<int>(columns_.size()))
    columns_[col].on_edit = std::move(on_edit);
}

xb::Status WBLISTBOX::ApplyOrder(const std::string& tag) {
  if (!table_) return xb::Status::InvalidArgument("grid without a table");
  XB_RETURN_IF_ERROR(table_->SetOrder(tag));
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
  xb::Status r = REFRESHALL();
  if (st.ok()) st = r;
  owner_.desktop().SetTimer(&owner_, kBrowseTimerId, kBrowseRefreshMs, [this] { TimerTick(); });
  last_error_ = st;
  return st;
}

void WBLISTBOX::TimerTick() {
  if (!BrowseRefresh()) return;
  if (owner_.desktop().active() != &owner_ || !owner_.window_enabled()) return;
  REFRESHALL();
}

void WBLISTBOX::ReadCells(Row* r) const {
  r->cells.resize(columns_.size());
  for (size_t i = 0; i < columns_.size(); ++i) {
    const BrowseColumn& c = columns_[i];
    if (c.field_index < 0) {
      r->cells[i] = std::string(c.width, ' ');
      continue;
    }
    auto v = table_->Get(c.field_index);
    r->cells[i] = v.ok() ? FormatWithPicture(*v, c.picture) : std::string(c.width, '?');
  }
}

xb::Status WBLISTBOX::REFRESHALL() {
  if (!table_) return xb::Status::InvalidArgument("grid without a table");
  // The selection stays where the user put it, wherever the cursor is.
  uint32_t keep = SelectedRecNo();
  if (keep == 0 && !table_->Eof()) keep = table_->RecNo();
  int old_current = current_;
  rows_.clear();
  row_of_.clear();
  xb::Status st = table_->GoTop();
  while (st.ok() && !table_->Eof()) {
    Row r{table_->RecNo(), {}};
    ReadCells(&r);
    row_of_[r.recno] = static_cast<int>(rows_.size());
    rows_.push_back(std::move(r));
    st = table_->Skip(1);
  }
  NMAXREC = RowCount();
  int sel = RowOf(keep);
  if (sel < 0 && !rows_.empty()) sel = std::clamp(old_current, 0, RowCount() - 1);
  current_ = sel;
  if (current_ >= 0) {
    xb::Status g = table_->GoTo(rows_[current_].recno);
    if (st.ok()) st = g;
  }
  last_error_ = st;
  if (view_) {
    view_->RowsReset();
    view_->CurrentChanged(current_);
  }
  return st;
}

const std::string& WBLISTBOX::Cell(int row, int col) const {
  if (row < 0 || row >= RowCount() || col < 0 || col >= static_cast<int>(columns_.size()))
    return kEmpty;
  return rows_[row].cells[col];
}

uint32_t WBLISTBOX::RecNoAt(int row) const {
  return row >= 0 && row < RowCount() ? rows_[row].recno : 0;
}

int WBLISTBOX::RowOf(uint32_t recno) const {
  auto it = row_of_.find(recno);
  return it == row_of_.end() ? -1 : it->second;
}

std::optional<uint32_t> WBLISTBOX::HeaderColour(int col) const {
  if (col == active_mark_ && col >= 0) return kActiveMarkColour;
  return std::nullopt;
}

xb::Status WBLISTBOX::Select(int row) {
  if (row < 0 || row >= RowCount()) return xb::Status::InvalidArgument("no such row");
  current_ = row;
  xb::Status st = table_->GoTo(rows_[row].recno);
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
  XB_RETURN_IF_ERROR(ApplyOrder(columns_[col].tag));
  active_mark_ = col;
  search_.clear();
  return REFRESHALL();
}

bool WBLISTBOX::TypeSearch(const std::string& typed) {
  if (!table_ || rows_.empty()) return false;
  int64_t now = CurrentClock().TickMs();
  if (now - last_key_ms_ > kSearchPauseMs) search_.clear();
  last_key_ms_ = now;
  search_ += typed;
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
    table_->GoTo(rows_[current_].recno);
  else if (before)
    table_->GoTo(before);
  return false;
}

bool WBLISTBOX::EditCell(int row, int col, const std::string& text) {
  if (col < 0 || col >= static_cast<int>(columns_.size()) || !columns_[col].on_edit) return false;
  if (!Select(row).ok()) return false;
  bool ok = columns_[col].on_edit(text);
  // Whatever the screen did, show the row as it now is on disk.
  if (table_->GoTo(rows_[row].recno).ok()) ReadCells(&rows_[row]);
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
