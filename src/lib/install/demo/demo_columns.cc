// Column types (the four kinds, with a bracket table for income tax and one of
// fixed amounts), payroll types and each business's payroll parameters.
#include "lib/install/demo/demo_context.h"

namespace qz::demo {
namespace {

std::vector<ColumnType> Columns() {
  auto absolute = [](const char* code, const char* d, int sign) {
    ColumnType t;
    t.code = code, t.descrip = d, t.kind = 1, t.sign = sign;
    return t;
  };
  auto hours = [&](const char* code, const char* d, double multiplier) {
    ColumnType t = absolute(code, d, 1);
    t.dependent = true, t.multiplier = multiplier;
    return t;
  };
  auto percent = [](const char* code, const char* d, double pct, bool info) {
    ColumnType t;
    t.code = code, t.descrip = d, t.kind = 2, t.sign = 0, t.percent = pct, t.info = info;
    return t;
  };
  std::vector<ColumnType> v;
  ColumnType base = absolute("01", "Salario Base", 1);
  base.base = true;
  v.push_back(base);
  v.push_back(hours("02", "Horas Extra", 1.5));
  v.push_back(hours("03", "Horas Dobles", 2));
  v.push_back(hours("04", "Recargo Nocturno", 0.25));
  v.push_back(absolute("05", "Comisiones", 1));
  ColumnType bonus = absolute("06", "Bonificación", 1);
  bonus.deductible = false;
  v.push_back(bonus);
  v.push_back(hours("07", "Feriados Trabajados", 2));
  ColumnType vacation = absolute("08", "Vacaciones Disfrutadas", 1);
  vacation.vacation = true;
  v.push_back(vacation);
  v.push_back(absolute("09", "Rebajo por Incapacidad", 0));
  ColumnType loan = absolute("10", "Cuota Préstamo", 0);
  loan.debt = true;
  v.push_back(loan);
  v.push_back(absolute("11", "Adelanto de Salario", 0));
  v.push_back(absolute("12", "Embargo Judicial", 0));
  v.push_back(absolute("13", "Ahorro Navideño", 0));
  v.push_back(hours("14", "Horas Mixtas", 1.25));
  v.push_back(percent("20", "CCSS Trabajador (SEM e IVM)", 9.67, false));
  v.push_back(percent("21", "Banco Popular (LPT)", 1.0, false));
  v.push_back(percent("22", "Asociación Solidarista", 5.0, false));
  v.push_back(percent("23", "Cargas Sociales Patronales", 26.67, true));
  v.push_back(percent("24", "Póliza Riesgos del Trabajo", 1.5, true));
  v.push_back(percent("25", "Provisión de Aguinaldo", 8.33, true));
  ColumnType tax;
  tax.code = "30", tax.descrip = "Impuesto sobre la Renta", tax.kind = 3, tax.sign = 0;
  v.push_back(tax);
  ColumnType step;
  step.code = "31", step.descrip = "Bono Escalonado", step.kind = 3, step.sign = 1;
  v.push_back(step);
  for (const char* code : {"40", "41"}) {
    ColumnType line;
    line.code = code, line.descrip = "Línea Divisoria", line.kind = 4;
    v.push_back(line);
  }
  ColumnType days = absolute("50", "Días Laborados", 1);
  days.info = true;
  v.push_back(days);
  return v;
}

xb::Status AddColumnType(Context& c, const std::string& n, const ColumnType& t) {
  return c.Add("ENC_TIP", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CODIGO", t.code).Set("DESCRIP", t.descrip).Set("TIPO", t.kind);
    r.Set("FACTOR_2", t.sign).Set("DEDUCIBLE", t.deductible && t.kind != 4 ? 1 : 0);
    r.Set("VAL_BASE", t.base ? 1 : 0).Set("VAL_DEPEND", t.dependent ? 1 : 0);
    r.Set("VALOR_3", t.multiplier).Set("INFO", t.info ? 1 : 0);
    r.Set("VAC_PAGADA", t.vacation ? 1 : 0).Set("LIQUIDABLE", t.sign == 1 ? 1 : 0);
    if (t.kind == 4) {
      r.Set("DUPLICA", 1);
      return;
    }
    r.Set("EDITABLE", 1).Set("IMP_PLAN", 1).Set("IMP_COMP", t.info ? 0 : 1);
    r.Set("IMP_TOTAL", 1).Set("ROTULO_TOT", t.descrip.substr(0, 20));
    r.Set("PICTURE_T", "999,999,999.99").Set("R_IMP_T", 1).Set("R_PICT_T", "999,999,999.99");
    r.Set("GRUPO", t.sign == 0 ? "03" : (t.dependent ? "02" : "01"));
    if (t.kind == 1) {
      r.Set("IMP_VALOR", 1).Set("ROTULO_VAL", t.dependent ? "Horas" : "Monto");
      r.Set("PICTURE_V", "999,999,999.99");
      if (t.dependent) {
        // Hours times the hourly cost: the factor is the cost, kept per employee.
        r.Set("FACTOR", 1).Set("F_DESCRIP", "Costo por hora").Set("EDITABLE_F", 0);
        r.Set("VALOR_2", 1).Set("IMP_FACTOR", 1).Set("ROTULO_FAC", "Costo Hora");
        r.Set("PICTURE_F", "999,999.99").Set("LIGAR_HORA", 1).Set("SUM_HORA", 1);
        r.Set("AGRUPAR1", 1);
      }
      if (t.debt) r.Set("DEUDA", 1).Set("C_DEUDA", "01");
      // The base salary's hours are the period's (VAL_DIV x schedule), so the
      // days worked count a full period.
      if (t.base) r.Set("HORAS_BASE", 1).Set("SUM_HORA", 1).Set("AGRUPAR2", 1);
    } else if (t.kind == 2) {
      r.Set("VALOR", t.percent).Set("VAL_X_DEF", 1).Set("TIPO_MONTO", 2);
      r.Set("IMP_FACTOR", 1).Set("ROTULO_FAC", "%").Set("PICTURE_F", "99.99");
    } else {
      r.Set("MONEDA", "CR").Set("VALOR", 0);
      if (t.code == "30")
        r.Set("TIPO_TABLA", 1);
      else
        r.Set("TIPO_TABLA", 3).Set("COL_BASE", "01");
    }
  });
}

xb::Status AddBrackets(Context& c, const std::string& n) {
  struct Bracket {
    const char* column;
    double from, to, percent, amount;
  };
  // Monthly income tax on salaries (progressive), and a step bonus by salary.
  const Bracket brackets[] = {{"30", 0, 922000, 0, 0},           {"30", 922000, 1352000, 10, 0},
                              {"30", 1352000, 2373000, 15, 0},   {"30", 2373000, 4745000, 20, 0},
                              {"30", 4745000, 999999999, 25, 0}, {"31", 0, 500000, 0, 15000},
                              {"31", 500000, 900000, 0, 10000},  {"31", 900000, 999999999, 0, 0}};
  int serie = 0;
  std::string last;
  for (const auto& b : brackets) {
    serie = last == b.column ? serie + 1 : 1;
    last = b.column;
    XB_RETURN_IF_ERROR(c.Add("DET_TIP", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", b.column).Set("SERIE", serie);
      r.Set("RANGO_I", b.from).Set("RANGO_F", b.to).Set("PORCENTAJE", b.percent);
      r.Set("VALOR_2", b.amount);
    }));
  }
  return xb::Status::OK();
}

xb::Status AddPayrollTypes(Context& c, const std::string& n) {
  for (const auto& t : c.payroll_types)
    XB_RETURN_IF_ERROR(c.Add("TIP_PLA", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", t.code).Set("DESCRIP", t.descrip);
      r.Set("ROTULO", "Planilla " + t.descrip).Set("TIPO", t.kind).Set("CANTIDAD", t.quantity);
      r.Set("LAPSO_DIAS", t.kind == 0 ? 30 / t.quantity : 0);
      // Weekly payrolls are paid on Fridays (6: the week counts from Sunday).
      r.Set("DIA_PAGO", t.kind == 1 ? 6 : 0).Set("OBLIGA_DIA", t.kind == 1 ? 1 : 0);
      r.Set("FACT_DIV", 1).Set("VAL_DIV", t.divisor).Set("N_EMISION", t.issues);
      r.Set("FACT_MULT", 30).Set("MES_COMERC", 30).Set("RENTA", t.kind == 1 ? 1 : 0);
    }));
  return xb::Status::OK();
}

xb::Status AddParameters(Context& c, const Business& b) {
  const Day today = c.today();
  const Day bonus_from = Day::Ymd(today.year() - (today.month() == 12 ? 0 : 1), 12, 1);
  XB_RETURN_IF_ERROR(c.Add("F_PLAN", [&](Row& r) {
    r.Set("NEGOCIO", b.code).Set("TIP_NOMBRE", 1).Set("TIP_PLA", "M");
    r.Set("PROVEE_C_T", "PLANILLA").Set("NOM_PROV_T", "Planilla " + b.name);
    r.Set("PROVEE_C_I", "PLANILLA").Set("PROVEE_C_E", "PLANILLA");
    r.Set("LIG_AJUSTE", "PL-AJUSTE").Set("COL_POPU", "21").Set("COL_SEGURO", "[20][21]");
    r.Set("PATRONO", b.employer_id).Set("POLIZA", "RT-" + b.employer_id.substr(6));
    r.Set("SUC_CCSS", "001").Set("SAL_PROM", 6).Set("SAL_PROM2", 6).Set("COP_COMP", 1);
    r.Set("DESC_TREE", 3).Set("PICT_TREE", "@!").Set("ORDEN_TREE", 0);
    // No rounding of net salaries; hourly costs rounded up to cents in one
    // business, exact in the others.
    r.Set("REDONDEO", 0).Set("DECIMALES", 2).Set("RED_COSTO", b.cost_rounding ? 1 : 0);
    r.Set("DEC_COSTO", 2).Set("DEC_COST5", 0);
    r.Set("IMP_DEUDA", 1).Set("RECIBIDO", 1).Set("REVISADO", 1).Set("IMP_SUM", 1);
    r.Set("TIP_HOJA", 1).Set("NO_FIRMA_D", 1);
    r.Set("PAT_NOMBRE", b.legal_name).Set("PAT_CED", b.employer_id);
    r.Set("PAT_DIRECC", "Oficinas centrales, " + b.name).Set("PAT_TELEF", "2222-0000");
    r.Set("PAT_EMAIL", "planillas@" + b.city + ".demo.test");
    r.Set("FIN_LIQ", "Recibí conforme el pago de mis prestaciones laborales.");
    r.Set("TXT_MONTO1", "Preaviso").Set("TXT_MONTO2", "Cesantía");
    r.Set("TXT_MONTO3", "Vacaciones").Set("TXT_MONTO4", "Aguinaldo");
    r.Set("SET_OPCION", 1).Set("TIPO_PAGO", 3).Set("TIP_TRANSF", "01").Set("COD_TIEMPO", "01");
    r.Set("BANCO", "01").Set("CUENTA", "100-01-0123456");
    r.Set("PROC_COL", 0).Set("COL_INS", "24").Set("COL_CCSS", "20");
    r.Set("ETAP_INI", "0001").Set("ETAP_INTER", "0002").Set("ETAP_FIN", "0003");
    r.Set("TIP_ACCION", 1).Set("TOT_EMP", 0);
    r.Set("F_INICIO", bonus_from).Set("F_FIN", Day::Ymd(bonus_from.year() + 1, 11, 30));
    r.Set("M_AGUI1", 12).Set("P_AGUI1", 1);
    r.Set("TOTAL_AG2", 1).Set("ROTULO_AG2", "Horas Extra").Set("TOTAL_AG3", 1);
    r.Set("ROTULO_AG3", "Salario Ordinario");
  }));
  XB_RETURN_IF_ERROR(c.Add("F_PLAN7", [&](Row& r) {
    r.Set("NEGOCIO", b.code).Set("NO_TRANS", 0).Set("DIAS_LIQ", 1).Set("PAIS", "Costa Rica");
    r.Set("LOCACION", b.name.substr(0, 20)).Set("HORA_BASE", "01").Set("ROT_BASE", "Salario");
    r.Set("HORA_1", "02").Set("HORA_2", "03").Set("HORA_3", "07").Set("HORA_4", "14");
    for (int i = 1; i <= 5; ++i) {
      r.Set(("RANG_HOR" + std::to_string(i)).c_str(), 20 * i);
      r.Set(("RANG_PAX" + std::to_string(i)).c_str(), 50 * i);
    }
  }));
  // Notice (days by months of service) and severance (days of salary).
  const double notice[][3] = {{3, 6, 7}, {6, 12, 15}, {12, 9999, 30}};
  for (const auto& row : notice)
    XB_RETURN_IF_ERROR(c.Add("F_PLAN2", [&](Row& r) {
      r.Set("NEGOCIO", b.code).Set("RANGO_I", row[0]).Set("RANGO_F", row[1]).Set("DIAS", row[2]);
    }));
  const double severance[][4] = {{3, 6, 7, 0}, {6, 12, 14, 0}, {12, 9999, 19.5, 8}};
  for (const auto& row : severance)
    XB_RETURN_IF_ERROR(c.Add("F_PLAN3", [&](Row& r) {
      r.Set("NEGOCIO", b.code).Set("RANGO_I", row[0]).Set("RANGO_F", row[1]).Set("DIAS", row[2]);
      r.Set("CANT_SAL", row[3]);
    }));
  return xb::Status::OK();
}

}  // namespace

xb::Status AddColumns(Context& c) {
  c.columns = Columns();
  // Divisors turn one payroll's salary into a day's: 30, 15 or 7 days.
  c.payroll_types = {{"01", "Mensual", 0, 1, 30, 1, 1},
                     {"02", "Quincenal", 0, 2, 15, 2, 2},
                     {"03", "Semanal", 1, 7, 7, 4.33333, 52.0 / 12}};
  for (const auto& b : c.businesses) {
    for (const auto& t : c.columns) XB_RETURN_IF_ERROR(AddColumnType(c, b.code, t));
    XB_RETURN_IF_ERROR(AddBrackets(c, b.code));
    XB_RETURN_IF_ERROR(AddPayrollTypes(c, b.code));
    XB_RETURN_IF_ERROR(AddParameters(c, b));
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
