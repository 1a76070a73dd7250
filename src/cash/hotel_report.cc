// HP_CIERRE's document: the folio lines the box took in the period, by
// transaction code, with totals per code, the grand total and the total
// collected (codes marked NO_CIERRE left out), optionally with the invoices
// of the folios. With report currency "Ninguna" each line stays in its
// folio's currency and every total is kept per currency: amounts of
// different currencies are never added together.
#include <map>
#include <set>
#include <vector>

#include "cash/closing_listing.h"
#include "cash/closing_report.h"
#include "lib/data/date_time.h"
#include "lib/data/use.h"
#include "lib/payroll/rates.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/picture.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

struct Line {
  std::string currency;  // code
  std::string folio, invoice, group, room, reference, comment, code;
  int32_t fecha = 0;
  std::string hora;
  double debit = 0, credit = 0;
};

struct Transaction {
  std::string code;  // bytes
  std::string descrip;
  bool excluded = false;  // NO_CIERRE
  bool deposits = false;  // DEPOSITA
};

std::string Stamp(int32_t date, const std::string& time) {
  return xb::DtosFromJulian(date) + PadRight(time, 8);
}

std::map<std::string, Transaction> ReadTransactions(const std::string& business) {
  std::map<std::string, Transaction> out;  // ordered by code
  TablePtr t = USE(nullptr, "TRANSACS", "TRANSACS");
  for (t->Seek(business, true); !t->Eof(); t->Skip()) {
    if (FieldBytes(t->table(), "NEGOCIO") != business) break;
    Transaction tr;
    tr.code = FieldBytes(t->table(), "CODIGO");
    tr.descrip = FieldText(t->table(), "DESCRIP");
    tr.excluded = FieldNumber(t->table(), "NO_CIERRE") == 1;
    tr.deposits = FieldNumber(t->table(), "DEPOSITA") == 1;
    out[tr.code] = tr;
  }
  KILLTABLA(t);
  return out;
}

class Collector {
 public:
  Collector(const std::string& business, const std::string& box, const ReportPeriod& period,
            const HotelReportOptions& options,
            const std::map<std::string, Transaction>& transactions)
      : business_(business), box_(box), period_(period), options_(options), trans_(transactions) {}

  std::vector<Line> Collect() {
    TablePtr lines = USE(nullptr, "DET_FOL", "DET_FOL11");
    folios_ = USE(nullptr, "ENC_FOL", "ENC_FOL");
    rates_ = USE(nullptr, "T_CAMBIO", "T_CAMB2");
    invoices_ = USE(nullptr, "ENC_FAC", "ENC_FAC2");
    const std::string from = Stamp(period_.from_date, period_.from_time);
    const std::string to = Stamp(period_.to_date, period_.to_time);
    const std::string prefix = business_ + box_;
    for (lines->Seek(prefix + from, true); !lines->Eof(); lines->Skip()) {
      const xb::Table& t = lines->table();
      if (FieldBytes(t, "NEGOCIO") + FieldBytes(t, "CAJA") != prefix) break;
      const std::string at = Stamp(lines->FieldGet("FECHA").date(), FieldBytes(t, "HORA"));
      if (at > to) break;
      if (at < from) continue;
      Take(*lines);
    }
    KILLTABLA(invoices_);
    KILLTABLA(rates_);
    KILLTABLA(folios_);
    KILLTABLA(lines);
    return std::move(out_);
  }
  const std::vector<std::string>& invoices() const { return invoice_order_; }

 private:
  static std::string CodeOf(const xb::Table& t) {
    std::string code = FieldBytes(t, "COD_TRAN");
    return Trim(code).empty() ? FieldBytes(t, "COD_TRANS") : code;
  }

  std::string FolioCurrency(const std::string& folio) {
    auto it = folio_currency_.find(folio);
    if (it != folio_currency_.end()) return it->second;
    std::string c;
    if (folios_->Seek(business_ + folio) && !folios_->Eof()) c = FieldBytes(folios_->table(), "MONEDA");
    return folio_currency_[folio] = c;
  }

  std::string Invoice(const std::string& folio) {
    if (!options_.invoices) return "";
    if (!invoices_->Seek(business_ + folio + "0") || invoices_->Eof()) return "";
    std::string n = FieldBytes(invoices_->table(), "NUM_FACT");
    if (seen_invoices_.insert(n).second) invoice_order_.push_back(n);
    return n;
  }

  void Take(WDBTable& w) {
    const xb::Table& t = w.table();
    const std::string code = CodeOf(t);
    auto tr = trans_.find(code);
    if (tr == trans_.end() || !tr->second.deposits) return;
    Line l;
    l.folio = FieldBytes(t, "NUMERO");
    const std::string folio_currency = FolioCurrency(l.folio);
    double factor = 1;
    l.currency = folio_currency;
    if (!options_.currency.empty()) {
      l.currency = options_.currency;
      factor = folio_currency == options_.currency
                   ? 1
                   : CAMBIO_SPEC(business_, rates_->table(), options_.currency, folio_currency,
                                 w.FieldGet("FECHA").date());
    }
    l.code = code;
    l.fecha = w.FieldGet("FECHA").date();
    l.hora = FieldBytes(t, "HORA");
    l.group = FieldBytes(t, "GRUPO");
    l.room = FieldText(t, "ROOM");
    l.reference = FieldText(t, "DOCUMEN");
    l.comment = Utf8Left(FieldText(t, "COMENTA"), 30);
    l.debit = FieldNumber(t, "DEBITO") * factor;
    l.credit = FieldNumber(t, "CREDITO") * factor;
    l.invoice = Trim(Invoice(l.folio));
    if (options_.merge_groups && !Trim(l.group).empty()) {
      const std::string key = l.folio + l.group + xb::DtosFromJulian(l.fecha) + l.currency;
      auto g = groups_.find(key);
      if (g != groups_.end()) {
        out_[g->second].debit += l.debit;
        out_[g->second].credit += l.credit;
        return;
      }
      groups_[key] = out_.size();
    }
    out_.push_back(std::move(l));
  }

  std::string business_, box_;
  ReportPeriod period_;
  HotelReportOptions options_;
  const std::map<std::string, Transaction>& trans_;
  TablePtr folios_, rates_, invoices_;
  std::map<std::string, std::string> folio_currency_;
  std::map<std::string, size_t> groups_;
  std::set<std::string> seen_invoices_;
  std::vector<std::string> invoice_order_;
  std::vector<Line> out_;
};

class Printer {
 public:
  Printer(PageWriter& w, const HotelReportOptions& o, const std::string& business)
      : w_(w), o_(o), listing_(w, business) {}

  std::string Symbol(const std::string& currency) const { return listing_.Symbol(currency); }

  // Per currency with "Ninguna", else one amount.
  void PrintTotals(const std::string& caption, const Totals& totals) {
    if (o_.currency.empty()) {
      listing_.PrintTotals(caption, totals);
      return;
    }
    w_.Say(0, caption, PageWriter::kBold);
    w_.SayRight(79 + 17, FormatNumber(totals.Single(), kTotalPicture), PageWriter::kBold);
    w_.NewLine();
  }

  // A line; the folio layout names its transaction instead of folio and room.
  void Detail(const Line& l, const std::string* transaction = nullptr) {
    w_.Say(0, DateText(l.fecha));
    w_.Say(10, l.hora);
    if (transaction) {
      w_.Say(20, Utf8Left(Trim(l.code) + " " + *transaction, 24));
    } else {
      w_.Say(20, Trim(l.folio));
      w_.Say(35, l.room);
    }
    w_.Say(45, Utf8Left(l.reference, 19));
    w_.Say(64, l.invoice);
    if (o_.currency.empty()) w_.Say(80, Symbol(l.currency));
    const double amount = l.credit != 0 ? l.credit : -l.debit;
    w_.SayRight(82 + 14, FormatNumber(amount, kLinePicture));
    w_.NewLine();
  }

 private:
  PageWriter& w_;
  const HotelReportOptions& o_;
  ClosingListing listing_;
};

void InvoiceSummary(PageWriter& w, Printer& p, const std::string& business,
                    const std::vector<std::string>& invoices,
                    const std::map<std::string, Transaction>& trans) {
  w.NewPage();
  w.Say(0, "Resumen de Facturas", PageWriter::kBold | PageWriter::kUnderline);
  w.NewLine();
  std::map<std::string, std::vector<std::pair<std::string, double>>> by_code;
  TablePtr t = USE(nullptr, "DET_FAC", "DET_FAC");
  for (const std::string& n : invoices)
    for (t->Seek(business + n, true); !t->Eof(); t->Skip()) {
      if (FieldBytes(t->table(), "NEGOCIO") + FieldBytes(t->table(), "NUM_FACT") != business + n)
        break;
      by_code[FieldBytes(t->table(), "COD_TRAN")].emplace_back(FieldBytes(t->table(), "MONEDA"),
                                                             FieldNumber(t->table(), "MONTO"));
    }
  KILLTABLA(t);
  Totals all;
  for (const auto& [code, amounts] : by_code) {
    Totals per;
    for (const auto& [currency, amount] : amounts) {
      per.Add(currency, amount);
      all.Add(currency, amount);
    }
    auto tr = trans.find(code);
    for (const auto& [currency, amount] : per.sums()) {
      w.Say(0, Trim(code));
      w.Say(6, tr == trans.end() ? "" : tr->second.descrip);
      w.Say(50, p.Symbol(currency));
      w.SayRight(79 + 17, FormatNumber(amount, kTotalPicture));
      w.NewLine();
    }
  }
  for (const auto& [currency, amount] : all.sums()) {
    w.Say(0, "***Total Facturado:", PageWriter::kBold);
    w.Say(50, p.Symbol(currency));
    w.SayRight(79 + 17, FormatNumber(amount, kTotalPicture), PageWriter::kBold);
    w.NewLine();
  }
}

// The layout of boxes controlled by transaction code (T_CONTROL 0): the
// lines of each code, with its total.
void PrintByCode(PageWriter& w, Printer& printer, const HotelReportOptions& options,
                 const std::vector<Line>& lines, const std::map<std::string, Transaction>& trans,
                 Totals& grand, Totals& collected) {
  const bool detail = options.lines && !options.summary;
  for (const auto& [code, tr] : trans) {
    std::vector<const Line*> rows;
    for (const Line& l : lines)
      if (l.code == code) rows.push_back(&l);
    if (rows.empty()) continue;
    Totals per_code;
    if (detail) {
      w.Say(0, Trim(code) + ": " + tr.descrip, PageWriter::kBold);
      w.NewLine();
    }
    for (const Line* l : rows) {
      if (detail) printer.Detail(*l);
      const double amount = l->credit - l->debit;
      per_code.Add(l->currency, amount);
      grand.Add(l->currency, amount);
      if (!tr.excluded) collected.Add(l->currency, amount);
    }
    if (options.summary) {
      printer.PrintTotals(Trim(code) + ": " + tr.descrip, per_code);
    } else {
      printer.PrintTotals("***Total " + tr.descrip, per_code);
      w.NewLine();
    }
  }
}

// The layout of boxes controlled by folio (T_CONTROL 1): the lines of each
// folio in folio order, each naming its transaction, with the folio's room,
// invoice and total; the summary prints one total per folio.
void PrintByFolio(PageWriter& w, Printer& printer, const HotelReportOptions& options,
                  const std::vector<Line>& lines, const std::map<std::string, Transaction>& trans,
                  Totals& grand, Totals& collected) {
  const bool detail = options.lines && !options.summary;
  std::map<std::string, std::vector<const Line*>> by_folio;
  for (const Line& l : lines) by_folio[l.folio].push_back(&l);
  for (const auto& [folio, rows] : by_folio) {
    const Line& first = *rows.front();
    const std::string heading = "Folio: " + Trim(folio) + "  Room: " + Trim(first.room) +
                                (Trim(first.invoice).empty() ? "" : "  Factura: " + Trim(first.invoice));
    if (detail) {
      w.Say(0, heading, PageWriter::kBold);
      w.NewLine();
    }
    Totals per_folio;
    for (const Line* l : rows) {
      auto tr = trans.find(l->code);
      const std::string descrip = tr == trans.end() ? "" : tr->second.descrip;
      if (detail) printer.Detail(*l, &descrip);
      const double amount = l->credit - l->debit;
      per_folio.Add(l->currency, amount);
      grand.Add(l->currency, amount);
      if (tr == trans.end() || !tr->second.excluded) collected.Add(l->currency, amount);
    }
    printer.PrintTotals(options.summary ? heading : "***Total Folio " + Trim(folio), per_folio);
    if (!options.summary) w.NewLine();
  }
}

}  // namespace

PrintDocument HotelClosingReport(const std::string& business_in, const BoxHeader& box,
                                 const ReportPeriod& period, const HotelReportOptions& options) {
  const std::string business = PadRight(business_in, 15);
  const auto transactions = ReadTransactions(business);
  Collector collector(business, PadRight(box.code, 2), period, options, transactions);
  const std::vector<Line> lines = collector.Collect();

  PageWriter w("Cierre de Caja", 66, 100);
  w.UseReportFrame({"CIERRE DE CAJA", "Caja: " + Trim(box.code) + " " + box.descrip,
                    "Entre: " + DateText(period.from_date) + " " + period.from_time + "  y " +
                        DateText(period.to_date) + " " + period.to_time,
                    period.preliminary ? "Preliminar" : "Cierre Final"},
                   G().XLOGOFILE);
  const bool detail = options.lines && !options.summary;
  const bool by_folio = box.t_control == 1;
  if (detail)
    w.SetHeader([&options, by_folio](PageWriter& p, int) {
      p.Say(0, "Fecha", PageWriter::kBold);
      p.Say(10, "Hora", PageWriter::kBold);
      if (by_folio) {
        p.Say(20, "Transacción", PageWriter::kBold);
      } else {
        p.Say(20, "Folio", PageWriter::kBold);
        p.Say(35, "Room", PageWriter::kBold);
      }
      p.Say(45, "Referencia", PageWriter::kBold);
      p.Say(64, "Factura", PageWriter::kBold);
      if (options.currency.empty()) p.Say(80, "M", PageWriter::kBold);
      p.SayRight(96, "Monto", PageWriter::kBold);
      p.RuleBelow(0, 96);
      p.NewLine();
    });
  Printer printer(w, options, business);
  Totals grand, collected;
  if (by_folio)
    PrintByFolio(w, printer, options, lines, transactions, grand, collected);
  else
    PrintByCode(w, printer, options, lines, transactions, grand, collected);
  w.NewLine();
  printer.PrintTotals("***Gran Total: ", grand);
  printer.PrintTotals(options.summary ? "***G.Tot. Recaudado:" : "***Gran Total Recaudado:",
                      collected);
  w.NewLine();
  w.NewLine();
  w.NewLine();
  PrintSignatureLines(w);
  if (options.invoices)
    InvoiceSummary(w, printer, business, collector.invoices(), transactions);
  PrintDocument doc = w.Finish();
  doc.title = kClosingDocument;  // the name the print queue shows
  return doc;
}

}  // namespace qz
