#include "ui/qt/qt_ui.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QUrl>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/qt/browse_model.h"
#include "ui/qt/dialog_view.h"
#include "lib/ui/report_output.h"
#include "ui/qt/print_preview.h"
#include "ui/qt/print_render.h"

namespace qz {
namespace {

// An MDI child that closing ends (Cancel), unless its screen is disabled
// while its edit window is open.
class ScreenSubWindow : public QMdiSubWindow {
 public:
  explicit ScreenSubWindow(WDIAG& w) : w_(w) {}

 protected:
  void closeEvent(QCloseEvent* e) override {
    if (w_.ended()) {
      e->accept();
      return;
    }
    e->ignore();
    if (w_.window_enabled()) w_.ENDDIALOG(2);
  }

 private:
  WDIAG& w_;
};

// A modal dialog that only closes when its window ended; Escape and the
// title-bar close press button 2 ("&Cancelar") as Win32 dialogs do.
class ModalDialog : public QDialog {
 public:
  ModalDialog(WDIAG& w, QWidget* parent) : QDialog(parent), w_(w) {}
  void reject() override {
    if (!w_.ended()) w_.UserPress(2);
    if (w_.ended()) QDialog::reject();
  }

 private:
  WDIAG& w_;
};

}  // namespace

QtUi::QtUi(const QString& title) {
  main_ = std::make_unique<QMainWindow>();
  main_->setWindowTitle(title);
  mdi_ = new QMdiArea;
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  main_->setCentralWidget(mdi_);
  file_menu_ = main_->menuBar()->addMenu(QString::fromUtf8("&Archivo"));
  edit_menu_ = main_->menuBar()->addMenu(QString::fromUtf8("Editar"));
  desktop_ = std::make_unique<Desktop>(*this);
  previous_box_ = CurrentMessageBoxProvider();
  SetMessageBoxProvider(this);
  SetCurrentDesktop(desktop_.get());
  QObject::connect(mdi_, &QMdiArea::subWindowActivated, main_.get(), [this](QMdiSubWindow* s) {
    if (!s) return;
    for (const auto& [w, sub] : subs_) {
      if (sub == s && !w->ended()) desktop_->Activate(w);
    }
  });
  timer_ = new QTimer(main_.get());
  QObject::connect(timer_, &QTimer::timeout, main_.get(), [this] {
    desktop_->RunDueTimers();
    desktop_->Collect();
  });
  timer_->start(250);
  MenuChanged();
}

QtUi::~QtUi() {
  timer_->stop();
  desktop_.reset();
  if (CurrentMessageBoxProvider() == this) SetMessageBoxProvider(previous_box_);
  if (CurrentDesktop() == nullptr) SetCurrentDesktop(nullptr);
}

DialogView* QtUi::ViewOf(WDIAG* w) const {
  auto it = subs_.find(w);
  if (it == subs_.end() || !it->second) return nullptr;
  return qobject_cast<DialogView*>(it->second->widget());
}

// Lists and trees ask for more room than their lines need; a window whose
// wish is taller or wider than the work area would open with its buttons
// out of sight. Where its controls can give room (down to their minimum
// sizes) it opens inside the area instead.
static void FitIntoArea(QMdiArea* mdi, QMdiSubWindow* sub) {
  const QSize area = mdi->viewport()->size();
  const QSize least = sub->minimumSizeHint().expandedTo(sub->minimumSize());
  QSize want = sub->size();
  if (want.height() > area.height()) want.setHeight(std::max(area.height(), least.height()));
  if (want.width() > area.width()) want.setWidth(std::max(area.width(), least.width()));
  if (want != sub->size()) {
    sub->resize(want);
    sub->move(0, 0);
  }
}

void QtUi::FitWindows() {
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    sub->adjustSize();
    FitIntoArea(mdi_, sub);
  }
}

void QtUi::Show(WDIAG& w) {
  auto* sub = new ScreenSubWindow(w);
  auto* view = new DialogView(w);
  sub->setWidget(view);
  sub->setAttribute(Qt::WA_DeleteOnClose, false);
  sub->setWindowTitle(view->windowTitle());
  sub->setWindowIcon(main_->windowIcon());  // the program's icon, not Qt's
  QObject::connect(view, &QWidget::windowTitleChanged, sub, &QWidget::setWindowTitle);
  mdi_->addSubWindow(sub);
  subs_[&w] = sub;
  sub->show();
  sub->adjustSize();
  FitIntoArea(mdi_, sub);
  mdi_->setActiveSubWindow(sub);
}

void QtUi::Destroy(WDIAG& w) {
  auto it = subs_.find(&w);
  if (it == subs_.end()) return;
  QPointer<QMdiSubWindow> sub = it->second;
  subs_.erase(it);
  if (sub) {
    w.SetView(nullptr);
    mdi_->removeSubWindow(sub);
    sub->deleteLater();
  }
}

void QtUi::RunModal(WDIAG& w) {
  ModalDialog dlg(w, main_.get());
  auto* layout = new QVBoxLayout(&dlg);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* view = new DialogView(w, &dlg);
  layout->addWidget(view);
  dlg.setWindowTitle(view->windowTitle());
  dlg.setWindowIcon(main_->windowIcon());
  QObject::connect(view, &DialogView::acted, &dlg, [&] {
    if (w.ended()) dlg.done(w.result());
  });
  // Once shown (a dialog focuses its first control or default button when
  // it appears), the focus goes where the screen put it.
  QTimer::singleShot(0, &dlg, [view] { view->ApplyFocus(); });
  if (!w.ended()) dlg.exec();
  w.SetView(nullptr);
}

void QtUi::Raise(WDIAG& w) {
  auto it = subs_.find(&w);
  if (it != subs_.end() && it->second) mdi_->setActiveSubWindow(it->second);
}

void QtUi::Minimize(WDIAG& w) {
  auto it = subs_.find(&w);
  if (it != subs_.end() && it->second) it->second->showMinimized();
}

void QtUi::WaitShown(int id, const std::string& text) {
  QPointer<QWidget>& box = waits_[id];
  if (!box) {
    box = new QWidget(main_.get(), Qt::Tool | Qt::FramelessWindowHint);
    box->setAttribute(Qt::WA_DeleteOnClose);
    auto* l = new QVBoxLayout(box);
    l->setContentsMargins(24, 16, 24, 16);
    auto* label = new QLabel;
    label->setObjectName("text");
    label->setAlignment(Qt::AlignCenter);
    l->addWidget(label);
    // Only the window is framed, not each control inside it.
    box->setObjectName("wait");
    box->setStyleSheet("QWidget#wait { background: #fdfdf5; border: 1px solid #9a9a8a; }");
  }
  box->findChild<QLabel*>("text")->setText(QString::fromUtf8(text));
  box->adjustSize();
  QRect r = main_->geometry();
  box->move(r.center() - QPoint(box->width() / 2, box->height() / 2));
  box->show();
  box->raise();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// The bar and the "Cancelar" button join the waiting window the first time a
// process reports progress; while the button is there the window is modal,
// so the events processed for it cannot start anything else.
void QtUi::WaitProgress(int id, int64_t done, int64_t total, bool can_cancel) {
  auto it = waits_.find(id);
  if (it == waits_.end() || !it->second) return;
  QWidget* box = it->second;
  auto* bar = box->findChild<QProgressBar*>("bar");
  if (!bar) {
    bar = new QProgressBar;
    bar->setObjectName("bar");
    bar->setMinimumWidth(280);
    bar->setTextVisible(true);
    box->layout()->addWidget(bar);
    if (can_cancel) {
      auto* cancel = new QPushButton(QString::fromUtf8("Cancelar"));
      cancel->setObjectName("cancel");
      box->layout()->addWidget(cancel);
      box->layout()->setAlignment(cancel, Qt::AlignHCenter);
      QObject::connect(cancel, &QPushButton::clicked, box, [this, id, cancel] {
        wait_cancelled_[id] = true;
        cancel->setEnabled(false);
      });
      box->hide();
      box->setWindowModality(Qt::ApplicationModal);
    }
    box->adjustSize();
    QRect r = main_->geometry();
    box->move(r.center() - QPoint(box->width() / 2, box->height() / 2));
    box->show();
  }
  // Bars count in ints: scale large totals.
  int64_t scale = total > 1000000 ? total / 1000000 + 1 : 1;
  bar->setRange(0, static_cast<int>(total / scale));
  bar->setValue(static_cast<int>(std::min(done, total > 0 ? total : done) / scale));
  QApplication::processEvents(can_cancel ? QEventLoop::AllEvents
                                         : QEventLoop::ExcludeUserInputEvents);
}

bool QtUi::WaitCancelled(int id) {
  auto it = wait_cancelled_.find(id);
  return it != wait_cancelled_.end() && it->second;
}

QWidget* QtUi::WaitWindow(int id) const {
  auto it = waits_.find(id);
  return it == waits_.end() ? nullptr : it->second.data();
}

void QtUi::WaitClosed(int id) {
  wait_cancelled_.erase(id);
  auto it = waits_.find(id);
  if (it == waits_.end()) return;
  if (it->second) it->second->close();
  waits_.erase(it);
}

void QtUi::MenuChanged() {
  if (!edit_menu_ || !desktop_) return;
  edit_menu_->clear();
  for (const auto& e : desktop_->edit_menu()) {
    QAction* a = edit_menu_->addAction(QString::fromUtf8(e.caption));
    a->setEnabled(e.Enabled());
    std::string caption = e.caption;
    QObject::connect(a, &QAction::triggered, main_.get(), [this, caption] {
      // Run after the menu has closed: the entry may rebuild this menu.
      QTimer::singleShot(0, main_.get(), [this, caption] {
        CommitOpenEditors(main_.get());
        desktop_->ChooseEdit(caption);
        desktop_->Collect();
      });
    });
  }
}

// --- printing and files (begin)
void QtUi::Preview(const PrintDocument& doc) {
  PreviewWindow w(
      doc, main_.get(), [this, &doc] { PRINT_REPORT(*desktop_, doc); },
      [this, &doc](const std::string& path) { PDF_REPORT(*desktop_, doc, path); });
  w.exec();
}

PrintJobResult QtUi::Print(const PrintDocument& doc) { return PrintWithDialog(doc, main_.get()); }

PrintJobResult QtUi::WritePdf(const PrintDocument& doc, const std::string& path) {
  std::string error = WriteDocumentPdf(doc, QString::fromStdString(path));
  if (!error.empty()) return {PrintJobResult::kFailed, error};
  return {};
}

void QtUi::OpenDocument(const std::string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}
// --- printing and files (end)

void QtUi::Pump() {
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtUi::CollectLater() {
  if (collect_posted_) return;
  collect_posted_ = true;
  QTimer::singleShot(0, main_.get(), [this] {
    collect_posted_ = false;
    desktop_->Collect();
  });
}

int QtUi::Show(const std::string& text, const std::string& title, int style) {
  QMessageBox box(main_.get());
  box.setWindowTitle(QString::fromUtf8(title));
  box.setText(QString::fromUtf8(text).replace("\r\n", "\n"));
  switch (style & 0x70) {
    case kMbIconStop:
      box.setIcon(QMessageBox::Critical);
      break;
    case kMbIconQuestion:
      box.setIcon(QMessageBox::Question);
      break;
    case kMbIconWarning:
      box.setIcon(QMessageBox::Warning);
      break;
    case kMbIconInformation:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      break;
  }
  QPushButton* ok = box.addButton(QString::fromUtf8("Aceptar"), QMessageBox::AcceptRole);
  QPushButton* cancel = nullptr;
  if ((style & 0x0F) == kMbOkCancel)
    cancel = box.addButton(QString::fromUtf8("Cancelar"), QMessageBox::RejectRole);
  box.setDefaultButton(ok);
  if (cancel) box.setEscapeButton(cancel);
  box.exec();
  return box.clickedButton() == ok ? 1 : (cancel ? 2 : 1);
}

}  // namespace qz
