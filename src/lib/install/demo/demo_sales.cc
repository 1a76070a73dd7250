// The first hotel's restaurant box (sales module, box V1): open since 11:00
// with cashier 0001, the sales parameters that post its sales at closing
// (accounts and inventory), the articles with their lines, sub-lines,
// areas and recipes, the tax and payment kinds, a client, and today's
// documents with their lines and payments, so that closing the box posts
// journal entries and inventory consumption.
#include "lib/install/demo/demo_context.h"

namespace qz::demo {

xb::Status AddSales(Context& c) {
  if (c.businesses.empty()) return xb::Status::OK();
  const std::string n = c.businesses.front().code;
  const Day today = c.today();

  XB_RETURN_IF_ERROR(c.Add("DET_VCAJ", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CAJA", "V1").Set("FECHA_INI", today).Set("HORA_INI", "11:00:00");
    r.Set("MONTO_INI", 0).Set("AGENTE", "0001");
  }));
  XB_RETURN_IF_ERROR(c.Add("F_VENTAS", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("AUT_CAJA", 0).Set("NO_PCIERRE", 0).Set("NO_LINEA", 1);
    r.Set("T_CAMBIO", 1).Set("CONTA", 1).Set("GENERA_INV", 1).Set("MOV_X_DIA", 0);
    r.Set("CTA_CXC", "1-1-03-001").Set("CTA_DESC", "4-1-09-001").Set("SERIAL_INV", "INV_VENTAS");
  }));
  XB_RETURN_IF_ERROR(c.Add("SERIALES", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CODIGO", "INV_VENTAS").Set("DESCRIP", "Consumos por ventas");
    r.Set("NUMERO", 1200).Set("NUMERO2", 999999).Set("JUSTIFICA", 0).Set("INDENT", 6);
    r.Set("PREFIJO", "CV");
  }));

  struct Code {
    const char* table;
    const char* code;
    const char* descrip;
    const char* cuenta;
  };
  for (const Code& k : {Code{"LINEAS", "ALIM", "ALIMENTOS", "4-1-01-001"},
                        Code{"LINEAS", "BEBI", "BEBIDAS", "4-1-02-001"},
                        Code{"TIPO_IMP", "IV", "IMPUESTO DE VENTAS 13%", "2-1-05-001"},
                        Code{"TIPO_IMP", "IS", "IMPUESTO DE SERVICIO 10%", "2-1-05-002"},
                        Code{"TIPO_MOV", "EF", "EFECTIVO", "1-1-01-002"},
                        Code{"TIPO_MOV", "TC", "TARJETA DE CREDITO", "1-1-02-005"},
                        Code{"TIPO_MOV", "CH", "CARGO A HABITACION", "1-1-03-010"}})
    XB_RETURN_IF_ERROR(c.Add(k.table, [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", k.code).Set("DESCRIP", k.descrip).Set("CUENTA", k.cuenta);
    }));
  struct SubLine {
    const char* linea;
    const char* code;
    const char* descrip;
    const char* cuenta;
    const char* bodega;
  };
  for (const SubLine& s : {SubLine{"ALIM", "PLAT", "PLATOS FUERTES", "", "COCI"},
                           SubLine{"ALIM", "POST", "POSTRES", "4-1-01-002", "COCI"},
                           SubLine{"BEBI", "CALI", "BEBIDAS CALIENTES", "", "BAR"},
                           SubLine{"BEBI", "ALCO", "BEBIDAS ALCOHOLICAS", "4-1-02-002", "BAR"}})
    XB_RETURN_IF_ERROR(c.Add("SUBLINEA", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("LINEA", s.linea).Set("CODIGO", s.code).Set("DESCRIP", s.descrip);
      r.Set("CUENTA", s.cuenta).Set("BODEGA", s.bodega);
    }));
  for (const auto& [code, descrip, bodega] :
       std::vector<std::tuple<const char*, const char*, const char*>>{
           {"TERR", "TERRAZA", "TERR"}, {"SALO", "SALON PRINCIPAL", ""}})
    XB_RETURN_IF_ERROR(c.Add("AREAS", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", code).Set("DESCRIP", descrip).Set("BODEGA", bodega);
    }));

  struct Article {
    const char* code;
    const char* descrip;
    const char* linea;
    const char* sublinea;
    int receta;
  };
  for (const Article& a : {Article{"CASADO", "CASADO DE POLLO", "ALIM", "PLAT", 1},
                           Article{"LOMITO", "LOMITO EN SALSA", "ALIM", "PLAT", 1},
                           Article{"FLAN", "FLAN DE COCO", "ALIM", "POST", 0},
                           Article{"CAFE", "CAFE CON LECHE", "BEBI", "CALI", 1},
                           Article{"CERVEZA", "CERVEZA NACIONAL", "BEBI", "ALCO", 0},
                           Article{"POLLO", "POLLO (KG)", "ALIM", "PLAT", 0},
                           Article{"ARROZ", "ARROZ (KG)", "ALIM", "PLAT", 0},
                           Article{"RES", "LOMO DE RES (KG)", "ALIM", "PLAT", 0},
                           Article{"GRANO", "CAFE EN GRANO (KG)", "BEBI", "CALI", 0},
                           Article{"LECHE", "LECHE (L)", "BEBI", "CALI", 0}})
    XB_RETURN_IF_ERROR(c.Add("ARTICULO", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", a.code).Set("DESCRIP", a.descrip).Set("LINEA", a.linea);
      r.Set("SUBLINEA", a.sublinea).Set("RECETA", a.receta);
    }));
  struct Component {
    const char* article;
    const char* component;
    double quantity;
  };
  for (const Component& k : {Component{"CASADO", "POLLO", 0.25}, Component{"CASADO", "ARROZ", 0.15},
                             Component{"LOMITO", "RES", 0.3}, Component{"LOMITO", "ARROZ", 0.1},
                             Component{"CAFE", "GRANO", 0.02}, Component{"CAFE", "LECHE", 0.1}})
    XB_RETURN_IF_ERROR(c.Add("RECETAS", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("ARTICULO", k.article).Set("COMPONENTE", k.component);
      r.Set("CANTIDAD", k.quantity);
    }));
  XB_RETURN_IF_ERROR(c.Add("CLIENTES", [&](Row& r) {
    r.Set("NEGOCIO", n).Set("CODIGO", "C0001").Set("NOMBRE", "EVENTOS DEL VALLE S.A.");
    r.Set("CUENTA", "1-1-03-002");
  }));

  // Today's sales of the box: lines (article, quantity, price, tax) and
  // payments (kind, currency, amount); one sold on credit.
  struct Sale {
    const char* articulo;
    double cantidad, precio;
  };
  struct Pay {
    const char* tipo;
    const char* moneda;
    double monto;
  };
  struct Doc {
    const char* code;
    const char* hora;
    const char* moneda;
    const char* cliente;
    const char* area;
    std::vector<Sale> lines;
    std::vector<Pay> pays;
  };
  const std::vector<Doc> docs = {
      {"V1-000101", "12:10:00", "CR", "", "SALO", {{"CASADO", 2, 4500}, {"CAFE", 2, 1500}},
       {{"EF", "CR", 13560}}},
      {"V1-000102", "12:40:00", "US", "", "TERR", {{"LOMITO", 1, 18}, {"CERVEZA", 2, 4}},
       {{"TC", "US", 29.38}}},
      {"V1-000103", "13:15:00", "CR", "C0001", "SALO",
       {{"CASADO", 10, 4500}, {"FLAN", 10, 2000}, {"CAFE", 10, 1500}}, {}},
      {"V1-000104", "14:05:00", "CR", "", "TERR", {{"CERVEZA", 3, 2000}, {"FLAN", 1, 2000}},
       {{"EF", "CR", 5000}, {"TC", "CR", 4040}}},
  };
  int move = 0;
  for (const Doc& d : docs) {
    double gross = 0, tax = 0;
    for (const Sale& l : d.lines) {
      const double amount = l.cantidad * l.precio;
      gross += amount;
      tax += amount * 0.13;
      XB_RETURN_IF_ERROR(c.Add("DET_DOC", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", d.code).Set("FECHA", today).Set("MONEDA", d.moneda);
        r.Set("ARTICULO", l.articulo).Set("CANTIDAD", l.cantidad).Set("PRECIO", l.precio);
        r.Set("MONTO", amount).Set("DESCUENTO", 0).Set("TIPO_IMP", "IV");
        r.Set("IMPUESTO", amount * 0.13);
      }));
    }
    XB_RETURN_IF_ERROR(c.Add("DOCUMENT", [&](Row& r) {
      r.Set("NEGOCIO", n).Set("CODIGO", d.code).Set("FECHA", today).Set("HORA", d.hora);
      r.Set("MONEDA", d.moneda).Set("CAJA", "V1").Set("CLIENTE", d.cliente).Set("AREA", d.area);
      r.Set("DESCUENTO", 0).Set("IMPUESTO", tax).Set("TOTAL", gross + tax).Set("NO_PROCESA", 1);
    }));
    for (const Pay& p : d.pays)
      XB_RETURN_IF_ERROR(c.Add("ENC_MOVE", [&](Row& r) {
        r.Set("NEGOCIO", n).Set("CODIGO", "MV" + std::to_string(5000 + ++move));
        r.Set("FECHA", today).Set("HORA", d.hora).Set("MONEDA", p.moneda).Set("MONTO", p.monto);
        r.Set("DOCUMENTO", d.code).Set("TIPO_MOV", p.tipo).Set("CAJA", "V1").Set("NO_PROCESA", 1);
      }));
  }
  return xb::Status::OK();
}

}  // namespace qz::demo
