#include "lib/payroll/calc_vac.h"

#include <algorithm>
#include <deque>

#include "lib/payroll/dates.h"
#include "lib/payroll/days_worked.h"
#include "lib/payroll/definitions.h"
#include "lib/payroll/table_position.h"
#include "xbase/table.h"
#include "xbase/value.h"

namespace qz {

const char* const CALC_VAC::kBaseNames[kBaseCount] = {
    "ENC_TIP",  "T_CAMBIO", "H_E_DEPT", "MONEDAS",  "DET_TIP", "ENC_PERS", "ENC_DEPT", "TIP_PLA",
    "H_E_DEPT", "H_TIP_PL", "H_TIEM_E", "ENC_PERS", "ENC_VAC", "DET_VAC",  "ENC_DEPT", "TIEMPO_E",
    "DET_PERS", "DET_DEPT", "ENC_TIP",  "H_D_PERS", "H_E_TIP", "H_E_PERS", "TIP_PLA",  "F_PLAN"};

CALC_VAC::CALC_VAC(const std::string& negocio, void* /*owner*/, const Bases& bases,
                   int32_t referencia, TableOpener opener)
    : negocio_(PadRight(negocio, 15)), a_bases(bases) {
  xfecha_calculo = VacationCutOff(referencia);
  for (int i = 0; i < kBaseCount; ++i) {
    if (a_bases[i] || !opener) continue;
    auto t = opener(kBaseNames[i]);
    if (!t.ok()) continue;  // reported by CALCULAR when it needs the table
    a_bases[i] = t->get();
    owned_.push_back(std::move(t.value()));
  }
  if (a_bases[kHDPers]) (void)a_bases[kHDPers]->SetOrder("H_D_PERS2");
}

CALC_VAC::~CALC_VAC() {
  KILL_BASES();
}

void CALC_VAC::KILL_BASES() {
  for (auto& t : owned_) {
    for (auto& b : a_bases)
      if (b == t.get()) b = nullptr;
    (void)t->Close();
  }
  owned_.clear();
}

double CALC_VAC::GET_AJUSTE_POR_VACACIONES() const {
  return xprovision > xactual ? xprovision - xactual : 0;
}

std::vector<VacationRow> CALC_VAC::VacationRows(const std::string& tipo_vac) {
  std::vector<VacationRow> rows;
  xb::Table& dv = *a_bases[kDetVac];
  auto read = [&](const std::string& code) {
    rows.clear();
    std::string c = PadRight(code, 4);
    if (!SeekOn(dv, "DET_VAC", negocio_ + c, true).ok()) return;
    for (bool more = true; more && !dv.Eof(); more = dv.Skip().ok()) {
      if (PadRight(StrField(dv, "NEGOCIO"), 15) != negocio_ ||
          PadRight(StrField(dv, "CODIGO"), 4) != c)
        break;
      rows.push_back({NumField(dv, "MES"), NumField(dv, "D_MES"), NumField(dv, "D_ANHO")});
    }
  };
  read(tipo_vac);
  // A blank type, or one without rows, means the business's default type.
  if (rows.empty() && Lookup(*a_bases[kEncVac], "ENC_VAC1", negocio_ + "1"))
    read(StrField(*a_bases[kEncVac], "CODIGO"));
  return rows;
}

double CALC_VAC::DaysTaken(const std::string& empleado, int32_t inicio, double schedule) {
  xb::Table& v = *a_bases[kHDPers];
  const std::string e = PadRight(empleado, 15);
  double suma = 0;
  if (!SeekOn(v, "H_D_PERS3", negocio_ + e + "1" + xb::DtosFromJulian(inicio), true).ok()) return 0;
  for (bool more = true; more && !v.Eof(); more = v.Skip().ok()) {
    if (PadRight(StrField(v, "NEGOCIO"), 15) != negocio_ ||
        PadRight(StrField(v, "CODIGO"), 15) != e || StrField(v, "VACACION") != "1")
      break;
    int32_t fecha = DateField(v, "FECHA");
    if (fecha < inicio) continue;
    std::string f = xb::DtosFromJulian(fecha);
    if (!Lookup(*a_bases[kHEPers], "H_E_PERS8", negocio_ + e + f)) continue;
    std::string depto = PadRight(StrField(*a_bases[kHEPers], "DEPTO"), 15);
    std::string col = PadRight(StrField(v, "COD_COLUMN"), 2);
    if (Lookup(*a_bases[kHETip], "H_E_TIP", negocio_ + depto + col + f) &&
        IntField(*a_bases[kHETip], "VAC_PAGADA") == 1)
      suma += NumField(v, "VALOR_1");
  }
  // Without a schedule factor the hours cannot become days: none are counted.
  return schedule == 0 ? 0 : suma / schedule;
}

double CALC_VAC::GET_DIAS(int32_t fecha) const {
  return DaysAccruedInMonth(rows_, inicio_, fecha);
}

xb::Status CALC_VAC::CALCULAR(const std::string& empleado, double actuales, double costo_actuales) {
  xActuales = actuales;
  xCosto_actuales = costo_actuales;
  xprovision = xactual = 0;
  registro_ = Registro{};
  for (int i : {kEncPers, kEncVac, kDetVac, kTiempoE, kHDPers, kHETip, kHEPers, kHTipPl, kHTiemE,
                kHEDeptB}) {
    if (!a_bases[i])
      return xb::Status::NotFound(std::string("CALC_VAC: table ") + kBaseNames[i] + " is not open");
  }
  std::deque<TablePosition> keep;
  for (int i : {kEncVac, kDetVac, kTiempoE, kHDPers, kHETip, kHEPers, kHTipPl, kHTiemE, kHEDeptB})
    keep.emplace_back(a_bases[i]);

  xb::Table& p = *a_bases[kEncPers];
  if (p.Eof()) return xb::Status::NotFound("CALC_VAC: the employees table is at end of file");
  empleado_ = empleado;
  inicio_ = DateField(p, "F_INICIO");
  std::string tipo_vac = StrField(p, "TIPO_VAC");
  double schedule = 0;
  if (Lookup(*a_bases[kTiempoE], "TIEMPO_E", negocio_ + PadRight(StrField(p, "COD_TIEMPO"), 2)))
    schedule = NumField(*a_bases[kTiempoE], "FACTOR");

  registro_.tipo_vac = tipo_vac;
  registro_.codigo = empleado;
  registro_.nombre = StrField(p, "NOMBRE");
  registro_.f_inicio = inicio_;
  registro_.corte = xfecha_calculo;
  if (inicio_ <= 0 || xfecha_calculo <= 0) return xb::Status::OK();  // nothing to accrue from

  registro_.tomados = DaysTaken(empleado, inicio_, schedule);
  rows_ = VacationRows(tipo_vac);
  registro_.ganados = DaysEarned(rows_, ServiceUpTo(inicio_, xfecha_calculo));
  registro_.pendientes = registro_.ganados - registro_.tomados;
  if (registro_.pendientes > 0) {
    double dias_actuales = schedule == 0 ? 0 : actuales / schedule;
    xprovision = CALC_COSTO_VACACIONES(registro_.pendientes, xfecha_calculo, dias_actuales);
    xactual = actuales * costo_actuales;
  }
  return xb::Status::OK();
}

}  // namespace qz
