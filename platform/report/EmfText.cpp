#include "platform/report/EmfText.h"
#include "platform/report/EmfRecords.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRawFont>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <optional>

namespace vorta::report {

namespace {

constexpr quint32 kTaUpdateCp = 1, kTaRight = 2, kTaCenter = 6, kTaBottom = 8, kTaBaseline = 24;
constexpr quint32 kEtoOpaque = 2, kEtoGlyphIndex = 0x10, kEtoPdy = 0x2000;
constexpr quint32 kOpaque = 2;
constexpr quint32 kNullPen = 0x80000008;

qint32 at32(const QByteArray& b, qsizetype offset)
{
    return qFromLittleEndian<qint32>(b.constData() + offset);
}

float atFloat(const QByteArray& b, qsizetype offset)
{
    return qFromLittleEndian<float>(b.constData() + offset);
}

struct Font {
    QString face;
    qint32 height = 0; // the character height (negative) once read
    qint32 escapement = 0;
    qint32 weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

// A face's measures per unit of character height, as GDI takes them from the font: the
// cell from the Windows ascent and descent, the tops of the underline and strike-out
// strokes from the baseline (below and above it) and their thickness.
struct FaceMetrics {
    double ascent = 0, descent = 0;
    double underlineTop = 0, underlineSize = 0;
    double strikeOutTop = 0, strikeOutSize = 0;
    QFont font;
};

constexpr int kMeasureSize = 1000;

std::optional<FaceMetrics> metricsOf(const Font& f)
{
    if (!QGuiApplication::instance() || f.face.isEmpty())
        return std::nullopt;
    FaceMetrics m;
    m.font = QFont(f.face);
    m.font.setPixelSize(kMeasureSize);
    m.font.setWeight(QFont::Weight(std::clamp(f.weight == 0 ? 400 : f.weight, 1, 1000)));
    m.font.setItalic(f.italic);
    const QFontMetricsF fm(m.font);
    m.ascent = fm.ascent() / kMeasureSize;
    m.descent = fm.descent() / kMeasureSize;
    m.underlineTop = fm.underlinePos() / kMeasureSize;
    m.underlineSize = m.strikeOutSize = fm.lineWidth() / kMeasureSize;
    m.strikeOutTop = fm.strikeOutPos() / kMeasureSize + m.strikeOutSize / 2;
    const QRawFont raw = QRawFont::fromFont(m.font);
    const QByteArray os2 = raw.isValid() ? raw.fontTable("OS/2") : QByteArray();
    const QByteArray post = raw.isValid() ? raw.fontTable("post") : QByteArray();
    const double units = raw.isValid() ? raw.unitsPerEm() : 0;
    auto s16 = [](const QByteArray& t, int at) { return double(qFromBigEndian<qint16>(t.constData() + at)); };
    auto u16 = [](const QByteArray& t, int at) { return double(qFromBigEndian<quint16>(t.constData() + at)); };
    if (units > 0 && os2.size() >= 78 && u16(os2, 74) + u16(os2, 76) > 0) {
        m.ascent = u16(os2, 74) / units;
        m.descent = u16(os2, 76) / units;
        if (s16(os2, 26) > 0) {
            m.strikeOutSize = s16(os2, 26) / units;
            m.strikeOutTop = s16(os2, 28) / units;
        }
    }
    if (units > 0 && post.size() >= 12 && s16(post, 10) > 0) {
        m.underlineTop = -s16(post, 8) / units;
        m.underlineSize = s16(post, 10) / units;
    }
    if (m.ascent + m.descent <= 0)
        return std::nullopt;
    return m;
}

// What the records so far have set on the device context.
struct Dc {
    quint32 mapMode = 1;
    QPointF window{1, 1}, viewport{1, 1};
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1;
    quint32 align = 0;
    quint32 bkMode = kOpaque;
    quint32 textColor = 0x000000, bkColor = 0xFFFFFF;
    std::optional<Font> font;
    QPoint position;

    // Device units per logical unit, signed (a negative y runs up the page).
    QPointF scale() const
    {
        double sx = 1, sy = 1;
        if (mapMode >= 2 && mapMode <= 6) {
            sy = -1;
        } else if (mapMode == 7 || mapMode == 8) {
            sx = window.x() != 0 ? viewport.x() / window.x() : 1;
            sy = window.y() != 0 ? viewport.y() / window.y() : 1;
            if (sx == 0)
                sx = 1;
            if (sy == 0)
                sy = 1;
            if (mapMode == 7) {
                const double m = std::min(std::abs(sx), std::abs(sy));
                sx = std::copysign(m, sx);
                sy = std::copysign(m, sy);
            }
        }
        if (std::abs(m11) > 1e-9)
            sx *= m11;
        if (std::abs(m22) > 1e-9)
            sy *= m22;
        return {sx, sy};
    }
};

// A record stream being written.
struct Out {
    QByteArray bytes;
    quint32 records = 0;

    void rec(quint32 type, std::initializer_list<qint32> params)
    {
        put(type);
        put(quint32(8 + 4 * params.size()));
        for (qint32 v : params)
            put(quint32(v));
        ++records;
    }
    void raw(const QByteArray& r)
    {
        bytes += r;
        ++records;
    }
    void put(quint32 v)
    {
        char c[4];
        qToLittleEndian(v, c);
        bytes.append(c, 4);
    }
};

qint32 rounded(double v)
{
    return static_cast<qint32>(std::lround(std::clamp(v, -2147483648.0, 2147483647.0)));
}

// Where a text lies: its reference point, the device's scale and the text's angle.
struct TextFrame {
    QPointF reference;
    QPointF scale;
    double cosA = 1, sinA = 0;

    // The logical point at `u` device units along the text and `v` below its line.
    QPointF at(double u, double v) const
    {
        const double du = u * cosA + v * sinA;
        const double dv = -u * sinA + v * cosA;
        return reference + QPointF(du / scale.x(), dv / scale.y());
    }
    QList<QPointF> box(double u0, double v0, double u1, double v1) const
    {
        return {at(u0, v0), at(u1, v0), at(u1, v1), at(u0, v1)};
    }
};

// Filled shapes in one colour, without an outline, leaving the device context, the object
// table and the current position as they were.
void fill(Out& out, quint32 slot, quint32 color, const QList<QList<QPointF>>& shapes, QPoint position)
{
    if (shapes.isEmpty())
        return;
    out.rec(EMR_SAVEDC, {});
    out.rec(EMR_CREATEBRUSHINDIRECT, {qint32(slot), 0 /*BS_SOLID*/, qint32(color), 0});
    out.rec(EMR_SELECTOBJECT, {qint32(slot)});
    out.rec(EMR_SELECTOBJECT, {qint32(kNullPen)});
    for (const QList<QPointF>& shape : shapes) {
        QList<QPoint> pts;
        for (const QPointF& p : shape)
            pts << QPoint(rounded(p.x()), rounded(p.y()));
        qint32 l = pts[0].x(), t = pts[0].y(), r = l, b = t;
        for (const QPoint& p : pts) {
            l = std::min(l, p.x());
            r = std::max(r, p.x());
            t = std::min(t, p.y());
            b = std::max(b, p.y());
        }
        out.put(EMR_POLYGON);
        out.put(quint32(28 + 8 * pts.size()));
        for (qint32 v : {l, t, r, b, qint32(pts.size())})
            out.put(quint32(v));
        for (const QPoint& p : pts) {
            out.put(quint32(p.x()));
            out.put(quint32(p.y()));
        }
        ++out.records;
    }
    out.rec(EMR_RESTOREDC, {-1});
    out.rec(EMR_DELETEOBJECT, {qint32(slot)});
    out.rec(EMR_MOVETOEX, {position.x(), position.y()});
}

class Rewriter {
public:
    explicit Rewriter(quint32 slot) : m_slot(slot) {}

    // Passes one record on, with the records that draw what the converter leaves out.
    void record(quint32 type, const QByteArray& r, Out& out)
    {
        const qsizetype size = r.size();
        auto p = [&r](int i) { return at32(r, 8 + 4 * i); };
        switch (type) {
        case EMR_SETMAPMODE:
            if (size >= 12)
                m_dc.mapMode = quint32(p(0));
            break;
        case EMR_SETWINDOWEXTEX:
            if (size >= 16)
                m_dc.window = QPointF(p(0), p(1));
            break;
        case EMR_SETVIEWPORTEXTEX:
            if (size >= 16)
                m_dc.viewport = QPointF(p(0), p(1));
            break;
        case EMR_SETWORLDTRANSFORM:
            if (size >= 32)
                transform(r, 4);
            break;
        case EMR_MODIFYWORLDTRANSFORM:
            if (size >= 36)
                transform(r, quint32(p(6)));
            break;
        case EMR_SETTEXTALIGN:
            if (size >= 12)
                m_dc.align = quint32(p(0));
            break;
        case EMR_SETBKMODE:
            if (size >= 12)
                m_dc.bkMode = quint32(p(0));
            break;
        case EMR_SETTEXTCOLOR:
            if (size >= 12)
                m_dc.textColor = quint32(p(0));
            break;
        case EMR_SETBKCOLOR:
            if (size >= 12)
                m_dc.bkColor = quint32(p(0));
            break;
        case EMR_MOVETOEX:
        case EMR_LINETO:
            if (size >= 16)
                m_dc.position = QPoint(p(0), p(1));
            break;
        case EMR_POLYLINETO16:
        case EMR_POLYBEZIERTO16:
            if (size >= 28 && p(4) > 0 && 28 + 4 * qsizetype(p(4)) <= size) {
                const qsizetype last = 28 + 4 * (qsizetype(p(4)) - 1);
                m_dc.position = QPoint(qFromLittleEndian<qint16>(r.constData() + last),
                                       qFromLittleEndian<qint16>(r.constData() + last + 2));
            }
            break;
        case EMR_POLYLINETO:
        case EMR_POLYBEZIERTO:
            if (size >= 28 && p(4) > 0 && 28 + 8 * qsizetype(p(4)) <= size) {
                const qsizetype last = 28 + 8 * (qsizetype(p(4)) - 1);
                m_dc.position = QPoint(at32(r, last), at32(r, last + 4));
            }
            break;
        case EMR_SAVEDC:
            m_saved.append(m_dc);
            break;
        case EMR_RESTOREDC:
            if (size >= 12) {
                const qsizetype to = p(0) < 0 ? m_saved.size() + p(0) : qsizetype(p(0)) - 1;
                if (to >= 0 && to < m_saved.size()) {
                    m_dc = m_saved[to];
                    m_saved.resize(to);
                }
            }
            break;
        case EMR_BEGINPATH:
            m_inPath = true;
            break;
        case EMR_ENDPATH:
        case EMR_ABORTPATH:
            m_inPath = false;
            break;
        case EMR_SELECTOBJECT:
            if (size >= 12) {
                const quint32 ih = quint32(p(0));
                if (m_fonts.contains(ih))
                    m_dc.font = m_fonts.value(ih);
                else if (ih >= 0x8000000A && ih <= 0x80000011 && ih != 0x8000000F)
                    m_dc.font.reset(); // a stock font
            }
            break;
        case EMR_CREATEPEN:
        case EMR_CREATEBRUSHINDIRECT:
        case EMR_CREATEPALETTE:
        case EMR_CREATEMONOBRUSH:
        case EMR_CREATEDIBPATTERNBRUSHPT:
        case EMR_EXTCREATEPEN:
        case EMR_DELETEOBJECT:
            if (size >= 12)
                m_fonts.remove(quint32(p(0)));
            break;
        case EMR_EXTCREATEFONTINDIRECTW:
            if (size >= 12 + 92) {
                out.raw(font(r));
                return;
            }
            break;
        case EMR_EXTTEXTOUTA:
        case EMR_EXTTEXTOUTW:
            if (size >= 76 && !m_inPath) {
                text(type, r, out);
                return;
            }
            break;
        default:
            break;
        }
        out.raw(r);
    }

private:
    void transform(const QByteArray& r, quint32 mode)
    {
        const double x11 = atFloat(r, 8), x12 = atFloat(r, 12), x21 = atFloat(r, 16), x22 = atFloat(r, 20);
        const double a11 = m_dc.m11, a12 = m_dc.m12, a21 = m_dc.m21, a22 = m_dc.m22;
        switch (mode) {
        case 1: // identity
            m_dc.m11 = m_dc.m22 = 1;
            m_dc.m12 = m_dc.m21 = 0;
            break;
        case 2: // the new one first
            m_dc.m11 = x11 * a11 + x12 * a21;
            m_dc.m12 = x11 * a12 + x12 * a22;
            m_dc.m21 = x21 * a11 + x22 * a21;
            m_dc.m22 = x21 * a12 + x22 * a22;
            break;
        case 3: // the new one last
            m_dc.m11 = a11 * x11 + a12 * x21;
            m_dc.m12 = a11 * x12 + a12 * x22;
            m_dc.m21 = a21 * x11 + a22 * x21;
            m_dc.m22 = a21 * x12 + a22 * x22;
            break;
        case 4: // set
            m_dc.m11 = x11;
            m_dc.m12 = x12;
            m_dc.m21 = x21;
            m_dc.m22 = x22;
            break;
        default:
            break;
        }
    }

    // Reads a font; a cell height is given as the character height GDI derives from it,
    // which is what the converter takes the height for.
    QByteArray font(QByteArray r)
    {
        Font f;
        f.height = at32(r, 12);
        f.escapement = at32(r, 20);
        f.weight = at32(r, 28);
        f.italic = r[32] != 0;
        f.underline = r[33] != 0;
        f.strikeOut = r[34] != 0;
        const char16_t* face = reinterpret_cast<const char16_t*>(r.constData() + 40);
        qsizetype n = 0;
        while (n < 32 && qFromLittleEndian<quint16>(face + n) != 0)
            ++n;
        for (qsizetype i = 0; i < n; ++i)
            f.face += QChar(qFromLittleEndian<quint16>(face + i));
        if (f.height > 0) {
            if (const auto& m = metrics(f)) {
                f.height = -std::max(1, rounded(f.height / (m->ascent + m->descent)));
                qToLittleEndian<qint32>(f.height, r.data() + 12);
            }
        }
        m_fonts.insert(quint32(at32(r, 8)), f);
        return r;
    }

    void text(quint32 type, const QByteArray& r, Out& out)
    {
        const qsizetype size = r.size();
        const qint32 n = at32(r, 44);
        const quint32 offString = quint32(at32(r, 48));
        const quint32 options = quint32(at32(r, 52));
        const quint32 offDx = quint32(at32(r, 72));
        const int charBytes = type == EMR_EXTTEXTOUTW ? 2 : 1;
        const quint32 align = m_dc.align;
        if (n < 0 || n > 65535 || (n > 0 && (offString < 76 || quint64(offString) + quint64(charBytes) * n > quint64(size)))
            || (align & kTaUpdateCp)) {
            out.raw(r);
            return;
        }
        const int step = (options & kEtoPdy) ? 2 : 1;
        const bool spaced = n > 0 && offDx >= 76 && quint64(offDx) + 4ull * step * n <= quint64(size);
        auto dx = [&](qint32 i) { return at32(r, offDx + 4 * step * i); };
        auto dy = [&](qint32 i) { return step == 2 ? at32(r, offDx + 8 * i + 4) : 0; };

        TextFrame frame;
        frame.reference = QPointF(at32(r, 36), at32(r, 40));
        frame.scale = m_dc.scale();
        QList<QList<QPointF>> background, lines;
        // Logical units running up the page may give the rectangle bottom first.
        const double l = std::min(at32(r, 56), at32(r, 64)), rt = std::max(at32(r, 56), at32(r, 64));
        const double t = std::min(at32(r, 60), at32(r, 68)), b = std::max(at32(r, 60), at32(r, 68));
        if ((options & kEtoOpaque) && rt > l && b > t)
            background.append({{l, t}, {rt, t}, {rt, b}, {l, b}});
        const std::optional<FaceMetrics> m = m_dc.font && n > 0 && m_dc.font->height != 0 ? metrics(*m_dc.font) : std::nullopt;
        const double sx = std::abs(frame.scale.x()), sy = std::abs(frame.scale.y());
        double u0 = 0, baseline = 0; // device units from the reference point
        QPointF turn;                // logical
        if (m) {
            const Font& f = *m_dc.font;
            const double angle = f.escapement / 10.0 * std::numbers::pi / 180.0;
            frame.cosA = std::cos(angle);
            frame.sinA = std::sin(angle);
            const double em = std::abs(double(f.height)) * sy;
            double width = 0;
            if (spaced) {
                for (qint32 i = 0; i < n; ++i)
                    width += dx(i);
                width *= sx;
            } else if (!(options & kEtoGlyphIndex)) {
                const QString s = charBytes == 2
                    ? QString::fromUtf16(reinterpret_cast<const char16_t*>(r.constData() + offString), n)
                    : QString::fromLatin1(r.constData() + offString, n);
                width = QFontMetricsF(m->font).horizontalAdvance(s) / kMeasureSize * em;
            }
            u0 = (align & kTaCenter) == kTaCenter ? -width / 2 : (align & kTaRight) ? -width : 0;
            baseline = (align & kTaBaseline) == kTaBaseline ? 0 : (align & kTaBottom) ? -m->descent * em : m->ascent * em;
            if (m_dc.bkMode == kOpaque && width > 0)
                background.append(frame.box(u0, baseline - m->ascent * em, u0 + width, baseline + m->descent * em));
            // Strokes at least one logical unit thick, so none rounds away.
            auto bar = [&](double top, double thickness) {
                lines.append(frame.box(u0, top, u0 + width, top + std::max(thickness * em, sy)));
            };
            if (f.underline && width > 0)
                bar(baseline + m->underlineTop * em, m->underlineSize);
            if (f.strikeOut && width > 0)
                bar(baseline - m->strikeOutTop * em, m->strikeOutSize);
            // The converter draws a turned text nine tenths of its height below its
            // reference point.
            if (f.escapement % 3600 != 0)
                turn.ry() = -0.9 * std::abs(double(f.height)) * (frame.scale.y() < 0 ? -1 : 1);
        }
        fill(out, m_slot, m_dc.bkColor, background, m_dc.position);

        // The converter places a text from its reference point with advances of its own and
        // by guesses of its own for a text aligned by its top or bottom: it is given each
        // character at the point on the baseline where GDI puts it. Without the font's
        // measures only left-aligned texts are split so.
        QList<QPointF> starts; // logical
        if (n > 1 && spaced && (m || (align & kTaCenter) == 0)) {
            double along = 0;
            QPointF offset;
            for (qint32 i = 0; i < n; ++i) {
                starts << (m ? frame.at(u0 + along * sx, baseline) + turn + offset : frame.reference + QPointF(along, 0) + offset);
                along += dx(i);
                offset.ry() += dy(i);
            }
        } else if (n > 0 && (baseline != 0 || u0 != 0 || !turn.isNull())) {
            starts << frame.at(u0, baseline) + turn;
        }
        auto placed = [](QByteArray rec, const QPointF& p) {
            qToLittleEndian<qint32>(rounded(p.x()), rec.data() + 36);
            qToLittleEndian<qint32>(rounded(p.y()), rec.data() + 40);
            return rec;
        };
        const quint32 onBaseline = (align & ~(kTaBaseline | kTaCenter)) | kTaBaseline;
        const bool realign = m && onBaseline != align;
        if (realign && !starts.isEmpty())
            out.rec(EMR_SETTEXTALIGN, {qint32(onBaseline)});
        if (starts.size() > 1) {
            for (qint32 i = 0; i < n; ++i) {
                QByteArray one = r.left(76);
                qToLittleEndian<qint32>(88, one.data() + 4);
                qToLittleEndian<qint32>(1, one.data() + 44);
                qToLittleEndian<qint32>(76, one.data() + 48);
                qToLittleEndian<qint32>(80, one.data() + 72);
                one += r.mid(offString + charBytes * i, charBytes);
                one += QByteArray(4 - charBytes, '\0');
                for (qint32 v : {dx(i), dy(i)}) {
                    char c[4];
                    qToLittleEndian(v, c);
                    one.append(c, 4);
                }
                out.raw(placed(one, starts[i]));
            }
        } else if (starts.size() == 1) {
            out.raw(placed(r, starts.first()));
        } else if (n > 0) {
            out.raw(r); // an empty text only fills its rectangle, done above
        }
        if (realign && !starts.isEmpty())
            out.rec(EMR_SETTEXTALIGN, {qint32(align)});
        fill(out, m_slot, m_dc.textColor, lines, m_dc.position);
    }

    // Measured once per face, weight and slant.
    const std::optional<FaceMetrics>& metrics(const Font& f)
    {
        const QString key = QStringLiteral("%1/%2/%3").arg(f.face).arg(f.weight).arg(f.italic);
        auto it = m_metrics.find(key);
        if (it == m_metrics.end())
            it = m_metrics.insert(key, metricsOf(f));
        return *it;
    }

    quint32 m_slot;
    QHash<QString, std::optional<FaceMetrics>> m_metrics;
    Dc m_dc;
    QList<Dc> m_saved;
    QHash<quint32, Font> m_fonts;
    bool m_inPath = false;
};

} // namespace

void drawTextAsGdi(QByteArray& b)
{
    constexpr int kMinHeader = 88;
    if (b.size() < kMinHeader)
        return;
    const qsizetype headerSize = quint32(at32(b, 4));
    if (headerSize < kMinHeader || headerSize > b.size())
        return;
    // The brushes of the shapes added take a handle after the picture's own (the first
    // is the picture's).
    const quint16 slot = std::max<quint16>(1, qFromLittleEndian<quint16>(b.constData() + 56));
    if (slot == 0xFFFF)
        return;
    Out out;
    out.bytes = b.left(headerSize);
    out.records = 1;
    Rewriter rewriter(slot);
    qsizetype at = headerSize;
    while (at + 8 <= b.size()) {
        const quint32 type = quint32(at32(b, at));
        const quint32 size = quint32(at32(b, at + 4));
        if (size < 8 || at + qsizetype(size) > b.size())
            return;
        rewriter.record(type, b.mid(at, size), out);
        at += size;
    }
    qToLittleEndian<quint16>(quint16(slot + 1), out.bytes.data() + 56);
    qToLittleEndian<quint32>(quint32(out.bytes.size()), out.bytes.data() + 48);
    qToLittleEndian<quint32>(out.records, out.bytes.data() + 52);
    b = out.bytes;
}

} // namespace vorta::report
