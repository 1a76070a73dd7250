// The parts of the payroll definitions the computations read, as plain values:
// a column type (ENC_TIP, or its copy H_E_TIP of a past payroll) with its
// brackets (DET_TIP / H_D_TIP), a payroll type (TIP_PLA / H_TIP_PL) and a
// vacation type's rows. Loading them once per payroll keeps the per-employee
// work free of table access.
#pragma once

#include <string>
#include <vector>

#include "xbase/status.h"

namespace xb {
class Table;
}

namespace qz {

struct Bracket {
  double rango_i = 0, rango_f = 0, porcentaje = 0, valor_2 = 0;
};

struct ColumnType {
  std::string codigo;
  int tipo = 0;  // 1 absolute value, 2 percentage, 3 composite item, 4 separator
  double valor = 0;
  int val_x_def = 0;
  int tipo_monto = 0;
  std::string moneda;
  int tipo_tabla = 0;
  int dia_tabla = 0;
  double resta_comp = 0;
  std::string col_base;
  int factor = 0;  // the multiplicative factor is part of the column
  double valor_2 = 0;
  int fac_x_def = 0;
  int factor_2 = 1;  // sign: 1 income, 0 deduction
  int factor_4 = 0;  // a constant factor is part of the column
  int edit_f4 = 0;
  double fact4_xdef = 0;
  int deducible = 0;
  int dividir = 0;
  int ver_period = 0;
  int num_period = 0;
  int val_base = 0;
  int val_depend = 0;
  double valor_3 = 0;
  int calc_dif = 0;
  double corte = 0, porc_antes = 0, porc_desp = 0;
  int info = 0;
  std::string moneda2;
  int vac_pagada = 0, vac_costo = 0;
  int sum_hora = 0, horas_base = 0, h_incap = 0;
  int limite = 0;
  int desactivar = 0;
  int div_dias = 0;
  int agrupar[4] = {0, 0, 0, 0};
  std::vector<Bracket> brackets;  // in DET_TIP2 order (lower bound ascending)
};

struct PayrollType {
  std::string codigo;
  int tipo = 0;  // 0 payrolls per month, 1 days between payrolls
  double cantidad = 0;
  int dia_pago = 0;
  double val_div = 0, n_emision = 0, mes_comerc = 0, fact_mult = 0;
  int renta = 0;
  // Days of the commercial month; users of the field take 30 when it is 0.
  double MesComercial() const { return mes_comerc == 0 ? 30 : mes_comerc; }
};

// Reads the column-type fields of the current record of `t` (ENC_TIP or
// H_E_TIP: both have the same fields). Fields an older table lacks keep
// their defaults. Brackets are not read.
xb::Status ReadColumnType(const xb::Table& t, ColumnType* out);
// Reads the payroll-type fields of the current record (TIP_PLA or H_TIP_PL).
xb::Status ReadPayrollType(const xb::Table& t, PayrollType* out);

// Field access that tolerates a missing field (older installations) and a
// table at end of file: the default comes back.
double NumField(const xb::Table& t, const char* name, double def = 0);
int IntField(const xb::Table& t, const char* name, int def = 0);
std::string StrField(const xb::Table& t, const char* name);  // right-trimmed
int32_t DateField(const xb::Table& t, const char* name);

}  // namespace qz
