#include "cash/count_posting.h"

#include <cmath>
#include <map>
#include <memory>

#include "cash/folio_lines.h"
#include "cash/optional_fields.h"
#include "lib/data/transaction.h"
#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/data/serials.h"
#include "lib/data/use.h"
#include "lib/payroll/rates.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

const std::string kFolioType = "3";

std::string Stamp(int32_t date, const std::string& time) {
  return xb::DtosFromJulian(date) + PadRight(time, 8);
}

bool IsZero(double amount) {
  return std::fabs(amount) < 0.005;
}

struct HotelParams {
  std::string faltante, sobrante, serial, moneda;
  int32_t cierre_dia = 0;
};

HotelParams ReadHotelParams(const std::string& business) {
  HotelParams p;
  TablePtr t = USE(nullptr, "F_HOTEL", "F_HOTEL");
  if (t->Seek(business) && !t->Eof()) {
    p.faltante = FieldBytes(t->table(), "T_FALTANTE");
    p.sobrante = FieldBytes(t->table(), "T_SOBRANTE");
    p.serial = Trim(FieldBytes(t->table(), "SERIAL_FOL"));
    p.moneda = FieldBytes(t->table(), "MONEDA_RES");
    p.cierre_dia = t->FieldGet("CIERRE_DIA").date();
  }
  KILLTABLA(t);
  return p;
}

// The box's adjustment folio of the shift (type "3", box, opening date and
// time): its record number in ENC_FOL, 0 when there is none yet.
uint32_t FindAdjustmentFolio(WDBTable& folios, const std::string& business,
                             const std::string& box, const Shift& shift) {
  for (folios.Seek(business, true); !folios.Eof(); folios.Skip()) {
    const xb::Table& t = folios.table();
    if (FieldBytes(t, "NEGOCIO") != business) break;
    if (FieldBytes(t, "TIPO") == kFolioType && FieldBytes(t, "CAJA") == box &&
        folios.FieldGet("FECHA_INI").date() == shift.fecha_ini &&
        FieldBytes(t, "HORA_INI") == PadRight(shift.hora_ini, 8))
      return folios.RecNo();
  }
  return 0;
}

std::string FolioCurrency(const std::string& business, const std::string& box,
                          const Shift& shift, const HotelParams& params) {
  TablePtr folios = USE(nullptr, "ENC_FOL", "ENC_FOL");
  std::string currency = params.moneda;
  if (uint32_t rec = FindAdjustmentFolio(*folios, business, box, shift)) {
    folios->GoTo(rec);
    currency = FieldBytes(folios->table(), "MONEDA");
  }
  KILLTABLA(folios);
  return currency;
}

// The rate that turns an amount of `currency` into the folio's currency.
double RateToFolio(const std::string& business, WDBTable& rates, const std::string& folio_currency,
                   const std::string& currency) {
  if (currency == folio_currency) return 1;
  return CAMBIO_ACT(business, rates.table(), folio_currency, currency);
}

class CountWriter {
 public:
  CountWriter(const std::string& business, const std::string& box, const Shift& shift)
      : business_(business), box_(box), shift_(shift), params_(ReadHotelParams(business)) {
    folios_ = USE(nullptr, "ENC_FOL", "ENC_FOL");
    lines_ = USE(nullptr, "DET_FOL", "DET_FOL");
    rates_ = USE(nullptr, "T_CAMBIO", "T_CAMB2");
    codes_ = USE(nullptr, "TRANSACS", "TRANSACS");
  }
  ~CountWriter() {
    poster_.reset();
    KILLTABLA(codes_);
    KILLTABLA(rates_);
    KILLTABLA(lines_);
    KILLTABLA(folios_);
  }

  // Finds or opens the adjustment folio and leaves ENC_FOL on it.
  void Folio() {
    if (uint32_t rec = FindAdjustmentFolio(*folios_, business_, box_, shift_)) {
      folios_->GoTo(rec);
      return;
    }
    const std::string number = GET_NXSERIAL(nullptr, business_, params_.serial);
    ADD_NEW_REC(*folios_);
    PutChar(*folios_, "NEGOCIO", business_);
    PutChar(*folios_, "NUMERO", number);
    PutChar(*folios_, "TIPO", kFolioType);
    PutChar(*folios_, "MONEDA", params_.moneda);
    PutChar(*folios_, "CAJA", box_);
    PutDate(*folios_, "FECHA_INI", shift_.fecha_ini);
    PutChar(*folios_, "HORA_INI", PadRight(shift_.hora_ini, 8));
    PutChar(*folios_, "CONSECUT", "0001");
    PutChar(*folios_, "GRUPO", "0001");
    // The box's adjustments belong to no room or guest: a master account.
    PutNumber(*folios_, "MAESTRA", 1);
    UNLOCK_NEW_REC(*folios_);
  }

  // A shortage (negative difference) or overage line in the counted
  // currency, converted at today's rate into the folio's currency, with
  // the taxes its code carries.
  void Adjustment(const CountRow& row, int32_t today, const std::string& now) {
    const double diff = row.difference();
    if (IsZero(diff)) return;
    const bool shortage = diff < 0;
    FolioLine line;
    line.code = shortage ? params_.faltante : params_.sobrante;
    line.comment = shortage ? "Ajuste por faltante en caja" : "Ajuste por sobrante en caja";
    line.tendered_currency = row.currency;
    line.amount = std::fabs(diff);
    line.rate = RateToFolio(business_, *rates_, FieldBytes(folios_->table(), "MONEDA"),
                            row.currency);
    if (codes_->Seek(business_ + PadRight(line.code, 4)) && !codes_->Eof())
      line.debit = FieldNumber(codes_->table(), "TIPO") == 1;
    line.fecha = today;
    line.hora = now;
    line.box = box_;
    line.business_day = params_.cierre_dia;
    if (!poster_) poster_ = std::make_unique<FolioPoster>(business_, *folios_, *lines_);
    poster_->Post(line);
  }

  const HotelParams& params() const { return params_; }

 private:
  std::string business_, box_;
  Shift shift_;
  HotelParams params_;
  TablePtr folios_, lines_, rates_, codes_;
  std::unique_ptr<FolioPoster> poster_;  // on the folio Folio() found or opened
};

void WriteAmount(WDBTable& t, const std::string& business, const std::string& box,
                 const CountRow& row, double amount, int32_t from_date,
                 const std::string& from_time, int32_t today, const std::string& now) {
  ADD_NEW_REC(t);
  PutChar(t, "NEGOCIO", business);
  PutChar(t, "CAJA", box);
  PutChar(t, "MONEDA", row.currency);
  PutNumber(t, "MONTO", amount);
  PutDate(t, "FECHA_INI", from_date);
  PutChar(t, "HORA_INI", PadRight(from_time, 8));
  PutDate(t, "FECHA_FIN", today);
  PutChar(t, "HORA_FIN", now);
  PutChar(t, "H_LIMITE", "24:60:60");
  PutDate(t, "LIMITE", xb::JulianFromYmd(2090, 1, 1));
  UNLOCK_NEW_REC(t);
}

}  // namespace

std::vector<CountRow> ExpectedAmounts(const std::string& business_in, const std::string& box_in,
                                      const Shift& shift) {
  const std::string business = PadRight(business_in, 15);
  const std::string box = PadRight(box_in, 2);
  std::vector<CountRow> rows;
  std::map<std::string, size_t> by_currency;
  TablePtr monedas = USE(nullptr, "MONEDAS", "MONEDAS");
  for (monedas->Seek(business, true); !monedas->Eof(); monedas->Skip()) {
    if (FieldBytes(monedas->table(), "NEGOCIO") != business) break;
    CountRow r;
    r.currency = FieldBytes(monedas->table(), "CODIGO");
    r.symbol = FieldText(monedas->table(), "SIMBOLO");
    r.descrip = FieldText(monedas->table(), "DESCRIP");
    by_currency[r.currency] = rows.size();
    rows.push_back(std::move(r));
  }
  KILLTABLA(monedas);
  auto add = [&](const std::string& currency, double amount) {
    auto it = by_currency.find(currency);
    if (it != by_currency.end()) rows[it->second].expected += amount;
  };

  // The shifts of the box, newest opening first: the one after this shift
  // is the previous shift, the one before it a later one.
  std::optional<Shift> previous, later;
  TablePtr shifts = USE(nullptr, "DET_HCAJ", "DET_HCAJ3");
  Shift before;
  bool have_before = false, found = false;
  for (shifts->Seek(business + box, true); !shifts->Eof(); shifts->Skip()) {
    if (FieldBytes(shifts->table(), "NEGOCIO") + FieldBytes(shifts->table(), "CAJA") !=
        business + box)
      break;
    Shift s;
    s.recno = shifts->RecNo();
    s.fecha_ini = shifts->FieldGet("FECHA_INI").date();
    s.hora_ini = FieldBytes(shifts->table(), "HORA_INI");
    if (found) {
      previous = s;
      break;
    }
    if (s.recno == shift.recno) {
      found = true;
      if (have_before) later = before;
      continue;
    }
    before = s;
    have_before = true;
  }
  KILLTABLA(shifts);

  if (previous) {
    TablePtr counted = USE(nullptr, "DET_HCA2", "DET_HCA2");
    const std::string key =
        business + box + xb::DtosFromJulian(previous->fecha_ini) + PadRight(previous->hora_ini, 8);
    for (counted->Seek(key, true); !counted->Eof(); counted->Skip()) {
      const xb::Table& t = counted->table();
      if (FieldBytes(t, "NEGOCIO") + FieldBytes(t, "CAJA") +
              xb::DtosFromJulian(counted->FieldGet("FECHA_INI").date()) +
              FieldBytes(t, "HORA_INI") !=
          key)
        break;
      add(FieldBytes(t, "MONEDA"), FieldNumber(t, "MONTO"));
    }
    KILLTABLA(counted);
  }

  std::vector<std::string> codes;
  TablePtr trans = USE(nullptr, "TRANSACS", "TRANSACS");
  for (trans->Seek(business, true); !trans->Eof(); trans->Skip()) {
    const xb::Table& t = trans->table();
    if (FieldBytes(t, "NEGOCIO") != business) break;
    if (FieldNumber(t, "PIDE_CAJA") == 1 && FieldNumber(t, "NO_CAJA") == 0 &&
        FieldNumber(t, "ES_TARJETA") == 0)
      codes.push_back(FieldBytes(t, "CODIGO"));
  }
  KILLTABLA(trans);

  const std::string start = Stamp(shift.fecha_ini, shift.hora_ini);
  const std::string end = later ? Stamp(later->fecha_ini, later->hora_ini) : std::string();
  TablePtr lines = USE(nullptr, "DET_FOL", "DET_FOL18");
  for (const std::string& code : codes) {
    const std::string prefix = business + box + PadRight(code, 4);
    for (lines->Seek(prefix + xb::DtosFromJulian(shift.fecha_ini), true); !lines->Eof();
         lines->Skip()) {
      const xb::Table& t = lines->table();
      if (FieldBytes(t, "NEGOCIO") + FieldBytes(t, "CAJA") + FieldBytes(t, "COD_TRAN") != prefix)
        break;
      const std::string at = Stamp(lines->FieldGet("FECHA").date(), FieldBytes(t, "HORA"));
      if (at < start) continue;
      if (!end.empty() && at >= end) break;
      if (FieldNumber(t, "AJUSTE") != 0) continue;
      const double credit = FieldNumber(t, "OCREDITO");
      add(FieldBytes(t, "OMONEDA"), credit != 0 ? credit : -FieldNumber(t, "ODEBITO"));
    }
  }
  KILLTABLA(lines);
  for (CountRow& r : rows) r.expected = std::round(r.expected * 100) / 100;
  return rows;
}

std::string CountPostingProblem(const std::string& business_in, const std::vector<CountRow>& rows,
                                CountKind kind, const std::string& box, const Shift& shift) {
  const std::string business = PadRight(business_in, 15);
  const HotelParams params = ReadHotelParams(business);
  TablePtr folios = USE(nullptr, "ENC_FOL", "ENC_FOL");
  const bool has_folio = FindAdjustmentFolio(*folios, business, PadRight(box, 2), shift) != 0;
  KILLTABLA(folios);
  if (!has_folio && (params.serial.empty() ||
                     GET_CURRENTSERIAL(nullptr, business, params.serial) == kNoSerial))
    return "No está definido el serial de los folios del hotel (F_HOTEL: SERIAL_FOL).";
  if (kind == CountKind::kClosingUncounted) return "";
  const std::string folio_currency = FolioCurrency(business, PadRight(box, 2), shift, params);
  TablePtr rates = USE(nullptr, "T_CAMBIO", "T_CAMB2");
  std::string problem;
  for (const CountRow& r : rows) {
    if (IsZero(r.difference())) continue;
    if (Trim(r.difference() < 0 ? params.faltante : params.sobrante).empty()) {
      problem = "No está definida la transacción de ajuste por faltante o sobrante (F_HOTEL).";
      break;
    }
    if (RateToFolio(business, *rates, folio_currency, r.currency) == 0) {
      problem = "No hay tipo de cambio de " + Trim(r.currency) + " a " + Trim(folio_currency) +
                " para el ajuste de la caja.";
      break;
    }
  }
  KILLTABLA(rates);
  return problem;
}

BoxChange PostCount(const std::string& business_in, const std::string& box_in, const Shift& shift,
                    const std::vector<CountRow>& rows, CountKind kind, const CountPeriod& period) {
  const std::string business = PadRight(business_in, 15);
  const std::string box = PadRight(box_in, 2);
  const BoxKind& hotel = *BoxKindFor(kHotelToolbar);
  CountWriter writer(business, box, shift);
  TablePtr amounts = USE(nullptr, kind == CountKind::kIntermediate ? "DET_HCA4" : "DET_HCA2",
                         kind == CountKind::kIntermediate ? "DET_HCA4" : "DET_HCA2");
  TablePtr counts = kind == CountKind::kIntermediate ? USE(nullptr, "DET_HCA3", "DET_HCA3")
                                                     : nullptr;
  std::optional<BoxKeptOpen> kept;  // outlives the transaction
  BoxChange r = Atomically([&] {
    if (kind == CountKind::kIntermediate) {
      // The box stays open through the count: a closing elsewhere waits
      // for it, or has closed the shift and the count is not written.
      kept.emplace(hotel, business, box);
      if (!kept->open()) return BoxChange::kNotOpen;
    } else {
      // Closed first: a box another workstation closed meanwhile stops the
      // whole posting before anything is written.
      BoxChange closed =
          CloseBoxRecords(hotel, business, box, true, kind == CountKind::kClosing);
      if (closed != BoxChange::kDone) return closed;
    }
    const int32_t today = XDATE();
    const std::string now = XTIME();
    writer.Folio();
    if (counts) {
      ADD_NEW_REC(*counts);
      PutChar(*counts, "NEGOCIO", business);
      PutChar(*counts, "CAJA", box);
      PutDate(*counts, "FECHA_INI", period.from_date);
      PutChar(*counts, "HORA_INI", PadRight(period.from_time, 8));
      PutDate(*counts, "FECHA_FIN", period.to_date);
      PutChar(*counts, "HORA_FIN", PadRight(period.to_time, 8));
      UNLOCK_NEW_REC(*counts);
    }
    for (const CountRow& row : rows) {
      const bool declined = kind == CountKind::kClosingUncounted;
      const double amount = declined ? row.expected : row.counted;
      if (kind == CountKind::kIntermediate) {
        WriteAmount(*amounts, business, box, row, amount, period.from_date, period.from_time,
                    today, now);
      } else {
        WriteAmount(*amounts, business, box, row, amount, shift.fecha_ini, shift.hora_ini, today,
                    now);
      }
      if (!declined) writer.Adjustment(row, today, now);
    }
    return BoxChange::kDone;
  });
  KILLTABLA(counts);
  KILLTABLA(amounts);
  return r;
}

}  // namespace qz
