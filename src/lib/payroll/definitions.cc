#include "lib/payroll/definitions.h"

#include <cmath>

#include "xbase/table.h"

namespace qz {

double NumField(const xb::Table& t, const char* name, double def) {
  int i = t.FieldIndex(name);
  if (i < 0) return def;
  auto v = t.Get(i);
  if (!v.ok() || !v->is_numeric()) return def;
  double d = v->number();
  return std::isfinite(d) ? d : def;
}

int IntField(const xb::Table& t, const char* name, int def) {
  return static_cast<int>(std::lround(NumField(t, name, def)));
}

std::string StrField(const xb::Table& t, const char* name) {
  int i = t.FieldIndex(name);
  if (i < 0) return "";
  auto v = t.Get(i);
  if (!v.ok() || !v->is_char()) return "";
  std::string s = v->str();
  size_t e = s.find_last_not_of(' ');
  s.resize(e == std::string::npos ? 0 : e + 1);
  return s;
}

int32_t DateField(const xb::Table& t, const char* name) {
  int i = t.FieldIndex(name);
  if (i < 0) return 0;
  auto v = t.Get(i);
  if (!v.ok() || v->type() != xb::Value::Type::kDate) return 0;
  return v->date();
}

xb::Status ReadColumnType(const xb::Table& t, ColumnType* c) {
  if (t.Eof()) return xb::Status::NotFound(t.name() + ": no column type at end of file");
  ColumnType d;
  d.codigo = StrField(t, "CODIGO");
  d.tipo = IntField(t, "TIPO");
  d.valor = NumField(t, "VALOR");
  d.val_x_def = IntField(t, "VAL_X_DEF");
  d.tipo_monto = IntField(t, "TIPO_MONTO");
  d.moneda = StrField(t, "MONEDA");
  d.tipo_tabla = IntField(t, "TIPO_TABLA");
  d.dia_tabla = IntField(t, "DIA_TABLA");
  d.resta_comp = NumField(t, "RESTA_COMP");
  d.col_base = StrField(t, "COL_BASE");
  d.factor = IntField(t, "FACTOR");
  d.valor_2 = NumField(t, "VALOR_2");
  d.fac_x_def = IntField(t, "FAC_X_DEF");
  d.factor_2 = IntField(t, "FACTOR_2", 1);
  d.factor_4 = IntField(t, "FACTOR_4");
  d.edit_f4 = IntField(t, "EDIT_F4");
  d.fact4_xdef = NumField(t, "FACT4_XDEF");
  d.deducible = IntField(t, "DEDUCIBLE");
  d.dividir = IntField(t, "DIVIDIR");
  d.ver_period = IntField(t, "VER_PERIOD");
  d.num_period = IntField(t, "NUM_PERIOD");
  d.val_base = IntField(t, "VAL_BASE");
  d.val_depend = IntField(t, "VAL_DEPEND");
  d.valor_3 = NumField(t, "VALOR_3");
  d.calc_dif = IntField(t, "CALC_DIF");
  d.corte = NumField(t, "CORTE");
  d.porc_antes = NumField(t, "PORC_ANTES");
  d.porc_desp = NumField(t, "PORC_DESP");
  d.info = IntField(t, "INFO");
  d.moneda2 = StrField(t, "MONEDA2");
  d.vac_pagada = IntField(t, "VAC_PAGADA");
  d.vac_costo = IntField(t, "VAC_COSTO");
  d.sum_hora = IntField(t, "SUM_HORA");
  d.horas_base = IntField(t, "HORAS_BASE");
  d.h_incap = IntField(t, "H_INCAP");
  d.limite = IntField(t, "LIMITE");
  d.desactivar = IntField(t, "DESACTIVAR");
  d.div_dias = IntField(t, "DIV_DIAS");
  d.agrupar[0] = IntField(t, "AGRUPAR1");
  d.agrupar[1] = IntField(t, "AGRUPAR2");
  d.agrupar[2] = IntField(t, "AGRUPAR3");
  d.agrupar[3] = IntField(t, "AGRUPAR4");
  *c = std::move(d);
  return xb::Status::OK();
}

xb::Status ReadPayrollType(const xb::Table& t, PayrollType* p) {
  if (t.Eof()) return xb::Status::NotFound(t.name() + ": no payroll type at end of file");
  PayrollType d;
  d.codigo = StrField(t, "CODIGO");
  d.tipo = IntField(t, "TIPO");
  d.cantidad = NumField(t, "CANTIDAD");
  d.dia_pago = IntField(t, "DIA_PAGO");
  d.val_div = NumField(t, "VAL_DIV");
  d.n_emision = NumField(t, "N_EMISION");
  d.mes_comerc = NumField(t, "MES_COMERC");
  d.fact_mult = NumField(t, "FACT_MULT");
  d.renta = IntField(t, "RENTA");
  *p = std::move(d);
  return xb::Status::OK();
}

}  // namespace qz
