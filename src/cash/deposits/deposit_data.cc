#include "cash/deposits/deposit_data.h"

#include <cmath>

#include "lib/ui/catalog_data.h"
#include "lib/ui/picture.h"

namespace qz {

std::string DepositConcept::JournalModule() const {
  return Trim(modulo).empty() ? Pad("09", 9) : Pad(modulo, 9);
}

std::string Amount(double n) {
  return Trim(FormatNumber(n, "999,999,999.99"));
}

double Cents(double n) {
  return std::round(n * 100.0) / 100.0;
}

namespace {

int Int(const xb::Table& t, const char* field) {
  return static_cast<int>(FieldNumber(t, field));
}

// Opens `name` positioned on tag `tag` and seeks `key`; null when not found.
bool SeekIn(WDBTable& t, const std::string& key) {
  return t.Seek(key) && !t.Eof();
}

}  // namespace

bool ReadConcept(void* owner, const std::string& negocio, const std::string& concepto,
                 DepositConcept* out) {
  TablePtr t = USE(owner, "CON_HLIB", "CON_HLIB");
  bool found = SeekIn(*t, Pad(negocio, 15) + Pad(concepto, 2));
  if (found) {
    const xb::Table& r = t->table();
    DepositConcept& c = *out;
    c.concepto = FieldBytes(r, "CONCEPTO");
    c.descrip = FieldText(r, "DESCRIP");
    c.serial = FieldBytes(r, "SERIAL");
    c.visible = Int(r, "VISIBLE");
    c.tipo_mov = Int(r, "TIPO_MOV");
    c.tipo = Int(r, "TIPO");
    c.no_mayores = Int(r, "NO_MAYORES") == 1;
    c.aplica_res = Int(r, "APLICA_RES") == 1;
    c.banco = FieldBytes(r, "BANCO");
    c.cuenta = FieldBytes(r, "CUENTA");
    c.concep_lib = FieldBytes(r, "CONCEP_LIB");
    c.p_electro = FieldBytes(r, "P_ELECTRO");
    c.camb_res = Int(r, "CAMB_RES") == 1;
    c.tip_res = FieldBytes(r, "TIP_RES");
    c.imp_comp = Int(r, "IMP_COMP") == 1;
    c.modulo = FieldBytes(r, "MODULO");
    c.doble_cont = Int(r, "DOBLE_CONT") == 1;
    c.liga_otro = FieldBytes(r, "LIGA_OTRO");
    c.liga_otro2 = FieldBytes(r, "LIGA_OTRO2");
  }
  KILLTABLA(t);
  return found;
}

HotelSettings ReadHotelSettings(void* owner, const std::string& negocio) {
  HotelSettings h;
  const std::string key = Pad(negocio, 15);
  TablePtr t = USE(owner, "F_HOTEL", "F_HOTEL");
  if (SeekIn(*t, key)) {
    h.moneda_res = FieldBytes(t->table(), "MONEDA_RES");
    h.dif_prepag = FieldNumber(t->table(), "DIF_PREPAG");
  }
  KILLTABLA(t);
  t = USE(owner, "F_HOTEL3", "F_HOTEL3");
  if (SeekIn(*t, key)) {
    h.margen_dep = FieldNumber(t->table(), "MARGEN_DEP");
    h.dep_rot = Int(t->table(), "DEP_ROT");
  }
  KILLTABLA(t);
  t = USE(owner, "F_HOTEL4", "F_HOTEL4");
  if (SeekIn(*t, key)) {
    h.m_prepa = Int(t->table(), "M_PREPA");
    h.com_prepa = Int(t->table(), "COM_PREPA") == 1;
  }
  KILLTABLA(t);
  t = USE(owner, "NEGOCIOS", "NEGOCIOS");
  if (SeekIn(*t, key)) h.moneda_con = FieldBytes(t->table(), "MONEDA_CON");
  KILLTABLA(t);
  return h;
}

ReservationInfo ReadReservation(WDBTable& enc_res, const std::string& negocio,
                                const std::string& cod_res, const HotelSettings& h) {
  ReservationInfo r;
  if (!SeekIn(enc_res, Pad(negocio, 15) + Pad(cod_res, 15))) return r;
  const xb::Table& t = enc_res.table();
  r.found = true;
  r.total = FieldNumber(t, h.m_prepa == 0 ? "TOTAL" : "TOTAL4");
  r.aut_deps = Int(t, "AUT_DEPS") == 1;
  r.tipo = FieldBytes(t, "TIPO");
  return r;
}

char RoomLineState(WDBTable& det_res2, const std::string& negocio, const Application& a) {
  const std::string key =
      Pad(negocio, 15) + Pad(a.cod_res, 15) + Pad(a.cod_hab, 2) + Pad(a.codigo, 4);
  if (!SeekIn(det_res2, key)) return 0;
  std::string estado = FieldBytes(det_res2.table(), "ESTADO");
  // Rows written before the state was kept are pending.
  return estado.empty() || estado[0] == ' ' ? '0' : estado[0];
}

std::string LinkAccount(void* owner, const std::string& negocio, const std::string& module,
                        const std::string& link) {
  if (Trim(link).empty()) return "";
  TablePtr t = USE(owner, "LIGAS", "LIGA3");
  std::string account;
  if (SeekIn(*t, Pad(negocio, 15) + Pad(module, 9) + Pad(link, 10)))
    account = FieldBytes(t->table(), "CUENTA");
  KILLTABLA(t);
  return Trim(account).empty() ? "" : account;
}

std::string GuestName(const std::string& apellido, const std::string& nombre) {
  return Trim(apellido) + " " + Trim(nombre);
}

}  // namespace qz
