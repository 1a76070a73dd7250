#include "quartzel_pcfg_shell.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QIcon>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QTableView>
#include <QToolBar>

#include "lib/settings/globals.h"
#include "lib/ui/cash_button.h"
#include "lib/ui/print_document.h"
#include "shell/toolbar.h"
#include "ui/qt/dialog_view.h"

namespace pcfg {
namespace {

QString Q(const std::string& s) {
  return QString::fromUtf8(s.c_str());
}

}  // namespace

QtMainView::QtMainView(ShellQtUi& ui) : ui_(ui) {
  QMainWindow* w = ui_.main_window();
  QStatusBar* sb = w->statusBar();
  sb->addWidget(new QLabel(Q("Listo")), 1);
  status_user_ = new QLabel;
  status_business_ = new QLabel;
  sb->addPermanentWidget(status_business_);
  sb->addPermanentWidget(status_user_);
  // The insert/overwrite pane follows the Insert key.
  status_insert_ = new QLabel("INS");
  sb->addPermanentWidget(status_insert_);
  // NUM and CAPS follow the lock keys: shown when on, grey when off or not
  // known yet.
  status_num_ = new QLabel("NUM");
  status_caps_ = new QLabel("CAPS");
  sb->addPermanentWidget(status_num_);
  sb->addPermanentWidget(status_caps_);
  ShowLockKeys();
  // The program's icon, which every child window and dialog carries too.
  QPixmap icon(32, 32);
  icon.fill(QColor(0x1f, 0x3a, 0x68));
  {
    QPainter p(&icon);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(24);
    p.setFont(f);
    p.drawText(icon.rect(), Qt::AlignCenter, "Q");
  }
  w->setWindowIcon(QIcon(icon));
  QApplication::setWindowIcon(QIcon(icon));
  w->menuBar()->installEventFilter(this);
  qApp->installEventFilter(this);
}

QtMainView::~QtMainView() {
  qApp->removeEventFilter(this);
}

void QtMainView::Attach(qz::PRINCIPAL& principal) {
  principal_ = &principal;
  principal.SetWakeup([this] {
    if (dispatch_posted_) return;
    dispatch_posted_ = true;
    QTimer::singleShot(0, this, [this] {
      dispatch_posted_ = false;
      if (principal_) principal_->DispatchPosted();
    });
  });
  if (qz::MToolBar* bar = principal.toolbar()) {
    toolbar_ = new QToolBar(Q("Negocio"));
    toolbar_->setMovable(false);
    auto* view = new qz::DialogView(*bar);
    view->layout()->setContentsMargins(6, 2, 6, 2);  // a bar, not a window
    toolbar_->addWidget(view);
    ui_.main_window()->addToolBar(Qt::TopToolBarArea, toolbar_);
    // The cash button of a cash-handling module shows its icon set
    // (BMP/C_OPEN1.BMP, BMP/C_CLOSE1.BMP) and follows the box held here.
    auto show_icon = [view](int id, const std::string& bitmap) {
      auto* b = qobject_cast<QAbstractButton*>(view->widget(id));
      if (!b) return;
      QPixmap picture(QString::fromStdString(qz::InstallationBitmap(bitmap + ".BMP")));
      b->setIcon(picture.isNull() ? QIcon() : QIcon(picture));
      b->setIconSize(QSize(22, 22));
      b->setToolTip(b->text());
    };
    bar->icon_changed = show_icon;
    for (int id : {qz::kCashButtonId, qz::kCashButton2Id})
      if (!bar->CashIcon(id).empty()) show_icon(id, bar->CashIcon(id));
    QObject::connect(view, &qz::DialogView::acted, this, [this, bar] {
      bar->OnActed();
      if (principal_) principal_->DispatchPosted();
    });
  }
  MenuBarChanged(principal.menu_bar());
  StatusChanged();
}

void QtMainView::ShowMain() {
  QMainWindow* w = ui_.main_window();
  const qz::Globals& g = qz::G();
  const bool fade = g.XDOTRANSPARENCY == 1 && g.XREMOTE_SESSION == 0 &&
                    QGuiApplication::platformName() != "offscreen";
  if (fade) w->setWindowOpacity(0);
  // Without a window manager (a kiosk, a bare X server) "maximised" means
  // nothing, so the window is sized to the screen first.
  if (QScreen* screen = w->screen()) w->resize(screen->availableGeometry().size());
  w->showMaximized();
  if (fade) {
    for (int step = 0; step <= 25; ++step) {
      w->setWindowOpacity(step * 10 / 255.0);
      QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
      QThread::msleep(1);
    }
    w->setWindowOpacity(1.0);
  }
}

void QtMainView::SetTitle(const std::string& title) {
  ui_.main_window()->setWindowTitle(Q(title));
}

void QtMainView::AddEntries(QMenu* menu, const std::vector<qz::MenuEntry>& entries) {
  for (const qz::MenuEntry& e : entries) {
    if (e.separator()) {
      menu->addSeparator();
    } else if (e.popup()) {
      AddEntries(menu->addMenu(Q(e.caption)), e.items);
    } else {
      QAction* a = menu->addAction(Q(e.caption));
      a->setData(e.id);
      a->setEnabled(!e.greyed());
      if (e.checked) {
        a->setCheckable(true);
        a->setChecked(true);
      }
      if (!e.available) {
        // Not built yet: told apart from an entry greyed by rights.
        a->setText(Q(e.caption + "  (en construcción)"));
        a->setStatusTip(Q("Pantalla no disponible en esta versión"));
        QFont f = a->font();
        f.setItalic(true);
        a->setFont(f);
      }
      const int id = e.id;
      // Run after the menu has closed: the action may rebuild this menu.
      QObject::connect(a, &QAction::triggered, this, [this, id] {
        QTimer::singleShot(0, this, [this, id] {
          if (principal_) principal_->Command(id);
        });
      });
    }
  }
  menu->installEventFilter(this);
}

void QtMainView::MenuBarChanged(const qz::MenuBar& bar) {
  QMenuBar* mb = ui_.main_window()->menuBar();
  mb->clear();
  for (const qz::MenuEntry& popup : bar.popups)
    AddEntries(mb->addMenu(Q(popup.caption)), popup.items);
}

QMenu* QtMainView::PopupMenu(const std::string& caption) const {
  for (QAction* a : ui_.main_window()->menuBar()->actions())
    if (a->menu() && a->text() == Q(caption)) return a->menu();
  return nullptr;
}

void QtMainView::ShowSplash(const std::string& bitmap, int64_t ms) {
  CloseSplash();
  QPixmap pix(Q(bitmap));
  if (pix.isNull()) return;  // an installation without the bitmap shows none
  splash_ =
      new QLabel(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  splash_->setAttribute(Qt::WA_DeleteOnClose);
  splash_->setPixmap(pix);
  splash_->setScaledContents(true);
  splash_->resize(pix.size());
  if (QScreen* s = QGuiApplication::primaryScreen())
    splash_->move(s->geometry().center() - splash_->rect().center());
  splash_->show();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  QLabel* shown = splash_;
  QTimer::singleShot(static_cast<int>(ms), this, [this, shown] {
    if (splash_ == shown) CloseSplash();
  });
}

void QtMainView::CloseSplash() {
  if (splash_) splash_->close();
  splash_ = nullptr;
}

void QtMainView::ShowNotice(const std::vector<std::string>& lines) {
  QString text;
  for (const auto& l : lines) text += Q(l) + "\n";
  auto* box = new QMessageBox(QMessageBox::Warning, Q("QUARTZEL"), text.trimmed(), QMessageBox::Ok,
                              ui_.main_window());
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

void QtMainView::StatusChanged() {
  const qz::Globals& g = qz::G();
  if (status_user_) status_user_->setText(Q(" " + g.XUSER_ABREVIA + " "));
  if (status_business_) status_business_->setText(Q(" " + qz::Trim(g.XU_COMP) + " "));
}

void QtMainView::FontsChanged() {
  const qz::Globals& g = qz::G();
  // Dialogs: the dialog font when one is set.
  static const QFont system_font = QApplication::font();
  QFont dialogs = system_font;
  if (!g.XGLOBAL_FONT_NAME.empty()) dialogs.setFamily(Q(g.XGLOBAL_FONT_NAME));
  QApplication::setFont(dialogs);
  // Grids: the grid font and size.
  QFont grids = dialogs;
  if (!g.XWINDOW_FONT_NAME.empty()) grids.setFamily(Q(g.XWINDOW_FONT_NAME));
  if (g.XGLOBAL_FONT_SIZE > 0) grids.setPointSizeF(g.XGLOBAL_FONT_SIZE);
  QApplication::setFont(grids, "QTableView");
  for (QTableView* v : ui_.main_window()->findChildren<QTableView*>()) v->setFont(grids);
}

bool QtMainView::Minimized() const {
  return ui_.main_window()->isMinimized();
}

void QtMainView::EnableMainWindow(bool on) {
  ui_.main_window()->setEnabled(on);
}

void QtMainView::Cascade() {
  ui_.mdi()->cascadeSubWindows();
}
void QtMainView::Tile() {
  ui_.mdi()->tileSubWindows();
}
void QtMainView::ArrangeIcons() {
  ui_.mdi()->tileSubWindows();
}

void QtMainView::EndProcess(int code) {
  ended_ = true;
  exit_code_ = code;
  // Every event loop, nested ones included, ends; main() returns the code.
  QCoreApplication::exit(code);
}

void QtMainView::ShowLockKeys() {
  if (status_num_) status_num_->setEnabled(lock_keys_.num().value_or(false));
  if (status_caps_) status_caps_->setEnabled(lock_keys_.caps().value_or(false));
}

void QtMainView::Polish(QWidget* w) {
  auto* view = qobject_cast<qz::DialogView*>(w);
  if (!view) return;
  const std::string& name = view->window().template_name();
  if (name == "XLOGINUSR") {
    const std::string bmp = qz::G().PATH + "BMP/";
    for (auto [id, file] : {std::pair{210, "ART1.BMP"}, std::pair{201, "ADS2.BMP"}}) {
      auto* l = qobject_cast<QLabel*>(view->widget(id));
      QPixmap pix(Q(bmp + file));
      if (l && !pix.isNull())
        l->setPixmap(pix.scaled(120, 120, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
  }
}

bool QtMainView::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Insert && status_insert_ &&
          !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
        overwrite_ = !overwrite_;
        status_insert_->setText(overwrite_ ? "OVR" : "INS");
      }
      if (auto* ke = static_cast<QKeyEvent*>(event);
          !ke->isAutoRepeat() && lock_keys_.Press(ke->key(), ke->text(), ke->modifiers()))
        ShowLockKeys();
      [[fallthrough]];
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
      if (principal_) principal_->idle().UserInput();
      break;
    case QEvent::Close:
      // The frame's close button asks first, as "Salir" does.
      if (watched == ui_.main_window() && principal_ && !ended_) {
        event->ignore();
        principal_->PostMessage(qz::kWmClose);
        return true;
      }
      break;
    case QEvent::Show:
      if (watched->isWidgetType()) Polish(static_cast<QWidget*>(watched));
      break;
    case QEvent::MouseButtonRelease: {
      auto* menu = qobject_cast<QMenu*>(watched);
      auto* me = static_cast<QMouseEvent*>(event);
      if (menu && me->button() == Qt::RightButton && principal_) {
        if (QAction* a = menu->actionAt(me->position().toPoint()); a && a->data().isValid()) {
          const int id = a->data().toInt();
          menu->close();
          QTimer::singleShot(0, this, [this, id] {
            if (principal_) principal_->MenuRightClick(id);
          });
          return true;
        }
      }
      break;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace pcfg
