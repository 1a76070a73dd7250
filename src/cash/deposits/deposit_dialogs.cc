#include "cash/deposits/deposit_dialogs.h"

#include "cash/deposits/deposit_annul.h"
#include "cash/deposits/deposit_data.h"
#include "cash/deposits/deposit_reports.h"
#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/errors/error_handler.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/ui/report_output.h"

namespace qz {
namespace {

std::optional<int32_t> TypedDate(WDIAG& dlg, int id) {
  return ParseDateText(dlg.Text(id));
}

}  // namespace

bool CorrectGuestData(WDIAG& owner, const std::string& negocio, const std::string& movimiento) {
  TablePtr t;
  RunOperation([&] { t = USE(&owner, "ENC_HLIB", "ENC_HLIB"); });
  if (!t) return false;
  const std::string key = Pad(negocio, 15) + Pad(movimiento, 15);
  bool saved = false;
  DIALOG_BOX(owner.desktop(), "COR_DEP", &owner, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    if (msg == kWmInitDialog) {
      if (!(t->Seek(key) && !t->Eof())) return 1;
      dlg.SetText(501, FieldText(t->table(), "TXT_APELL1"));
      dlg.SetText(502, FieldText(t->table(), "TXT_NOMBRE"));
      dlg.SetText(503, DateText(t->FieldGet("ENTRADA").date()));
      dlg.SetText(504, DateText(t->FieldGet("SALIDA").date()));
      dlg.SetText(505, FieldText(t->table(), "COMENTARIO"));
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 2) {
      dlg.ENDDIALOG(2);
      return 1;
    }
    if (wparam != 1) return 0;
    auto entrada = TypedDate(dlg, 503), salida = TypedDate(dlg, 504);
    if (!entrada || !salida) {
      MESSAGE_BOX("Fecha inválida", "Error", kMbIconStop);
      return 1;
    }
    RunOperation([&] {
      if (!(t->Seek(key) && !t->Eof())) return;
      LOCK_FOR_MODIFY(*t);
      const xb::Table& r = t->table();
      t->FieldPut("TXT_APELL1", xb::Value::Char(ToField(dlg.Text(501), FieldWidth(r, "TXT_APELL1"))));
      t->FieldPut("TXT_NOMBRE", xb::Value::Char(ToField(dlg.Text(502), FieldWidth(r, "TXT_NOMBRE"))));
      t->FieldPut("NOMBRE", xb::Value::Char(ToField(GuestName(dlg.Text(501), dlg.Text(502)),
                                                    FieldWidth(r, "NOMBRE"))));
      t->FieldPut("ENTRADA", xb::Value::Date(*entrada));
      t->FieldPut("SALIDA", xb::Value::Date(*salida));
      t->FieldPut("COMENTARIO",
                  xb::Value::Char(ToField(dlg.Text(505), FieldWidth(r, "COMENTARIO"))));
      UNLOCK_FOR_MODIFY(*t);
      saved = true;
    });
    dlg.ENDDIALOG(saved ? 1 : 2);
    return 1;
  });
  KILLTABLA(t);
  return saved;
}

bool AskAnnulment(WDIAG& owner, const std::string& negocio, const std::string& movimiento) {
  bool done = false;
  DIALOG_BOX(owner.desktop(), "ANUL_DEP", &owner, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    CCOMBOBOX people(dlg, 601);
    if (msg == kWmInitDialog) {
      dlg.SetText(500, "Movimiento: " + Trim(movimiento));
      dlg.SetText(501, DateText(XDATE()));
      RunOperation([&] {
        TablePtr t = USE(&dlg, "HECHOPOR", "HECHOPOR");
        const std::string scope = Pad(negocio, 15);
        t->SetScope(xb::Value::Char(scope), xb::Value::Char(scope));
        for (t->GoTop(); !t->Eof(); t->Skip())
          people.ADD(FieldText(t->table(), "NOMBRE"), FieldBytes(t->table(), "CODIGO"));
        KILLTABLA(t);
      });
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 2) {
      dlg.ENDDIALOG(2);
      return 1;
    }
    if (wparam != 1) return 0;
    auto fecha = TypedDate(dlg, 501);
    RunOperation([&] {
      done = AnnulDeposit(&dlg, negocio, movimiento, fecha.value_or(0),
                          people.CURCARGO().value_or(""));
    });
    if (done) dlg.ENDDIALOG(1);
    return 1;
  });
  return done;
}

void ShowDepositReports(WDIAG& owner, const std::string& negocio) {
  DIALOG_BOX(owner.desktop(), "REP_DEP", &owner, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    CCOMBOBOX kinds(dlg, 601), orders(dlg, 602);
    if (msg == kWmInitDialog) {
      kinds.ADD("Pre-Pagos por Moneda y Concepto", "0");
      kinds.ADD("Pre-Pagos del Día", "1");
      kinds.ADD("Pre-Pagos de Reservaciones en Casa", "2");
      kinds.ADD("Pre-Pagos de Reservaciones por Llegar", "3");
      orders.ADD("Fecha de llegada", "0");
      orders.ADD("Agencia", "1");
      orders.ADD("Segmento", "2");
      orders.ADD("Fuente", "3");
      kinds.SEEKCARGO("0");
      orders.SEEKCARGO("0");
      dlg.SetText(501, DateText(XDATE()));
      dlg.SetText(502, DateText(XDATE()));
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 2) {
      dlg.ENDDIALOG(2);
      return 1;
    }
    if (wparam < 201 || wparam > 203) return 0;
    auto desde = TypedDate(dlg, 501), hasta = TypedDate(dlg, 502);
    if (!desde || !hasta) {
      MESSAGE_BOX("Fecha inválida", "Error", kMbIconStop);
      return 1;
    }
    DepositReportRequest r;
    r.negocio = negocio;
    r.kind = static_cast<DepositReport>(std::stoi(kinds.CURCARGO().value_or("0")));
    r.order = static_cast<ReservationOrder>(std::stoi(orders.CURCARGO().value_or("0")));
    r.desde = *desde;
    r.hasta = *hasta;
    r.include_annulled = dlg.Check(701) == 1;
    PrintDocument doc;
    bool built = false;
    RunOperation([&] {
      doc = BuildDepositReport(&dlg, r);
      built = true;
    });
    if (!built) return 1;
    if (wparam == 201) PREVIEW_REPORT(dlg.desktop(), doc);
    if (wparam == 203) PRINT_REPORT(dlg.desktop(), doc);
    if (wparam == 202) {
      const std::string path = Trim(dlg.Text(503));
      if (path.empty())
        MESSAGE_BOX("Falta indicar el archivo PDF", "Error", kMbIconStop);
      else if (PDF_REPORT(dlg.desktop(), doc, path))
        MESSAGE_BOX("Reporte guardado en " + path, "Aviso", kMbIconInformation);
    }
    return 1;
  });
}

}  // namespace qz
