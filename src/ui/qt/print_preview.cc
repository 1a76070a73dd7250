#include "ui/qt/print_preview.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt/print_render.h"

namespace qz {

PreviewWindow::PreviewWindow(const PrintDocument& doc, QWidget* parent,
                             std::function<void()> print,
                             std::function<void(const std::string&)> save_pdf)
    : QDialog(parent), doc_(doc), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  setWindowTitle(QString::fromUtf8("Vista Previa - " + doc_.title));
  printer_->setPageOrientation(doc_.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  view_ = new QPrintPreviewWidget(printer_.get(), this);
  connect(view_, &QPrintPreviewWidget::paintRequested, this,
          [this](QPrinter* p) { PrintDocumentTo(doc_, p); });
  connect(view_, &QPrintPreviewWidget::previewChanged, this, [this] { UpdatePageLabel(); });

  auto* bar = new QHBoxLayout;
  auto button = [&](const char* caption, auto fn) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, fn);
    bar->addWidget(b);
    return b;
  };
  button("&Imprimir...", [print] {
    if (print) print();
  });
  button("Guardar &PDF...", [this, save_pdf] {
    QString name = QFileDialog::getSaveFileName(
        this, QString::fromUtf8("Guardar como PDF"),
        QString::fromUtf8(doc_.title) + ".pdf", QString::fromUtf8("Documentos PDF (*.pdf)"));
    if (!name.isEmpty() && save_pdf) save_pdf(name.toStdString());
  });
  bar->addSpacing(12);
  button("<", [this] { view_->setCurrentPage(view_->currentPage() - 1); UpdatePageLabel(); });
  page_label_ = new QLabel(this);
  bar->addWidget(page_label_);
  button(">", [this] { view_->setCurrentPage(view_->currentPage() + 1); UpdatePageLabel(); });
  bar->addSpacing(12);
  button("Acercar", [this] { view_->zoomIn(); });
  button("Alejar", [this] { view_->zoomOut(); });
  button("Página completa", [this] { view_->fitInView(); });
  button("Dos páginas", [this] { view_->setViewMode(QPrintPreviewWidget::FacingPagesView); });
  bar->addStretch(1);
  button("&Cerrar", [this] { accept(); });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(view_, 1);
  resize(900, 1000);
  view_->updatePreview();
  view_->fitInView();
  UpdatePageLabel();
}

PreviewWindow::~PreviewWindow() = default;

int PreviewWindow::page_count() const { return view_->pageCount(); }

void PreviewWindow::UpdatePageLabel() {
  page_label_->setText(QString::fromUtf8("Página %1 de %2")
                           .arg(view_->currentPage())
                           .arg(view_->pageCount()));
}

PrintJobResult PrintWithDialog(const PrintDocument& doc, QWidget* parent) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(doc.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer.setDocName(QString::fromUtf8(doc.title));
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(QString::fromUtf8("Imprimir - " + doc.title));
  if (dialog.exec() != QDialog::Accepted) return {PrintJobResult::kCancelled, ""};
  std::string error = PrintDocumentTo(doc, &printer);
  if (!error.empty()) return {PrintJobResult::kFailed, error};
  return {};
}

}  // namespace qz
