// The sales module's documents as the box closing reads them: the
// parameters of the business's sales (F_VENTAS), the documents of a box
// still waiting for the batch posting (DOCUMENT on DOCUMEN20, NO_PROCESA 1)
// with their lines (DET_DOC) and their payments not yet posted (ENC_MOVE),
// and the article catalogue behind the lines (ARTICULO, LINEAS, SUBLINEA,
// AREAS, RECETAS). Every field beyond the document's key is read as blank
// or 0 when another program's file lacks it.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "lib/data/use.h"

namespace qz {

// F_VENTAS, and the business's accounting currency.
struct SalesSettings {
  bool post_at_closing = false;  // NO_LINEA 1
  bool accounting = false;       // CONTA 1
  bool inventory = false;        // GENERA_INV 1
  bool inventory_per_document = true;  // MOV_X_DIA 0
  int rate_type = 1;             // T_CAMBIO: which of the five rates
  std::string cta_cxc;           // receivables when the client has no account
  std::string cta_desc;          // discounts
  std::string serial_inv;        // serial of the consumption documents
  std::string moneda_con;        // accounting currency (NEGOCIOS), read when posting to accounts
};
SalesSettings ReadSalesSettings(void* owner, const std::string& business);

struct SalesLine {
  std::string articulo;  // 15 bytes
  double cantidad = 0;
  double monto = 0;      // gross: quantity x price
  double descuento = 0;
  std::string tipo_imp;  // 4 bytes
  double impuesto = 0;
};

struct SalesPayment {
  uint32_t recno = 0;    // ENC_MOVE record
  std::string tipo_mov;  // 4 bytes
  std::string moneda;
  double monto = 0;
};

struct SalesDocument {
  uint32_t recno = 0;  // DOCUMENT record
  std::string codigo;  // 15 bytes
  int32_t fecha = 0;
  std::string hora;
  std::string moneda, cliente, area;
  std::string caja;    // the box that took it (2 bytes)
  bool anulado = false;  // ANULADO 1: annulled, nothing of it is posted
  double descuento = 0, impuesto = 0, total = 0;  // as the sales module summed them
  std::vector<SalesLine> lines;
  std::vector<SalesPayment> payments;  // only those not yet posted
};

// The records of the box's documents waiting for the batch posting, in the
// order of DOCUMEN20 (business + "1" + box).
std::vector<uint32_t> PendingSalesDocuments(void* owner, const std::string& business,
                                            const std::string& box);

// Reads the documents with their lines and unposted payments. `document`
// is an open DOCUMENT handle.
class SalesDocumentReader {
 public:
  SalesDocumentReader(void* owner, const std::string& business);
  ~SalesDocumentReader();
  SalesDocument Read(WDBTable& document, uint32_t recno);
  // Read for the posting: each line is locked on `held_lines` (a DET_DOC
  // handle) before it is read, and stays locked until that handle closes,
  // so no other workstation changes a line between its reading and the end
  // of the posting's transaction. A lock that gives up is a fault.
  SalesDocument ReadLocked(WDBTable& document, uint32_t recno, WDBTable& held_lines);
  // The documents of a box (every box of the business when `box` is blank)
  // whose date and time fall in [from, to], in document order; annulled
  // ones (ANULADO 1) are left out. What the sales reports list.
  std::vector<SalesDocument> OfPeriod(const std::string& box, int32_t from_date,
                                      const std::string& from_time, int32_t to_date,
                                      const std::string& to_time, bool all_payments = true);

 private:
  SalesDocument ReadCurrent(WDBTable& document, bool all_payments,
                            WDBTable* held_lines = nullptr);
  void* owner_;
  std::string business_;
  TablePtr lines_, moves_;
};

// What an article line needs for posting: its sales account (the
// sub-line's, else the line's), the warehouse of its sub-line and its
// recipe (component -> quantity per unit; the article itself when it has
// none).
struct ArticleInfo {
  bool found = false;
  std::string descrip;  // UTF-8
  std::string linea;    // the article's line (4 bytes)
  std::string cuenta;
  std::string bodega;
  std::vector<std::pair<std::string, double>> recipe;
};

class ArticleCatalog {
 public:
  ArticleCatalog(void* owner, const std::string& business);
  const ArticleInfo& Article(const std::string& codigo);
  // The warehouse an area's sales consume from; blank when the area names none.
  std::string AreaWarehouse(const std::string& area);

 private:
  void* owner_;
  std::string business_;
  std::map<std::string, ArticleInfo> articles_;
  std::map<std::string, std::string> areas_;
};

// A code's description in a small catalogue keyed business + CODIGO
// (TIPO_IMP, TIPO_MOV, LINEAS...): UTF-8, trimmed; the code itself when the
// catalogue lacks it.
std::string CatalogText(void* owner, const std::string& table, const std::string& business,
                        const std::string& code);
// A field's bytes of such a row; blank when the row or the field is missing.
std::string CatalogField(void* owner, const std::string& table, const std::string& business,
                         const std::string& code, const char* field);

}  // namespace qz
