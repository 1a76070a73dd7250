#include "ui/qt/print_render.h"

#include <QFontDatabase>
#include <QPageLayout>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace qz {

void PaintPage(QPainter& p, const PrintDocument& doc, int page, const QRectF& area) {
  if (page < 0 || page >= static_cast<int>(doc.pages.size())) return;
  double line_h = area.height() / doc.lines_per_page;
  double col_w = area.width() / std::max(doc.columns, 1);
  QFont base = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  // Size the font by the column pitch, then keep it within the line height.
  base.setPixelSize(std::max(4, static_cast<int>(line_h * 0.8)));
  QFontMetricsF fm(base, p.device());
  double pitch = fm.horizontalAdvance('M');
  if (pitch > col_w && pitch > 0) {
    base.setPixelSize(std::max(4, static_cast<int>(base.pixelSize() * col_w / pitch)));
  }
  for (const auto& t : doc.pages[page].items) {
    QFont f = base;
    f.setBold(t.bold);
    f.setUnderline(t.underline);
    p.setFont(f);
    QString text = QString::fromUtf8(t.text);
    double y = area.top() + t.line * line_h;
    // Character by character, so every character keeps its column.
    for (int i = 0; i < text.size(); ++i) {
      QRectF cell(area.left() + (t.column + i) * col_w, y, col_w, line_h);
      p.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, QString(text.at(i)));
    }
  }
}

void PrintDocumentTo(const PrintDocument& doc, QPrinter* printer) {
  printer->setPageOrientation(doc.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer->setDocName(QString::fromUtf8(doc.title));
  QPainter p(printer);
  QRectF area = printer->pageLayout().paintRectPixels(printer->resolution());
  area.moveTo(0, 0);
  for (int i = 0; i < static_cast<int>(doc.pages.size()); ++i) {
    if (i > 0) printer->newPage();
    PaintPage(p, doc, i, area);
  }
}

bool SaveDocumentPdf(const PrintDocument& doc, const QString& path) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  PrintDocumentTo(doc, &printer);
  return true;
}

QImage RenderPageImage(const PrintDocument& doc, int page, int width) {
  double ratio = doc.landscape ? 210.0 / 297.0 : 297.0 / 210.0;
  QImage img(width, static_cast<int>(width * ratio), QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::TextAntialiasing);
  double margin = width * 0.06;
  PaintPage(p, doc, page,
            QRectF(margin, margin, img.width() - 2 * margin, img.height() - 2 * margin));
  return img;
}

void PreviewDocument(const PrintDocument& doc, QWidget* parent) {
  QPrinter printer(QPrinter::HighResolution);
  QPrintPreviewDialog dlg(&printer, parent);
  dlg.setWindowTitle(QString::fromUtf8(doc.title));
  QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg,
                   [&doc](QPrinter* p) { PrintDocumentTo(doc, p); });
  dlg.exec();
}

}  // namespace qz
