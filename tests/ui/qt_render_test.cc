// Offscreen Qt: every template renders with a widget per control, the
// positions screen shows its grid over demo rows and takes typed text into
// its window state, and printed pages reach paper and PDF.
#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QTableView>
#include <filesystem>

#include "lib/ui/catalog_data.h"
#include "lib/ui/dialog_template.h"
#include "payroll/puestos.h"
#include "support/installation.h"
#include "support/schema_tables.h"
#include "support/temp_dir.h"
#include "ui/qt/dialog_view.h"
#include "ui/qt/print_render.h"
#include "ui/qt/qt_ui.h"

namespace {

using qztest::Biz;
using qztest::C;

QApplication* App() {
  static int argc = 1;
  static char name[] = "ui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = qobject_cast<QApplication*>(QApplication::instance())
                                 ? qobject_cast<QApplication*>(QApplication::instance())
                                 : new QApplication(argc, argv);
  return app;
}

class QtRender : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    qz::SetDialogTemplateDir(std::string(QZ_SOURCE_DIR) + "/resources/dialogs");
  }
};

TEST_F(QtRender, EveryTemplateRendersAWidgetPerControl) {
  qz::QtUi ui;
  std::string out = std::string(QZ_BINARY_DIR) + "/screenshots";
  std::filesystem::create_directories(out);
  for (const auto& name : qz::ListDialogTemplates()) {
    qz::WDIAG w(ui.desktop(), nullptr, name);
    ASSERT_TRUE(w.INIT().ok()) << name;
    qz::DialogView view(w);
    view.adjustSize();
    for (const auto* n : w.dialog_template()->Controls())
      EXPECT_NE(view.widget(n->id), nullptr) << name << " control " << n->id;
    QImage img = view.grab().toImage();
    EXPECT_GT(img.width(), 200) << name;
    EXPECT_GT(img.height(), 60) << name;
    EXPECT_TRUE(img.save(QString::fromStdString(out + "/" + name + ".png")));
  }
}

// A password typed at login, at the session lock, at a business change, in
// the password screens or in the mail parameters never shows on screen.
TEST_F(QtRender, PasswordFieldsAreNeverDrawnInClear) {
  qz::QtUi ui;
  int masked = 0;
  for (const auto& name : qz::ListDialogTemplates()) {
    qz::WDIAG w(ui.desktop(), nullptr, name);
    ASSERT_TRUE(w.INIT().ok()) << name;
    qz::DialogView view(w);
    for (const auto* n : w.dialog_template()->Controls()) {
      auto* e = qobject_cast<QLineEdit*>(view.widget(n->id));
      if (!e) continue;
      bool secret = std::find(n->options.begin(), n->options.end(), "password") != n->options.end();
      EXPECT_EQ(e->echoMode() == QLineEdit::Password, secret) << name << " control " << n->id;
      masked += secret;
    }
  }
  // Login, lock, business change, two password screens of three fields, mail.
  EXPECT_GE(masked, 10);
  qz::WDIAG login(ui.desktop(), nullptr, "XLOGINUSR");
  ASSERT_TRUE(login.INIT().ok());
  qz::DialogView view(login);
  auto* pw = qobject_cast<QLineEdit*>(view.widget(501));
  ASSERT_NE(pw, nullptr);
  EXPECT_EQ(pw->echoMode(), QLineEdit::Password);
}

TEST_F(QtRender, PositionsScreenShowsItsGridAndTakesTypedText) {
  qztest::Installation inst;
  inst.Start();
  std::string bases = inst.root + "BASES";
  qztest::CreateSchemaTable(bases, "PUESTOS");
  std::vector<qztest::Row> rows;
  for (int i = 0; i < 40; ++i) {
    char code[8];
    std::snprintf(code, sizeof code, "P%02d", i);
    rows.push_back({{"NEGOCIO", C(Biz("HOTEL CENTRAL"))},
                    {"CODIGO", C(code)},
                    {"DESCRIP", C("PUESTO N\xfamero " + std::to_string(i))}});
  }
  qztest::AddRows(bases, "PUESTOS", rows);
  for (const char* t : {"F_PLAN7", "CLAS_ROM", "PERF_EVA", "ENC_PERS"})
    qztest::CreateSchemaTable(bases, t);

  qz::QtUi ui;
  ui.main_window()->resize(900, 600);
  ui.main_window()->show();
  auto* s = qz::OpenScreen<qz::PUESTOS>(ui.desktop(), "PUESTOS", Biz("HOTEL CENTRAL"));
  ASSERT_NE(s, nullptr);
  QApplication::processEvents();
  qz::DialogView* view = ui.ViewOf(s);
  ASSERT_NE(view, nullptr);
  auto* table = qobject_cast<QTableView*>(view->widget(700));
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->model()->rowCount(), 40);
  EXPECT_EQ(table->model()->index(3, 1).data().toString(), QString::fromUtf8("PUESTO NÚMERO 3"));
  EXPECT_FALSE(table->verticalHeader()->isVisible());  // SHOWNUMBERS false
  EXPECT_EQ(ui.desktop().edit_menu()[0].caption, "Agregar");

  // Typing in the grid searches; the table follows the selection.
  for (const char* k : {"p", "1", "5"}) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, k);
    QApplication::sendEvent(table, &key);
  }
  EXPECT_EQ(qz::FieldText(*s->main_table(), "CODIGO"), "P15");
  EXPECT_EQ(table->currentIndex().row(), 15);
  s->oB()->Select(10);
  EXPECT_EQ(table->currentIndex().row(), 10);

  // The edit window: typed text reaches the window state through the widgets.
  s->DoOperation("MOD_PUESTOS");
  QApplication::processEvents();
  qz::WDIAG* e = ui.desktop().FindWindow("MODIPUESTO");
  ASSERT_NE(e, nullptr);
  EXPECT_FALSE(view->isEnabled());  // the list is disabled meanwhile
  qz::DialogView* ev = ui.ViewOf(e);
  auto* descrip = qobject_cast<QLineEdit*>(ev->widget(501));
  ASSERT_NE(descrip, nullptr);
  EXPECT_EQ(descrip->text(), QString::fromUtf8("PUESTO Número 10"));  // as stored
  descrip->setText(QString::fromUtf8("Jefe de cocina"));
  emit descrip->textEdited(descrip->text());
  EXPECT_EQ(e->Text(501), "Jefe de cocina");
  auto* perfil = qobject_cast<QComboBox*>(ev->widget(601));
  ASSERT_NE(perfil, nullptr);
  EXPECT_EQ(perfil->count(), 1);  // only "Sin perfil asignado" without profiles
  std::filesystem::create_directories(std::string(QZ_BINARY_DIR) + "/screenshots");
  EXPECT_TRUE(ui.main_window()->grab().save(
      QString::fromStdString(std::string(QZ_BINARY_DIR) + "/screenshots/PUESTOS_screen.png")));
  ui.desktop().CloseAll();
  EXPECT_TRUE(ui.desktop().windows().empty());
}

TEST_F(QtRender, PrintedPagesReachImageAndPdf) {
  qz::PageWriter w("Distribución de Gastos", 60, 80);
  w.Say(0, "DISTRIBUCIÓN DE GASTOS DE PLANILLA", qz::PageWriter::kBold);
  w.NewLine();
  w.Say(10, "Cocina", qz::PageWriter::kUnderline);
  qz::PrintDocument doc = w.Finish();
  QImage img = qz::RenderPageImage(doc, 0, 600);
  int dark = 0;
  for (int y = 0; y < img.height() / 4; ++y)
    for (int x = 0; x < img.width(); ++x) dark += qGray(img.pixel(x, y)) < 128;
  EXPECT_GT(dark, 50);
  qztest::TempDir dir;
  std::string pdf = dir.file("doc.pdf");
  ASSERT_TRUE(qz::SaveDocumentPdf(doc, QString::fromStdString(pdf)));
  EXPECT_GT(std::filesystem::file_size(pdf), 500u);
}

}  // namespace
