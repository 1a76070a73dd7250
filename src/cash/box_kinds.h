// The kinds of cash box of the suite's front-office modules. Every kind
// behaves alike; what differs (tables, parameters, station check, dialogs,
// closing report) is data in one table, so the window and the box state are
// written once.
#pragma once

#include <string>

#include "lib/ui/cash_button.h"

namespace qz {

// The code a held box records of its kind (slot 7 of XH_CAJAS).
enum CashKindCode : int {
  kNoCashKind = 0,
  kSalesKind = 1,
  kHotelKind = 2,
  kReservationsKind = 3,
  kTimeshareKind = 5,
};

enum class ClosingReport { kNone, kHotel, kReservations, kTimeshare, kTimeshareSales };

struct BoxKind {
  int toolbar_kind;
  int box_type;  // 1; 2 = the second timeshare box (XH2_CAJAS)
  int kind_code;
  const char* window_class;
  const char* window_template;
  const char* header;      // header table, one record per box
  const char* header_tag;
  const char* shift;       // shift table, one record per opening
  const char* shift_tag;   // business + box + DTOS(FECHA_FIN)
  const char* params;      // parameter table of the module
  const char* station_flag;
  const char* ini_section;  // QUARTZEL.INI section of the station check
  const char* open_template;
  const char* pass_template;  // authorised closing; "" = the kind closes directly
  const char* station_refusal;
  ClosingReport report;
  const char* report_template;

  bool sales() const { return kind_code == kSalesKind; }
  bool hotel() const { return kind_code == kHotelKind; }
  bool reservations() const { return kind_code == kReservationsKind; }
  bool second_box() const { return box_type == 2; }
};

// The kind of the window a toolbar button opens; null for a toolbar without
// cash boxes (0, and the casino's 4, whose window has no behaviour).
const BoxKind* BoxKindFor(int toolbar_kind, int box_type = 1);
// The kind of a held box: its slot-7 code and which array holds it.
const BoxKind* BoxKindOfCode(int kind_code, int box_type = 1);


}  // namespace qz
