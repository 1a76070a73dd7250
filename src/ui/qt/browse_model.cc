#include "ui/qt/browse_model.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>

namespace qz {
namespace {

QColor FromColorRef(uint32_t c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

}  // namespace

BrowseModel::BrowseModel(WBLISTBOX* grid, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid) {
  grid_->SetView(this);
}

BrowseModel::~BrowseModel() {
  if (grid_) grid_->SetView(nullptr);
}

int BrowseModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : grid_->RowCount();
}

int BrowseModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(grid_->columns().size());
}

QVariant BrowseModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const BrowseColumn& c = grid_->columns()[index.column()];
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromUtf8(grid_->Cell(index.row(), index.column())).trimmed();
    case Qt::EditRole:
      return QString::fromUtf8(grid_->Cell(index.row(), index.column())).trimmed();
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignVCenter |
                                 (c.right_align ? Qt::AlignRight : Qt::AlignLeft));
    default:
      return {};
  }
}

QVariant BrowseModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal || section < 0 || section >= columnCount()) {
    return QAbstractTableModel::headerData(section, o, role);
  }
  if (role == Qt::DisplayRole) return QString::fromUtf8(grid_->columns()[section].header);
  if (role == Qt::BackgroundRole) {
    if (auto c = grid_->HeaderColour(section)) return FromColorRef(*c);
  }
  return {};
}

Qt::ItemFlags BrowseModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (index.isValid() && grid_->columns()[index.column()].on_edit) f |= Qt::ItemIsEditable;
  return f;
}

bool BrowseModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid()) return false;
  return grid_->EditCell(index.row(), index.column(), value.toString().toStdString());
}

void BrowseModel::RowsReset() {
  beginResetModel();
  endResetModel();
}

void BrowseModel::RowChanged(int row) {
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void BrowseModel::CurrentChanged(int row) {
  emit currentRowMoved(row);
}

BrowseTable::BrowseTable(WBLISTBOX* grid, QWidget* parent) : QTableView(parent) {
  model_ = new BrowseModel(grid, this);
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setAlternatingRowColors(true);
  setShowGrid(false);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  verticalHeader()->setVisible(grid->SHOWNUMBERS);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsMovable(grid->USERMOVE);
  horizontalHeader()->setStretchLastSection(true);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  ApplyColumnWidths();
  connect(model_, &QAbstractItemModel::modelReset, this, [this] { ApplyColumnWidths(); });
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int col) {
    model_->grid()->ClickHeader(col);
    horizontalHeader()->viewport()->update();
  });
  connect(model_, &BrowseModel::currentRowMoved, this, [this](int row) {
    if (syncing_ || row < 0) return;
    syncing_ = true;
    QModelIndex i = model_->index(row, 0);
    setCurrentIndex(i);
    scrollTo(i);
    syncing_ = false;
  });
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& cur) {
            if (syncing_ || !cur.isValid()) return;
            syncing_ = true;
            model_->grid()->Select(cur.row());
            syncing_ = false;
          });
  if (grid->current() >= 0) setCurrentIndex(model_->index(grid->current(), 0));
}

void BrowseTable::ApplyColumnWidths() {
  // The screens set the presentation after the grid exists (ConfigBrow).
  const WBLISTBOX* g = model_->grid();
  verticalHeader()->setVisible(g->SHOWNUMBERS);
  horizontalHeader()->setSectionsMovable(g->USERMOVE);
  horizontalHeader()->setSectionResizeMode(g->USERSIZE ? QHeaderView::Interactive
                                                       : QHeaderView::Fixed);
  horizontalHeader()->setStretchLastSection(true);
  const auto& cols = g->columns();
  int cw = fontMetrics().averageCharWidth();
  for (int i = 0; i < static_cast<int>(cols.size()); ++i) {
    int chars = std::max<int>(cols[i].width, static_cast<int>(cols[i].header.size()));
    setColumnWidth(i, chars * cw + 24);
  }
}

void BrowseTable::keyPressEvent(QKeyEvent* e) {
  QString text = e->text();
  bool printable = !text.isEmpty() && text.at(0).isPrint() &&
                   !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  if (printable && state() != QAbstractItemView::EditingState) {
    model_->grid()->TypeSearch(text.toStdString());
    return;
  }
  QTableView::keyPressEvent(e);
}

}  // namespace qz
