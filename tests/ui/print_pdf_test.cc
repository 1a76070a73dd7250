// Printed reports through Qt's printing: a two-page report becomes a
// two-page PDF whose text poppler reads back, the preview window shows its
// pages, and a printer that cannot take the job says so.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "lib/install/bitmaps.h"
#include "lib/settings/globals.h"
#include "lib/ui/report_output.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"
#include "ui/qt/print_preview.h"
#include "ui/qt/print_render.h"
#include "ui/qt/qt_ui.h"

namespace {

namespace fs = std::filesystem;

QApplication* App() {
  static int argc = 1;
  static char name[] = "ui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = qobject_cast<QApplication*>(QApplication::instance())
                                 ? qobject_cast<QApplication*>(QApplication::instance())
                                 : new QApplication(argc, argv);
  return app;
}

std::string RunCommand(const std::string& cmd) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

class PrintPdf : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    qz::ResetGlobals();
    qz::G().PATH = dir.path() + "/";
    fs::create_directories(dir.path() + "/BMP");
    for (const auto& f : qz::InstallationBitmaps())
      std::ofstream(dir.path() + "/" + f.path, std::ios::binary) << f.bytes;
  }
  void TearDown() override { qz::ResetGlobals(); }

  // The employer-report kind of listing: framed titles with the logo,
  // a shaded heading box, amounts lined up, a page break, a total line.
  qz::PrintDocument Report(bool landscape = false) {
    qz::PageWriter w("", 40, landscape ? 120 : 80, landscape);
    w.UseReportFrame({"Distribución de Gastos de Planilla", "Hotel Central S.A.",
                      "Planilla del 15/11/26"},
                     "KORVALIS.BMP");
    w.SetHeader([](qz::PageWriter& p, int) {
      p.Box(1, 0, 80, 15);
      p.Say(1, "Centro de Costo", qz::PageWriter::kBold);
      p.Say(40, "Cuenta", qz::PageWriter::kBold);
      p.SayRight(79, "Monto", qz::PageWriter::kBold);
      p.NewLine();
    });
    for (int i = 0; i < 40; ++i) {
      w.Say(1, "Centro " + std::to_string(100 + i) + (i % 7 == 0 ? " Cocina Ñandú" : ""));
      w.Say(40, "5101-0" + std::to_string(i % 10));
      w.SayRight(79, std::to_string(1000 + i * 37) + ".50");
      w.NewLine();
    }
    w.RuleBelow(60, 79, 1.5);
    w.Say(1, "TOTAL GENERAL", qz::PageWriter::kBold);
    w.SayRight(79, "74,860.00", qz::PageWriter::kBold);
    w.NewLine();
    return w.Finish();
  }

  qztest::FakeClock clock;
  qztest::TempDir dir;
};

TEST_F(PrintPdf, ATwoPageReportBecomesATwoPagePdfWithItsText) {
  qz::PrintDocument doc = Report();
  ASSERT_EQ(doc.pages.size(), 2u);
  std::string pdf = dir.path() + "/gastos.pdf";
  qz::QtUi ui;
  ASSERT_TRUE(qz::PDF_REPORT(ui.desktop(), doc, pdf));
  std::string info = RunCommand("pdfinfo '" + pdf + "'");
  size_t pages = info.find("Pages:");
  ASSERT_NE(pages, std::string::npos) << info;
  EXPECT_EQ(std::stoi(info.substr(pages + 6)), 2) << info;
  EXPECT_NE(info.find("Distribución de Gastos de Planilla"), std::string::npos) << info;
  std::string page1 = RunCommand("pdftotext -layout -f 1 -l 1 '" + pdf + "' -");
  std::string page2 = RunCommand("pdftotext -layout -f 2 -l 2 '" + pdf + "' -");
  EXPECT_NE(page1.find("Distribución de Gastos de Planilla"), std::string::npos) << page1;
  EXPECT_NE(page1.find("Centro 100 Cocina Ñandú"), std::string::npos) << page1;
  EXPECT_NE(page1.find("Página 1 de 2"), std::string::npos) << page1;
  EXPECT_EQ(page1.find("TOTAL GENERAL"), std::string::npos);
  EXPECT_NE(page2.find("Centro de Costo"), std::string::npos) << page2;  // heading repeats
  EXPECT_NE(page2.find("TOTAL GENERAL"), std::string::npos) << page2;
  EXPECT_NE(page2.find("74,860.00"), std::string::npos) << page2;
  EXPECT_NE(page2.find("Página 2 de 2"), std::string::npos) << page2;
  // Nothing but the PDF in the folder (no side file left).
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir.path())) files += e.is_regular_file();
  EXPECT_EQ(files, 1);
}

TEST_F(PrintPdf, ThePreviewShowsThePagesAndAPrinterThatCannotTakeTheJobSaysSo) {
  qz::PrintDocument doc = Report();
  qz::PreviewWindow preview(doc, nullptr, {}, {});
  preview.resize(820, 1000);
  preview.show();
  QApplication::processEvents();
  EXPECT_EQ(preview.page_count(), 2);
  std::string shots = std::string(QZ_BINARY_DIR) + "/screenshots";
  fs::create_directories(shots);
  EXPECT_TRUE(preview.grab().save(QString::fromStdString(shots + "/print_preview.png")));
  // A page with its logo, shading and text actually drawn.
  QImage page = qz::RenderPageImage(doc, 0, 800);
  int dark = 0, grey = 0;
  for (int y = 0; y < page.height(); y += 2)
    for (int x = 0; x < page.width(); x += 2) {
      int g = qGray(page.pixel(x, y));
      dark += g < 100;
      grey += g > 180 && g < 240;
    }
  EXPECT_GT(dark, 500);
  EXPECT_GT(grey, 100);
  EXPECT_TRUE(page.save(QString::fromStdString(shots + "/print_page.png")));
  QImage wide = qz::RenderPageImage(Report(/*landscape=*/true), 0, 800);
  EXPECT_GT(wide.width(), wide.height());

  // A PDF "printer" whose file cannot be created fails instead of
  // pretending it printed.
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(dir.path() + "/no/existe/x.pdf"));
  EXPECT_EQ(qz::PrintDocumentTo(doc, &printer), "la impresora no aceptó el documento");
}

}  // namespace
