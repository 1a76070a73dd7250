// QUARTZEL.INI: private-profile reads and writes that keep the rest of the file.
#include "lib/ini/private_profile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/temp_dir.h"

namespace qz {
namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(PrivateProfile, ReadsAreCaseInsensitiveTrimmedAndDefaulted) {
  qztest::TempDir dir;
  const std::string ini = dir.file("QUARTZEL.INI");
  EXPECT_EQ(GetPrivateProfileString("LAST_NEG", "LAST_NEG", "dflt", ini), "dflt");  // no file
  std::ofstream(ini) << "; comment\r\n[last_neg]\r\n  Last_Neg =  HOTEL CENTRAL  \r\n"
                        "[PREDET_P]\r\nRPT1=\"HP 1\"\r\nN = 12\r\n";
  EXPECT_EQ(GetPrivateProfileString("LAST_NEG", "LAST_NEG", "", ini), "HOTEL CENTRAL");
  EXPECT_EQ(GetPrivateProfileString("predet_p", "rpt1", "", ini), "HP 1");
  EXPECT_EQ(GetPrivateProfileInt("PREDET_P", "N", 0, ini), 12);
  EXPECT_EQ(GetPrivateProfileString("PREDET_P", "LAST_NEG", "none", ini), "none");
  EXPECT_EQ(GetPrivateProfileString("NOSECTION", "N", "none", ini), "none");
}

TEST(PrivateProfile, WritesKeepEveryUnrelatedLine) {
  qztest::TempDir dir;
  const std::string ini = dir.file("QUARTZEL.INI");
  const std::string original =
      "; installed 2019\r\n[ETAP_PLA]\r\nHOTEL01=3\r\n\r\n[PREDET_P]\r\nRPT1=HP\r\n";
  std::ofstream(ini, std::ios::binary) << original;
  ASSERT_TRUE(WritePrivateProfileString("etap_pla", "HOTEL01", "4", ini).ok());
  ASSERT_TRUE(WritePrivateProfileString("ETAP_PLA", "HOTEL02", " 7 ", ini).ok());
  ASSERT_TRUE(WritePrivateProfileString("LAST_NEG", "LAST_NEG", "CASINO", ini).ok());
  EXPECT_EQ(Slurp(ini),
            "; installed 2019\r\n[ETAP_PLA]\r\nHOTEL01=4\r\nHOTEL02=7\r\n\r\n[PREDET_P]\r\n"
            "RPT1=HP\r\n\r\n[LAST_NEG]\r\nLAST_NEG=CASINO\r\n");
  EXPECT_EQ(GetPrivateProfileString("LAST_NEG", "LAST_NEG", "", ini), "CASINO");
  ASSERT_TRUE(DeletePrivateProfileKey("ETAP_PLA", "HOTEL01", ini).ok());
  EXPECT_EQ(GetPrivateProfileString("ETAP_PLA", "HOTEL01", "gone", ini), "gone");
  EXPECT_EQ(GetPrivateProfileString("ETAP_PLA", "HOTEL02", "", ini), "7");
}

TEST(PrivateProfile, WritingCreatesTheFileAndFailsCleanlyWhereItCannot) {
  qztest::TempDir dir;
  const std::string ini = dir.file("NEW.INI");
  ASSERT_TRUE(WritePrivateProfileString("LAST_NEG", "LAST_NEG", "HOTEL", ini).ok());
  EXPECT_EQ(Slurp(ini), "[LAST_NEG]\r\nLAST_NEG=HOTEL\r\n");
  EXPECT_FALSE(WritePrivateProfileString("A", "B", "C", dir.file("NODIR/X.INI")).ok());
}

}  // namespace
}  // namespace qz
