#include "cash/box_kinds.h"

namespace qz {
namespace {

constexpr const char* kOtherRefusal = "Esta estación no tiene autorizado la operación de esta caja";

const BoxKind kKinds[] = {
    {kSalesToolbar, 1, kSalesKind, "V_CAJAS", "V_CAJAS", "VCAJAS", "VCAJAS", "DET_VCAJ",
     "DET_VCJ2", "F_VENTAS", "AUT_CAJA", "AUT_VCAJA", "ABRE_VCAJA", "",
     "Esta Caja no está autorizado para Uso en esta Estación", ClosingReport::kNone, "V_CIERRE"},
    {kHotelToolbar, 1, kHotelKind, "HCAJAS2", "DLG_HCAJAS2", "ENC_HCAJ", "ENC_HCAJ", "DET_HCAJ",
     "DET_HCAJ2", "F_HOTEL3", "CHECK_CAJA", "HDEF_CAJA", "ABRE_HCAJA", "PASS_HCAJA",
     kOtherRefusal, ClosingReport::kHotel, "HP_CIERRE"},
    {kReservationsToolbar, 1, kReservationsKind, "RCAJAS2", "DLG_RCAJAS2", "ENC_RCAJ",
     "ENC_RCAJ", "DET_RCAJ", "DET_RCAJ2", "F_RESER", "CHECK_CAJA", "AUT_RCAJA", "ABRE_RCAJA",
     "PASS_RCAJA", kOtherRefusal, ClosingReport::kReservations, "RS_CIERRE"},
    {kTimeshareToolbar, 1, kTimeshareKind, "TCAJAS2", "DLG_TCAJAS2", "ENC_TCAJ", "ENC_TCAJ",
     "DET_TCAJ", "DET_TCAJ2", "F_SHARE", "CHECK_CAJA", "HDEF_CAJA", "ABRE_TCAJA", "PASS_TCAJA",
     kOtherRefusal, ClosingReport::kTimeshare, "TS_CIERRE"},
    {kTimeshareToolbar, 2, kTimeshareKind, "TCAJAS2", "DLG_TCAJAS2", "CAJA_TS", "CAJA_ENC",
     "DET_C_TS", "DET_C_TS2", "F_SHARE", "CHECK_CAJA", "HDEF_CAJA", "ABRE_TCAJA", "PASS_TCAJA",
     kOtherRefusal, ClosingReport::kTimeshareSales, "P_CIERRE"},
};

}  // namespace

const BoxKind* BoxKindFor(int toolbar_kind, int box_type) {
  for (const BoxKind& k : kKinds)
    if (k.toolbar_kind == toolbar_kind && k.box_type == box_type) return &k;
  return nullptr;
}

const BoxKind* BoxKindOfCode(int kind_code, int box_type) {
  for (const BoxKind& k : kKinds)
    if (k.kind_code == kind_code && k.box_type == box_type) return &k;
  return nullptr;
}

}  // namespace qz
