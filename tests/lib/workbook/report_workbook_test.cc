// Reports and grids sent to a workbook, read back with openpyxl (an
// independent reader): title block, timestamp line, typed cells, number
// formats, widths, names, numbered variants and unwritable places.
#include "lib/workbook/report_workbook.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "lib/install/bitmaps.h"
#include "lib/settings/workstation.h"
#include "lib/workbook/grid_workbook.h"
#include "lib/workbook/workbook_names.h"
#include "support/ui_session.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using qz::PrintAlign;

// What openpyxl sees in the workbook at `path`.
json ReadBack(const std::string& path) {
  std::string out = path + ".json";
  // The system interpreter: python3-openpyxl is installed for it.
  std::string python = fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
  std::string cmd = python + " " + std::string(QZ_SOURCE_DIR) +
                    "/tests/lib/workbook/read_workbook.py '" + path + "' > '" + out + "'";
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  std::ifstream in(out);
  json j = json::parse(in, nullptr, /*allow_exceptions=*/false);
  fs::remove(out);
  return j;
}

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class WorkbookTest : public qztest::UiSession {
 protected:
  void SetUp() override {
    fs::create_directories(inst.root + "BMP");
    for (const auto& f : qz::InstallationBitmaps())
      if (f.path == "BMP/KORVALIS.BMP") inst.WriteFile(f.path, f.bytes);
    qz::G().XUSER_ABREVIA = "ADM";
    out = inst.root + "TEMP/";
  }

  // A two-heading-alignment report: codes and birth dates left-aligned,
  // start dates centred, amounts right-aligned, a framed total line and a
  // text printed where no heading is.
  qz::PrintDocument Report(const std::string& title) {
    qz::PageWriter w(title, 30, 80);
    w.UseReportFrame({title, "Hotel Central", "Planilla Quincenal"}, "KORVALIS.BMP");
    w.SetHeader([](qz::PageWriter& p, int) {
      p.Say(0, "Código");
      p.Say(10, "Nacimiento");
      p.SayAligned(22, 10, "Inicio", PrintAlign::kCenter);
      p.SayRight(50, "Monto");
      p.RuleBelow(0, 50);
      p.NewLine();
    });
    auto line = [&](const char* code, const char* born, const char* start, const char* amount) {
      w.Say(0, code);
      w.Say(10, born);
      w.SayAligned(22, 10, start, PrintAlign::kCenter);
      w.SayRight(50, amount);
      w.NewLine();
    };
    line("A1", "31/12/79", "31/12/79", "-1,234.50");
    line("B2", "31/12/50", "31/12/50", "12-3");
    w.Say(0, "C3");
    w.SayRight(50, "1,000,000.00");
    w.Say(60, "huérfano");  // no heading at column 60
    w.NewLine();
    w.NewLine();  // a blank line is no row
    w.Box(1, 0, 50, 20);
    w.Say(0, "TOTAL");
    w.SayRight(50, "998,765.50");
    w.NewLine();
    return w.Finish();
  }

  std::string out;
};

TEST_F(WorkbookTest, AReportBecomesTypedColumnsUnderItsHeadingsWithTheTitleBlock) {
  std::string path = qz::ReportToWorkbook(Report("Planilla 1/2026"), {"", false, out});
  ASSERT_EQ(path, out + "Planilla 1-2026.xlsx");  // the slash is a hyphen
  EXPECT_EQ(ui.opened(), std::vector<std::string>{path});
  json wb = ReadBack(path);
  ASSERT_EQ(wb["sheets"].size(), 1u);
  const json& s = wb["sheets"][0];
  EXPECT_EQ(s["name"], "Planilla 1-2026");
  const json& c = s["cells"];

  // Title block: the title at row 4, the subtitles under it, the timestamp
  // on row 8 over the columns that received data, a medium line under them.
  EXPECT_EQ(c["A4"]["value"], std::string(14, ' ') + "Planilla 1/2026");
  EXPECT_EQ(c["A4"]["font"], "Arial Black");
  EXPECT_EQ(c["A4"]["size"], 20);
  EXPECT_TRUE(c["A4"]["bold"]);
  EXPECT_EQ(c["A5"]["value"], std::string(32, ' ') + "Hotel Central");
  EXPECT_EQ(c["A5"]["size"], 10);
  EXPECT_EQ(c["A8"]["value"],
            "QUARTZEL Front-Office/Back-Office   Timestamp: 08/12/26 10:30:00  U:ADM on:" +
                qz::HostName());
  EXPECT_EQ(c["A8"]["size"], 6);
  for (const char* cell : {"A8", "B8", "C8", "D8"}) EXPECT_EQ(c[cell]["bottom"], "medium") << cell;
  EXPECT_EQ(c["D8"]["value"], nullptr);
  EXPECT_EQ(wb["media"].size(), 1u);  // the logo

  // Headings boxed, bold and shaded at row 10.
  EXPECT_EQ(c["A10"]["value"], "Código");
  EXPECT_EQ(c["D10"]["value"], "Monto");
  EXPECT_TRUE(c["D10"]["bold"]);
  EXPECT_EQ(c["D10"]["left"], "thin");
  EXPECT_EQ(c["D10"]["fill"], "FFCCCCFF");
  EXPECT_EQ(c["D10"]["font"], "Tahoma");

  // Left-aligned 79 is 1979 in 2026 (79 >= 26 + 30), 50 is 2050; centred
  // dates are always 20yy.
  EXPECT_EQ(c["B11"]["value"], "1979-12-31");
  EXPECT_EQ(c["B11"]["format"], "dd/mm/yyyy");
  EXPECT_EQ(c["B12"]["value"], "2050-12-31");
  EXPECT_EQ(c["C11"]["value"], "2079-12-31");
  EXPECT_EQ(c["C12"]["value"], "2050-12-31");
  // Amounts: -1,234.50 is a number; 12-3 stays text.
  EXPECT_EQ(c["D11"]["type"], "n");
  EXPECT_DOUBLE_EQ(c["D11"]["value"].get<double>(), -1234.5);
  EXPECT_EQ(c["D11"]["format"], "#,##0.00");
  EXPECT_EQ(c["D12"]["type"], "s");
  EXPECT_EQ(c["D12"]["value"], "12-3");
  EXPECT_EQ(c["A11"]["value"], "A1");
  EXPECT_EQ(c["A11"]["left"], nullptr);  // data cells are not boxed
  // The text without a heading is missing; the blank line made no row.
  EXPECT_EQ(c["D13"]["value"], 1000000.0);
  EXPECT_FALSE(c.contains("E13"));
  // The framed total line: boxed and bold.
  EXPECT_EQ(c["A14"]["value"], "TOTAL");
  EXPECT_TRUE(c["A14"]["bold"]);
  EXPECT_EQ(c["D14"]["left"], "thin");
  EXPECT_DOUBLE_EQ(c["D14"]["value"].get<double>(), 998765.5);

  // Widths: the larger of heading and widest text ("1,000,000.00" = 12).
  auto width = [&](const char* col) { return s["widths"][col].get<double>(); };
  EXPECT_NEAR(width("A"), 6, 1);
  EXPECT_NEAR(width("B"), 10, 1);
  EXPECT_NEAR(width("D"), 12, 1);
  EXPECT_LT(width("A"), width("B"));
}

TEST_F(WorkbookTest, ASecondExportGetsANumberedNameAndNothingIsLeftHalfWritten) {
  std::string first = qz::ReportToWorkbook(Report("Planilla"), {"", false, out});
  auto size = fs::file_size(first);
  std::string second = qz::ReportToWorkbook(Report("Planilla"), {"", false, out});
  std::string third = qz::ReportToWorkbook(Report("Planilla"), {"", false, out});
  EXPECT_EQ(second, out + "Planilla (2).xlsx");
  EXPECT_EQ(third, out + "Planilla (3).xlsx");
  EXPECT_EQ(fs::file_size(first), size);
  // A forced name and an e-mail export are not opened; e-mail takes the
  // temporary "T" + 7 digits name.
  std::string forced = qz::ReportToWorkbook(Report("Planilla"), {"gastos_p.xls", false, out});
  EXPECT_EQ(forced, out + "gastos_p.xlsx");
  std::string mail = qz::ReportToWorkbook(Report("Planilla"), {"", true, out});
  EXPECT_EQ(fs::path(mail).filename().string().size(), std::string("T1234567.xlsx").size());
  EXPECT_EQ(ui.opened().size(), 3u);
  EXPECT_EQ(FilesIn(out), (std::vector<std::string>{"Planilla (2).xlsx", "Planilla (3).xlsx",
                                                    "Planilla.xlsx", "T3780000.xlsx",
                                                    "gastos_p.xlsx"}));
  EXPECT_TRUE(ui.TakeBoxTexts().empty());
}

TEST_F(WorkbookTest, AnUnwritablePlaceIsToldAndLeavesNoFile) {
  // A folder that does not exist, and a "folder" that is a file.
  std::string missing = inst.root + "NO_EXISTE/";
  EXPECT_EQ(qz::ReportToWorkbook(Report("Planilla"), {"", false, missing}), "");
  std::string not_a_folder = inst.root + "BASES/LOG_ROLL.DBF/";
  EXPECT_EQ(qz::ReportToWorkbook(Report("Planilla"), {"", false, not_a_folder}), "");
  auto boxes = ui.boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "No se pudo guardar el libro de Excel:\r\n" + missing +
                               "Planilla.xlsx\r\nla carpeta no existe");
  EXPECT_EQ(boxes[0].title, "Error");
  EXPECT_EQ(boxes[1].text.rfind("No se pudo guardar el libro de Excel:", 0), 0u);
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_TRUE(ui.opened().empty());
  EXPECT_TRUE(FilesIn(out).empty());
}

TEST(ReportTyping, AmountsAndDatesFollowTheHeadingAlignment) {
  using qz::TypeReportText;
  auto number = [](const qz::XlsValue& v) { return std::get<double>(v); };
  auto text = [](const qz::XlsValue& v) { return std::get<std::string>(v); };
  auto date = [](const qz::XlsValue& v) {
    auto d = std::get<qz::XlsDate>(v);
    return d.year * 10000 + d.month * 100 + d.day;
  };
  EXPECT_EQ(number(TypeReportText("   1,234,567.899", PrintAlign::kRight, 2026)), 1234567.9);
  EXPECT_EQ(number(TypeReportText("-0.5", PrintAlign::kRight, 2026)), -0.5);
  for (const char* t : {"12-3", "--5", "1.2.3", "-", "1 234", "$5", "N/A"})
    EXPECT_EQ(text(TypeReportText(t, PrintAlign::kRight, 2026)), t) << t;
  // An amount under a left heading is text; a date under a right one too.
  EXPECT_EQ(text(TypeReportText("1,234.50", PrintAlign::kLeft, 2026)), "1,234.50");
  EXPECT_EQ(text(TypeReportText("31/12/79", PrintAlign::kRight, 2026)), "31/12/79");
  EXPECT_EQ(date(TypeReportText("31/12/79", PrintAlign::kLeft, 2026)), 19791231);
  EXPECT_EQ(date(TypeReportText("31/12/55", PrintAlign::kLeft, 2026)), 20551231);
  EXPECT_EQ(date(TypeReportText("01/01/56", PrintAlign::kLeft, 2026)), 19560101);
  EXPECT_EQ(date(TypeReportText("29/02/00", PrintAlign::kCenter, 2026)), 20000229);
  for (const char* t : {"31/02/26", "00/01/26", "1/1/26", "31/12/2026", "aa/bb/cc"})
    EXPECT_EQ(text(TypeReportText(t, PrintAlign::kCenter, 2026)), t) << t;
}

TEST(WorkbookNames, SheetAndFileNamesLoseTheCharactersTheyMayNotCarry) {
  EXPECT_EQ(qz::CORRECT_NAME("a:b\\c.d/e#f$g%h&i!j"), "a-b-c-d-e-f-g-h-i-j");
  EXPECT_EQ(qz::CORRECT_NAME("a:b.c/d#e!", true), "a:b.c/d-e-");
  EXPECT_EQ(qz::SheetName("Resumen [1]*?"), "Resumen -1---");
  EXPECT_EQ(qz::SheetName(std::string(40, 'x')).size(), 31u);
  EXPECT_EQ(qz::SheetName("   "), "Hoja 1");
  // Thirty-one characters, not bytes: an accent is not cut in half.
  std::string accents;
  for (int i = 0; i < 40; ++i) accents += "é";
  EXPECT_EQ(qz::SheetName(accents).size(), 62u);
}

TEST_F(WorkbookTest, SheetsCanBeAddedRenamedAndDeletedBeforeSaving) {
  qz::XLS_GENERATOR book(out, "libro.xls", std::nullopt);
  EXPECT_EQ(book.GET_SHEETNAME(1), "HOJA 1");
  book.XLSWRITE(1, 1, std::string("uno"));
  book.NEW_SHEET({"Resumen"}, "", "Hoja/2");
  book.NEW_SHEET({}, "", "hoja-2");  // the same name in other case: numbered
  EXPECT_EQ(book.NUM_SHEETS(), 3);
  EXPECT_EQ(book.GET_SHEETNAME(2), "Hoja-2");
  EXPECT_EQ(book.GET_SHEETNAME(3), "hoja-2 (2)");
  EXPECT_EQ(book.GET_ACTIVESHEET(), 3);
  book.XLSWRITE(1, 2, 7.25);
  EXPECT_TRUE(book.DEL_SHEET(2));
  book.CHANGESHEETNAME(2, "Final");
  std::string path = book.XLSCLOSEFILE();
  ASSERT_EQ(path, out + "libro.xlsx");
  json wb = ReadBack(path);
  ASSERT_EQ(wb["sheets"].size(), 2u);
  EXPECT_EQ(wb["sheets"][0]["cells"]["A10"]["value"], "uno");
  // The first sheet got its title block when the second was added.
  EXPECT_EQ(wb["sheets"][0]["cells"]["A4"]["value"], std::string(14, ' ') + "Resumen");
  EXPECT_EQ(wb["sheets"][1]["name"], "Final");
  EXPECT_EQ(wb["sheets"][1]["cells"]["B10"]["value"], 7.25);
}

TEST_F(WorkbookTest, AGridIsExportedFromItsCurrentRowWithTypedNumbers) {
  qztest::AddArticulo(inst.root, qztest::Biz("B"), "007", "SILLA", 1234.5);
  qztest::AddArticulo(inst.root, qztest::Biz("B"), "008", "MESA", -20);
  qztest::AddArticulo(inst.root, qztest::Biz("B"), "009", "31/12/79", 0);
  qztest::AddArticulo(inst.root, qztest::Biz("C"), "010", "OTRO NEGOCIO", 5);
  auto table = std::move(*xb::Table::Open(inst.root + "BASES/ARTICULO.DBF"));
  qz::WDIAG w(desktop, nullptr, "PUESTOS");
  w.CREATE();
  qz::WBLISTBOX grid(w, 700, table.get());
  qz::AGREGARCOL(grid, table.get(), "Código", "CODIGO", "!!!!!");
  qz::AGREGARCOL(grid, table.get(), "Descripción", "DESCRIP", std::string(30, 'X'));
  qz::AGREGARCOL(grid, table.get(), "Precio", "PRECIO", "9,999,999.99");
  ASSERT_TRUE(qz::BROWMARKS(grid, {{1, "ARTICULO"}}, 1, qztest::Biz("B")).ok());
  grid.Select(0);
  uint32_t at = table->RecNo();

  std::string path;
  ui.OnDialog("DBF_OB", [&](qz::WDIAG& d) {
    EXPECT_EQ(d.Text(501).rfind("T", 0), 0u);
    std::string proposed = d.Text(501);
    d.UserType(501, "  ");
    d.UserPress(3);
    d.UserType(501, proposed);
    d.UserType(500, "");
    d.UserPress(3);
    d.UserType(500, out);
    d.UserPress(3);  // export for e-mail: not opened
  });
  path = qz::DBF_OB(grid);
  EXPECT_EQ(ui.TakeBoxTexts(), (std::vector<std::string>{"Debe definir el nombre del archivo Destino",
                                                         "Debe definir la Carpeta Destino"}));
  EXPECT_EQ(path, out + "GRID_" + w.title() + ".xlsx");
  EXPECT_TRUE(ui.opened().empty());
  EXPECT_EQ(table->RecNo(), at);
  json wb = ReadBack(path);
  const json& c = wb["sheets"][0]["cells"];
  EXPECT_EQ(wb["sheets"][0]["name"], qz::SheetName("GRID_" + w.title()));
  EXPECT_EQ(c["A10"]["value"], "Código");
  EXPECT_EQ(c["C10"]["left"], "thin");
  EXPECT_EQ(c["A11"]["value"], "007");  // a code stays text
  EXPECT_EQ(c["C11"]["value"], 1234.5);
  EXPECT_EQ(c["C12"]["value"], -20.0);
  EXPECT_EQ(c["B13"]["value"], "31/12/79");  // date-looking text stays text
  EXPECT_FALSE(c.contains("A14"));           // the other business is not in the grid
  EXPECT_EQ(c["A8"]["value"].get<std::string>().rfind("QUARTZEL Front-Office", 0), 0u);
  EXPECT_EQ(c["C8"]["bottom"], "medium");
  EXPECT_NEAR(wb["sheets"][0]["widths"]["B"].get<double>(), 30, 1);

  // From the second row on, the first is left out.
  grid.Select(1);
  std::string again = qz::ExportGridToWorkbook(grid, "Artículos", out, "", false);
  EXPECT_EQ(again, out + "GRID_Artículos.xlsx");
  json wb2 = ReadBack(again);
  EXPECT_EQ(wb2["sheets"][0]["cells"]["A11"]["value"], "008");
}

}  // namespace
