// Cash-box screens on a scratch installation: the hotel's box tables, its
// cashiers and a toolbar stand-in that records the cash button's icon.
#pragma once

#include <memory>
#include <string>

#include "cash/box_state.h"
#include "lib/ui/cash_button.h"
#include "support/ui_session.h"

namespace qztest {

// The toolbar as the cash layer sees it: the icon shown and the business.
class FakeCashButton : public qz::CashButton {
 public:
  explicit FakeCashButton(std::string business) : business(std::move(business)) {}
  void CHANGE_CAJA(int open) override { icon = open; }
  void CHANGE_CAJA2(int open) override { icon2 = open; }
  std::string ActiveBusiness() override { return business; }
  std::string business;
  int icon = 0, icon2 = 0;
};

class CashTest : public UiSession {
 protected:
  static constexpr const char* kBiz = "HOTEL CENTRAL";

  void SetUp() override {
    qz::ResetCashBoxes();
    qz::SetCashButton(&toolbar);
    for (const char* t : {"ENC_HCAJ", "DET_HCAJ", "ENC_RCAJ", "DET_RCAJ", "ENC_TCAJ", "DET_TCAJ",
                          "CAJA_TS", "DET_C_TS", "VCAJAS", "DET_VCAJ", "DIGITA", "F_HOTEL3",
                          "F_RESER", "F_SHARE", "F_VENTAS"})
      Create(t);
  }
  void TearDown() override {
    qz::SetCashButton(nullptr);
    qz::ResetCashBoxes();
    UiSession::TearDown();
  }

  void Box(const std::string& header, const std::string& code, const std::string& descrip,
           const std::string& password, const std::string& estado = "C", int tip_cierre = 0,
           int arqueo = 1) {
    Row r{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C(code)},          {"DESCRIP", C(descrip)},
          {"ESTADO", C(estado)},     {"PASSWORD", C(password)}};
    if (header == "ENC_HCAJ") {
      r["TIP_CIERRE"] = N(tip_cierre);
      r["ARQUEO_AD"] = N(arqueo);
    }
    AddRows(bases, header, {r});
  }
  void Cashier(const std::string& code, const std::string& name, const std::string& clave,
               int cierre = 1) {
    AddRows(bases, "DIGITA", {{{"NEGOCIO", C(Biz(kBiz))}, {"CODIGO", C(code)},
                               {"NOMBRE", C(name)}, {"CLAVE", C(clave)}, {"CIERRE", N(cierre)}}});
  }

  // A second handle on a table, as another workstation holds it.
  std::unique_ptr<xb::Table> Other(const std::string& table) {
    auto t = xb::Table::Open(file(table + ".DBF"));
    EXPECT_TRUE(t.ok()) << t.status().ToString();
    return t.ok() ? std::move(*t) : nullptr;
  }
  std::string Field(const std::string& table, uint32_t recno, const std::string& field) {
    auto t = Other(table);
    EXPECT_TRUE(t->GoTo(recno).ok());
    auto v = t->Get(field);
    return v.ok() ? (v->is_char() ? v->str() : std::to_string(v->number())) : "";
  }
  int32_t DateField(const std::string& table, uint32_t recno, const std::string& field) {
    auto t = Other(table);
    EXPECT_TRUE(t->GoTo(recno).ok());
    auto v = t->Get(field);
    return v.ok() ? v->date() : -1;
  }
  uint32_t Count(const std::string& table) { return *Other(table)->RecCount(); }
  // Records not deleted (a rolled-back append leaves a deleted blank one).
  uint32_t Live(const std::string& table) {
    auto t = Other(table);
    uint32_t n = 0;
    for (uint32_t r = 1; r <= *t->RecCount(); ++r)
      if (t->GoTo(r).ok() && !t->Deleted()) ++n;
    return n;
  }
  double Number(const std::string& table, uint32_t recno, const std::string& field) {
    auto t = Other(table);
    EXPECT_TRUE(t->GoTo(recno).ok());
    auto v = t->Get(field);
    return v.ok() ? v->number() : -1;
  }
  void Set(const std::string& table, uint32_t recno, const std::string& field, const xb::Value& v) {
    auto t = Other(table);
    ASSERT_TRUE(t->GoTo(recno).ok());
    ASSERT_TRUE(t->LockRecord(recno).ok());
    ASSERT_TRUE(t->Put(field, v).ok());
    ASSERT_TRUE(t->Flush().ok());
    t->UnlockAll();
  }

  FakeCashButton toolbar{Biz(kBiz)};
  const qz::BoxKind& hotel = *qz::BoxKindFor(qz::kHotelToolbar);
};

}  // namespace qztest
