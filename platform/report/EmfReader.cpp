#include "platform/report/EmfReader.h"

#include "platform/core/Exceptions.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QtEndian>

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

} // namespace

bool isEmf(const QByteArray& bytes)
{
    return bytes.size() >= kMinHeader && at32(bytes, 0) == 1 && static_cast<quint32>(at32(bytes, 40)) == 0x464D4520u;
}

EmfPicture readEmf(const QByteArray& bytes)
{
    if (!isEmf(bytes))
        throw EInOutError(QStringLiteral("The picture is not an enhanced metafile"));
    // The header's frame, in hundredths of a millimetre, inclusive.
    const qint32 l = at32(bytes, 24), t = at32(bytes, 28), r = at32(bytes, 32), b = at32(bytes, 36);
    EmfPicture picture;
    picture.sizeMm = QSizeF((r - l + 1) / 100.0, (b - t + 1) / 100.0);
#ifdef VORTA_HAVE_EMF2SVG
    generatorOptions options{};
    options.nameSpace = nullptr;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;
    // The SVG keeps the picture's proportions, in tenths of a millimetre.
    options.imgWidth = picture.sizeMm.width() * 10.0;
    options.imgHeight = picture.sizeMm.height() * 10.0;
    QByteArray copy = bytes; // the reader takes a mutable buffer
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
    renderer.render(&painter, target);
}

} // namespace vorta::report
