// CALC_VAC: the vacation provision of an employee, which the expense
// distribution and the SAP journal book as the adjustment of a paid-vacation
// column; and C_PARAM, the period parameters those callers hand to the value
// classes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "lib/data/use.h"
#include "lib/payroll/vacation_rules.h"
#include "xbase/status.h"

namespace xb {
class Table;
}

namespace qz {

// The period parameters of the group totals and accounting interfaces.
class C_PARAM {
 public:
  C_PARAM(int32_t fecha_i, int32_t fecha_f, xb::Table* tip_pla, xb::Table* enc_dept,
          xb::Table* h_e_pers)
      : FECHA_I(fecha_i),
        FECHA_F(fecha_f),
        TIP_PLA(tip_pla),
        ENC_DEPT(enc_dept),
        H_E_PERS(h_e_pers) {}
  int32_t FECHA_I;
  int32_t FECHA_F;
  double COSTO_DIA = 0;  // the caller sets it
  xb::Table* TIP_PLA;
  xb::Table* ENC_DEPT;
  xb::Table* H_E_PERS;
};

class CALC_VAC {
 public:
  // The 24 tables, in this order; a null entry is opened through USE for
  // `owner` (H_D_PERS on tag H_D_PERS2) and released by KILL_BASES.
  enum Base {
    kEncTip,
    kTCambio,
    kHEDept,
    kMonedas,
    kDetTip,
    kEncPers2,
    kEncDept2,
    kTipPla2,
    kHEDeptB,
    kHTipPl,
    kHTiemE,
    kEncPers,
    kEncVac,
    kDetVac,
    kEncDept,
    kTiempoE,
    kDetPers,
    kDetDept,
    kEncTipB,
    kHDPers,
    kHETip,
    kHEPers,
    kTipPla,
    kFPlan,
    kBaseCount
  };
  static const char* const kBaseNames[kBaseCount];
  using Bases = std::array<xb::Table*, kBaseCount>;

  // The computation record of the last CALCULAR.
  struct Registro {
    std::string tipo_vac, codigo, nombre;
    int32_t f_inicio = 0, corte = 0;
    double ganados = 0, tomados = 0, pendientes = 0;
  };

  CALC_VAC(const std::string& negocio, void* owner, const Bases& bases, int32_t referencia);
  ~CALC_VAC();
  CALC_VAC(const CALC_VAC&) = delete;
  CALC_VAC& operator=(const CALC_VAC&) = delete;

  // Computes for the employee on which the ENC_PERS table stands. A table that
  // is missing or unreadable leaves the amounts at 0 and is reported.
  xb::Status CALCULAR(const std::string& empleado, double actuales, double costo_actuales);
  double GET_AJUSTE_POR_VACACIONES() const;
  double GET_M_PROVISIONADO() const { return xprovision; }
  double GET_M_ACTUAL() const { return xactual; }
  const Registro& a_registro() const { return registro_; }
  // Vacation days accrued in the month of `fecha` by the current employee.
  double GET_DIAS(int32_t fecha) const;
  // The cost of the current days at the daily salaries (per pay period, so a
  // weekly and a monthly payroll value a day alike) of the months in which
  // the pending days were earned; 0 when the employee has no payroll line.
  double CALC_COSTO_VACACIONES(double pendientes, int32_t corte, double dias_actuales);
  void KILL_BASES();

  int32_t xfecha_calculo = 0;  // the cut-off date
  double xActuales = 0, xCosto_actuales = 0;
  double xprovision = 0, xactual = 0;

 private:
  std::vector<VacationRow> VacationRows(const std::string& tipo_vac);
  double DaysTaken(const std::string& empleado, int32_t inicio, double schedule);
  // VAL_DIV of the payroll-type copy of the payroll line `l` stands on (0
  // when the copy is missing).
  double LineValDiv(const xb::Table& l);

  std::string negocio_;
  Bases a_bases{};
  std::vector<std::pair<int, TablePtr>> owned_;       // {position, table USE opened}
  std::array<std::string, kBaseCount> why_not_open_;  // why USE could not open a position
  Registro registro_;
  std::vector<VacationRow> rows_;  // the current employee's vacation type
  int32_t inicio_ = 0;
  std::string empleado_;
};

}  // namespace qz
