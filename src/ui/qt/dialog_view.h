// A window built from its dialog template with Qt layouts: every control of
// the template becomes a widget bound to the WDIAG's control state (shown
// when the state changes, reported when the user acts).
#pragma once

#include <QWidget>
#include <map>

#include "lib/ui/wdiag.h"

class QGridLayout;
class QLayout;

namespace qz {

class DialogView : public QWidget, public WindowView {
  Q_OBJECT
 public:
  DialogView(WDIAG& w, QWidget* parent = nullptr);
  ~DialogView() override;

  WDIAG& window() const { return w_; }
  QWidget* widget(int id) const;
  // Gives the focus to the control the window state names (WDIAG::focus()).
  void ApplyFocus();

  // WindowView
  void ControlChanged(int id) override;
  void FocusChanged(int id) override;
  void WindowChanged() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  // The user did something (the window may have ended).
  void acted();

 private:
  QWidget* Build(const TemplateNode& n);
  void Fill(QGridLayout* grid, const TemplateNode& n);
  QWidget* MakeControl(const TemplateNode& n);
  void Show(const ControlState& c);
  int CharWidth() const;

  WDIAG& w_;
  std::map<int, QWidget*> widgets_;
  bool updating_ = false;
};

}  // namespace qz
