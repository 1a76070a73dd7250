// Serial numbers and the word index, as other workstations see them in the
// shared tables.
#include <gtest/gtest.h>

#include "lib/data/locking.h"
#include "lib/data/serials.h"
#include "lib/data/txt_srch.h"
#include "lib/data/use.h"
#include "lib/settings/globals.h"
#include "support/installation.h"

namespace qz {
namespace {

void AddSerial(const std::string& root, const std::string& codigo, double numero, int justifica,
               int indent, const std::string& prefijo) {
  auto t = xb::Table::Open(root + "BASES/SERIALES.DBF");
  ASSERT_TRUE((*t)->Append().ok());
  (*t)->Put("NEGOCIO", xb::Value::Char("HOTEL"));
  (*t)->Put("CODIGO", xb::Value::Char(codigo));
  (*t)->Put("NUMERO", xb::Value::Number(numero));
  (*t)->Put("JUSTIFICA", xb::Value::Number(justifica));
  (*t)->Put("INDENT", xb::Value::Number(indent));
  (*t)->Put("PREFIJO", xb::Value::Char(prefijo));
  ASSERT_TRUE((*t)->Close().ok());
}

TEST(Serials, NextNumberIsPaddedPrefixedAndStored) {
  qztest::Installation inst;
  AddSerial(inst.root, "FC2", 7, 1, 0, "X");
  AddSerial(inst.root, "FC", 41, 0, 6, "FC-");
  inst.Start();
  EXPECT_EQ(GET_CURRENTSERIAL(nullptr, "HOTEL", "FC"), "FC-000042      ");
  EXPECT_EQ(GET_NXSERIAL(nullptr, "HOTEL", "FC"), "FC-000042      ");
  EXPECT_EQ(GET_NXSERIAL(nullptr, "HOTEL", "FC"), "FC-000043      ");
  EXPECT_EQ(GET_NXSERIAL(nullptr, "HOTEL", "FC2"), "X8             ");  // JUSTIFICA 1: no zeros
  EXPECT_EQ(GET_NXSERIAL(nullptr, "HOTEL", "NADA"), "NO_SERIAL!     ");
  EXPECT_EQ(GET_NXSERIAL(nullptr, "OTRO", "FC"), "NO_SERIAL!     ");
  EXPECT_EQ(LastSerialTaken(), "NO_SERIAL!     ");
  auto t = xb::Table::Open(inst.root + "BASES/SERIALES.DBF");
  ASSERT_TRUE((*t)->GoTo(2).ok());
  EXPECT_EQ((*t)->Get("NUMERO")->number(), 43);
  EXPECT_EQ((*t)->Get("CURRENT_N")->str(), "FC-000043      ");
  EXPECT_TRUE((*t)->LockRecord(2).ok());  // released after each number
}

class WordIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qztest::MakeTable(inst.root + "BASES/F_TXT_S",
                      {qztest::F("TABLA", 'C', 10), qztest::F("DOCUMENTO", 'C', 10)});
    auto reg = xb::Table::Open(inst.root + "BASES/F_TXT_S.DBF");
    (*reg)->Append();
    (*reg)->Put("TABLA", xb::Value::Char("ARTICULO"));
    (*reg)->Put("DOCUMENTO", xb::Value::Char("CODIGO"));
    (*reg)->Close();
    inst.Start();
    LoadWordIndexRegistry(nullptr);
    ASSERT_NE(G().XTXT_SRCH_OBJ, nullptr);
  }

  // Rows of TXT_SRCH in use: "DOCUMENT WORD".
  std::multiset<std::string> Words() {
    std::multiset<std::string> out;
    auto t = xb::Table::Open(inst.root + "BASES/TXT_SRCH.DBF");
    for ((*t)->GoTop(); !(*t)->Eof(); (*t)->Skip()) {
      if ((*t)->Get("NEGOCIO")->str() == std::string(15, 'X')) continue;
      out.insert(Trim((*t)->Get("DOCUMENTO")->str()) + " " + Trim((*t)->Get("T_ITEM")->str()));
    }
    return out;
  }
  uint32_t Rows() { return *(*xb::Table::Open(inst.root + "BASES/TXT_SRCH.DBF"))->RecCount(); }

  void AddRow(WDBTable& t, const std::string& codigo, const std::string& descrip) {
    ADD_NEW_REC(t);
    t.FieldPut("NEGOCIO", xb::Value::Char("HOTEL"));
    t.FieldPut("CODIGO", xb::Value::Char(codigo));
    t.FieldPut("DESCRIP", xb::Value::Char(descrip));
    UNLOCK_NEW_REC(t);
  }

  void SetDescrip(WDBTable& t, const std::string& d) {
    LOCK_FOR_MODIFY(t);
    t.FieldPut("DESCRIP", xb::Value::Char(d));
    UNLOCK_FOR_MODIFY(t);
  }

  qztest::Installation inst;
};

TEST_F(WordIndexTest, EditingMovesTheWordsAndReusesFreedRows) {
  TablePtr t = USE(nullptr, "ARTICULO");
  EXPECT_EQ(t->SEARCH_TXT, 1);
  ADD_NEW_REC(*t);
  t->FieldPut("NEGOCIO", xb::Value::Char("HOTEL"));
  t->FieldPut("CODIGO", xb::Value::Char("A1"));
  t->FieldPut("DESCRIP", xb::Value::Char("mesa de madera"));
  UNLOCK_NEW_REC(*t);
  // NEGOCIO is a text field of 15 characters, so its words count too.
  EXPECT_EQ(Words(), (std::multiset<std::string>{"A1 MESA", "A1 MADERA", "A1 HOTEL"}));
  const uint32_t rows = Rows();
  SetDescrip(*t, "MESA DE VIDRIO");
  EXPECT_EQ(Words(), (std::multiset<std::string>{"A1 MESA", "A1 VIDRIO", "A1 HOTEL"}));
  EXPECT_EQ(Rows(), rows);  // freed rows were reused, none appended
  DELETE_RECORD(*t);
  EXPECT_TRUE(Words().empty());
}

TEST_F(WordIndexTest, SearchNeedsEveryWordAsAPrefix) {
  TablePtr t = USE(nullptr, "ARTICULO");
  const char* rows[][2] = {
      {"A1", "MESA DE VIDRIO"}, {"A2", "MESAS DE PINO"}, {"A3", "SILLA DE PINO"}};
  for (auto& r : rows) {
    ADD_NEW_REC(*t);
    t->FieldPut("NEGOCIO", xb::Value::Char("HOTEL"));
    t->FieldPut("CODIGO", xb::Value::Char(r[0]));
    t->FieldPut("DESCRIP", xb::Value::Char(r[1]));
    UNLOCK_NEW_REC(*t);
  }
  TXT_SRCH& ix = *G().XTXT_SRCH_OBJ;
  ix.SET_NEGOCIO(nullptr, "HOTEL");
  auto docs = [](const std::vector<std::pair<std::string, std::string>>& hits) {
    std::vector<std::string> out;
    for (const auto& h : hits) out.push_back(Trim(h.second));
    return out;
  };
  EXPECT_EQ(docs(ix.SEARCH({"mes"}, {"ARTICULO"})), (std::vector<std::string>{"A1", "A2"}));
  EXPECT_EQ(docs(ix.SEARCH({"pin", "", "mesa"}, {"ARTICULO"})), (std::vector<std::string>{"A2"}));
  EXPECT_TRUE(ix.SEARCH({"vidrio"}, {"OTRA"}).empty());
  ix.SET_NEGOCIO(nullptr, "OTRO");
  EXPECT_TRUE(ix.SEARCH({"MESA"}, {"ARTICULO"}).empty());
}

TEST_F(WordIndexTest, AnEditThatFailsKeepsTheRecordsWords) {
  TablePtr t = USE(nullptr, "ARTICULO");
  AddRow(*t, "A1", "MESA DE MADERA");
  const auto words = Words();
  // The user's edit stops between the lock and the release (a fault, a
  // cancelled dialog): the record keeps its text, and the index its words.
  LOCK_FOR_MODIFY(*t);
  t->Unlock();
  EXPECT_EQ(Words(), words);
  // The next edit of the same record still moves the words.
  SetDescrip(*t, "MESA DE VIDRIO");
  EXPECT_EQ(Words(), (std::multiset<std::string>{"A1 MESA", "A1 VIDRIO", "A1 HOTEL"}));
}

TEST_F(WordIndexTest, AFreeRowAnotherUserHoldsIsPassedOver) {
  TablePtr t = USE(nullptr, "ARTICULO");
  AddRow(*t, "A1", "MESA DE MADERA");
  DELETE_RECORD(*t);  // its three rows are free now
  const uint32_t rows = Rows();
  // Another workstation is reusing every free row at this moment.
  auto other = xb::Table::Open(inst.root + "BASES/TXT_SRCH.DBF");
  for (uint32_t r = 1; r <= rows; ++r) ASSERT_TRUE((*other)->LockRecord(r).ok());
  AddRow(*t, "A2", "SILLA");  // does not wait for them: appends its own rows
  EXPECT_EQ(Words(), (std::multiset<std::string>{"A2 SILLA", "A2 HOTEL"}));
  EXPECT_EQ(Rows(), rows + 2);
}

TEST(WordIndexWords, ShortWordsAndExtraBlanksAreSkipped) {
  EXPECT_EQ(IndexWords(xb::FromUtf8("  mesa  de caoba áspera ")),
            (std::vector<std::string>{"MESA", "CAOBA", xb::FromUtf8("ÁSPERA")}));
}

}  // namespace
}  // namespace qz
