// Printed documents on paper, in PDF and in the preview: each page of the
// page model is drawn with a fixed-pitch font scaled so that its columns and
// lines fill the printable area.
#pragma once

#include <QImage>
#include <QString>

#include "lib/ui/print_document.h"

class QPainter;
class QPrinter;
class QWidget;

namespace qz {

// Draws page `page` of `doc` into the rectangle `area` of `p`.
void PaintPage(QPainter& p, const PrintDocument& doc, int page, const QRectF& area);
// All pages to a printer (or a PDF printer).
void PrintDocumentTo(const PrintDocument& doc, QPrinter* printer);
bool SaveDocumentPdf(const PrintDocument& doc, const QString& path);
// One page as an image (white paper) `width` pixels wide.
QImage RenderPageImage(const PrintDocument& doc, int page, int width = 850);
// The print preview, from which the user may print.
void PreviewDocument(const PrintDocument& doc, QWidget* parent);

}  // namespace qz
