#include "cash/sales/sales_documents.h"

#include "lib/data/locking.h"
#include "lib/settings/globals.h"
#include "lib/ui/catalog_data.h"

namespace qz {
namespace {

std::string Key(const std::string& s, size_t width) { return PadRight(s, width); }

bool SeekScoped(WDBTable& t, const std::string& key) {
  return t.Seek(key) && !t.Eof();
}

int Int(const xb::Table& t, const char* field) { return static_cast<int>(FieldNumber(t, field)); }

// Date and time as one comparable text: year-month-day + time.
std::string Moment(int32_t date, const std::string& time) {
  return xb::DtosFromJulian(date) + PadRight(time, 8);
}

}  // namespace

SalesSettings ReadSalesSettings(void* owner, const std::string& business) {
  SalesSettings s;
  const std::string key = Key(business, 15);
  TablePtr t = USE(owner, "F_VENTAS", "F_VENTAS");
  if (SeekScoped(*t, key)) {
    const xb::Table& f = t->table();
    s.post_at_closing = Int(f, "NO_LINEA") == 1;
    s.accounting = Int(f, "CONTA") == 1;
    s.inventory = Int(f, "GENERA_INV") == 1;
    s.inventory_per_document = Int(f, "MOV_X_DIA") == 0;
    s.rate_type = Int(f, "T_CAMBIO");
    if (s.rate_type < 1 || s.rate_type > 5) s.rate_type = 1;
    s.cta_cxc = FieldBytes(f, "CTA_CXC");
    s.cta_desc = FieldBytes(f, "CTA_DESC");
    s.serial_inv = FieldBytes(f, "SERIAL_INV");
  }
  KILLTABLA(t);
  if (TrimRight(s.serial_inv).empty()) s.serial_inv = "INV_VENTAS";
  if (!s.post_at_closing || !s.accounting) return s;
  t = USE(owner, "NEGOCIOS", "NEGOCIOS");
  if (SeekScoped(*t, key)) s.moneda_con = FieldBytes(t->table(), "MONEDA_CON");
  KILLTABLA(t);
  return s;
}

std::vector<uint32_t> PendingSalesDocuments(void* owner, const std::string& business,
                                            const std::string& box) {
  std::vector<uint32_t> out;
  const std::string key = Key(business, 15) + "1" + Key(box, 2);
  TablePtr t = USE(owner, "DOCUMENT", "DOCUMEN20");
  for (bool found = t->Seek(key, true); found && !t->Eof(); t->Skip()) {
    const xb::Table& d = t->table();
    if (FieldBytes(d, "NEGOCIO") != Key(business, 15) || FieldBytes(d, "CAJA") != Key(box, 2))
      break;
    if (Int(d, "NO_PROCESA") != 1) break;
    out.push_back(t->RecNo());
  }
  KILLTABLA(t);
  return out;
}

SalesDocumentReader::SalesDocumentReader(void* owner, const std::string& business)
    : owner_(owner), business_(Key(business, 15)) {
  lines_ = USE(owner, "DET_DOC", "DET_DOC");
  moves_ = USE(owner, "ENC_MOVE", "ENC_MOVE3");
}

SalesDocumentReader::~SalesDocumentReader() {
  KILLTABLA(moves_);
  KILLTABLA(lines_);
}

SalesDocument SalesDocumentReader::Read(WDBTable& document, uint32_t recno) {
  document.GoTo(recno);
  return ReadCurrent(document, false);
}

SalesDocument SalesDocumentReader::ReadLocked(WDBTable& document, uint32_t recno,
                                              WDBTable& held_lines) {
  document.GoTo(recno);
  return ReadCurrent(document, false, &held_lines);
}

SalesDocument SalesDocumentReader::ReadCurrent(WDBTable& document, bool all_payments,
                                               WDBTable* held_lines) {
  const xb::Table& d = document.table();
  SalesDocument doc;
  doc.recno = document.RecNo();
  doc.codigo = FieldBytes(d, "CODIGO");
  doc.fecha = document.FieldGet("FECHA").date();
  doc.hora = FieldBytes(d, "HORA");
  doc.moneda = FieldBytes(d, "MONEDA");
  doc.cliente = FieldBytes(d, "CLIENTE");
  doc.area = FieldBytes(d, "AREA");
  doc.caja = FieldBytes(d, "CAJA");
  doc.anulado = Int(d, "ANULADO") == 1;
  doc.descuento = FieldNumber(d, "DESCUENTO");
  doc.impuesto = FieldNumber(d, "IMPUESTO");
  doc.total = FieldNumber(d, "TOTAL");

  const std::string key = business_ + doc.codigo;
  WDBTable& lines = held_lines ? *held_lines : *lines_;
  lines.SetScope(xb::Value::Char(key), xb::Value::Char(key));
  for (lines.GoTop(); !lines.Eof(); lines.Skip()) {
    if (held_lines) {
      // Locked, then read again: what another workstation wrote before it
      // let go of the line is what gets posted.
      LOCK_WITHOUT_LOG(lines);
      lines.GoTo(lines.RecNo());
    }
    const xb::Table& l = lines.table();
    if (held_lines && FieldBytes(l, "NEGOCIO") + FieldBytes(l, "CODIGO") != key) continue;
    SalesLine line;
    line.articulo = FieldBytes(l, "ARTICULO");
    line.cantidad = FieldNumber(l, "CANTIDAD");
    line.monto = FieldNumber(l, "MONTO");
    if (line.monto == 0) line.monto = line.cantidad * FieldNumber(l, "PRECIO");
    line.descuento = FieldNumber(l, "DESCUENTO");
    line.tipo_imp = FieldBytes(l, "TIPO_IMP");
    line.impuesto = FieldNumber(l, "IMPUESTO");
    doc.lines.push_back(line);
  }
  lines.ClearScope();

  const std::string mkey = business_ + Key(doc.codigo, 15);
  moves_->SetScope(xb::Value::Char(mkey), xb::Value::Char(mkey));
  for (moves_->GoTop(); !moves_->Eof(); moves_->Skip()) {
    const xb::Table& m = moves_->table();
    if (!all_payments && Int(m, "NO_PROCESA") != 1) continue;
    SalesPayment p;
    p.recno = moves_->RecNo();
    p.tipo_mov = FieldBytes(m, "TIPO_MOV");
    p.moneda = FieldBytes(m, "MONEDA");
    p.monto = FieldNumber(m, "MONTO");
    doc.payments.push_back(p);
  }
  moves_->ClearScope();
  return doc;
}

std::vector<SalesDocument> SalesDocumentReader::OfPeriod(const std::string& box,
                                                         int32_t from_date,
                                                         const std::string& from_time,
                                                         int32_t to_date,
                                                         const std::string& to_time,
                                                         bool all_payments) {
  std::vector<SalesDocument> out;
  const std::string from = Moment(from_date, from_time), to = Moment(to_date, to_time);
  const bool every_box = TrimRight(box).empty();
  TablePtr t = USE(owner_, "DOCUMENT", "DOCUMENT");
  t->SetScope(xb::Value::Char(business_), xb::Value::Char(business_));
  for (t->GoTop(); !t->Eof(); t->Skip()) {
    const xb::Table& d = t->table();
    if (!every_box && FieldBytes(d, "CAJA") != Key(box, 2)) continue;
    if (Int(d, "ANULADO") == 1) continue;
    const std::string at = Moment(t->FieldGet("FECHA").date(), FieldBytes(d, "HORA"));
    if (at < from || at > to) continue;
    out.push_back(ReadCurrent(*t, all_payments));
  }
  KILLTABLA(t);
  return out;
}

ArticleCatalog::ArticleCatalog(void* owner, const std::string& business)
    : owner_(owner), business_(Key(business, 15)) {}

const ArticleInfo& ArticleCatalog::Article(const std::string& codigo) {
  auto it = articles_.find(codigo);
  if (it != articles_.end()) return it->second;
  ArticleInfo a;
  std::string linea, sublinea;
  TablePtr t = USE(owner_, "ARTICULO", "ARTICULO");
  if (SeekScoped(*t, business_ + Key(codigo, 15))) {
    a.found = true;
    a.descrip = FieldText(t->table(), "DESCRIP");
    linea = a.linea = FieldBytes(t->table(), "LINEA");
    sublinea = FieldBytes(t->table(), "SUBLINEA");
  }
  KILLTABLA(t);
  if (a.found) {
    t = USE(owner_, "SUBLINEA", "SUBLINEA");
    if (SeekScoped(*t, business_ + Key(linea, 4) + Key(sublinea, 4))) {
      a.cuenta = FieldBytes(t->table(), "CUENTA");
      a.bodega = FieldBytes(t->table(), "BODEGA");
    }
    KILLTABLA(t);
    if (TrimRight(a.cuenta).empty())
      a.cuenta = CatalogField(owner_, "LINEAS", business_, linea, "CUENTA");
    t = USE(owner_, "RECETAS", "RECETAS");
    const std::string key = business_ + Key(codigo, 15);
    t->SetScope(xb::Value::Char(key), xb::Value::Char(key));
    for (t->GoTop(); !t->Eof(); t->Skip())
      a.recipe.emplace_back(FieldBytes(t->table(), "COMPONENTE"),
                            FieldNumber(t->table(), "CANTIDAD"));
    KILLTABLA(t);
  }
  if (a.recipe.empty()) a.recipe.emplace_back(Key(codigo, 15), 1.0);
  return articles_.emplace(codigo, std::move(a)).first->second;
}

std::string ArticleCatalog::AreaWarehouse(const std::string& area) {
  if (TrimRight(area).empty()) return "";
  auto it = areas_.find(area);
  if (it != areas_.end()) return it->second;
  std::string bodega;
  TablePtr t = USE(owner_, "AREAS", "AREAS");
  if (SeekScoped(*t, business_ + Key(area, 4))) bodega = FieldBytes(t->table(), "BODEGA");
  KILLTABLA(t);
  return areas_.emplace(area, bodega).first->second;
}

std::string CatalogField(void* owner, const std::string& table, const std::string& business,
                         const std::string& code, const char* field) {
  TablePtr t = USE(owner, table, table);
  std::string bytes;
  const int width = FieldWidth(t->table(), "CODIGO");
  if (SeekScoped(*t, Key(business, 15) + Key(code, width > 0 ? width : code.size())))
    bytes = FieldBytes(t->table(), field);
  KILLTABLA(t);
  return bytes;
}

std::string CatalogText(void* owner, const std::string& table, const std::string& business,
                        const std::string& code) {
  TablePtr t = USE(owner, table, table);
  std::string text = TrimRight(code);
  const int width = FieldWidth(t->table(), "CODIGO");
  if (SeekScoped(*t, Key(business, 15) + Key(code, width > 0 ? width : code.size())))
    text = FieldText(t->table(), "DESCRIP");
  KILLTABLA(t);
  return text;
}

}  // namespace qz
