#pragma once

#include "platform/report/PreparedReport.h"

#include <QImage>
#include <QPageLayout>
#include <QString>

class QPainter;

namespace vorta::report {

// Draws a prepared page on a painter whose device maps pxPerMm pixels to a
// millimetre (fonts follow the device's resolution).
void renderPage(QPainter& painter, const PreparedPage& page, double pxPerMm);

// The page layout of a prepared report, no margins (landscape when wider than high).
QPageLayout pageLayoutOf(const PreparedReport& report);

// A page as an image at dpi dots per inch, on white.
QImage renderPageImage(const PreparedReport& report, int pageIndex, double dpi);

// A PDF of every prepared page (a blank page when there is none); raises
// EInOutError when the file cannot be written.
void writePdf(const PreparedReport& report, const QString& fileName);

} // namespace vorta::report
