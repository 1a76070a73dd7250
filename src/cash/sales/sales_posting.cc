#include "cash/sales/sales_posting.h"

#include <cmath>
#include <map>
#include <stdexcept>

#include "cash/deposits/deposit_data.h"
#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/data/serials.h"
#include "lib/data/transaction.h"
#include "lib/payroll/rates.h"
#include "lib/settings/globals.h"
#include "lib/settings/workstation.h"
#include "lib/ui/catalog_data.h"

namespace qz {
namespace {

// A problem found once the documents are locked: the transaction is rolled
// back and the closing tells the user.
class SalesPostingRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string Code(const std::string& bytes) { return TrimRight(bytes); }

// The lines of one entry, summed per account, text and side, in the order
// they first appear.
class EntryLines {
 public:
  void Add(const std::string& cuenta, const std::string& descrip, double amount, bool debit) {
    if (amount == 0) return;
    if (amount < 0) {
      amount = -amount;
      debit = !debit;
    }
    const std::string key = cuenta + '\x01' + descrip + (debit ? "D" : "C");
    auto [it, added] = index_.emplace(key, lines_.size());
    if (added) lines_.push_back({cuenta, descrip, 0, 0});
    JournalLine& l = lines_[it->second];
    (debit ? l.debito : l.credito) += amount;
  }
  std::vector<JournalLine> Take() {
    index_.clear();
    return std::move(lines_);
  }
  bool empty() const { return lines_.empty(); }

 private:
  std::vector<JournalLine> lines_;
  std::map<std::string, size_t> index_;
};

class Planner {
 public:
  Planner(void* owner, const std::string& business, const std::string& box,
          const SalesSettings& s)
      : owner_(owner), business_(PadRight(business, 15)), box_(PadRight(box, 2)), s_(s),
        articles_(owner, business) {
    rates_ = USE(owner, "T_CAMBIO", "T_CAMB2");
  }
  ~Planner() { KILLTABLA(rates_); }

  SalesPostingPlan Run(const std::vector<SalesDocument>& docs) {
    if (s_.accounting && Code(s_.moneda_con).empty())
      return Refuse("El negocio no tiene definida la moneda contable.");
    for (const SalesDocument& d : docs) {
      // An annulled sale was neither sold nor consumed: it is only marked
      // processed, so that it does not wait for every later closing.
      if (d.anulado) continue;
      if (s_.accounting) Account(d);
      if (s_.inventory) Consume(d);
      if (!plan_.problem.empty()) return plan_;
    }
    CloseEntry();
    if (run_consumption_.fecha != 0 && !run_consumption_.quantities.empty())
      plan_.consumption.push_back(std::move(run_consumption_));
    if (!plan_.consumption.empty() &&
        GET_CURRENTSERIAL(owner_, business_, s_.serial_inv) == kNoSerial)
      return Refuse("No existe el consecutivo " + Code(s_.serial_inv) +
                    " de los documentos de inventario.");
    return plan_;
  }

 private:
  SalesPostingPlan& Refuse(const std::string& problem) {
    if (plan_.problem.empty()) plan_.problem = problem;
    return plan_;
  }

  // Sales currency -> accounting currency at today's rate of the sales
  // rate type; 0 (after refusing) when there is none.
  double Factor(const std::string& moneda) {
    if (Code(moneda).empty() || moneda == s_.moneda_con) return 1;
    auto it = factors_.find(moneda);
    if (it != factors_.end()) return it->second;
    double f = CAMBIO_ACT(business_, rates_->table(), s_.moneda_con, moneda, 0, 0, s_.rate_type);
    if (f == 0)
      Refuse("No hay tipo de cambio de " + Code(moneda) + " a " + Code(s_.moneda_con) +
             " para contabilizar las ventas.");
    return factors_[moneda] = f;
  }

  std::string Needed(const std::string& cuenta, const std::string& problem) {
    if (Code(cuenta).empty()) Refuse(problem);
    return cuenta;
  }

  void Account(const SalesDocument& d) {
    if (entry_date_ != d.fecha) CloseEntry();
    if (first_doc_.empty()) first_doc_ = Code(d.codigo);
    entry_date_ = d.fecha;
    ++entry_docs_;
    const double f = Factor(d.moneda);
    double credits = 0, debits = 0;
    for (const SalesLine& l : d.lines) {
      const ArticleInfo& a = articles_.Article(l.articulo);
      if (!a.found) {
        Refuse("El artículo " + Code(l.articulo) + " del documento " + Code(d.codigo) +
               " no existe.");
        return;
      }
      const std::string cuenta = Needed(
          a.cuenta, "El artículo " + Code(l.articulo) + " no tiene cuenta de ventas (sublínea o línea).");
      lines_.Add(cuenta, "Ventas", l.monto * f, false);
      credits += l.monto * f;
      if (l.impuesto != 0) {
        const std::string tax = Needed(
            CatalogField(owner_, "TIPO_IMP", business_, l.tipo_imp, "CUENTA"),
            "El tipo de impuesto " + Code(l.tipo_imp) + " no tiene cuenta contable.");
        lines_.Add(tax, CatalogText(owner_, "TIPO_IMP", business_, l.tipo_imp), l.impuesto * f,
                   false);
        credits += l.impuesto * f;
      }
      if (l.descuento != 0) {
        lines_.Add(Needed(s_.cta_desc, "Falta la cuenta de descuentos de ventas (F_VENTAS)."),
                   "Descuentos", l.descuento * f, true);
        debits += l.descuento * f;
      }
    }
    for (const SalesPayment& p : d.payments) {
      const double pf = Factor(p.moneda);
      const std::string cuenta = Needed(
          CatalogField(owner_, "TIPO_MOV", business_, p.tipo_mov, "CUENTA"),
          "El tipo de movimiento " + Code(p.tipo_mov) + " no tiene cuenta contable.");
      lines_.Add(cuenta, CatalogText(owner_, "TIPO_MOV", business_, p.tipo_mov), p.monto * pf,
                 true);
      debits += p.monto * pf;
    }
    // What the payments leave of the document is owed by the client (or,
    // overpaid, owed to him).
    const double owed = Cents(credits - debits);
    if (owed != 0) {
      std::string cuenta = CatalogField(owner_, "CLIENTES", business_, d.cliente, "CUENTA");
      if (Code(cuenta).empty()) cuenta = s_.cta_cxc;
      lines_.Add(Needed(cuenta, "Falta la cuenta de cuentas por cobrar del cliente " +
                                    Code(d.cliente) + " (o la de F_VENTAS)."),
                 "Cuentas por cobrar", owed, true);
    }
  }

  void CloseEntry() {
    if (lines_.empty()) {
      entry_docs_ = 0;
      first_doc_.clear();
      return;
    }
    LedgerEntry e;
    e.negocio = business_;
    e.modulo = kSalesJournal;
    e.fecha = entry_date_;
    e.documento = first_doc_;
    e.descrip = "Ventas de la caja " + Code(box_) + " del " + DateText(entry_date_) + " (" +
                std::to_string(entry_docs_) + (entry_docs_ == 1 ? " documento)" : " documentos)");
    e.movimiento = "VENTAS " + Code(box_);
    e.rounding_account = s_.cta_cxc;
    e.lines = lines_.Take();
    plan_.entries.push_back(std::move(e));
    entry_docs_ = 0;
    first_doc_.clear();
  }

  void Consume(const SalesDocument& d) {
    Consumption own;
    own.documento = d.codigo;
    own.fecha = d.fecha;
    if (!s_.inventory_per_document && run_consumption_.fecha == 0) run_consumption_.fecha = XDATE();
    Consumption& into = s_.inventory_per_document ? own : run_consumption_;
    const std::string area_bodega = articles_.AreaWarehouse(d.area);
    for (const SalesLine& l : d.lines) {
      if (Code(l.articulo).empty() || l.cantidad == 0) continue;
      const ArticleInfo& a = articles_.Article(l.articulo);
      const std::string bodega = Code(area_bodega).empty() ? a.bodega : area_bodega;
      if (Code(bodega).empty()) {
        Refuse("El artículo " + Code(l.articulo) + " no tiene bodega (sublínea o área).");
        return;
      }
      for (const auto& [componente, cantidad] : a.recipe)
        into.quantities[{bodega, componente}] += l.cantidad * cantidad;
    }
    if (s_.inventory_per_document && !own.quantities.empty())
      plan_.consumption.push_back(std::move(own));
  }

  void* owner_;
  std::string business_, box_;
  const SalesSettings& s_;
  ArticleCatalog articles_;
  TablePtr rates_;
  std::map<std::string, double> factors_;
  SalesPostingPlan plan_;
  EntryLines lines_;
  int32_t entry_date_ = 0;
  int entry_docs_ = 0;
  std::string first_doc_;
  Consumption run_consumption_;
};

std::string WriteConsumption(void* owner, const std::string& business, const std::string& box,
                             const SalesSettings& s, const Consumption& c, WDBTable& seriales) {
  const std::string numero = GET_NXSERIAL(owner, business, s.serial_inv, &seriales);
  TablePtr enc = USE(owner, "ENC_INV", "ENC_INV");
  ADD_NEW_REC(*enc);
  StoreBytes(*enc, "NEGOCIO", business);
  StoreBytes(*enc, "CODIGO", numero);
  StoreDate(*enc, "FECHA", c.fecha);
  StoreBytes(*enc, "TIPO", kSalesConsumption);
  StoreBytes(*enc, "CAJA", box);
  StoreBytes(*enc, "DOCUMEN", c.documento);
  StoreText(*enc, "DESCRIP", Code(c.documento).empty()
                                 ? "Consumo por ventas de la caja " + Code(box)
                                 : "Consumo por ventas del documento " + Code(c.documento));
  StoreBytes(*enc, "USUARIO", G().XUSER_ABREVIA);
  UNLOCK_NEW_REC(*enc);
  KILLTABLA(enc);
  TablePtr det = USE(owner, "DET_INV", "DET_INV");
  int n = 0;
  for (const auto& [where, cantidad] : c.quantities) {
    ADD_NEW_REC(*det);
    StoreBytes(*det, "NEGOCIO", business);
    StoreBytes(*det, "CODIGO", numero);
    StoreNumber(*det, "LINEA", ++n);
    StoreBytes(*det, "BODEGA", where.first);
    StoreBytes(*det, "ARTICULO", where.second);
    StoreNumber(*det, "CANTIDAD", cantidad);
    UNLOCK_NEW_REC(*det);
  }
  KILLTABLA(det);
  return numero;
}

// Takes the box's pending documents under their locks (another workstation
// may have posted some meanwhile: those are left alone), marks them and
// their payments processed, and answers them as they were under the locks.
std::vector<SalesDocument> ClaimPending(const std::string& business, const std::string& box,
                                        WDBTable& held_lines) {
  std::vector<SalesDocument> docs;
  TablePtr document = USE(nullptr, "DOCUMENT", "DOCUMENT");
  TablePtr moves = USE(nullptr, "ENC_MOVE", "ENC_MOVE");
  SalesDocumentReader reader(nullptr, business);
  for (uint32_t recno : PendingSalesDocuments(nullptr, business, box)) {
    document->GoTo(recno);
    LOCK_FOR_MODIFY(*document);
    const xb::Table& d = document->table();
    if (FieldNumber(d, "NO_PROCESA") != 1 || FieldBytes(d, "CAJA") != PadRight(box, 2) ||
        FieldBytes(d, "NEGOCIO") != business) {
      UNLOCK_FOR_MODIFY(*document);
      continue;
    }
    SalesDocument doc = reader.ReadLocked(*document, recno, held_lines);
    document->FieldPut("NO_PROCESA", xb::Value::Number(0));
    UNLOCK_FOR_MODIFY(*document);
    // Each payment is posted as its lock shows it: one another workstation
    // posted (or changed) since it was read counts as it is now.
    std::vector<SalesPayment> claimed;
    for (SalesPayment p : doc.payments) {
      moves->GoTo(p.recno);
      LOCK_FOR_MODIFY(*moves);
      const xb::Table& m = moves->table();
      if (FieldNumber(m, "NO_PROCESA") == 1) {
        p.tipo_mov = FieldBytes(m, "TIPO_MOV");
        p.moneda = FieldBytes(m, "MONEDA");
        p.monto = FieldNumber(m, "MONTO");
        StoreNumber(*moves, "NO_PROCESA", 0);
        claimed.push_back(p);
      }
      UNLOCK_FOR_MODIFY(*moves);
    }
    doc.payments = std::move(claimed);
    docs.push_back(std::move(doc));
  }
  KILLTABLA(moves);
  KILLTABLA(document);
  return docs;
}

void PostPending(const std::string& business, const std::string& box, const SalesSettings& s,
                 WDBTable& held_lines, const SalesPostingStep& step, SalesClosing* out) {
  std::vector<SalesDocument> docs = ClaimPending(business, box, held_lines);
  SalesPostingPlan plan = PlanSalesPosting(nullptr, business, box, s, docs);
  if (!plan.problem.empty()) throw SalesPostingRefused(plan.problem);
  // One handle on the serials for the whole run (see PostJournal).
  TablePtr seriales = USE(nullptr, "SERIALES");
  for (const LedgerEntry& e : plan.entries) {
    out->entries.push_back(PostJournal(nullptr, e, seriales.get()));
    if (step) step();
  }
  for (const Consumption& c : plan.consumption) {
    out->inventory.push_back(WriteConsumption(nullptr, business, box, s, c, *seriales));
    if (step) step();
  }
  KILLTABLA(seriales);
  for (const SalesDocument& d : docs) out->documents += d.anulado ? 0 : 1;
}

}  // namespace

SalesPostingPlan PlanSalesPosting(void* owner, const std::string& business,
                                  const std::string& box, const SalesSettings& settings,
                                  const std::vector<SalesDocument>& docs) {
  return Planner(owner, business, box, settings).Run(docs);
}

std::string SalesPostingProblem(const std::string& business_in, const std::string& box) {
  const std::string business = PadRight(business_in, 15);
  const SalesSettings s = ReadSalesSettings(nullptr, business);
  if (!s.post_at_closing) return "";
  std::vector<SalesDocument> docs;
  {
    TablePtr document = USE(nullptr, "DOCUMENT", "DOCUMENT");
    SalesDocumentReader reader(nullptr, business);
    for (uint32_t recno : PendingSalesDocuments(nullptr, business, box))
      docs.push_back(reader.Read(*document, recno));
    KILLTABLA(document);
  }
  return PlanSalesPosting(nullptr, business, box, s, docs).problem;
}

SalesClosing CloseSalesBox(const std::string& business_in, const std::string& box, bool post,
                           const SalesPostingStep& step) {
  const std::string business = PadRight(business_in, 15);
  const BoxKind& sales = *BoxKindFor(kSalesToolbar);
  const SalesSettings s = ReadSalesSettings(nullptr, business);
  post = post && s.post_at_closing;
  // The journal's serial is made before the transaction: it needs the
  // serials' file lock, which a transaction holding a serial row cannot take.
  if (post && s.accounting) EnsureJournalSerial(nullptr, business, kSalesJournal);
  // The documents' lines are locked on this handle as they are read and
  // let go only when it closes, after the transaction has ended: a line
  // cannot change between its reading and the posting's end.
  TablePtr held_lines = post ? USE(nullptr, "DET_DOC", "DET_DOC") : nullptr;
  try {
    return Atomically([&] {
      SalesClosing r;
      r.box = CloseBoxRecords(sales, business, box, false);
      if (r.box == BoxChange::kDone && post) PostPending(business, box, s, *held_lines, step, &r);
      return r;
    });
  } catch (const SalesPostingRefused& e) {
    SalesClosing r;
    r.problem = e.what();
    return r;
  }
}

}  // namespace qz
