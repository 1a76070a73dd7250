#include "cash/deposits/deposit_lines.h"

#include "cash/deposits/deposit_register.h"
#include "lib/data/date_time.h"
#include "lib/data/locking.h"
#include "lib/errors/error_handler.h"
#include "lib/ui/catalog_data.h"
#include "lib/ui/desktop.h"
#include "lib/ui/message_box.h"
#include "lib/ui/picture.h"

namespace qz {
namespace {

constexpr const char* kAmountPicture = "999,999,999.99";

void EmptyTable(WDBTable& t) {
  for (t.GoTop(); !t.Eof(); t.Skip()) DELETE_RECORD(t);
}

}  // namespace

DepositLines::DepositLines(WDIAG& owner, int counter_grid, int applications_grid)
    : owner_(owner), counter_id_(counter_grid), applications_id_(applications_grid) {}

DepositLines::~DepositLines() { Close(); }

bool DepositLines::Open() {
  counter_ = USE(&owner_, "TMP_HLI2.DBF", "");
  applications_ = USE(&owner_, "TMP_HLI3.DBF", "");
  if (!counter_ || !applications_) return false;

  counter_grid_ = std::make_unique<WBLISTBOX>(owner_, counter_id_, &counter_->table());
  WBLISTBOX& c = *counter_grid_;
  c.SHOWNUMBERS = false;
  c.AddColumn("Cuenta", "CUENTA_CON", "");
  c.AddColumn("Débito", "DEBITO", kAmountPicture);
  c.AddColumn("Crédito", "CREDITO", kAmountPicture);
  c.SetTotal(1);
  c.SetTotal(2);
  c.BROWMARKS({}, 0, "");
  c.SetEditable(0, [this](const std::string& text) { return EditAccount(text); });
  c.SetEditable(1, [this](const std::string& text) { return EditNumber(*counter_, "DEBITO", text); });
  c.SetEditable(2,
                [this](const std::string& text) { return EditNumber(*counter_, "CREDITO", text); });

  applications_grid_ = std::make_unique<WBLISTBOX>(owner_, applications_id_, &applications_->table());
  WBLISTBOX& a = *applications_grid_;
  a.SHOWNUMBERS = false;
  a.AddColumn("Reservación", "COD_RES", "");
  a.AddColumn("Hab.", "COD_HAB", "");
  a.AddColumn("Línea", "CODIGO", "");
  a.AddColumn("Huésped", "NOMBRE_C", std::string(30, 'X'));
  a.AddColumn("Monto", "MONTO", kAmountPicture);
  a.SetTotal(4);
  a.BROWMARKS({}, 0, "");
  a.SetEditable(4,
                [this](const std::string& text) { return EditNumber(*applications_, "MONTO", text); });
  return true;
}

void DepositLines::Close() {
  counter_grid_.reset();
  applications_grid_.reset();
  if (counter_) KILLTABLA(counter_);
  if (applications_) KILLTABLA(applications_);
}

bool DepositLines::EditNumber(WDBTable& t, const char* field, const std::string& text) {
  std::optional<double> n = Trim(text).empty() ? std::optional<double>(0) : ParseNumber(text);
  if (!n || *n < 0) return false;
  if (!LockForModify(t)) return false;
  t.FieldPut(field, xb::Value::Number(Cents(*n)));
  UnlockForModify(t);
  return true;
}

bool DepositLines::EditAccount(const std::string& text) {
  if (!LockForModify(*counter_)) return false;
  counter_->FieldPut("CUENTA_CON", xb::Value::Char(ToField(Trim(text), 15)));
  UnlockForModify(*counter_);
  return true;
}

void DepositLines::AddCounterLine() {
  if (!counter_) return;
  ADD_NEW_REC(*counter_);
  const uint32_t recno = counter_->RecNo();
  UNLOCK_NEW_REC(*counter_);
  counter_grid_->REFRESHALL();
  counter_grid_->SelectRecNo(recno);
}

void DepositLines::RemoveSelected(WDBTable& t, WBLISTBOX& grid) {
  const uint32_t recno = grid.SelectedRecNo();
  if (recno == 0) return;
  t.GoTo(recno);
  DELETE_RECORD(t);
  grid.REFRESHALL();
}

void DepositLines::RemoveCounterLine() {
  if (counter_) RemoveSelected(*counter_, *counter_grid_);
}

void DepositLines::RemoveApplication() {
  if (applications_) RemoveSelected(*applications_, *applications_grid_);
}

bool DepositLines::AddApplication(const Application& a) {
  if (!applications_) return false;
  for (const Application& have : Applications())
    if (Pad(have.cod_res, 15) == Pad(a.cod_res, 15) && Pad(have.cod_hab, 2) == Pad(a.cod_hab, 2) &&
        Pad(have.codigo, 4) == Pad(a.codigo, 4))
      return false;
  ADD_NEW_REC(*applications_);
  StoreBytes(*applications_, "COD_RES", a.cod_res);
  StoreBytes(*applications_, "COD_HAB", a.cod_hab);
  StoreBytes(*applications_, "CODIGO", a.codigo);
  StoreText(*applications_, "NOMBRE_C", a.nombre_c);
  StoreNumber(*applications_, "MONTO", a.monto);
  const uint32_t recno = applications_->RecNo();
  UNLOCK_NEW_REC(*applications_);
  applications_grid_->REFRESHALL();
  applications_grid_->SelectRecNo(recno);
  return true;
}

std::vector<CounterLine> DepositLines::Counterpart() const {
  std::vector<CounterLine> out;
  if (!counter_) return out;
  const xb::Table& t = counter_->table();
  for (counter_->GoTop(); !counter_->Eof(); counter_->Skip()) {
    CounterLine l;
    l.cuenta = FieldBytes(t, "CUENTA_CON");
    l.debito = FieldNumber(t, "DEBITO");
    l.credito = FieldNumber(t, "CREDITO");
    l.deb_porc = FieldNumber(t, "DEB_PORC");
    l.cred_porc = FieldNumber(t, "CRED_PORC");
    if (!Trim(l.cuenta).empty() || l.debito != 0 || l.credito != 0) out.push_back(l);
  }
  return out;
}

std::vector<Application> DepositLines::Applications() const {
  std::vector<Application> out;
  if (!applications_) return out;
  const xb::Table& t = applications_->table();
  for (applications_->GoTop(); !applications_->Eof(); applications_->Skip()) {
    Application a;
    a.cod_res = FieldBytes(t, "COD_RES");
    a.cod_hab = FieldBytes(t, "COD_HAB");
    a.codigo = FieldBytes(t, "CODIGO");
    a.nombre_c = FieldText(t, "NOMBRE_C");
    a.monto = FieldNumber(t, "MONTO");
    if (!Trim(a.cod_res).empty()) out.push_back(a);
  }
  return out;
}

void DepositLines::Clear() {
  if (counter_) EmptyTable(*counter_);
  if (applications_) EmptyTable(*applications_);
  if (counter_grid_) counter_grid_->REFRESHALL();
  if (applications_grid_) applications_grid_->REFRESHALL();
}

RoomLineGuest ReadRoomLineGuest(void* owner, const std::string& negocio, const Application& a) {
  RoomLineGuest g;
  TablePtr t = USE(owner, "DET_RES2", "DET_RES2");
  if (t->Seek(Pad(negocio, 15) + Pad(a.cod_res, 15) + Pad(a.cod_hab, 2) + Pad(a.codigo, 4)) &&
      !t->Eof()) {
    g.entrada = t->FieldGet("F_INICIO").date();
    g.salida = t->FieldGet("F_FINAL").date();
    g.apellido = FieldText(t->table(), "APELLIDO1");
    g.nombre = FieldText(t->table(), "NOMBRE");
  }
  KILLTABLA(t);
  return g;
}

std::optional<Application> ChooseReservation(WDIAG& owner, const std::string& negocio) {
  TablePtr rooms, enc_res;
  RunOperation([&] {
    rooms = USE(&owner, "DET_RES2", "DET_RES2");
    enc_res = USE(&owner, "ENC_RES", "ENC_RES");
  });
  if (!rooms || !enc_res) return std::nullopt;
  const HotelSettings h = ReadHotelSettings(&owner, negocio);
  std::unique_ptr<WBLISTBOX> grid;
  std::optional<Application> chosen;
  DIALOG_BOX(owner.desktop(), "SEL_RES", &owner, [&](WDIAG& dlg, int msg, int64_t wparam, int64_t) {
    if (msg == kWmInitDialog) {
      grid = std::make_unique<WBLISTBOX>(dlg, 700, &rooms->table());
      grid->SHOWNUMBERS = false;
      grid->AddColumn("Reservación", "COD_RES", "");
      grid->AddColumn("Hab.", "COD_HAB", "");
      grid->AddColumn("Línea", "CODIGO", "");
      grid->AddColumn("Huésped", "NOMBRE_C", std::string(30, 'X'));
      grid->AddColumn("Llegada", "F_INICIO", "");
      grid->AddColumn("Salida", "F_FINAL", "");
      grid->AddColumn("Estado", "ESTADO", "XXXXXXXXXXX");
      grid->SetFormat(6, [](const xb::Value& v) {
        const char s = v.is_char() && !v.str().empty() ? v.str()[0] : ' ';
        return std::string(s == '1' ? "Check-In" : s == '2' ? "Check-Out" : "Pendiente");
      });
      grid->BROWMARKS({{1, "DET_RES2"}}, 1, Pad(negocio, 15));
      return 1;
    }
    if (msg != kWmCommand) return 0;
    if (wparam == 2) {
      grid.reset();
      dlg.ENDDIALOG(2);
      return 1;
    }
    if (wparam != 1) return 0;
    if (grid->SelectedRecNo() == 0) {
      MESSAGE_BOX("Falta seleccionar la Reservación", "Error", kMbIconStop);
      return 1;
    }
    rooms->GoTo(grid->SelectedRecNo());
    const xb::Table& t = rooms->table();
    Application a;
    a.cod_res = FieldBytes(t, "COD_RES");
    a.cod_hab = FieldBytes(t, "COD_HAB");
    a.codigo = FieldBytes(t, "CODIGO");
    a.nombre_c = FieldText(t, "NOMBRE_C");
    // Read again: the front desk may have checked the room in meanwhile.
    if (RoomLineState(*rooms, negocio, a) != '0') {
      MESSAGE_BOX(kSkippedPrefix + Trim(a.cod_res) + kSkippedSuffix, "Error", kMbIconStop);
      return 1;
    }
    a.monto = ReadReservation(*enc_res, negocio, a.cod_res, h).total;
    chosen = a;
    grid.reset();
    dlg.ENDDIALOG(1);
    return 1;
  });
  grid.reset();
  KILLTABLA(rooms);
  KILLTABLA(enc_res);
  return chosen;
}

}  // namespace qz
