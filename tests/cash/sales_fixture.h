// A restaurant's sales box on the hotel's installation: colones for the
// accounts, dollars at 500 (rate 1) or 510 (rate 2, the one the sales
// use), articles with lines, sub-lines, areas and a recipe, tax and payment
// kinds with their accounts, and three documents of box V1 waiting for the
// batch posting (two of one day, one of the next) besides one of box V2
// and one already posted.
#pragma once

#include <string>

#include "cash/cash_window.h"
#include "hotel_fixture.h"
#include "table_rows_text.h"

namespace qztest {

class SalesTest : public HotelCashTest {
 protected:
  void SetUp() override {
    HotelCashTest::SetUp();
    const xb::Value biz = C(Biz(kBiz));
    for (const char* t : {"DOCUMENT", "DET_DOC", "ENC_MOVE", "TIPO_MOV", "TIPO_IMP", "CLIENTES",
                          "ARTICULO", "LINEAS", "SUBLINEA", "AREAS", "RECETAS", "ENC_INV",
                          "DET_INV", "ENC_ASIE", "DET_ASIE"})
      Create(t);
    Create("NEGOCIOS", {{{"CODIGO", biz}, {"MONEDA_CON", C("01")}}});
    Set("T_CAMBIO", 1, "CAMBIO2", N(510));
    AddRows(bases, "F_VENTAS",
            {{{"NEGOCIO", biz}, {"NO_LINEA", N(1)}, {"T_CAMBIO", N(2)}, {"CONTA", N(1)},
              {"GENERA_INV", N(1)}, {"MOV_X_DIA", N(0)}, {"CTA_CXC", C("1201")},
              {"CTA_DESC", C("4190")}, {"SERIAL_INV", C("INV_VENTAS")}}});
    AddRows(bases, "SERIALES",
            {{{"NEGOCIO", biz}, {"CODIGO", C("INV_VENTAS")}, {"NUMERO", N(700)}}});
    AddRows(bases, "LINEAS", {{{"NEGOCIO", biz}, {"CODIGO", C("ALIM")}, {"CUENTA", C("4100")}},
                              {{"NEGOCIO", biz}, {"CODIGO", C("BEBI")}, {"CUENTA", C("4200")}}});
    AddRows(bases, "SUBLINEA",
            {{{"NEGOCIO", biz}, {"LINEA", C("ALIM")}, {"CODIGO", C("PLAT")}, {"BODEGA", C("COCI")}},
             {{"NEGOCIO", biz}, {"LINEA", C("BEBI")}, {"CODIGO", C("CALI")},
              {"CUENTA", C("4210")}, {"BODEGA", C("BAR")}}});
    AddRows(bases, "AREAS", {{{"NEGOCIO", biz}, {"CODIGO", C("TERR")}, {"BODEGA", C("TERR")}},
                             {{"NEGOCIO", biz}, {"CODIGO", C("SALO")}}});
    AddRows(bases, "ARTICULO",
            {Article("CAFE", "CAFE CON LECHE", "BEBI", "CALI", 1),
             Article("CENA", "CENA EJECUTIVA", "ALIM", "PLAT"),
             Article("GRANO", "CAFE EN GRANO", "BEBI", "CALI"),
             Article("LECHE", "LECHE", "BEBI", "CALI")});
    AddRows(bases, "RECETAS",
            {{{"NEGOCIO", biz}, {"ARTICULO", C("CAFE")}, {"COMPONENTE", C("GRANO")},
              {"CANTIDAD", N(0.02)}},
             {{"NEGOCIO", biz}, {"ARTICULO", C("CAFE")}, {"COMPONENTE", C("LECHE")},
              {"CANTIDAD", N(0.1)}}});
    AddRows(bases, "TIPO_IMP", {{{"NEGOCIO", biz}, {"CODIGO", C("IV")},
                                 {"DESCRIP", C("IMPUESTO DE VENTAS")}, {"CUENTA", C("2130")}}});
    AddRows(bases, "TIPO_MOV",
            {{{"NEGOCIO", biz}, {"CODIGO", C("EF")}, {"DESCRIP", C("EFECTIVO")},
              {"CUENTA", C("1101")}},
             {{"NEGOCIO", biz}, {"CODIGO", C("TC")}, {"DESCRIP", C("TARJETA")},
              {"CUENTA", C("1105")}}});
    AddRows(bases, "CLIENTES", {{{"NEGOCIO", biz}, {"CODIGO", C("C100")},
                                 {"NOMBRE", C("EMPRESA ABC")}, {"CUENTA", C("1210")}}});
    Box("VCAJAS", "V1", "CAJA RESTAURANTE", "REST", "A");
    Box("VCAJAS", "V2", "CAJA BAR", "BAR");
    AddRows(bases, "DET_VCAJ", {{{"NEGOCIO", biz}, {"CAJA", C("V1")}, {"FECHA_INI", D(2026, 12, 8)},
                                 {"HORA_INI", C("11:00:00")}, {"AGENTE", C("0001")}}});

    Document("F001", 8, "12:00:00", "01", "", "SALO", 1, "V1");
    Line("F001", "CAFE", 2, 1000, 100, 260);
    Pay("F001", "EF", "01", 2160);
    Pay("F001", "EF", "01", 999, 0);  // posted by an earlier run
    Document("F002", 8, "13:00:00", "02", "C100", "TERR", 1, "V1");
    Line("F002", "CENA", 1, 40, 0, 5.2);
    Pay("F002", "TC", "02", 30);
    Document("F003", 9, "10:00:00", "01", "", "", 1, "V1");
    Line("F003", "CENA", 1, 8000, 0, 0);
    Document("F004", 8, "12:30:00", "01", "", "", 1, "V2");
    Line("F004", "CENA", 1, 8000, 0, 0);
    Document("F005", 7, "20:00:00", "01", "", "", 0, "V1");
    Line("F005", "CENA", 1, 8000, 0, 0);
    clock.SetNow({2026, 12, 9, 22, 0, 0, 0});
  }

  static Row Article(const std::string& code, const std::string& descrip,
                     const std::string& linea, const std::string& sublinea, int receta = 0) {
    return {{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C(code)},         {"DESCRIP", C(descrip)},
            {"LINEA", C(linea)},       {"SUBLINEA", C(sublinea)},   {"RECETA", N(receta)}};
  }
  void Document(const std::string& code, int day, const std::string& hora,
                const std::string& moneda, const std::string& cliente, const std::string& area,
                int pending, const std::string& box) {
    AddRows(bases, "DOCUMENT",
            {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C(code)}, {"FECHA", D(2026, 12, day)},
              {"HORA", C(hora)}, {"MONEDA", C(moneda)}, {"CAJA", C(box)},
              {"CLIENTE", C(cliente)}, {"AREA", C(area)}, {"NO_PROCESA", N(pending)}}});
  }
  void Line(const std::string& doc, const std::string& articulo, double cantidad, double precio,
            double descuento, double impuesto) {
    AddRows(bases, "DET_DOC",
            {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C(doc)}, {"ARTICULO", C(articulo)},
              {"CANTIDAD", N(cantidad)}, {"PRECIO", N(precio)}, {"MONTO", N(cantidad * precio)},
              {"DESCUENTO", N(descuento)}, {"TIPO_IMP", C(impuesto ? "IV" : "")},
              {"IMPUESTO", N(impuesto)}}});
  }
  void Pay(const std::string& doc, const std::string& tipo, const std::string& moneda,
           double monto, int pending = 1) {
    AddRows(bases, "ENC_MOVE",
            {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C("M" + std::to_string(++moves_))},
              {"DOCUMENTO", C(doc)}, {"TIPO_MOV", C(tipo)}, {"MONEDA", C(moneda)},
              {"MONTO", N(monto)}, {"CAJA", C("V1")}, {"NO_PROCESA", N(pending)}}});
  }

  std::vector<TextRow> Rows(const std::string& table) { return TextRows(file(table) + ".DBF"); }
  // NO_PROCESA of the documents F001..F005.
  std::string Pending() {
    std::string out;
    for (auto& r : Rows("DOCUMENT")) out += r["NO_PROCESA"].substr(0, 1);
    return out;
  }

  // Holds box V1 here and presses "close" in its window; the confirmation
  // is answered OK.
  qz::CashBoxWindow* CloseFromWindow(bool post = true) {
    qz::ProcessCashBoxes().Hold(sales, "V1", "CAJA RESTAURANTE", "0001", "ANA MORA", true);
    qz::CashBoxWindow* w = qz::OpenCashBoxWindow(desktop, qz::kSalesToolbar, 1, kBiz);
    EXPECT_NE(w, nullptr);
    if (!w) return nullptr;
    EXPECT_TRUE(w->SelectBox("V1"));
    if (!post) w->SetCheck(qz::CashBoxWindow::kPostSales, 0);
    ui.Press(w, qz::CashBoxWindow::kClose);
    return w;
  }

  int moves_ = 0;
  const qz::BoxKind& sales = *qz::BoxKindFor(qz::kSalesToolbar);
};

}  // namespace qztest
