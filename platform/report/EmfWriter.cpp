#include "platform/report/EmfWriter.h"

#include "platform/core/Exceptions.h"
#include "platform/report/EmfRecords.h"
#include "platform/report/PageRenderer.h"
#include "platform/report/TextLayout.h"

#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cmath>
#include <cstring>

namespace vorta::report {

namespace {

constexpr quint32 kStock = 0x80000000u;
constexpr quint32 WHITE_BRUSH = kStock | 0, NULL_BRUSH = kStock | 5, BLACK_PEN = kStock | 7,
                  NULL_PEN = kStock | 8, SYSTEM_FONT = kStock | 13;
constexpr quint32 kPenSlot = 1, kBrushSlot = 2, kFontSlot = 3, kHandles = 4;
constexpr double kUnitsPerMm = 100.0;

qint32 u(double mm)
{
    return static_cast<qint32>(std::lround(mm * kUnitsPerMm));
}

quint32 colorRef(const QColor& c)
{
    return static_cast<quint32>(c.red()) | (static_cast<quint32>(c.green()) << 8)
        | (static_cast<quint32>(c.blue()) << 16);
}

// Little-endian record builder.
class Emf {
public:
    void begin(quint32 type)
    {
        m_start = m_data.size();
        u32(type);
        u32(0); // size, patched in end()
    }
    void end()
    {
        while ((m_data.size() - m_start) % 4)
            m_data.append('\0');
        patch(m_start + 4, static_cast<quint32>(m_data.size() - m_start));
        ++m_records;
    }
    void u32(quint32 v)
    {
        char b[4] = {char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff), char((v >> 24) & 0xff)};
        m_data.append(b, 4);
    }
    void i32(qint32 v) { u32(static_cast<quint32>(v)); }
    void u16(quint16 v)
    {
        char b[2] = {char(v & 0xff), char(v >> 8)};
        m_data.append(b, 2);
    }
    void u8(quint8 v) { m_data.append(static_cast<char>(v)); }
    void f32(float v)
    {
        quint32 bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
    void rect(qint32 l, qint32 t, qint32 r, qint32 b)
    {
        i32(l);
        i32(t);
        i32(r);
        i32(b);
    }
    // A fixed-size UTF-16 field, zero padded.
    void wchars(const QString& s, int count)
    {
        for (int i = 0; i < count; ++i)
            u16(i < s.size() && i < count - 1 ? s[i].unicode() : 0);
    }
    void bytes(const QByteArray& b) { m_data.append(b); }
    void patch(qsizetype at, quint32 v)
    {
        for (int i = 0; i < 4; ++i)
            m_data[at + i] = char((v >> (8 * i)) & 0xff);
    }
    qsizetype size() const { return m_data.size(); }
    quint32 records() const { return m_records; }
    QByteArray& data() { return m_data; }

    void simple(quint32 type, quint32 value)
    {
        begin(type);
        u32(value);
        end();
    }

private:
    QByteArray m_data;
    qsizetype m_start = 0;
    quint32 m_records = 0;
};

void selectPen(Emf& e, double widthMm, const QColor& color)
{
    if (widthMm <= 0) {
        e.simple(EMR_SELECTOBJECT, NULL_PEN);
        return;
    }
    e.begin(EMR_CREATEPEN);
    e.u32(kPenSlot);
    // PS_GEOMETRIC | PS_SOLID: readers draw cosmetic pens one pixel wide whatever the width.
    e.u32(0x00010000);
    e.i32(std::max<qint32>(1, u(widthMm)));
    e.i32(0);
    e.u32(colorRef(color));
    e.end();
    e.simple(EMR_SELECTOBJECT, kPenSlot);
}

void releasePen(Emf& e, double widthMm)
{
    if (widthMm <= 0)
        return;
    e.simple(EMR_SELECTOBJECT, BLACK_PEN);
    e.simple(EMR_DELETEOBJECT, kPenSlot);
}

void selectBrush(Emf& e, const QColor& fill)
{
    if (!fill.isValid()) {
        e.simple(EMR_SELECTOBJECT, NULL_BRUSH);
        return;
    }
    e.begin(EMR_CREATEBRUSHINDIRECT);
    e.u32(kBrushSlot);
    e.u32(0); // BS_SOLID
    e.u32(colorRef(fill));
    e.u32(0);
    e.end();
    e.simple(EMR_SELECTOBJECT, kBrushSlot);
}

void releaseBrush(Emf& e, const QColor& fill)
{
    if (!fill.isValid())
        return;
    e.simple(EMR_SELECTOBJECT, WHITE_BRUSH);
    e.simple(EMR_DELETEOBJECT, kBrushSlot);
}

void writeLine(Emf& e, const PageItem& item)
{
    selectPen(e, item.penWidth > 0 ? item.penWidth : 0.1, item.color);
    e.begin(EMR_MOVETOEX);
    e.i32(u(item.rect.left()));
    e.i32(u(item.rect.top()));
    e.end();
    e.begin(EMR_LINETO);
    e.i32(u(item.rect.right()));
    e.i32(u(item.rect.bottom()));
    e.end();
    releasePen(e, item.penWidth > 0 ? item.penWidth : 0.1);
}

void writeShape(Emf& e, const PageItem& item)
{
    selectPen(e, item.penWidth, item.color);
    selectBrush(e, item.fill);
    e.begin(item.kind == PageItem::Kind::Rect ? EMR_RECTANGLE : EMR_ELLIPSE);
    const QRectF r = item.rect.normalized();
    e.rect(u(r.left()), u(r.top()), u(r.right()), u(r.bottom()));
    e.end();
    releaseBrush(e, item.fill);
    releasePen(e, item.penWidth);
}

void writeFont(Emf& e, const FontSpec& font)
{
    e.begin(EMR_EXTCREATEFONTINDIRECTW);
    e.u32(kFontSlot);
    // LOGFONTW: a negative height asks for the character height without leading.
    e.i32(-static_cast<qint32>(std::lround(font.pointSize * 25.4 / 72.0 * kUnitsPerMm)));
    e.i32(0); // width
    e.i32(0); // escapement
    e.i32(0); // orientation
    e.i32(font.bold ? 700 : 400);
    e.u8(font.italic ? 1 : 0);
    e.u8(font.underline ? 1 : 0);
    e.u8(0);  // strike-out
    e.u8(1);  // DEFAULT_CHARSET
    e.u8(0);  // OUT_DEFAULT_PRECIS
    e.u8(0);  // CLIP_DEFAULT_PRECIS
    e.u8(0);  // DEFAULT_QUALITY
    e.u8(0);  // DEFAULT_PITCH | FF_DONTCARE
    e.wchars(font.family, 32);
    // The rest of a LogFontPanose, as GDI writes it: full name, style, version,
    // style size, match, reserved, vendor, culture, PANOSE, padding.
    e.wchars(QString(), 64);
    e.wchars(QString(), 32);
    for (int i = 0; i < 6; ++i)
        e.u32(0);
    for (int i = 0; i < 12; ++i)
        e.u8(0);
    e.end();
    e.simple(EMR_SELECTOBJECT, kFontSlot);
}

void writeText(Emf& e, const PageItem& item)
{
    if (item.lines.isEmpty() || item.text().trimmed().isEmpty())
        return;
    writeFont(e, item.font);
    e.simple(EMR_SETTEXTCOLOR, colorRef(item.color));
    for (qsizetype i = 0; i < item.lines.size(); ++i) {
        const QString& line = item.lines[i];
        if (line.isEmpty())
            continue;
        const QList<double> adv = advancesMm(item.font, line);
        double width = 0;
        for (double a : adv)
            width += a;
        double x = item.rect.left();
        if (item.align == HAlign::Right)
            x = item.rect.right() - width;
        else if (item.align == HAlign::Center)
            x = item.rect.left() + (item.rect.width() - width) / 2.0;
        const double lineTop = item.rect.top() + i * item.lineHeight;
        const double baseline = lineTop + item.ascent;

        const quint32 nChars = static_cast<quint32>(line.size());
        const quint32 offString = 76;
        const quint32 stringBytes = (nChars * 2 + 3) & ~3u;
        e.begin(EMR_EXTTEXTOUTW);
        e.rect(u(x), u(lineTop), u(x + width), u(lineTop + item.lineHeight));
        e.u32(1);    // GM_COMPATIBLE
        e.f32(1.0f); // hundredths of a millimetre per unit, both axes
        e.f32(1.0f);
        e.i32(u(x));
        e.i32(u(baseline));
        e.u32(nChars);
        e.u32(offString);
        e.u32(0); // no clipping, no opaque box
        e.rect(0, 0, -1, -1);
        e.u32(offString + stringBytes);
        for (QChar c : line)
            e.u16(c.unicode());
        if (nChars % 2)
            e.u16(0);
        // Spacing from the advances, rounded so the positions do not drift.
        double pos = 0;
        qint32 placed = 0;
        for (double a : adv) {
            pos += a;
            const qint32 next = u(pos);
            e.i32(next - placed);
            placed = next;
        }
        e.end();
    }
    e.simple(EMR_SELECTOBJECT, SYSTEM_FONT);
    e.simple(EMR_DELETEOBJECT, kFontSlot);
}

// The picture's pixels, premultiplied, with its transparency kept.
QImage rasterOf(const PageItem& item)
{
    if (!item.svg.isEmpty()) {
        // 200 dpi is plenty for a picture inside a page picture.
        const QSize px(std::max(1, int(item.rect.width() / 25.4 * 200)), std::max(1, int(item.rect.height() / 25.4 * 200)));
        QImage image(px, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        QSvgRenderer(item.svg).render(&p);
        return image;
    }
    return item.image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool isOpaque(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

// BITMAPINFOHEADER and bottom-up rows: 24-bit BGR, or 32-bit premultiplied BGRA.
void writeBitmap(Emf& e, const QImage& image, bool alpha, quint32 bits)
{
    const int w = image.width(), h = image.height();
    e.u32(40);
    e.i32(w);
    e.i32(h);
    e.u16(1);
    e.u16(alpha ? 32 : 24);
    e.u32(0); // BI_RGB
    e.u32(bits);
    e.i32(3780); // 96 dpi
    e.i32(3780);
    e.u32(0);
    e.u32(0);
    const int bytesPerPixel = alpha ? 4 : 3;
    QByteArray row(static_cast<qsizetype>(bits / static_cast<quint32>(h)), '\0');
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            char* px = row.data() + x * bytesPerPixel;
            px[0] = static_cast<char>(qBlue(line[x]));
            px[1] = static_cast<char>(qGreen(line[x]));
            px[2] = static_cast<char>(qRed(line[x]));
            if (alpha)
                px[3] = static_cast<char>(qAlpha(line[x]));
        }
        e.bytes(row);
    }
}

void writeImage(Emf& e, const PageItem& item)
{
    const QImage image = rasterOf(item);
    if (image.isNull())
        return;
    const int w = image.width(), h = image.height();
    const QRectF r = item.rect;
    // An opaque picture is copied as it always was; one with transparency is blended
    // over what lies below it, so it does not cover the page with a box.
    const bool alpha = !isOpaque(image);
    const quint32 rowBytes = alpha ? static_cast<quint32>(w) * 4 : (static_cast<quint32>(w) * 3 + 3) & ~3u;
    const quint32 bits = rowBytes * static_cast<quint32>(h);
    if (!alpha) {
        e.begin(EMR_STRETCHDIBITS);
        e.rect(u(r.left()), u(r.top()), u(r.right()), u(r.bottom()));
        e.i32(u(r.left()));
        e.i32(u(r.top()));
        e.i32(0);
        e.i32(0);
        e.i32(w);
        e.i32(h);
        e.u32(80);       // offBmiSrc
        e.u32(40);       // cbBmiSrc
        e.u32(120);      // offBitsSrc
        e.u32(bits);
        e.u32(0);        // DIB_RGB_COLORS
        e.u32(0x00CC0020); // SRCCOPY
        e.i32(u(r.width()));
        e.i32(u(r.height()));
        writeBitmap(e, image, false, bits);
        e.end();
        return;
    }
    e.begin(EMR_ALPHABLEND);
    e.rect(u(r.left()), u(r.top()), u(r.right()), u(r.bottom()));
    e.i32(u(r.left()));
    e.i32(u(r.top()));
    e.i32(u(r.width()));
    e.i32(u(r.height()));
    e.u32(0x01FF0000); // AC_SRC_OVER, constant alpha 255, AC_SRC_ALPHA
    e.i32(0);          // xSrc, ySrc
    e.i32(0);
    for (float m : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}) // source transform: identity
        e.f32(m);
    e.u32(0);          // background colour
    e.u32(0);          // DIB_RGB_COLORS
    e.u32(108);        // offBmiSrc
    e.u32(40);         // cbBmiSrc
    e.u32(148);        // offBitsSrc
    e.u32(bits);
    e.i32(w);          // cxSrc, cySrc
    e.i32(h);
    writeBitmap(e, image, true, bits);
    e.end();
}

} // namespace

QByteArray emfOfPage(const PreparedReport& report, int pageIndex)
{
    const PreparedPage& page = report.page(pageIndex);
    const QSizeF size = report.pageSize();
    const qint32 w = u(size.width()), h = u(size.height());
    const qint32 mmW = static_cast<qint32>(std::ceil(size.width())), mmH = static_cast<qint32>(std::ceil(size.height()));

    Emf e;
    const QString description = QStringLiteral("Vorta") + QChar(0) + report.title() + QChar(0) + QChar(0);
    e.begin(EMR_HEADER);
    e.rect(0, 0, w - 1, h - 1);       // bounds, device units
    e.rect(0, 0, w - 1, h - 1);       // frame, .01 mm
    e.u32(0x464D4520);                // " EMF"
    e.u32(0x00010000);
    e.u32(0);                         // file size, patched below
    e.u32(0);                         // record count, patched below
    e.u16(kHandles);
    e.u16(0);
    e.u32(static_cast<quint32>(description.size()));
    e.u32(108);
    e.u32(0);                         // palette entries
    // Reference device: a hundredth of a millimetre per pixel.
    e.i32(mmW * 100);
    e.i32(mmH * 100);
    e.i32(mmW);
    e.i32(mmH);
    e.u32(0);                         // pixel format
    e.u32(0);
    e.u32(0);                         // OpenGL
    e.u32(static_cast<quint32>(mmW) * 1000);
    e.u32(static_cast<quint32>(mmH) * 1000);
    for (QChar c : description)
        e.u16(c.unicode());
    e.end();

    e.simple(EMR_SETMAPMODE, 1);      // MM_TEXT
    e.simple(EMR_SETBKMODE, 1);       // TRANSPARENT
    e.simple(EMR_SETTEXTALIGN, 24);   // TA_BASELINE | TA_LEFT

    for (const PageItem& item : page.items) {
        switch (item.kind) {
        case PageItem::Kind::Text: writeText(e, item); break;
        case PageItem::Kind::Line: writeLine(e, item); break;
        case PageItem::Kind::Rect:
        case PageItem::Kind::Ellipse: writeShape(e, item); break;
        case PageItem::Kind::Image: writeImage(e, item); break;
        }
    }

    e.begin(EMR_EOF);
    e.u32(0);   // palette entries
    e.u32(16);  // offset of the (empty) palette
    e.u32(20);  // this record's size, repeated last
    e.end();

    e.patch(48, static_cast<quint32>(e.size()));
    e.patch(52, e.records());
    return e.data();
}

QString emfPageFileName(const QString& fileName, int page)
{
    const QFileInfo info(fileName);
    const QString number = QStringLiteral("%1").arg(page, 3, 10, QLatin1Char('0'));
    const QString dir = info.path() == QLatin1String(".") && !fileName.startsWith(QLatin1String("./"))
        ? QString()
        : info.path() + QLatin1Char('/');
    if (info.suffix().isEmpty())
        return dir + info.fileName() + number;
    return dir + info.completeBaseName() + number + QLatin1Char('.') + info.suffix();
}

QStringList writeEmfPages(const PreparedReport& report, const QString& fileName)
{
    QStringList names;
    for (int i = 0; i < report.pageCount(); ++i) {
        const QString name = emfPageFileName(fileName, i + 1);
        QSaveFile file(name);
        if (!file.open(QIODevice::WriteOnly))
            throw EInOutError(QStringLiteral("Cannot create file \"%1\". %2").arg(name, file.errorString()));
        file.write(emfOfPage(report, i));
        if (!file.commit())
            throw EInOutError(QStringLiteral("Cannot write file \"%1\". %2").arg(name, file.errorString()));
        names << name;
    }
    return names;
}

} // namespace vorta::report
