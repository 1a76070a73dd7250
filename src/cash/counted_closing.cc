#include "cash/counted_closing.h"

#include <memory>
#include <vector>

#include "cash/count_posting.h"
#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/data/use.h"
#include "lib/errors/error_handler.h"
#include "lib/settings/globals.h"
#include "lib/ui/browse.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

enum : int {
  kCounted = 701,
  kExpected = 702,
  kDifference = 703,
  kFromDate = 502,
  kFromTime = 503,
  kToDate = 504,
  kToTime = 505,
};

constexpr const char* kAmountPicture = "999,999,999.99";

// The three grids of a count over private copies of TMP_VLTO.
class CountGrids {
 public:
  explicit CountGrids(std::vector<CountRow> rows) : rows_(std::move(rows)) {
    for (TablePtr& t : tables_) {
      t = USE(nullptr, "TMP_VLTO.DBF", "TMP_1");
      for (const CountRow& r : rows_) {
        ADD_NEW_REC(*t);
        t->FieldPut("SIMBOLO", xb::Value::Char(xb::FromUtf8(r.symbol)));
        t->FieldPut("MONEDA", xb::Value::Char(r.currency));
        t->FieldPut("DESCRIP", xb::Value::Char(xb::FromUtf8(r.descrip)));
        t->FieldPut("MONTO", xb::Value::Number(t == tables_[2] ? -r.expected : 0));
        t->FieldPut("MONTO2", xb::Value::Number(r.expected));
        UNLOCK_NEW_REC(*t);
      }
    }
  }
  ~CountGrids() {
    for (auto& g : grids_) g.reset();
    for (TablePtr& t : tables_) KILLTABLA(t);
  }

  void Attach(WDIAG& d) {
    const char* amount_field[3] = {"MONTO", "MONTO2", "MONTO"};
    const int ids[3] = {kCounted, kExpected, kDifference};
    for (int i = 0; i < 3; ++i) {
      grids_[i] = std::make_unique<WBLISTBOX>(d, ids[i], &tables_[i]->table());
      WBLISTBOX& g = *grids_[i];
      g.SHOWNUMBERS = false;
      g.AddColumn("Moneda", "SIMBOLO", "");
      g.AddColumn("Descripción", "DESCRIP", "");
      g.AddColumn("Monto", amount_field[i], kAmountPicture);
      g.BROWMARKS({{1, "TMP_1"}}, 1, "");
    }
    grids_[0]->SetEditable(2, [this](const std::string& text) { return Counted(text); });
  }
  // Ends the grids before their window goes.
  void Detach() {
    for (auto& g : grids_) g.reset();
  }

  // The counted amounts as typed (a currency missing from the grid counts 0).
  std::vector<CountRow> Rows() const {
    std::vector<CountRow> out = rows_;
    xb::Table& t = tables_[0]->table();
    for (CountRow& r : out) {
      r.counted = 0;
      for (t.GoTop(); !t.Eof(); t.Skip(1))
        if (FieldBytes(t, "MONEDA") == r.currency) r.counted = FieldNumber(t, "MONTO");
    }
    return out;
  }

 private:
  bool Counted(const std::string& text) {
    std::optional<double> n = ParseNumber(text);
    if (!n) return false;
    WDBTable& counted = *tables_[0];
    if (!LockForModify(counted)) return false;
    counted.FieldPut("MONTO", xb::Value::Number(*n));
    UnlockForModify(counted);
    const std::string currency = FieldBytes(counted.table(), "MONEDA");
    const double expected = FieldNumber(counted.table(), "MONTO2");
    WDBTable& diff = *tables_[2];
    if (diff.Seek(currency) && !diff.Eof() && LockForModify(diff)) {
      diff.FieldPut("MONTO", xb::Value::Number(*n - expected));
      UnlockForModify(diff);
      if (grids_[2]) grids_[2]->REFRESHALL();
    }
    return true;
  }

  std::vector<CountRow> rows_;
  TablePtr tables_[3];
  std::unique_ptr<WBLISTBOX> grids_[3];
};

enum class Posted { kWritten, kRefused, kBoxClosed };

// Posts after checking what the posting needs; kRefused (after telling
// the user) when nothing was written and the count may be mended, and
// kBoxClosed when another workstation closed the box meanwhile (nothing
// written either, nothing left to count). A fault midway (a lock that gave
// up, a full disk) has rolled the posting back; the error handler tells
// the user and the window stays, so the count can be posted again.
Posted PostChecked(const std::string& business, const std::string& box, const Shift& shift,
                   const std::vector<CountRow>& rows, CountKind kind,
                   const CountPeriod& period = {}) {
  std::string problem = CountPostingProblem(business, rows, kind, box, shift);
  if (!problem.empty()) {
    MESSAGE_BOX(problem, "Error", kMbIconStop);
    return Posted::kRefused;
  }
  BoxChange r = PostCount(business, box, shift, rows, kind, period);
  if (r == BoxChange::kDone) return Posted::kWritten;
  MESSAGE_BOX("Actualmente no se encuentra abierta esta caja.", "ERROR", kMbIconStop);
  return Posted::kBoxClosed;
}

Posted Post(CashBoxes& boxes, const std::string& business, const std::string& box,
            const Shift& shift, const std::vector<CountRow>& rows, CountKind kind,
            const CountPeriod& period = {}) {
  Posted posted = Posted::kRefused;
  RunOperation([&] { posted = PostChecked(business, box, shift, rows, kind, period); });
  // Asked again: a box closed elsewhere is let go here, its icon turned.
  if (posted == Posted::kBoxClosed) boxes.CAJA_ABIERTA();
  return posted;
}

void LetGo(CashBoxes& boxes, const std::string& box) {
  const BoxKind& hotel = *BoxKindFor(kHotelToolbar);
  if (boxes.XH_CAJAS.open == 1 && boxes.XH_CAJAS.code == PadRight(box, 2)) boxes.Release(hotel);
}

}  // namespace

bool HCAJAS4(Desktop& desktop, WDIAG* owner, CashBoxes& boxes, const std::string& business,
             const BoxHeader& box, const Shift& shift) {
  const bool count = MESSAGE_BOX("¿Desea realizar arqueo de caja?", "Advertencia",
                                 kMbOkCancel | kMbIconQuestion) == 1;
  std::vector<CountRow> rows = ExpectedAmounts(business, box.code, shift);
  if (!count) {
    if (Post(boxes, business, box.code, shift, rows, CountKind::kClosingUncounted) !=
        Posted::kWritten)
      return false;
    LetGo(boxes, box.code);
    MESSAGE_BOX("Fin de Proceso", "Aviso", kMbIconInformation);
    return true;
  }
  CountGrids grids(rows);
  bool closed = false;
  DIALOG_BOX(desktop, "HCAJAS4", owner, [&](WDIAG& d, int msg, int64_t wparam, int64_t) -> int {
    if (msg == kWmInitDialog) {
      d.SetTitle("Cierre de Caja: " + Trim(box.code) + " " + box.descrip);
      grids.Attach(d);
      d.OnNCDestroy = [&grids] { grids.Detach(); };
      d.SetFocus(kCounted);
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 2) {
      d.ENDDIALOG(2);
      return 1;
    }
    if (wparam != 1) return 1;
    const Posted posted =
        Post(boxes, business, box.code, shift, grids.Rows(), CountKind::kClosing);
    if (posted == Posted::kWritten) {
      closed = true;
      LetGo(boxes, box.code);
      MESSAGE_BOX("Fin de Proceso", "Aviso", kMbIconInformation);
      d.ENDDIALOG(1);
    } else if (posted == Posted::kBoxClosed) {
      d.ENDDIALOG(2);
    }
    return 1;
  });
  return closed;
}

void HCAJAS5(Desktop& desktop, WDIAG* owner, CashBoxes& boxes, const std::string& business,
             const std::string& box, const Shift& shift) {
  CountGrids grids(ExpectedAmounts(business, box, shift));
  DIALOG_BOX(desktop, "HCAJAS5", owner, [&](WDIAG& d, int msg, int64_t wparam, int64_t) -> int {
    if (msg == kWmInitDialog) {
      const int32_t today = XDATE();
      const std::string now = XTIME();
      d.SetDate(kFromDate, today);
      d.SetText(kFromTime, now);
      d.SetDate(kToDate, today);
      d.SetText(kToTime, now);
      grids.Attach(d);
      d.OnNCDestroy = [&grids] { grids.Detach(); };
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 2) {
      d.ENDDIALOG(2);
      return 1;
    }
    if (wparam != 1) return 0;
    CountPeriod period;
    std::optional<int32_t> from = d.DateValue(kFromDate), to = d.DateValue(kToDate);
    if (!from || !to || *from == 0) {
      MESSAGE_BOX("Fecha inválida", "Error", kMbIconStop);
      return 1;
    }
    period.from_date = *from;
    period.from_time = PadRight(Trim(d.Text(kFromTime)), 8);
    period.to_date = *to;
    period.to_time = PadRight(Trim(d.Text(kToTime)), 8);
    if (period.from_date < shift.fecha_ini) {
      MESSAGE_BOX("La fecha no puede ser inferior a la fecha de cierre actual", "Error",
                  kMbIconStop);
      return 1;
    }
    if (period.from_date == shift.fecha_ini && period.from_time < PadRight(shift.hora_ini, 8)) {
      MESSAGE_BOX("La hora no puede ser inferior a la hora de cierre actual", "Error",
                  kMbIconStop);
      return 1;
    }
    const Posted posted =
        Post(boxes, business, box, shift, grids.Rows(), CountKind::kIntermediate, period);
    if (posted == Posted::kWritten) {
      MESSAGE_BOX("Fin de Proceso", "Aviso", kMbIconInformation);
      d.ENDDIALOG(1);
    } else if (posted == Posted::kBoxClosed) {
      d.ENDDIALOG(2);
    }
    return 1;
  });
}

}  // namespace qz
