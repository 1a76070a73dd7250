// The grid on screen: a Qt table model over a WBLISTBOX (which holds the
// rows of the table's scoped tag) and the table view that forwards header
// clicks, typed search text and in-place edits to it. A grid with totals
// shows them as a last, bold row that cannot be selected; in-place editors
// take the column's picture as their mask; the view tells the grid which
// rows it shows, so a refresh re-reads those and no others.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>

#include "lib/ui/browse.h"

namespace qz {

class BrowseModel : public QAbstractTableModel, public BrowseView {
  Q_OBJECT
 public:
  BrowseModel(WBLISTBOX* grid, QObject* parent);
  ~BrowseModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // BrowseView
  void RowsReset() override;
  void RowChanged(int row) override;
  void CurrentChanged(int row) override;

  WBLISTBOX* grid() const { return grid_; }
  // The totals row (when the grid has totals) is the last one.
  bool IsTotalsRow(int row) const { return grid_->has_totals() && row == grid_->RowCount(); }

 signals:
  void currentRowMoved(int row);

 private:
  WBLISTBOX* grid_;
};

class BrowseTable : public QTableView {
  Q_OBJECT
 public:
  BrowseTable(WBLISTBOX* grid, QWidget* parent);

  // Saves what the user typed into a cell editor that is still open, as
  // leaving the cell would.
  void CommitOpenEditor();

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void ApplyColumnWidths();
  void ReportVisibleRows();
  BrowseModel* model_;
  bool syncing_ = false;
};

// CommitOpenEditor for every grid inside `root`: run before a button or menu
// action, which may be pressed without the cell being left (a keyboard
// shortcut, a menu click, the default button) and must act on the value
// typed, not on the one the cell held before.
void CommitOpenEditors(QWidget* root);

}  // namespace qz
