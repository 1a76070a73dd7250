// LOG_EMAIL: the outgoing queue E_MSGS, newest messages last.
#include "admin/mail_screens.h"

#include "lib/errors/error_handler.h"
#include "lib/ui/catalog.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/message_box.h"

namespace qz {

LOG_EMAIL::LOG_EMAIL(Desktop& desktop, const std::string& template_name, const std::string&)
    : WDIAG(desktop, nullptr, template_name) {}

LOG_EMAIL::~LOG_EMAIL() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

void LOG_EMAIL::CerrarBases() {
  grid_.reset();
  CloseTable(table_);
}

bool LOG_EMAIL::Init() {
  table_ = OpenTable(this, "E_MSGS");
  if (!table_ || !INIT().ok()) {
    CerrarBases();
    return false;
  }
  OnNCDestroy = [this] { CerrarBases(); };
  ADD(1, [this] { ENDDIALOG(1); });
  if (!CREATE().ok()) return false;
  grid_ = std::make_unique<WBLISTBOX>(*this, 700, &table_->table());
  AttachGrid(700, grid_.get());
  const struct {
    const char* header;
    const char* field;
    const char* picture;
  } columns[] = {{"Fecha", "FECHA", ""},         {"Hora", "HORA", ""},
                 {"Estado", "ENVIADO", "9"},     {"Destino", "TO_USER", ""},
                 {"Subject", "SUBJECT", ""},     {"Reserva", "COD_RES", ""},
                 {"Fecha E.", "F_ENVIO", ""},    {"Hora E.", "H_ENVIO", ""},
                 {"Error Text", "ERR_TEXT", ""}, {"CC1", "CC1", ""},
                 {"CC2", "CC2", ""}};
  for (const auto& c : columns) AGREGARCOL(*grid_, &table_->table(), c.header, c.field, c.picture);
  grid_->SHOWNUMBERS = false;
  xb::Status st = BROWMARKS(*grid_, {{1, "E_MSGS1"}}, 1, "");
  if (!st.ok()) MESSAGE_BOX("No se pudo leer E_MSGS\r\n" + st.message(), "Alerta", kMbIconStop);
  return true;
}

LOG_EMAIL* OpenMailLog(Desktop& desktop) {
  return OpenScreen<LOG_EMAIL>(desktop, "LOG_EMAIL", "");
}

}  // namespace qz
