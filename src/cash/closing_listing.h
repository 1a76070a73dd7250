// What the closing reports print with: totals kept per currency (amounts
// of different currencies are never added together), the business's
// currency symbols, and the listing of the reservations, timeshare and
// sales reports: sections of rows grouped by a code (concept, movement
// type...), each group closed by its totals, each row with its currency
// symbol and amount at the hotel report's columns.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "lib/ui/print_document.h"

namespace qz {

inline constexpr const char* kLinePicture = "999,999,999.99";
inline constexpr const char* kTotalPicture = "99,999,999,999.99";

// Totals in first-seen currency order.
class Totals {
 public:
  void Add(const std::string& currency, double amount);
  void Add(const Totals& other);
  const std::vector<std::pair<std::string, double>>& sums() const { return sums_; }
  double Single() const { return sums_.empty() ? 0 : sums_.front().second; }

 private:
  std::vector<std::pair<std::string, double>> sums_;
};

// Currency code (bytes) -> symbol, for the business.
std::map<std::string, std::string> CurrencySymbols(const std::string& business);

struct ListingColumn {
  int column;
  const char* title;
  int width;  // text longer than this is cut
};

struct ListingRow {
  std::string group;               // code the row is grouped by (bytes)
  std::vector<std::string> cells;  // UTF-8, one per column
  std::string moneda;              // currency code (bytes)
  double amount = 0;
};

class ClosingListing {
 public:
  ClosingListing(PageWriter& w, const std::string& business);

  // A section: its title, the column headings, then per group (in `groups`
  // order, code -> description; groups not named there follow in first-seen
  // order) a heading, its rows and "***Total " + description. Answers the
  // section's totals. A section without rows says so.
  Totals Section(const std::string& title, const std::vector<ListingColumn>& columns,
                 const std::vector<ListingRow>& rows,
                 const std::vector<std::pair<std::string, std::string>>& groups);
  // One line per group with its totals (the summaries).
  void Summary(const std::string& title, const std::vector<ListingRow>& rows,
               const std::vector<std::pair<std::string, std::string>>& groups);
  // `caption` with one line per currency.
  void PrintTotals(const std::string& caption, const Totals& totals);
  std::string Symbol(const std::string& currency) const;

 private:
  std::vector<std::pair<std::string, std::string>> Groups(
      const std::vector<ListingRow>& rows,
      const std::vector<std::pair<std::string, std::string>>& named) const;
  void Title(const std::string& title);

  PageWriter& w_;
  std::map<std::string, std::string> symbols_;
};

}  // namespace qz
