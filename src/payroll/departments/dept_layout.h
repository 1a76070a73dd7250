// A department's column layout while its editor is open: the three sections
// (salary "01", deductions "02", rebates "03"), each with its chosen
// columns, its column sets and the order in which columns and sets print.
// Private to the window until "Aceptar"; the save (dept_save.h) compares it
// with the department's rows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qz::dept {

constexpr int kSections = 3;
// DET_DEPT.TIPO of section 0..2.
const char* SectionCode(int section);
// COD_CONJ of a column outside any set.
constexpr const char* kNoSet = "0 ";

struct LayoutColumn {
  std::string column;  // COD_COLUMN, as stored (2 bytes)
  int row = 0;         // the window's row number (unique across the sections)
  std::string set;     // set code (2 bytes), "" = none
  std::string link;    // LIGA_CONTA, as stored
  uint32_t recno = 0;  // the DET_DEPT row it was loaded from, 0 = new
  bool separator = false;
};

struct ColumnSet {
  std::string code;     // 2 bytes, right-aligned number (" 1")
  std::string descrip;  // UTF-8
  std::string picture;  // UTF-8
  std::string total;    // COD_TOTAL, UTF-8
  uint32_t recno = 0;   // the CONJ_COL row it was loaded from, 0 = new
};

// An entry of a section's order list: a column outside any set, or a set.
struct OrderItem {
  bool is_set = false;
  int row = 0;       // column's row number
  std::string set;   // set code
  bool operator==(const OrderItem&) const = default;
};

struct Section {
  std::vector<LayoutColumn> columns;  // every chosen column, in sets or not
  std::vector<ColumnSet> sets;
  std::vector<OrderItem> order;
};

class DeptLayout {
 public:
  Section& section(int s) { return sections_[s]; }
  const Section& section(int s) const { return sections_[s]; }

  // Loading: a column as stored (ORDEN > 0 and no set: listed by itself,
  // ordered by `orden`), a set as stored. Call Finish once everything is in.
  void LoadColumn(int s, LayoutColumn c, int orden);
  void LoadSet(int s, ColumnSet set, int orden);
  void FinishLoading();

  // Puts column type `column` into section `s`. False when the type is
  // already in one of the sections (separators may repeat). A column taken
  // out earlier in this session comes back as the same row, so its employee
  // values survive.
  bool Insert(int s, const std::string& column, bool separator);
  // Takes the column with row number `row` out of section `s` (and of its set).
  void Remove(int s, int row);
  // Swaps order entry `index` with its neighbour; the new index of the entry.
  int MoveUp(int s, int index);
  int MoveDown(int s, int index);
  // A new set at the end of the order list; its code.
  std::string AddSet(int s, const std::string& descrip, const std::string& picture,
                     const std::string& total);
  // Deletes set `code`; its columns go back to the section's order list.
  void DeleteSet(int s, const std::string& code);
  ColumnSet* FindSet(int s, const std::string& code);
  // Moves column `row` into set `code` / out of its set.
  bool IntoSet(int s, int row, const std::string& code);
  bool OutOfSet(int s, int row);
  // The columns of set `code`, in the order they joined it.
  std::vector<const LayoutColumn*> Members(int s, const std::string& code) const;
  // The columns of section `s` as they print: a set's members at the set's
  // place in the order list.
  std::vector<const LayoutColumn*> PrintOrder(int s) const;
  LayoutColumn* FindRow(int row);
  // Whether column type `column` is chosen in any section.
  bool Contains(const std::string& column) const;
  // The first set without columns, as (section, code).
  std::optional<std::pair<int, std::string>> EmptySet() const;
  // The position of each order entry, 1-based; set members 0.
  int OrdenOf(int s, const LayoutColumn& c) const;
  int OrdenOf(int s, const ColumnSet& set) const;
  // DET_DEPT rows loaded and no longer chosen.
  const std::vector<LayoutColumn>& removed() const { return removed_; }
  // CONJ_COL rows loaded and deleted.
  const std::vector<uint32_t>& removed_sets() const { return removed_sets_; }

 private:
  int NextRow() const;
  void Sort(int s);

  Section sections_[kSections];
  std::vector<std::vector<std::pair<int, OrderItem>>> loading_{kSections};
  std::vector<LayoutColumn> removed_;
  std::vector<uint32_t> removed_sets_;
};

}  // namespace qz::dept
