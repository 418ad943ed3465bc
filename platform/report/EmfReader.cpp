#include "platform/report/EmfReader.h"
#include "platform/report/EmfText.h"

#include "platform/core/Exceptions.h"

#include <QPainter>
#include <QPointF>
#include <QSvgRenderer>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#ifdef VORTA_HAVE_EMF2SVG
#include <emf2svg.h>
#endif

namespace vorta::report {

namespace {

constexpr int kMinHeader = 88;

qint32 at32(const QByteArray& b, int offset)
{
    return qFromLittleEndian<qint32>(b.constData() + offset);
}

// Stores a coordinate, kept inside the field's range whatever the header claimed.
void put32(QByteArray& b, int offset, double v)
{
    const double clamped = std::clamp(v, -2147483648.0, 2147483647.0);
    qToLittleEndian<qint32>(static_cast<qint32>(clamped), b.data() + offset);
}

// Offsets of the header fields read here.
enum : int {
    kSize = 4,
    kBounds = 8,
    kFrame = 24,
    kDescriptionLength = 60,
    kDescriptionOffset = 64,
    kDevice = 72,
    kMillimetres = 80,
    kMicrometres = 100,
};

// Whether the header holds the field that ends at `end` (the description may start
// right after the basic header, in the place of the extensions).
bool headerHas(const QByteArray& b, int end)
{
    const quint32 size = static_cast<quint32>(at32(b, kSize));
    const quint32 descriptionLength = static_cast<quint32>(at32(b, kDescriptionLength));
    const quint32 descriptionOffset = static_cast<quint32>(at32(b, kDescriptionOffset));
    return size >= static_cast<quint32>(end) && b.size() >= end
        && (descriptionLength == 0 || descriptionOffset >= static_cast<quint32>(end));
}

// Device pixels per hundredth of a millimetre on the reference device, from the
// micrometre sizes when the header has them (the millimetre ones are rounded).
QPointF pixelsPerHundredthMm(const QByteArray& b)
{
    const double devX = at32(b, kDevice), devY = at32(b, kDevice + 4);
    double hundredthsX = at32(b, kMillimetres) * 100.0, hundredthsY = at32(b, kMillimetres + 4) * 100.0;
    if (headerHas(b, kMicrometres + 8) && at32(b, kMicrometres) > 0 && at32(b, kMicrometres + 4) > 0) {
        hundredthsX = at32(b, kMicrometres) / 10.0;
        hundredthsY = at32(b, kMicrometres + 4) / 10.0;
    }
    if (devX <= 0 || devY <= 0 || hundredthsX <= 0 || hundredthsY <= 0)
        return {};
    return {devX / hundredthsX, devY / hundredthsY};
}

struct Rect32 {
    qint32 l, t, r, b;
    bool valid() const { return r >= l && b >= t; }
};

Rect32 rectAt(const QByteArray& b, int offset)
{
    return {at32(b, offset), at32(b, offset + 4), at32(b, offset + 8), at32(b, offset + 12)};
}

// The picture's extent is its frame; the bounds only say where the drawing reached.
// The converter maps the bounds onto the whole picture, so a drawing that leaves part
// of its frame blank (as GDI records it) would come out stretched: the bounds given to
// it are the frame in device pixels. A picture without a usable frame keeps its bounds
// and takes its size from them. Returns the size in mm (empty when neither is usable).
QSizeF alignBoundsToFrame(QByteArray& b)
{
    const Rect32 frame = rectAt(b, kFrame);
    const Rect32 bounds = rectAt(b, kBounds);
    const QPointF k = pixelsPerHundredthMm(b);
    if (frame.valid()) {
        if (!k.isNull()) {
            put32(b, kBounds, std::floor(frame.l * k.x()));
            put32(b, kBounds + 4, std::floor(frame.t * k.y()));
            put32(b, kBounds + 8, std::ceil((frame.r + 1.0) * k.x()) - 1);
            put32(b, kBounds + 12, std::ceil((frame.b + 1.0) * k.y()) - 1);
        }
        return {(double(frame.r) - frame.l + 1.0) / 100.0, (double(frame.b) - frame.t + 1.0) / 100.0};
    }
    if (bounds.valid() && !k.isNull())
        return {(double(bounds.r) - bounds.l + 1.0) / k.x() / 100.0, (double(bounds.b) - bounds.t + 1.0) / k.y() / 100.0};
    return {};
}

// GDI draws a pen made by CreatePen as wide as it was made; the converter draws every
// pen without the geometric style one pixel wide. Such pens wider than a pixel are
// marked geometric, which is how GDI draws them.
void markWidePensGeometric(QByteArray& b)
{
    constexpr quint32 kCreatePen = 38;
    constexpr quint32 kGeometric = 0x00010000;
    qsizetype at = static_cast<quint32>(at32(b, kSize));
    while (at + 8 <= b.size()) {
        const quint32 type = static_cast<quint32>(at32(b, int(at)));
        const quint32 size = static_cast<quint32>(at32(b, int(at + 4)));
        if (size < 8 || at + qsizetype(size) > b.size())
            break;
        if (type == kCreatePen && size >= 28) {
            const quint32 style = static_cast<quint32>(at32(b, int(at + 12)));
            if (at32(b, int(at + 16)) > 1 && !(style & kGeometric))
                qToLittleEndian<quint32>(style | kGeometric, b.data() + at + 12);
        }
        at += size;
    }
}

} // namespace

bool isEmf(const QByteArray& bytes)
{
    return bytes.size() >= kMinHeader && at32(bytes, 0) == 1 && static_cast<quint32>(at32(bytes, 40)) == 0x464D4520u;
}

EmfPicture readEmf(const QByteArray& bytes)
{
    if (!isEmf(bytes))
        throw EInOutError(QStringLiteral("The picture is not an enhanced metafile"));
    QByteArray copy = bytes; // the reader takes a mutable buffer
    EmfPicture picture;
    picture.sizeMm = alignBoundsToFrame(copy);
    markWidePensGeometric(copy);
    drawTextAsGdi(copy);
#ifdef VORTA_HAVE_EMF2SVG
    generatorOptions options{};
    options.nameSpace = nullptr;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    // The SVG keeps the picture's proportions, in tenths of a millimetre.
    options.imgWidth = picture.sizeMm.width() * 10.0;
    options.imgHeight = picture.sizeMm.height() * 10.0;
    char* out = nullptr;
    size_t outLength = 0;
    const int ok = emf2svg(copy.data(), static_cast<size_t>(copy.size()), &out, &outLength, &options);
    if (!ok || !out) {
        std::free(out);
        throw EInOutError(QStringLiteral("The enhanced metafile cannot be read"));
    }
    picture.svg = QByteArray(out, static_cast<qsizetype>(outLength));
    std::free(out);
#else
    throw EInOutError(QStringLiteral("Enhanced metafiles cannot be read on this machine"));
#endif
    return picture;
}

void drawEmf(QPainter& painter, const QRectF& target, const QByteArray& bytes)
{
    const EmfPicture picture = readEmf(bytes);
    QSvgRenderer renderer(picture.svg);
    if (!renderer.isValid())
        throw EInOutError(QStringLiteral("The enhanced metafile cannot be read"));
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    renderer.render(&painter, target);
    painter.restore();
}

} // namespace vorta::report
