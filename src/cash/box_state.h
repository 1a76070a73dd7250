// Which cash box this workstation holds, and the state every workstation
// shares.
//
// The holding is per process: the arrays XH_CAJAS (first box) and XH2_CAJAS
// (the second timeshare box). The shared truth is in the tables: the box's
// header record (ESTADO "A" open, "C" closed) and its shift record whose
// closing date is still empty. Whoever must record which box took money
// asks CAJA_ABIERTA / GET_CAJA_ABIERTA and refuses to work without a box;
// CAJA_ABIERTA re-reads the header, so a box another workstation closed is
// let go here (and the toolbar's icon turns) at the next question.
#pragma once

#include <cstdint>
#include <optional>
#include <memory>
#include <string>

#include "cash/box_kinds.h"

namespace qz {

class CashButton;
class WDBTable;

// One array (XH_CAJAS or XH2_CAJAS); the comments give the system's slots.
struct CashBoxSlots {
  static constexpr const char* kNoBox = "????";
  std::string descrip;        // 1: description of the open box (UTF-8, trimmed)
  std::string cashier_name;   // 2: name of the cashier who opened it (UTF-8, trimmed)
  int open = 0;               // 3: 1 open here, 0 none
  std::string code = kNoBox;  // 4: box code (table bytes, 2 characters)
  std::string sales_cashier;  // 5: cashier code, kept by the sales kind
  std::string res_cashier;    // 6: cashier code, kept by the reservations kind on re-attach
  int kind = kNoCashKind;     // 7: CashKindCode

  // Empty values of slots 1 to 4 and 7 (slots 5 and 6 are the caller's).
  void Clear();
};

// A workstation's holdings and the toolbar they show on.
class CashBoxes {
 public:
  CashBoxSlots XH_CAJAS;
  CashBoxSlots XH2_CAJAS;

  // The toolbar whose icon follows the holdings; null = the process's
  // toolbar (lib/ui/cash_button.h). Tests give a second workstation its own.
  CashButton* button = nullptr;
  CashButton* Button() const;

  CashBoxSlots& Slots(int box_type) { return box_type == 2 ? XH2_CAJAS : XH_CAJAS; }

  // True when a box is held here and its header, re-read in the toolbar's
  // business, is not closed. A box closed elsewhere is let go: slots 1-4, 6
  // and 7 emptied, the icon turned to closed. Without a toolbar (or a
  // business in it) the answer is slot 3 alone.
  bool CAJA_ABIERTA() { return StillOpen(1); }
  bool CAJA2_ABIERTA() { return StillOpen(2); }

  // Binds this workstation to an open box (opening and re-attaching) and
  // turns the icon to open.
  void Hold(const BoxKind& kind, const std::string& code, const std::string& descrip,
            const std::string& cashier_code, const std::string& cashier_name, bool reattach);
  // Lets the held box go after a closing here, turning the icon to closed.
  void Release(const BoxKind& kind);

 private:
  bool StillOpen(int box_type);
  void ShowIcon(int box_type, int open);
};

// The holdings of this process (created empty at start).
CashBoxes& ProcessCashBoxes();
// Empty holdings (a fresh process; tests).
void ResetCashBoxes();

// The system's functions over the process's holdings.
bool CAJA_ABIERTA();
std::string GET_CAJA_ABIERTA();      // slot 4: "????" when none
std::string GET_DIG_ABIERTO();       // slot 2
std::string GET_COD_DIG_ABIERTO();   // slot 6
bool CAJA2_ABIERTA();
std::string GET_CAJA2_ABIERTA();
std::string GET_DIG2_ABIERTO();
std::string GET_COD_DIG2_ABIERTO();

// ---- the shared records

struct BoxHeader {
  uint32_t recno = 0;
  std::string code;      // table bytes
  std::string descrip;   // UTF-8, trimmed
  std::string estado;    // "A" or "C" (anything else counts as closed)
  std::string password;  // table bytes, 10 characters
  int tip_cierre = 0;
  int arqueo_ad = 0;
  int t_control = 0;
  bool is_open() const { return estado == "A"; }
};

struct Shift {
  uint32_t recno = 0;
  int32_t fecha_ini = 0;
  std::string hora_ini;  // "hh:mm:ss"
  std::string agente;    // table bytes
  int32_t fecha_fin = 0;
  std::string hora_fin;
};

std::optional<BoxHeader> ReadBoxHeader(const BoxKind& kind, const std::string& business,
                                       const std::string& code);
// A shift by record number (a closed shift, for its report).
std::optional<Shift> FindShift(const BoxKind& kind, uint32_t recno);
// The box's shift whose closing date is empty.
std::optional<Shift> FindOpenShift(const BoxKind& kind, const std::string& business,
                                   const std::string& code);

enum class BoxChange { kDone, kAlreadyOpen, kNotOpen, kNoOpenShift, kMissing };

// Opening: the header becomes "A" and a shift record is appended, both in
// one transaction. The header is read again under its lock, so of two
// workstations opening the same box at once only one succeeds
// (kAlreadyOpen for the other; nothing written).
BoxChange OpenBoxRecords(const BoxKind& kind, const std::string& business,
                         const std::string& code, const std::string& cashier_code,
                         Shift* opened = nullptr);

// Closing: the header becomes "C" and the open shift gets its closing date
// and time (and, with `audit`, the CTRL_ fields; `audit_user` false leaves
// CTRL_USR as it was). One transaction; the header and shift are read
// again under their locks, so a box another workstation closed meanwhile
// answers kNotOpen / kNoOpenShift and nothing is written.
BoxChange CloseBoxRecords(const BoxKind& kind, const std::string& business,
                          const std::string& code, bool audit, bool audit_user = true);

// Keeps a box's state still while money is posted against it (a deposit,
// its annulment, an intermediate count). Made inside the posting's
// transaction before its first write, and ended after the transaction
// ends: the box's header record stays locked all that time, and is read
// again under the lock. Openings and closings lock the same record first,
// so a closing either waits for the posting to end or is waited for (the
// posting then finds the box closed and writes nothing); a closing that
// keeps the record past the transaction's patience aborts the posting.
class BoxKeptOpen {
 public:
  BoxKeptOpen(const BoxKind& kind, const std::string& business, const std::string& code);
  ~BoxKeptOpen();
  BoxKeptOpen(const BoxKeptOpen&) = delete;
  BoxKeptOpen& operator=(const BoxKeptOpen&) = delete;

  // The header says "A" under the lock.
  bool open() const { return open_; }

 private:
  std::unique_ptr<WDBTable> header_;
  bool locked_ = false;
  bool open_ = false;
};

// Opens a box for a cashier without any dialog and binds the workstation to
// it: OpenBoxRecords, then Hold. For the module screens and their tests.
BoxChange OpenCashBox(CashBoxes& boxes, const BoxKind& kind, const std::string& business,
                      const std::string& code, const std::string& cashier_code);
// Closes the box held here (tables, then Release); the closing reports are
// the window's business.
BoxChange CloseCashBox(CashBoxes& boxes, const BoxKind& kind, const std::string& business);

}  // namespace qz
