// Printed documents on paper, in PDF and in the preview. Each page of the
// page model is drawn in the document's print font, sized so that its lines
// and columns fill the printable area: a text starts at its column, aligned
// texts (and amounts padded with blanks) line up at the end of their span,
// and a text wider than its span in a proportional font is narrowed to fit,
// so columns stay where the report put them.
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
// All pages to a printer (or a PDF printer). Returns "" when every page
// reached it, else what went wrong (in Spanish, for the user).
std::string PrintDocumentTo(const PrintDocument& doc, QPrinter* printer);
// Writes `path` as PDF; "" on success, else the reason.
std::string WriteDocumentPdf(const PrintDocument& doc, const QString& path);
bool SaveDocumentPdf(const PrintDocument& doc, const QString& path);
// One page as an image (white paper) `width` pixels wide.
QImage RenderPageImage(const PrintDocument& doc, int page, int width = 850);

}  // namespace qz
