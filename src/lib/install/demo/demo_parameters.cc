// What the payroll parameters window shows beyond the rows the column-type
// part writes: the SAP mapping codes, the salary-certificate text and font,
// the severance settings and the SAP fields of each business.
#include "lib/install/demo/demo_context.h"

namespace qz::demo {
namespace {

const char kCertificate[] =
    "Por este medio hacemos constar que <<nombre>>, cédula <<cedula>>, labora para esta "
    "empresa desde el <<fecha_i>> en el puesto de <<puesto>>, con un salario mensual de "
    "<<salario>> (<<l_salario>>).\r\n\r\nSe extiende la presente a solicitud del interesado "
    "a los <<DIA_CARTA>> días del mes de <<MES_CARTA>> de <<ANHO_CARTA>>.";

}  // namespace

xb::Status AddParameterDetails(Context& c) {
  const char* const maps[][2] = {{"CR01", "Costa Rica - Hoteles"},
                                 {"CR02", "Costa Rica - Restaurantes"},
                                 {"PA01", "Panamá - Hoteles"}};
  for (const auto& m : maps)
    XB_RETURN_IF_ERROR(c.Add("ENC_MAPC", [&](Row& r) { r.Set("CODIGO", m[0]).Set("DESCRIP", m[1]); }));
  for (const auto& b : c.businesses) {
    XB_RETURN_IF_ERROR(UpdateRow(c, "F_PLAN", b.code, [&](xb::Table& t) {
      t.Put("TXT_CONST", xb::Value::Char(Cp1252(kCertificate)));
      t.Put("REB_CONST", xb::Value::Number(0));
      t.Put("HEAD_CONST", xb::Value::Number(1));
      t.Put("LETRA_CONS", xb::Value::Char(Cp1252("Arial")));
      // Severance by the years remaining, with the old law until 1 March 2001.
      t.Put("TIPO_CESA", xb::Value::Number(1));
      t.Put("CORTE_CESA", xb::Value::Date(Day::Ymd(2001, 3, 1).jd));
      t.Put("FACT_CESA", xb::Value::Number(20));
    }));
    XB_RETURN_IF_ERROR(UpdateRow(c, "F_PLAN7", b.code, [&](xb::Table& t) {
      t.Put("MAP_SAP", xb::Value::Char("CR01"));
      t.Put("INNCODE", xb::Value::Char(Cp1252("QZ-" + b.city.substr(0, 3))));
    }));
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
