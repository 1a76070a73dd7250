// The listings of the reservations, timeshare and sales closing reports,
// printed under the shift's account: what the box took in the period, from
// the tables of the module that owns the box, grouped by concept or
// movement type with totals per currency. Rows of another box, outside the
// period or annulled are left out.
#include <functional>
#include <map>

#include "cash/closing_listing.h"
#include "cash/closing_report.h"
#include "cash/sales/sales_documents.h"
#include "lib/data/date_time.h"
#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/picture.h"
#include "xbase/codepage.h"

namespace qz {
namespace {

using Groups = std::vector<std::pair<std::string, std::string>>;

std::string Stamp(int32_t date, const std::string& time) {
  return xb::DtosFromJulian(date) + PadRight(time, 8);
}

// The business's rows of `table` taken by `box` in the period, not annulled.
void ForBoxRows(const std::string& table, const std::string& business, const std::string& box,
                const ReportPeriod& p, const std::function<void(const xb::Table&)>& take) {
  const std::string from = Stamp(p.from_date, p.from_time), to = Stamp(p.to_date, p.to_time);
  TablePtr t = USE(nullptr, table, table);
  t->SetScope(xb::Value::Char(business), xb::Value::Char(business));
  for (t->GoTop(); !t->Eof(); t->Skip()) {
    const xb::Table& r = t->table();
    if (FieldBytes(r, "CAJA") != PadRight(box, 2) || FieldNumber(r, "ANULADO") == 1) continue;
    const std::string at = Stamp(t->FieldGet("FECHA").date(), FieldBytes(r, "HORA"));
    if (at < from || at > to) continue;
    take(r);
  }
  KILLTABLA(t);
}

// Code -> description of a catalogue of the business, in code order.
Groups CatalogGroups(const std::string& table, const std::string& business) {
  Groups out;
  TablePtr t = USE(nullptr, table, table);
  t->SetScope(xb::Value::Char(business), xb::Value::Char(business));
  for (t->GoTop(); !t->Eof(); t->Skip())
    out.emplace_back(FieldBytes(t->table(), "CODIGO"), FieldText(t->table(), "DESCRIP"));
  KILLTABLA(t);
  return out;
}

std::string When(const xb::Table& r) { return DateText(r.Get("FECHA")->date()); }

// Deposit movements (ENC_RLIB, ENC_TLIB) by concept.
std::vector<ListingRow> Movements(const std::string& table, const char* reference,
                                  const std::string& business, const std::string& box,
                                  const ReportPeriod& p) {
  std::vector<ListingRow> rows;
  ForBoxRows(table, business, box, p, [&](const xb::Table& r) {
    rows.push_back({FieldBytes(r, "CONCEPTO"),
                    {When(r), FieldText(r, "HORA"), FieldText(r, "CODIGO"),
                     FieldText(r, reference), FieldText(r, "NOMBRE")},
                    FieldBytes(r, "MONEDA"), FieldNumber(r, "MONTO")});
  });
  return rows;
}

const std::vector<ListingColumn> kMovementColumns = {
    {0, "Fecha", 9}, {10, "Hora", 9}, {20, "Movimiento", 15}, {36, "Referencia", 10},
    {47, "Nombre", 32}};

void Reservations(PageWriter& w, const std::string& business, const std::string& box,
                  const ReportPeriod& p) {
  ClosingListing l(w, business);
  Totals grand = l.Section("Depósitos de Reservaciones", kMovementColumns,
                           Movements("ENC_RLIB", "COD_RES", business, box, p),
                           CatalogGroups("CON_RLIB", business));
  std::vector<ListingRow> docs;
  ForBoxRows("ENC_RDC", business, box, p, [&](const xb::Table& r) {
    const std::string client = FieldBytes(r, "CLIENTE");
    docs.push_back({"", {When(r), FieldText(r, "HORA"), FieldText(r, "CODIGO"),
                         Trim(client) + " " +
                             xb::ToUtf8(CatalogField(nullptr, "CLIENTES", business, client,
                                                     "NOMBRE"))},
                    FieldBytes(r, "MONEDA"), FieldNumber(r, "MONTO")});
  });
  grand.Add(l.Section("Documentos de Pre-Pago", {{0, "Fecha", 9}, {10, "Hora", 9},
                                                 {20, "Documento", 15}, {36, "Cliente", 43}},
                      docs, {}));
  w.NewLine();
  l.PrintTotals("***Gran Total: ", grand);
}

void Timeshare(PageWriter& w, const std::string& business, const std::string& box,
               const ReportPeriod& p) {
  ClosingListing l(w, business);
  const Groups concepts = CatalogGroups("CON_TLIB", business);
  const std::vector<ListingRow> moves = Movements("ENC_TLIB", "CONTRATO", business, box, p);
  Totals grand = l.Section("Depósitos de Tiempo Compartido", kMovementColumns, moves, concepts);
  w.NewLine();
  l.PrintTotals("***Gran Total: ", grand);
  l.Summary("Resumen de Transacciones", moves, concepts);
  std::vector<ListingRow> invoices;
  ForBoxRows("ENC_FAC", business, box, p, [&](const xb::Table& r) {
    invoices.push_back({"", {When(r), FieldText(r, "HORA"), FieldText(r, "NUM_FACT"),
                             FieldText(r, "NUMERO")},
                        FieldBytes(r, "MONEDA"), FieldNumber(r, "TOTAL")});
  });
  l.Section("Listado de Facturas Emitidas",
            {{0, "Fecha", 9}, {10, "Hora", 9}, {20, "Factura", 15}, {36, "Folio", 15}}, invoices,
            {});
}

void TimeshareSales(PageWriter& w, const std::string& business, const std::string& box,
                    const ReportPeriod& p) {
  ClosingListing l(w, business);
  std::vector<ListingRow> docs, pays;
  ForBoxRows("ENC_DTS", business, box, p, [&](const xb::Table& r) {
    docs.push_back({"", {When(r), FieldText(r, "HORA"), FieldText(r, "CODIGO"),
                         FieldText(r, "CONTRATO"), FieldText(r, "NOMBRE")},
                    FieldBytes(r, "MONEDA"), FieldNumber(r, "MONTO")});
  });
  ForBoxRows("DTS_MOVE", business, box, p, [&](const xb::Table& r) {
    pays.push_back({FieldBytes(r, "TIPO_MOV"), {When(r), FieldText(r, "HORA"),
                                               FieldText(r, "CODIGO"), FieldText(r, "DOCUMENTO")},
                    FieldBytes(r, "MONEDA"), FieldNumber(r, "MONTO")});
  });
  const Totals sold = l.Section("Documentos de Venta",
                                {{0, "Fecha", 9}, {10, "Hora", 9}, {20, "Documento", 15},
                                 {36, "Contrato", 10}, {47, "Nombre", 32}},
                                docs, {});
  const Totals paid = l.Section("Pagos por Tipo de Movimiento",
                                {{0, "Fecha", 9}, {10, "Hora", 9}, {20, "Movimiento", 15},
                                 {36, "Documento", 15}},
                                pays, CatalogGroups("TIP_MVTS", business));
  w.NewLine();
  l.PrintTotals("***Gran Total Ventas:", sold);
  l.PrintTotals("***Gran Total Recaudado:", paid);
}

// The articles of the sales lines: quantity and net amount (gross −
// discount) per article and currency, grouped by the article's line.
class ArticlesSold {
 public:
  explicit ArticlesSold(const std::string& business) : catalog_(nullptr, business) {}
  void Add(const SalesLine& line, const std::string& moneda) {
    if (Trim(line.articulo).empty()) return;
    auto [it, added] = sums_.try_emplace({line.articulo, moneda});
    if (added) order_.push_back(it->first);
    it->second.first += line.cantidad;
    it->second.second += line.monto - line.descuento;
  }
  std::vector<ListingRow> Rows() {
    std::vector<ListingRow> rows;
    for (const auto& key : order_) {
      const ArticleInfo& a = catalog_.Article(key.first);
      const auto& [cantidad, monto] = sums_[key];
      rows.push_back({a.linea, {Trim(key.first), a.descrip, FormatNumber(cantidad, "999,999.999")},
                      key.second, monto});
    }
    return rows;
  }

 private:
  ArticleCatalog catalog_;
  std::map<std::pair<std::string, std::string>, std::pair<double, double>> sums_;
  std::vector<std::pair<std::string, std::string>> order_;
};

}  // namespace

void PrintKindListing(PageWriter& w, ClosingReport report, const std::string& business_in,
                      const std::string& box, const ReportPeriod& period) {
  const std::string business = PadRight(business_in, 15);
  switch (report) {
    case ClosingReport::kReservations:
      Reservations(w, business, box, period);
      break;
    case ClosingReport::kTimeshare:
      Timeshare(w, business, box, period);
      break;
    case ClosingReport::kTimeshareSales:
      TimeshareSales(w, business, box, period);
      break;
    default:
      PrintSalesListing(w, business, box, period);
      break;
  }
}

void PrintSalesListing(PageWriter& w, const std::string& business_in, const std::string& box,
                       const ReportPeriod& p, bool by_article) {
  const std::string business = PadRight(business_in, 15);
  const bool every_box = Trim(box).empty();
  ClosingListing l(w, business);
  std::vector<ListingRow> docs, pays, taxes, per_box;
  ArticlesSold articles(business);
  SalesDocumentReader reader(nullptr, business);
  for (const SalesDocument& d :
       reader.OfPeriod(box, p.from_date, p.from_time, p.to_date, p.to_time)) {
    double total = 0;
    for (const SalesLine& line : d.lines) {
      if (by_article) articles.Add(line, d.moneda);
      total += line.monto - line.descuento + line.impuesto;
      if (line.impuesto != 0)
        taxes.push_back({line.tipo_imp, {}, d.moneda, line.impuesto});
    }
    std::string client = Trim(d.cliente);
    if (!client.empty())
      client += " " + xb::ToUtf8(CatalogField(nullptr, "CLIENTES", business, d.cliente, "NOMBRE"));
    std::vector<std::string> cells = {DateText(d.fecha), Trim(d.hora), Trim(d.codigo)};
    if (every_box) cells.push_back(Trim(d.caja));
    cells.push_back(client);
    docs.push_back({"", cells, d.moneda, total});
    per_box.push_back({d.caja, {}, d.moneda, total});
    for (const SalesPayment& pay : d.payments)
      pays.push_back({pay.tipo_mov, {DateText(d.fecha), Trim(d.hora), Trim(d.codigo)}, pay.moneda,
                      pay.monto});
  }
  const std::vector<ListingColumn> doc_columns =
      every_box ? std::vector<ListingColumn>{{0, "Fecha", 9}, {10, "Hora", 9},
                                             {20, "Documento", 15}, {36, "Caja", 4},
                                             {41, "Cliente", 38}}
                : std::vector<ListingColumn>{{0, "Fecha", 9}, {10, "Hora", 9},
                                             {20, "Documento", 15}, {36, "Cliente", 43}};
  const Totals sold = l.Section("Documentos de Venta", doc_columns, docs, {});
  if (by_article)
    l.Section("Ventas por Artículo", {{0, "Artículo", 15}, {16, "Descripción", 40},
                                      {57, "Cantidad", 14}},
              articles.Rows(), CatalogGroups("LINEAS", business));
  const Totals paid = l.Section("Pagos por Tipo de Movimiento",
                                {{0, "Fecha", 9}, {10, "Hora", 9}, {20, "Documento", 15}}, pays,
                                CatalogGroups("TIPO_MOV", business));
  l.Summary("Impuestos por Tipo", taxes, CatalogGroups("TIPO_IMP", business));
  if (every_box) {
    // Sales the module recorded without a box (outside the tills) are
    // sales too; their line says so.
    Groups boxes = CatalogGroups("VCAJAS", business);
    boxes.emplace_back(PadRight("", 2), "Sin caja");
    l.Summary("Ventas por Caja", per_box, boxes);
  }
  w.NewLine();
  l.PrintTotals("***Gran Total Ventas:", sold);
  l.PrintTotals("***Gran Total Recaudado:", paid);
}

}  // namespace qz
