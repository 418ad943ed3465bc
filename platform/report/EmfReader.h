#pragma once

#include <QByteArray>
#include <QRectF>
#include <QSizeF>

class QPainter;

namespace vorta::report {

// An enhanced metafile read back: an SVG document of it and its frame in mm.
struct EmfPicture {
    QByteArray svg;
    QSizeF sizeMm;
};

// Whether the bytes start with an EMF header record.
bool isEmf(const QByteArray& bytes);

// Converts through libemf2svg; raises EInOutError for bytes that are no EMF or that
// the reader refuses.
EmfPicture readEmf(const QByteArray& bytes);

// Draws an EMF into a rectangle of a painter (a page, a printer).
void drawEmf(QPainter& painter, const QRectF& target, const QByteArray& bytes);

} // namespace vorta::report
