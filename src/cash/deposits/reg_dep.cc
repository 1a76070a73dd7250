#include "cash/deposits/reg_dep.h"

#include "cash/deposits/brow_dep.h"
#include "lib/data/date_time.h"
#include "lib/errors/error_handler.h"
#include "lib/ui/catalog.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/lists.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"

namespace qz {
namespace {

constexpr const char* kRatePicture = "9,999,999.9999";

// Every row of the business in `table` (tag = business + code) as an entry
// of combo `id`: its text, and the code's bytes as cargo.
void FillFrom(WDIAG& w, int id, const std::string& table, const std::string& negocio,
              const char* code_field, const std::function<std::string(const xb::Table&)>& text) {
  TablePtr t = USE(&w, table, table);
  t->SetScope(xb::Value::Char(negocio), xb::Value::Char(negocio));
  for (t->GoTop(); !t->Eof(); t->Skip()) w.AddEntry(id, text(t->table()), FieldBytes(t->table(), code_field));
  KILLTABLA(t);
}

std::string Cargo(const WDIAG& w, int id) {
  const ControlState* c = w.Control(id);
  if (!c || c->current < 0 || c->current >= static_cast<int>(c->entries.size())) return "";
  return c->entries[c->current].cargo;
}

// A typed number; blank or no number reads 0, which the checks refuse.
double TypedNumber(const WDIAG& w, int id) {
  std::optional<double> n = ParseNumber(w.Text(id));
  return n ? *n : 0;
}

}  // namespace

REG_DEP::REG_DEP(Desktop& desktop, const std::string& template_name, const std::string& business)
    : WDIAG(desktop, nullptr, template_name),
      negocio_(Pad(business, 15)),
      lines_(*this, kCounterGrid, kApplicationsGrid),
      registration_(desktop, this) {}

REG_DEP::~REG_DEP() {
  OnNCDestroy = nullptr;
  CerrarBases();
}

void REG_DEP::CerrarBases() { lines_.Close(); }

bool REG_DEP::Init() {
  if (!INIT().ok()) return false;
  if (!lines_.Open()) {
    CerrarBases();
    return false;
  }
  hotel_ = ReadHotelSettings(this, negocio_);
  OnNCDestroy = [this] { CerrarBases(); };
  FillCombos();
  SetDate(kDate, XDATE());
  ADD(1, [this] { Registrar(); });
  ADD(2, [this] { ENDDIALOG(2); });
  ADD(kConcept, [this] { RunOperation([this] { ProposeRates(); }); });
  ADD(kCurrency, [this] { RunOperation([this] { ProposeRates(); }); });
  ADD(kAddLine, [this] { RunOperation([this] { lines_.AddCounterLine(); }); });
  ADD(kRemoveLine, [this] { RunOperation([this] { lines_.RemoveCounterLine(); }); });
  ADD(kAddReservation, [this] { AddReservation(); });
  ADD(kRemoveReservation, [this] { RunOperation([this] { lines_.RemoveApplication(); }); });
  if (!CREATE().ok()) return false;
  CCOMBOBOX(*this, kCurrency).SEEKCARGO(Pad(hotel_.moneda_res, 2));
  ProposeRates();
  return true;
}

void REG_DEP::FillCombos() {
  FillFrom(*this, kConcept, "CON_HLIB", negocio_, "CONCEPTO", [](const xb::Table& t) {
    return FieldText(t, "CONCEPTO") + " - " + FieldText(t, "DESCRIP");
  });
  FillFrom(*this, kCurrency, "MONEDAS", negocio_, "CODIGO",
           [](const xb::Table& t) { return FieldText(t, "DESCRIP"); });
  FillFrom(*this, kMadeBy, "HECHOPOR", negocio_, "CODIGO",
           [](const xb::Table& t) { return FieldText(t, "NOMBRE"); });
  if (CCOMBOBOX(*this, kMadeBy).COUNT() == 1) SetCurrent(kMadeBy, 0);
}

void REG_DEP::ProposeRates() {
  DepositForm f;
  f.negocio = negocio_;
  f.concepto = Cargo(*this, kConcept);
  f.moneda = Cargo(*this, kCurrency);
  std::optional<int32_t> fecha = DateValue(kDate);
  f.fecha = fecha && *fecha > 0 ? *fecha : XDATE();
  f.cambio_con = TypedNumber(*this, kRateCon);
  DepositConcept c;
  const bool known = ReadConcept(this, negocio_, f.concepto, &c);
  const DepositRates r = registration_.ProposeRates(f);
  // A bank concept takes its account's currency.
  const bool bank = known && c.tipo_mov == 0;
  if (bank && !Trim(r.moneda).empty()) CCOMBOBOX(*this, kCurrency).SEEKCARGO(Pad(r.moneda, 2));
  EnableControl(kCurrency, !bank);
  EnableControl(kCard, known && !Trim(c.p_electro).empty());
  SetText(kRateRes, Trim(FormatNumber(r.cambio_res, kRatePicture)));
  SetText(kRateCon, Trim(FormatNumber(r.cambio_con, kRatePicture)));
  if (r.typed_con) SetFocus(kRateCon);
}

bool REG_DEP::ReadForm(DepositForm* f) const {
  f->negocio = negocio_;
  f->concepto = Cargo(*this, kConcept);
  f->moneda = Cargo(*this, kCurrency);
  f->hecho_por = Cargo(*this, kMadeBy);
  // A date that is no date reaches the checks as one they refuse, in
  // their order.
  std::optional<int32_t> fecha = DateValue(kDate);
  f->fecha = fecha ? *fecha : -1;
  std::optional<int32_t> entrada = DateValue(kArrival), salida = DateValue(kDeparture);
  if (!entrada || !salida) {
    MESSAGE_BOX("Fecha inválida", "Error", kMbIconStop);
    return false;
  }
  f->entrada = *entrada;
  f->salida = *salida;
  f->monto = Cents(TypedNumber(*this, kAmount));
  f->num_dep = ToField(Text(kNumber), 20);
  f->card_account = Trim(Text(kCard));
  f->apellido = Trim(Text(kSurname));
  f->nombre = Trim(Text(kFirstName));
  f->comentario = Trim(Text(kComment));
  f->cambio_res = TypedNumber(*this, kRateRes);
  f->cambio_con = TypedNumber(*this, kRateCon);
  f->counterpart = lines_.Counterpart();
  f->applications = lines_.Applications();
  return true;
}

std::string REG_DEP::Registrar() {
  DepositForm f;
  std::optional<std::string> mov;
  RunOperation([&] {
    if (ReadForm(&f)) mov = registration_.Register(f);
  });
  if (!mov) return "";
  SetText(kLast, "Movimiento registrado: " + Trim(*mov));
  RunOperation([this] { ClearDeposit(); });
  if (auto* browse = dynamic_cast<BROW_DEP*>(desktop().FindWindow("BROW_DEP"))) browse->Refresh();
  return *mov;
}

void REG_DEP::ClearDeposit() {
  for (int id : {kAmount, kNumber, kCard, kSurname, kFirstName, kArrival, kDeparture, kComment})
    SetText(id, "");
  lines_.Clear();
}

void REG_DEP::AddReservation() {
  std::optional<Application> a = ChooseReservation(*this, negocio_);
  if (!a) return;
  RunOperation([&] {
    lines_.AddApplication(*a);
    const RoomLineGuest g = ReadRoomLineGuest(this, negocio_, *a);
    if (Trim(Text(kSurname)).empty() && Trim(Text(kFirstName)).empty()) {
      SetText(kSurname, g.apellido);
      SetText(kFirstName, g.nombre);
    }
    if (DateValue(kArrival) == 0) SetDate(kArrival, g.entrada);
    if (DateValue(kDeparture) == 0) SetDate(kDeparture, g.salida);
    if (!hotel_.com_prepa) return;
    // The comment tells each reservation and its dates.
    std::string comment;
    for (const Application& have : lines_.Applications()) {
      const RoomLineGuest r = ReadRoomLineGuest(this, negocio_, have);
      comment += (comment.empty() ? "" : "; ") + std::string("Reservación ") + Trim(have.cod_res) +
                 " del " + DateText(r.entrada) + " al " + DateText(r.salida);
    }
    SetText(kComment, comment);
  });
}

REG_DEP* OpenDepositRegistration(Desktop& desktop, const std::string& business) {
  return OpenScreen<REG_DEP>(desktop, "REG_DEP", business);
}

}  // namespace qz
