// A caller's table comes back from a payroll helper with its order, scope and
// record as they were.
#include "lib/payroll/table_position.h"

#include <gtest/gtest.h>

#include "lib/payroll/catalog_tables.h"
#include "lib/payroll/rates.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"

namespace qz {
namespace {

using qztest::C;
using qztest::D;
using qztest::N;

class TablePositionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_.SetNow({2024, 6, 20, 9, 0, 0, 0});
    t_ = qztest::CreateCatalogTable(dir_.path(), "T_CAMBIO");
    ASSERT_NE(t_, nullptr);
    // Business B first in record order, A's two rows after it.
    for (auto [neg, m2, r] :
         {std::tuple{"B", "CR", 600.0}, std::tuple{"A", "CR", 500.0}, std::tuple{"A", "EU", 0.9}})
      qztest::AddRow(*t_, {{"NEGOCIO", C(neg)},
                           {"MONEDA1", C("US")},
                           {"MONEDA2", C(m2)},
                           {"FECHA", D(2024, 6, 1)},
                           {"LIMITE", D(2090, 1, 1)},
                           {"CAMBIO", N(r)}});
  }
  // The caller browses business A's rates on T_CAMBIO, standing on its second.
  void BrowseA() {
    ASSERT_TRUE(t_->SetOrder("T_CAMBIO").ok());
    ASSERT_TRUE(t_->SetScope(C(PadRight("A", 15)), C(PadRight("A", 15))).ok());
    ASSERT_TRUE(t_->GoTop().ok());
    ASSERT_TRUE(t_->Skip().ok());
    ASSERT_EQ(t_->RecNo(), 3u);
  }
  void ExpectBrowsingA() {
    EXPECT_EQ(t_->Order(), "T_CAMBIO");
    EXPECT_EQ(t_->RecNo(), 3u);
    EXPECT_FALSE(t_->Eof());
    EXPECT_EQ(*t_->KeyCount(), 2u);
    ASSERT_TRUE(t_->GoTop().ok());
    EXPECT_EQ(t_->RecNo(), 2u);  // B stays outside
  }

  qztest::FakeClock clock_;
  qztest::TempDir dir_;
  std::unique_ptr<xb::Table> t_;
};

TEST_F(TablePositionTest, OrderScopeAndRecordComeBackWhateverTheHelperDid) {
  BrowseA();
  {
    TablePosition keep(t_.get());
    ASSERT_TRUE(SeekOn(*t_, "T_CAMB4", PadRight("B", 15)).ok());
    ASSERT_TRUE(t_->Found());
    ASSERT_TRUE(t_->Skip(5).ok());  // past the end
  }
  ExpectBrowsingA();
  // A real lookup of another business on the same table.
  BrowseA();
  EXPECT_DOUBLE_EQ(CAMBIO_ACT("B", *t_, "CR", "US"), 600);
  ExpectBrowsingA();
}

TEST_F(TablePositionTest, EndOfFileAndRecordOrderComeBackToo) {
  ASSERT_TRUE(t_->SetOrder("").ok());
  ASSERT_TRUE(t_->GoBottom().ok());
  ASSERT_TRUE(t_->Skip().ok());
  ASSERT_TRUE(t_->Eof());
  {
    TablePosition keep(t_.get());
    ASSERT_TRUE(SeekOn(*t_, "T_CAMBIO", PadRight("A", 15)).ok());
    ASSERT_FALSE(t_->Eof());
    EXPECT_TRUE(keep.Restore().ok());
  }
  EXPECT_EQ(t_->Order(), "");
  EXPECT_TRUE(t_->Eof());
  EXPECT_EQ(*t_->KeyCount(), 3u);
}

}  // namespace
}  // namespace qz
