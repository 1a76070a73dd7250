// The journal run's department tree as the payroll parameters shape it:
// order by code or by description, inactive departments left out, the code
// tag's width and picture, and a second workstation changing the
// parameters or the departments while the window is open.
#include <gtest/gtest.h>

#include "accounting/sap/crea_sap.h"
#include "lib/ui/catalog.h"
#include "lib/ui/tree.h"
#include "support/sap_payroll.h"

namespace qztest {
namespace {

class SapTree : public SapPayrollSession {
 protected:
  void SetUp() override {
    SapPayrollSession::SetUp();
    // Codes and descriptions sort differently; "d4" is stored in lower case.
    Create("ENC_DEPT",
           {Dept("D1", "COCINA", 0), Dept("D2", "EVENTOS", 0), Dept("D3", "ADMINISTRACION", 0),
            Dept("D9", "BODEGA CERRADA", 1), Dept("d4", "RECEPCION", 0)});
  }
  static Row Dept(const char* code, const char* descrip, int inactivo) {
    return {{"NEGOCIO", C(kSapBiz)},
            {"CODIGO", C(code)},
            {"DESCRIP", C(descrip)},
            {"TIPO", C("M")},
            {"INACTIVO", N(inactivo)}};
  }
  void Parameters(int orden, int desc, const char* pict) {
    Create("F_PLAN", {{{"NEGOCIO", C(kSapBiz)},
                       {"ORDEN_TREE", N(orden)},
                       {"DESC_TREE", N(desc)},
                       {"PICT_TREE", C(pict)}}});
  }
  qz::CREA_SAP* Open() {
    auto* s = qz::OpenScreen<qz::CREA_SAP>(desktop, "CREA_SAP", "HOTEL CENTRAL");
    EXPECT_NE(s, nullptr);
    return s;
  }
  // "DESCRIP|tag" of each leaf, in the order shown.
  static std::vector<std::string> Leaves(qz::CREA_SAP* s) {
    std::vector<std::string> out;
    if (!s || s->tree()->root()->children.empty()) return out;
    const qz::TreeNode* top = s->tree()->root()->children[0].get();
    EXPECT_EQ(top->text, "Departamentos");
    for (const auto& n : top->children) out.push_back(n->text + "|" + n->right_text);
    return out;
  }
};

TEST_F(SapTree, ListsActiveDepartmentsInTheOrderOfTheParameters) {
  Parameters(0, 0, "");
  auto* s = Open();
  ASSERT_NE(s, nullptr);
  // By code (byte order: upper case before lower case), BODEGA left out; a
  // blank width and picture mean 13 and 15 × "X".
  EXPECT_EQ(Leaves(s), (std::vector<std::string>{"COCINA|D1", "EVENTOS|D2", "ADMINISTRACION|D3",
                                                 "RECEPCION|d4"}));
  EXPECT_EQ(s->tree()->tag_margin(), 13);
  s->Terminar();

  Parameters(1, 0, "");
  s = Open();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(Leaves(s), (std::vector<std::string>{"ADMINISTRACION|D3", "COCINA|D1", "EVENTOS|D2",
                                                 "RECEPCION|d4"}));
  // "Marcar Todos" marks the four leaves (not the branch), "Quitar Todos"
  // none.
  ASSERT_TRUE(ui.Press(s, qz::ProcessScreen::kMarcarTodos));
  EXPECT_EQ(s->tree()->MarkedLeaves().size(), 4u);
  EXPECT_FALSE(s->tree()->root()->children[0]->marked);
  ASSERT_TRUE(ui.Press(s, qz::ProcessScreen::kQuitarTodos));
  EXPECT_TRUE(s->tree()->MarkedLeaves().empty());
}

TEST_F(SapTree, CodeTagFollowsTheWidthAndPictureOfTheParameters) {
  Parameters(0, 4, "@!");
  auto* s = Open();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->tree()->tag_margin(), 4);
  EXPECT_EQ(Leaves(s).back(), "RECEPCION|D4");  // upper case shown, lower case kept
  EXPECT_NE(s->tree()->Find(Biz("d4")), nullptr);
  s->Terminar();

  // A picture narrower than a code shows its first characters.
  Create("ENC_DEPT", {Dept("COC-0001", "COCINA", 0)});
  Parameters(0, 0, "XXX");
  s = Open();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(Leaves(s), std::vector<std::string>{"COCINA|COC"});
  EXPECT_EQ(s->tree()->tag_margin(), 13);
}

TEST_F(SapTree, ARefreshFollowsWhatAnotherWorkstationChanged) {
  Parameters(0, 0, "");
  auto* s = Open();
  ASSERT_NE(s, nullptr);
  s->tree()->SetMarked(s->tree()->Find(Biz("D2")), true);
  {
    // The other workstation orders by description and closes EVENTOS.
    auto f = xb::Table::Open(file("F_PLAN.DBF"));
    ASSERT_TRUE(f.ok());
    ASSERT_TRUE((*f)->GoTop().ok());
    ASSERT_TRUE((*f)->LockRecord(1).ok());
    ASSERT_TRUE((*f)->Put("ORDEN_TREE", N(1)).ok());
    ASSERT_TRUE((*f)->Flush().ok());
    (*f)->UnlockAll();
    auto d = xb::Table::Open(file("ENC_DEPT.DBF"));
    ASSERT_TRUE(d.ok());
    ASSERT_TRUE((*d)->GoTo(2).ok());
    ASSERT_TRUE((*d)->LockRecord(2).ok());
    ASSERT_TRUE((*d)->Put("INACTIVO", N(1)).ok());
    ASSERT_TRUE((*d)->Flush().ok());
    (*d)->UnlockAll();
  }
  ASSERT_TRUE(s->tree()->ChooseContext(s->tree()->root(), qz::kTreeRefresh));
  EXPECT_EQ(Leaves(s),
            (std::vector<std::string>{"ADMINISTRACION|D3", "COCINA|D1", "RECEPCION|d4"}));
  // The closed department's mark went with it: the run cannot pick it up.
  EXPECT_TRUE(s->tree()->MarkedLeaves().empty());
  s->SetDate(qz::CREA_SAP::kFecha, kSapCut);
  EXPECT_FALSE(s->Procesar());
  EXPECT_EQ(ui.TakeBoxTexts(), std::vector<std::string>{qz::ProcessScreen::kNoDepartment});
}

}  // namespace
}  // namespace qztest
