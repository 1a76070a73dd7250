// The print preview window and the system print dialog. The preview shows
// the pages as they will print (page by page or side by side, zoomable) and
// offers "Imprimir..." and "Guardar PDF..."; both go back through the
// program's report output, so a failing printer or folder is told the same
// way wherever the user started.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "lib/ui/print_document.h"
#include "lib/ui/window_system.h"

class QPrinter;
class QPrintPreviewWidget;
class QLabel;

namespace qz {

class PreviewWindow : public QDialog {
 public:
  // `print` and `save_pdf` run the program's report output for the shown
  // document (save_pdf receives the chosen file name).
  PreviewWindow(const PrintDocument& doc, QWidget* parent, std::function<void()> print,
                std::function<void(const std::string&)> save_pdf);
  ~PreviewWindow() override;

  QPrintPreviewWidget* view() const { return view_; }
  int page_count() const;

 private:
  void UpdatePageLabel();

  PrintDocument doc_;
  std::unique_ptr<QPrinter> printer_;
  QPrintPreviewWidget* view_ = nullptr;
  QLabel* page_label_ = nullptr;
};

// The system print dialog for `doc`, then the pages to the chosen printer.
PrintJobResult PrintWithDialog(const PrintDocument& doc, QWidget* parent);

}  // namespace qz
