// A report goes to the preview, the printer and PDF alike; a failing printer
// or an unusable PDF folder is told in Spanish and leaves no file behind.
#include "lib/ui/report_output.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/ui_session.h"

namespace {

namespace fs = std::filesystem;

class ReportOutput : public qztest::UiSession {
 protected:
  qz::PrintDocument TwoPages() {
    qz::PageWriter w("Listado de Usuarios", 10, 40);
    w.SetHeader([](qz::PageWriter& p, int page) {
      p.Say(0, "REPORTE DE USUARIOS  pág. " + std::to_string(page));
      p.NewLine();
    });
    for (int i = 0; i < 12; ++i) {
      w.Say(0, "usuario " + std::to_string(i));
      w.NewLine();
    }
    return w.Finish();
  }
  std::vector<std::string> Files(const std::string& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
  }
};

TEST_F(ReportOutput, OneDocumentReachesPreviewPrinterAndPdf) {
  qz::PrintDocument doc = TwoPages();
  ASSERT_EQ(doc.pages.size(), 2u);
  qz::PREVIEW_REPORT(desktop, doc);
  EXPECT_TRUE(qz::PRINT_REPORT(desktop, doc));
  std::string pdf = inst.root + "TEMP/usuarios.pdf";
  std::ofstream(pdf) << "old";
  EXPECT_TRUE(qz::PDF_REPORT(desktop, doc, pdf));
  ASSERT_EQ(ui.previews().size(), 1u);
  ASSERT_EQ(ui.printed().size(), 1u);
  EXPECT_EQ(ui.printed()[0].PageLines(1)[0], "REPORTE DE USUARIOS  pág. 2");
  std::ifstream in(pdf);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("usuario 11"), std::string::npos);  // replaced by the whole document
  EXPECT_EQ(Files(inst.root + "TEMP"), std::vector<std::string>{"usuarios.pdf"});
  EXPECT_TRUE(ui.boxes().empty());
}

TEST_F(ReportOutput, APrinterThatFailsIsToldAndACancelIsNot) {
  qz::PrintDocument doc = TwoPages();
  ui.CancelNextPrint();
  EXPECT_FALSE(qz::PRINT_REPORT(desktop, doc));
  EXPECT_TRUE(ui.boxes().empty());
  ui.FailNextPrint("la impresora no respondió");
  EXPECT_FALSE(qz::PRINT_REPORT(desktop, doc));
  ASSERT_EQ(ui.boxes().size(), 1u);
  EXPECT_EQ(ui.boxes()[0].text,
            "No se pudo imprimir \"Listado de Usuarios\":\r\nla impresora no respondió");
  EXPECT_EQ(ui.boxes()[0].title, "Error");
  // The next job prints again.
  EXPECT_TRUE(qz::PRINT_REPORT(desktop, doc));
  EXPECT_EQ(ui.printed().size(), 1u);
}

TEST_F(ReportOutput, AMissingOrUnwritablePdfFolderIsToldAndLeavesNothing) {
  qz::PrintDocument doc = TwoPages();
  std::string missing = inst.root + "NO_EXISTE/listado.pdf";
  EXPECT_FALSE(qz::PDF_REPORT(desktop, doc, missing));
  EXPECT_FALSE(fs::exists(inst.root + "NO_EXISTE"));
  // A file standing where the folder should be.
  EXPECT_FALSE(qz::PDF_REPORT(desktop, doc, inst.root + "BASES/LOG_ROLL.DBF/x.pdf"));
  // A folder where the file should be: the folder survives.
  fs::create_directories(inst.root + "TEMP/listado.pdf");
  EXPECT_FALSE(qz::PDF_REPORT(desktop, doc, inst.root + "TEMP/listado.pdf"));
  EXPECT_FALSE(qz::PDF_REPORT(desktop, doc, inst.root + "TEMP/"));
  auto texts = ui.TakeBoxTexts();
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0], "No existe la carpeta para el archivo PDF:\r\n" + inst.root + "NO_EXISTE");
  EXPECT_EQ(texts[1], "No existe la carpeta para el archivo PDF:\r\n" + inst.root +
                          "BASES/LOG_ROLL.DBF");
  EXPECT_EQ(texts[2], "No se pudo crear el archivo PDF:\r\n" + inst.root +
                          "TEMP/listado.pdf\r\nel nombre es el de una carpeta");
  EXPECT_EQ(texts[3], "Debe indicar el nombre del archivo PDF");
  EXPECT_TRUE(fs::is_directory(inst.root + "TEMP/listado.pdf"));
  EXPECT_EQ(Files(inst.root + "TEMP"), std::vector<std::string>{"listado.pdf"});
}

}  // namespace
