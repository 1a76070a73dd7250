// The four read-only log screens of "&Archivo" ▸ "Mantenimientos": errors
// (VIEW_ERRORS), entries and exits (VIEW_E_S), transaction rollbacks
// (VIEW_ROLLBACK) and the usage of one menu entry's dialogs (LOG_DIAG, opened
// by a supervisor's right click on the entry). Each is a grid over its table
// with clickable sort columns; selecting a row shows its long texts below.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lib/data/use.h"
#include "lib/ui/browse.h"
#include "lib/ui/tree.h"
#include "lib/ui/wdiag.h"

namespace qz {

class LogViewer : public WDIAG {
 public:
  struct Column {
    std::string header;
    std::string field;
    std::string picture = {};
    std::string tag = {};  // clicking the header sorts by it
  };
  struct Setup {
    std::string tmpl;
    std::string table;
    int right = 0;
    std::vector<Column> columns;
    std::string scope;  // key prefix the rows are limited to ("" = all)
    // Fills the detail boxes from the current row.
    std::function<void(LogViewer&)> detail;
  };
  static constexpr int kGrid = 700;
  static constexpr int kDetailTimer = 1;

  LogViewer(Desktop& desktop, Setup setup);
  ~LogViewer() override;

  // Opens the table and shows the window; false (reported) when it cannot.
  bool Open();
  // Shows the selected row's details (also done by a short timer, so that
  // clicking a row is enough).
  void ShowDetail();
  // Restricts the rows to `scope` on `tag` (the LOG_DIAG user tree).
  void Restrict(const std::string& tag, const std::string& scope);

  WBLISTBOX* grid() const { return grid_.get(); }
  WDBTable* table() const { return table_.get(); }
  const Setup& setup() const { return setup_; }
  void OnActivate() override;
  void OnDeactivate() override;

 protected:
  void Close();
  // Runs after the grid is filled and before the window shows (its view
  // is built from what is there then).
  virtual void BeforeCreate() {}

 private:
  Setup setup_;
  TablePtr table_;
  std::unique_ptr<WBLISTBOX> grid_;
  int shown_row_ = -2;
};

// The dialog-usage viewer with its tree of users.
class LogDiagViewer : public LogViewer {
 public:
  static constexpr int kTree = 600;
  LogDiagViewer(Desktop& desktop, int menu_id);
  ~LogDiagViewer() override;
  bool OpenWithUsers();
  TreeModel* tree() const { return tree_.get(); }
  int menu_id() const { return menu_id_; }

 protected:
  void BeforeCreate() override;

 private:
  int menu_id_;
  std::unique_ptr<TreeModel> tree_;
};

LogViewer* OpenViewErrors(Desktop& desktop);
LogViewer* OpenViewEntries(Desktop& desktop);
LogViewer* OpenViewRollback(Desktop& desktop, const std::string& business);
LogDiagViewer* OpenDialogUsageLog(Desktop& desktop, int menu_id);

}  // namespace qz
