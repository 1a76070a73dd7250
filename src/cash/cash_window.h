// The cash box window of a toolbar kind (V_CAJAS, HCAJAS2, RCAJAS2, TCAJAS2
// of type 1 or 2): the business's boxes of that kind with their state, and
// opening with two passwords, closing (authorised by a cashier who may
// close, except for sales), re-attaching a box the tables show open, the
// preliminary closing report and, for the hotel, the cash count (for sales,
// the restaurant's sales report). One class:
// the kinds differ only in their BoxKind.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cash/box_state.h"
#include "lib/data/use.h"
#include "lib/ui/browse.h"
#include "lib/ui/wdiag.h"

namespace qz {

class CashBoxWindow : public WDIAG {
 public:
  enum : int {
    kGrid = 700,
    kOpenLabel = 501,
    kOpen = 201,
    kClose = 202,
    kReattach = 203,
    kPreliminary = 204,
    kCount = 205,
    kDeposits = 206,
    kSalesReport = 207,
    kPostSales = 1001,
  };

  CashBoxWindow(Desktop& desktop, const BoxKind& kind, const std::string& business,
                CashBoxes& boxes);
  ~CashBoxWindow() override;

  bool Init();
  void ABRE_CAJA();
  void REABRE_CAJA();
  void PASS_CAJA();
  void CLOSE_CAJA();
  void PRINT_CIERRE();
  void ARQUEO();
  // Hotel: the deposits browse of the business (registration from there).
  void DEPOSITOS();
  // Sales: the restaurant's sales report, of the box under the cursor or of
  // every box, for any period; no box need be held here.
  void REPORTE_VENTAS();

  const BoxKind& kind() const { return kind_; }
  WBLISTBOX* grid() const { return grid_.get(); }
  // Puts the grid on the box with `code` (tests and the window's start).
  bool SelectBox(const std::string& code);

 private:
  void CerrarBases();
  std::optional<BoxHeader> BoxUnderCursor();
  int Parameter(const char* field) const;
  // The station check of the kind; false (after the message) refuses.
  bool StationAllowed(const std::string& code);
  bool HeldHere();
  // Sales: closes the box and posts its pending sales (check box 1001) in
  // one transaction; nullopt after telling the user why nothing was done.
  std::optional<BoxChange> CloseSales(const std::string& code);
  CashBoxSlots& slots() { return boxes_.Slots(kind_.box_type); }

  const BoxKind& kind_;
  std::string business_;
  CashBoxes& boxes_;
  TablePtr header_;
  std::unique_ptr<WBLISTBOX> grid_;
};

// Opens the window of a toolbar kind (null for a kind without cash boxes)
// for `business`, over the process's holdings.
CashBoxWindow* OpenCashBoxWindow(Desktop& desktop, int toolbar_kind, int box_type,
                                 const std::string& business);

}  // namespace qz
