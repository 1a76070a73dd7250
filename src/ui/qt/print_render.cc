#include "ui/qt/print_render.h"

#include <QFontMetricsF>
#include <QImageReader>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

namespace qz {

namespace {

bool LooksLikeAmount(const QString& s) {
  if (s.isEmpty()) return false;
  for (QChar c : s)
    if (!(c.isDigit() || c == ',' || c == '.' || c == '-' || c == '%' || c == '(' || c == ')'))
      return false;
  return true;
}

// The page's base font: the print font at the pixel size where a line of
// type fits the line height and an average character fits a column.
QFont BaseFont(const PrintDocument& doc, QPaintDevice* device, double line_h, double col_w) {
  QFont f(QString::fromUtf8(doc.font_family));
  f.setStyleHint(QFont::Serif);
  f.setPixelSize(std::max(4, static_cast<int>(line_h * 0.8)));
  QFontMetricsF fm(f, device);
  double avg = fm.averageCharWidth();
  if (avg > col_w && avg > 0)
    f.setPixelSize(std::max(4, static_cast<int>(f.pixelSize() * col_w / avg)));
  return f;
}

void PaintText(QPainter& p, const PrintText& t, const QFont& base, const QRectF& area,
               double line_h, double col_w) {
  QFont f = base;
  if (t.scale != 1.0) f.setPixelSize(std::max(4, static_cast<int>(base.pixelSize() * t.scale)));
  f.setBold(t.bold);
  f.setUnderline(t.underline);
  f.setItalic(t.italic);
  p.setFont(f);
  QString text = QString::fromUtf8(t.text);
  int lead = 0;
  while (lead < text.size() && text.at(lead) == ' ') ++lead;
  QString shown = text.mid(lead).trimmed();
  if (shown.isEmpty()) return;
  // The span the text owns; blanks in front of it are columns too.
  double left = area.left() + t.column * col_w;
  double width = t.Span() * col_w;
  Qt::Alignment align = Qt::AlignLeft;
  if (t.align == PrintAlign::kRight) align = Qt::AlignRight;
  if (t.align == PrintAlign::kCenter) align = Qt::AlignHCenter;
  if (t.align == PrintAlign::kLeft) {
    if (lead > 0 && LooksLikeAmount(shown)) {
      align = Qt::AlignRight;  // a picture-formatted amount: its end is its column
    } else {
      left += lead * col_w;
      width -= lead * col_w;
    }
  }
  double y = area.top() + t.line * line_h;
  // Larger type grows upwards from the line's baseline area.
  double h = line_h * std::max(1.0, t.scale);
  QRectF cell(left, y + line_h - h, std::max(width, col_w), h);
  QFontMetricsF fm(f, p.device());
  double natural = fm.horizontalAdvance(shown);
  p.save();
  if (natural > cell.width() && t.scale == 1.0 && natural > 0) {
    // Narrow the text rather than let it run into the next column.
    double k = cell.width() / natural;
    p.translate(cell.left(), 0);
    p.scale(k, 1.0);
    p.translate(-cell.left(), 0);
    cell.setWidth(natural);
    align = Qt::AlignLeft;
  }
  p.drawText(cell, align | Qt::AlignVCenter | Qt::TextDontClip, shown);
  p.restore();
}

}  // namespace

void PaintPage(QPainter& p, const PrintDocument& doc, int page, const QRectF& area) {
  if (page < 0 || page >= static_cast<int>(doc.pages.size())) return;
  const PrintPage& pg = doc.pages[page];
  double line_h = area.height() / std::max(doc.lines_per_page, 1);
  double col_w = area.width() / std::max(doc.columns, 1);
  auto at = [&](double line, double col) {
    return QPointF(area.left() + col * col_w, area.top() + line * line_h);
  };
  double points = p.device()->logicalDpiY() / 72.0;
  // Shading first, so rules and text stay on top of it.
  for (const auto& b : pg.boxes) {
    QRectF r(at(b.top, b.left), at(b.bottom, b.right));
    if (b.shade > 0) {
      int grey = 255 - b.shade * 255 / 100;
      p.fillRect(r, QColor(grey, grey, grey));
    }
    if (b.frame) {
      p.setPen(QPen(Qt::black, std::max(1.0, 0.75 * points)));
      p.setBrush(Qt::NoBrush);
      p.drawRect(r);
    }
  }
  for (const auto& img : pg.images) {
    QImageReader reader(QString::fromStdString(img.path));
    QImage picture = reader.read();
    if (picture.isNull()) continue;
    QRectF box(at(img.top, img.left), at(img.bottom, img.right));
    QSizeF size = QSizeF(picture.size()).scaled(box.size(), Qt::KeepAspectRatio);
    p.drawImage(QRectF(box.topLeft(), size), picture);
  }
  for (const auto& r : pg.rules) {
    p.setPen(QPen(Qt::black, std::max(1.0, r.pen_points * points)));
    p.drawLine(at(r.line1, r.col1), at(r.line2, r.col2));
  }
  p.setPen(Qt::black);
  QFont base = BaseFont(doc, p.device(), line_h, col_w);
  for (const auto& t : pg.items) PaintText(p, t, base, area, line_h, col_w);
}

std::string PrintDocumentTo(const PrintDocument& doc, QPrinter* printer) {
  printer->setPageOrientation(doc.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer->setDocName(QString::fromUtf8(doc.title));
  QPainter p;
  if (!p.begin(printer)) return "la impresora no aceptó el documento";
  QRectF area = printer->pageLayout().paintRectPixels(printer->resolution());
  area.moveTo(0, 0);
  for (int i = 0; i < static_cast<int>(doc.pages.size()); ++i) {
    if (i > 0 && !printer->newPage()) {
      p.end();
      return "la impresora dejó de aceptar páginas";
    }
    PaintPage(p, doc, i, area);
  }
  if (!p.end() || printer->printerState() == QPrinter::Error)
    return "la impresora informó un error";
  return "";
}

std::string WriteDocumentPdf(const PrintDocument& doc, const QString& path) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setPageSize(QPageSize(QPageSize::Letter));
  return PrintDocumentTo(doc, &printer);
}

bool SaveDocumentPdf(const PrintDocument& doc, const QString& path) {
  return WriteDocumentPdf(doc, path).empty();
}

QImage RenderPageImage(const PrintDocument& doc, int page, int width) {
  double ratio = doc.landscape ? 8.5 / 11.0 : 11.0 / 8.5;
  QImage img(width, static_cast<int>(width * ratio), QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setRenderHint(QPainter::Antialiasing);
  double margin = width * 0.05;
  PaintPage(p, doc, page,
            QRectF(margin, margin, img.width() - 2 * margin, img.height() - 2 * margin));
  return img;
}

}  // namespace qz
