// The lines a deposit is registered with, kept while the user edits them in
// private work tables: the accounting counterpart (TMP_HLI2: account,
// debit, credit, edited in place) and the applications to reservations
// (TMP_HLI3: the room lines chosen, each with the amount applied in the
// reservations' currency, edited in place). Lines without an account or
// reservation are left out of what is registered.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cash/deposits/deposit_data.h"
#include "lib/data/use.h"
#include "lib/ui/browse.h"
#include "lib/ui/wdiag.h"

namespace qz {

class DepositLines {
 public:
  DepositLines(WDIAG& owner, int counter_grid, int applications_grid);
  ~DepositLines();

  // Opens the work tables and builds both grids; false when a table could
  // not be opened.
  bool Open();
  // Ends the grids and deletes the work tables.
  void Close();

  // Appends a blank counterpart line and selects it.
  void AddCounterLine();
  // Removes the selected counterpart line / application (none selected:
  // nothing).
  void RemoveCounterLine();
  void RemoveApplication();
  // Adds an application (a room line already listed is not added twice);
  // false when it was there.
  bool AddApplication(const Application& a);

  std::vector<CounterLine> Counterpart() const;
  std::vector<Application> Applications() const;
  // Empties both lists (after a deposit was registered).
  void Clear();

  WBLISTBOX* counter_grid() const { return counter_grid_.get(); }
  WBLISTBOX* applications_grid() const { return applications_grid_.get(); }

 private:
  bool EditNumber(WDBTable& t, const char* field, const std::string& text);
  bool EditAccount(const std::string& text);
  static void RemoveSelected(WDBTable& t, WBLISTBOX& grid);

  WDIAG& owner_;
  int counter_id_, applications_id_;
  TablePtr counter_, applications_;
  std::unique_ptr<WBLISTBOX> counter_grid_, applications_grid_;
};

// The reservation-selection dialog (SEL_RES): the business's room lines
// with guest, dates and state. A line no longer pending is refused with the
// check-in message. The chosen line, its amount proposed from the
// reservation's total (TOTAL or TOTAL4 as the hotel compares deposits);
// nothing when the user cancelled.
std::optional<Application> ChooseReservation(WDIAG& owner, const std::string& negocio);

// The dates of the room line (arrival, departure) and its guest's
// surname and first name.
struct RoomLineGuest {
  int32_t entrada = 0, salida = 0;
  std::string apellido, nombre;  // UTF-8
};
RoomLineGuest ReadRoomLineGuest(void* owner, const std::string& negocio, const Application& a);

}  // namespace qz
