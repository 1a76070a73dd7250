#include "cash/deposits/deposit_reports.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "cash/deposits/deposit_data.h"
#include "lib/data/date_time.h"
#include "lib/data/use.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/picture.h"

namespace qz {
namespace {

struct DepositRow {
  std::string movimiento, concepto, moneda, num_dep, nombre, comentario;
  int32_t fecha = 0;
  double monto = 0, saldo = 0;
  bool anulado = false;
};

DepositRow ReadRow(const xb::Table& t) {
  DepositRow d;
  d.movimiento = FieldBytes(t, "MOVIMIENTO");
  d.concepto = FieldBytes(t, "CONCEPTO");
  d.moneda = FieldBytes(t, "MONEDA");
  d.num_dep = FieldText(t, "NUM_DEP");
  d.nombre = FieldText(t, "NOMBRE");
  d.comentario = FieldText(t, "COMENTARIO");
  auto f = t.Get("FECHA");
  d.fecha = f.ok() ? f->date() : 0;
  d.monto = FieldNumber(t, "MONTO");
  d.saldo = FieldNumber(t, "SALDO");
  d.anulado = FieldNumber(t, "ANULADO") == 1;
  return d;
}

std::vector<DepositRow> ReadDeposits(void* owner, const DepositReportRequest& r) {
  std::vector<DepositRow> out;
  TablePtr t = USE(owner, "ENC_HLIB", "ENC_HLIB2");
  const std::string key = Pad(r.negocio, 15);
  t->SetScope(xb::Value::Char(key), xb::Value::Char(key));
  for (t->GoTop(); !t->Eof(); t->Skip()) {
    DepositRow d = ReadRow(t->table());
    if (d.anulado && !r.include_annulled) continue;
    if (r.desde > 0 && d.fecha < r.desde) continue;
    if (r.hasta > 0 && d.fecha > r.hasta) continue;
    out.push_back(d);
  }
  KILLTABLA(t);
  return out;
}

// Descriptions of a catalog keyed business + code.
std::map<std::string, std::string> Descriptions(void* owner, const std::string& table,
                                                const std::string& negocio,
                                                const char* code_field) {
  std::map<std::string, std::string> out;
  TablePtr t = USE(owner, table, table);
  const std::string key = Pad(negocio, 15);
  t->SetScope(xb::Value::Char(key), xb::Value::Char(key));
  for (t->GoTop(); !t->Eof(); t->Skip())
    out[FieldBytes(t->table(), code_field)] = FieldText(t->table(), "DESCRIP");
  KILLTABLA(t);
  return out;
}

std::string Money(double n) {
  return Amount(n);
}

// Deposit listing columns.
void DepositHeadings(PageWriter& w) {
  w.Say(0, "Fecha", PageWriter::kBold);
  w.Say(10, "# Depósito", PageWriter::kBold);
  w.Say(28, "Consecutivo", PageWriter::kBold);
  w.Say(44, "Nombre", PageWriter::kBold);
  w.SayRight(86, "Monto", PageWriter::kBold);
  w.SayRight(100, "Saldo", PageWriter::kBold);
  w.RuleBelow(0, 100);
  w.NewLine();
}

void DepositLine(PageWriter& w, const DepositRow& d) {
  w.Say(0, DateText(d.fecha));
  w.Say(10, Utf8Left(d.num_dep, 17));
  w.Say(28, Trim(d.movimiento));
  w.Say(44, Utf8Left(d.nombre, 26) + (d.anulado ? " (Nulo)" : ""));
  w.SayRight(86, Money(d.monto));
  w.SayRight(100, Money(d.saldo));
  w.NewLine();
}

void TotalLine(PageWriter& w, const std::string& label, double monto, double saldo) {
  w.Say(44, label, PageWriter::kBold);
  w.SayRight(86, Money(monto), PageWriter::kBold);
  w.SayRight(100, Money(saldo), PageWriter::kBold);
  w.NewLine();
}

void ByCurrencyAndConcept(void* owner, const DepositReportRequest& r, PageWriter& w) {
  auto rows = ReadDeposits(owner, r);
  auto monedas = Descriptions(owner, "MONEDAS", r.negocio, "CODIGO");
  auto conceptos = Descriptions(owner, "CON_HLIB", r.negocio, "CONCEPTO");
  std::stable_sort(rows.begin(), rows.end(), [](const DepositRow& a, const DepositRow& b) {
    return std::tie(a.moneda, a.concepto, a.fecha) < std::tie(b.moneda, b.concepto, b.fecha);
  });
  w.SetHeader([](PageWriter& pw, int) { DepositHeadings(pw); });
  for (size_t i = 0; i < rows.size();) {
    const std::string moneda = rows[i].moneda;
    w.Say(0, "Moneda: " + Trim(moneda) + " " + monedas[moneda], PageWriter::kBold);
    w.NewLine();
    double cur_monto = 0, cur_saldo = 0;
    while (i < rows.size() && rows[i].moneda == moneda) {
      const std::string concepto = rows[i].concepto;
      w.Say(2, "Concepto: " + Trim(concepto) + " " + conceptos[concepto], PageWriter::kItalic);
      w.NewLine();
      double monto = 0, saldo = 0;
      for (; i < rows.size() && rows[i].moneda == moneda && rows[i].concepto == concepto; ++i) {
        DepositLine(w, rows[i]);
        if (rows[i].anulado) continue;
        monto += rows[i].monto;
        saldo += rows[i].saldo;
      }
      TotalLine(w, "Total concepto", monto, saldo);
      cur_monto += monto;
      cur_saldo += saldo;
    }
    TotalLine(w, "Total moneda " + Trim(moneda), cur_monto, cur_saldo);
    w.NewLine();
  }
  if (rows.empty()) w.Say(0, "No hay depósitos que listar");
}

void OfTheDay(void* owner, DepositReportRequest r, PageWriter& w) {
  if (r.hasta == 0) r.hasta = r.desde;
  auto rows = ReadDeposits(owner, r);
  std::stable_sort(rows.begin(), rows.end(), [](const DepositRow& a, const DepositRow& b) {
    return std::tie(a.moneda, a.movimiento) < std::tie(b.moneda, b.movimiento);
  });
  w.SetHeader([](PageWriter& pw, int) { DepositHeadings(pw); });
  std::map<std::string, std::pair<double, double>> totals;
  for (const auto& d : rows) {
    DepositLine(w, d);
    if (d.anulado) continue;
    totals[d.moneda].first += d.monto;
    totals[d.moneda].second += d.saldo;
  }
  w.NewLine();
  for (const auto& [moneda, t] : totals) TotalLine(w, "Total " + Trim(moneda), t.first, t.second);
  if (rows.empty()) w.Say(0, "No hay depósitos que listar");
}

struct AppliedRow {
  std::string group, cod_res, room, guest, num_dep, movimiento;
  int32_t llegada = 0, salida = 0;
  double monto = 0;
};

void OnReservations(void* owner, const DepositReportRequest& r, bool checked_in,
                    PageWriter& w) {
  std::map<std::string, DepositRow> deposits;
  for (const auto& d : ReadDeposits(owner, r)) deposits[d.movimiento] = d;
  TablePtr res8 = USE(owner, "DET_RES8", "DET_RES8");
  TablePtr rooms = USE(owner, "DET_RES2", "DET_RES2");
  TablePtr enc = USE(owner, "ENC_RES", "ENC_RES");
  const char* group_field = r.order == ReservationOrder::kAgency    ? "AGENCIA"
                            : r.order == ReservationOrder::kSegment ? "SEGMENTO"
                            : r.order == ReservationOrder::kSource  ? "FUENTE"
                                                                    : nullptr;
  std::vector<AppliedRow> rows;
  const std::string biz = Pad(r.negocio, 15);
  res8->SetScope(xb::Value::Char(biz), xb::Value::Char(biz));
  for (res8->GoTop(); !res8->Eof(); res8->Skip()) {
    const xb::Table& t = res8->table();
    auto dep = deposits.find(FieldBytes(t, "MOVIMIENTO"));
    if (dep == deposits.end()) continue;
    Application a;
    a.cod_res = FieldBytes(t, "COD_RES");
    a.cod_hab = FieldBytes(t, "COD_HAB");
    a.codigo = FieldBytes(t, "ITEM_HAB");
    const char state = RoomLineState(*rooms, r.negocio, a);
    if (checked_in ? state != '1' : state != '0') continue;
    AppliedRow row;
    const xb::Table& room = rooms->table();
    row.cod_res = Trim(a.cod_res);
    row.room = FieldText(room, "COD_ROOMS");
    row.guest = FieldText(room, "NOMBRE_C");
    row.llegada = rooms->FieldGet("F_INICIO").date();
    row.salida = rooms->FieldGet("F_FINAL").date();
    row.num_dep = dep->second.num_dep;
    row.movimiento = Trim(dep->second.movimiento);
    row.monto = FieldNumber(t, "MONTO_PAGO");
    if (group_field && enc->Seek(biz + Pad(a.cod_res, 15)) && !enc->Eof())
      row.group = FieldText(enc->table(), group_field);
    rows.push_back(row);
  }
  KILLTABLA(res8);
  KILLTABLA(rooms);
  KILLTABLA(enc);
  std::stable_sort(rows.begin(), rows.end(), [](const AppliedRow& a, const AppliedRow& b) {
    return std::tie(a.group, a.llegada, a.cod_res) < std::tie(b.group, b.llegada, b.cod_res);
  });
  w.SetHeader([](PageWriter& pw, int) {
    pw.Say(0, "Reservación", PageWriter::kBold);
    pw.Say(14, "Habitación", PageWriter::kBold);
    pw.Say(26, "Huésped", PageWriter::kBold);
    pw.Say(54, "Llegada", PageWriter::kBold);
    pw.Say(64, "Salida", PageWriter::kBold);
    pw.Say(74, "Consecutivo", PageWriter::kBold);
    pw.SayRight(100, "Aplicado", PageWriter::kBold);
    pw.RuleBelow(0, 100);
    pw.NewLine();
  });
  const char* label = r.order == ReservationOrder::kAgency    ? "Agencia: "
                      : r.order == ReservationOrder::kSegment ? "Segmento: "
                                                              : "Fuente: ";
  double total = 0;
  for (size_t i = 0; i < rows.size();) {
    const std::string group = rows[i].group;
    if (group_field) {
      w.Say(0, label + (group.empty() ? std::string("(sin definir)") : group), PageWriter::kBold);
      w.NewLine();
    }
    double sub = 0;
    for (; i < rows.size() && rows[i].group == group; ++i) {
      const AppliedRow& a = rows[i];
      w.Say(0, a.cod_res);
      w.Say(14, a.room);
      w.Say(26, Utf8Left(a.guest, 27));
      w.Say(54, DateText(a.llegada));
      w.Say(64, DateText(a.salida));
      w.Say(74, a.movimiento);
      w.SayRight(100, Money(a.monto));
      w.NewLine();
      sub += a.monto;
    }
    if (group_field) {
      w.Say(54, "Subtotal", PageWriter::kBold);
      w.SayRight(100, Money(sub), PageWriter::kBold);
      w.NewLine();
    }
    total += sub;
  }
  w.NewLine();
  w.Say(54, "Total aplicado", PageWriter::kBold);
  w.SayRight(100, Money(total), PageWriter::kBold);
  w.NewLine();
}

std::string ReportTitle(DepositReport kind) {
  switch (kind) {
    case DepositReport::kByCurrencyAndConcept:
      return "Pre-Pagos por Moneda y Concepto";
    case DepositReport::kOfTheDay:
      return "Pre-Pagos del Día";
    case DepositReport::kOnCheckedIn:
      return "Pre-Pagos de Reservaciones en Casa";
    case DepositReport::kOnPending:
      return "Pre-Pagos de Reservaciones por Llegar";
  }
  return "";
}

std::string Period(const DepositReportRequest& r) {
  if (r.kind == DepositReport::kOfTheDay) return "Fecha: " + DateText(r.desde);
  if (r.desde == 0 && r.hasta == 0) return "Todos los depósitos";
  return "Del " + DateText(r.desde) + " al " + DateText(r.hasta);
}

}  // namespace

PrintDocument BuildDepositReport(void* owner, const DepositReportRequest& r) {
  PageWriter w(ReportTitle(r.kind), 66, 100);
  w.UseReportFrame({ReportTitle(r.kind), Trim(r.negocio), Period(r)}, "");
  switch (r.kind) {
    case DepositReport::kByCurrencyAndConcept:
      ByCurrencyAndConcept(owner, r, w);
      break;
    case DepositReport::kOfTheDay:
      OfTheDay(owner, r, w);
      break;
    case DepositReport::kOnCheckedIn:
    case DepositReport::kOnPending:
      OnReservations(owner, r, r.kind == DepositReport::kOnCheckedIn, w);
      break;
  }
  return w.Finish();
}

PrintDocument DepositVoucher(void* owner, const std::string& negocio,
                             const std::vector<std::string>& movimientos) {
  PageWriter w("Comprobante de Depósito", 33, 80);
  TablePtr t = USE(owner, "ENC_HLIB", "ENC_HLIB");
  auto conceptos = Descriptions(owner, "CON_HLIB", negocio, "CONCEPTO");
  bool first = true;
  for (const auto& mov : movimientos) {
    if (!(t->Seek(Pad(negocio, 15) + Pad(mov, 15)) && !t->Eof())) continue;
    const DepositRow d = ReadRow(t->table());
    const xb::Table& r = t->table();
    if (!first) w.NewPage();
    first = false;
    w.SayAligned(0, 80, "Comprobante de Depósito", PrintAlign::kCenter, PageWriter::kBold, 1.4);
    w.NewLine();
    w.NewLine();
    auto field = [&](const std::string& label, const std::string& value) {
      w.Say(0, label, PageWriter::kBold);
      w.Say(22, value);
      w.NewLine();
    };
    field("Consecutivo:", Trim(d.movimiento));
    field("Concepto:", Trim(d.concepto) + " " + conceptos[d.concepto]);
    field("Fecha:", DateText(d.fecha));
    field("# Depósito:", d.num_dep);
    field("Huésped:", d.nombre);
    field("Entrada / Salida:", DateText(t->FieldGet("ENTRADA").date()) + " / " +
                                   DateText(t->FieldGet("SALIDA").date()));
    field("Monto:", Trim(d.moneda) + " " + Money(d.monto));
    field("Saldo:", Trim(d.moneda) + " " + Money(d.saldo));
    field("Reservación:", FieldText(r, "COD_RES"));
    field("Caja:", FieldText(r, "CAJA"));
    if (!FieldText(r, "PE_TARJ").empty())
      field("Tarjeta:", FieldText(r, "PE_TARJ") + "  Aut.: " + FieldText(r, "PE_AUTID"));
    field("Comentario:", Utf8Left(d.comentario, 56));
    if (d.anulado) field("Movimiento Nulo", DateText(t->FieldGet("F_ANULADO").date()));
    w.NewLine();
    w.NewLine();
    w.Say(0, "______________________________");
    w.Say(44, "______________________________");
    w.NewLine();
    w.Say(0, "Recibido por");
    w.Say(44, "Entregado por");
    w.NewLine();
  }
  KILLTABLA(t);
  return w.Finish();
}

}  // namespace qz
