// Pictures written by other programs' GDI: records as a Windows program puts them, not as
// our writer does, drawn into a box of a page.
#include "platform/report/PageRenderer.h"
#include "platform/report/Report.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace vorta::report;

namespace {

// Builds an EMF record by record; the device is 10 pixels per millimetre.
class Gdi {
public:
    Gdi(int widthPx, int heightPx) : m_w(widthPx), m_h(heightPx) {}
    Gdi& rec(quint32 type, std::initializer_list<qint32> params)
    {
        QByteArray r;
        put(r, type);
        put(r, quint32(8 + 4 * params.size()));
        for (qint32 v : params)
            put(r, quint32(v));
        m_records += r;
        ++m_count;
        return *this;
    }
    Gdi& pen(int ih, int width, quint32 color) { return rec(38, {ih, 0 /*PS_SOLID*/, width, 0, qint32(color)}); }
    Gdi& select(int ih) { return rec(37, {ih}); }
    Gdi& line(int x1, int y1, int x2, int y2)
    {
        rec(27, {x1, y1});
        return rec(54, {x2, y2});
    }
    Gdi& raw(quint32 type, const QByteArray& body)
    {
        QByteArray r;
        put(r, type);
        put(r, quint32(8 + body.size()));
        m_records += r + body;
        ++m_count;
        return *this;
    }
    // A font of the height in pixels, underlined or not.
    Gdi& font(int ih, int height, bool underline)
    {
        QByteArray b;
        put(b, ih);
        put(b, quint32(-height));
        for (int i = 0; i < 3; ++i)
            put(b, 0);
        put(b, 400);
        b.append(char(0)).append(char(underline)).append(char(0)).append(char(0));
        b.append(4, '\0');
        QByteArray nome(64, '\0');
        const QString face = QStringLiteral("Arial");
        for (int i = 0; i < face.size(); ++i)
            nome[2 * i] = char(face[i].unicode());
        return raw(82, b + nome);
    }
    // Text at (x, y) with each character's advance given.
    Gdi& text(int x, int y, const QString& t, int advance)
    {
        QByteArray b;
        for (quint32 v : {0u, 0u, 0u, 0u, 1u})
            put(b, v);
        put(b, 0x3F800000u);
        put(b, 0x3F800000u);
        const quint32 offString = 8 + 28 + 40;
        const quint32 padded = quint32((t.size() * 2 + 3) / 4 * 4);
        for (quint32 v : {quint32(x), quint32(y), quint32(t.size()), offString, 0u, 0u, 0u, 0u, 0u,
                          offString + padded})
            put(b, v);
        QByteArray str(int(padded), '\0');
        for (int i = 0; i < t.size(); ++i)
            str[2 * i] = char(t[i].unicode());
        b += str;
        for (int i = 0; i < t.size(); ++i)
            put(b, quint32(advance));
        return raw(84, b);
    }
    // An open polyline of 16-bit points.
    Gdi& polyline(const QList<QPoint>& pts)
    {
        QByteArray b;
        for (int i = 0; i < 4; ++i)
            put(b, 0);
        put(b, quint32(pts.size()));
        for (const QPoint& p : pts) {
            char c[2];
            qToLittleEndian(qint16(p.x()), c);
            b.append(c, 2);
            qToLittleEndian(qint16(p.y()), c);
            b.append(c, 2);
        }
        return raw(87, b);
    }
    QByteArray bytes()
    {
        QByteArray eof;
        put(eof, 14);
        put(eof, 20);
        put(eof, 0);
        put(eof, 16);
        put(eof, 20);
        QByteArray h;
        const quint32 total = 108 + m_records.size() + eof.size();
        for (quint32 v : {1u, 108u, 0u, 0u, quint32(m_w - 1), quint32(m_h - 1), 0u, 0u, quint32(m_w * 10 - 1),
                          quint32(m_h * 10 - 1), 0x464D4520u, 0x10000u, total, quint32(m_count + 2)})
            put(h, v);
        put(h, quint32(4)); // handles (and the reserved half)
        for (quint32 v : {0u, 0u, 0u, 1000u, 1000u, 100u, 100u, 0u, 0u, 0u, 100000u, 100000u})
            put(h, v);
        return h + m_records + eof;
    }

private:
    static void put(QByteArray& b, quint32 v)
    {
        char c[4];
        qToLittleEndian(v, c);
        b.append(c, 4);
    }
    int m_w, m_h;
    int m_count = 0;
    QByteArray m_records;
};

// The page of a report holding the picture in a 100 x 60 mm box at (50, 50) mm.
QImage pagina(const QByteArray& emf, const QString& pasta)
{
    QFile f(pasta + QStringLiteral("/p.emf"));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(emf);
    f.close();
    Report r;
    Band* b = r.addBand(BandType::Title, QStringLiteral("b"), 200);
    auto* i = b->add<Image>();
    i->setGeometry(40, 40, 100, 60); // plus the 10 mm margins
    i->stretch = true;
    i->picture = Picture::fromFile(f.fileName());
    r.prepare();
    return renderPageImage(r.qrPrinter(), 0, 254); // 10 px per mm
}

int escuros(const QImage& img, const QRect& area, bool dentro)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (area.contains(x, y) == dentro && qGray(img.pixel(x, y)) < 128)
                ++n;
    return n;
}

} // namespace

// A line reaching past the picture's frame is cut at the box; a 4 mm pen stays 4 mm.
TEST(EmfForeign, ClippedToItsBoxAndThickPensKeepTheirWidth)
{
    QTemporaryDir pasta;
    Gdi g(1000, 600);
    g.pen(1, 40, 0x000000).select(1).line(-500, 300, 1500, 300);
    const QImage img = pagina(g.bytes(), pasta.path());
    const QRect caixa(500, 500, 1000, 600);
    EXPECT_EQ(escuros(img, caixa, false), 0) << "nothing drawn outside the picture's box";
    int altura = 0;
    for (int y = caixa.top(); y <= caixa.bottom(); ++y)
        if (qGray(img.pixel(1000, y)) < 128)
            ++altura;
    EXPECT_NEAR(altura, 40, 3) << "the pen is 4 mm wide";
}

// Text placed character by character keeps each character where it was put; an open
// polyline stays open.
TEST(EmfForeign, SpacedUnderlinedTextAndOpenPolylines)
{
    QTemporaryDir pasta;
    Gdi g(1000, 600);
    g.font(1, 60, true).select(1).text(100, 100, QStringLiteral("ABC"), 150);
    g.pen(2, 10, 0x0000FF).select(2).polyline({{100, 400}, {500, 300}, {900, 400}});
    const QImage img = pagina(g.bytes(), pasta.path());
    // The picture's pixel (x, y) is the page's (500 + x, 500 + y).
    auto conta = [&img](int x0, int x1, int y0, int y1, auto teste) {
        int n = 0;
        for (int y = 500 + y0; y <= 500 + y1; ++y)
            for (int x = 500 + x0; x <= 500 + x1; ++x)
                n += teste(QColor(img.pixel(x, y))) ? 1 : 0;
        return n;
    };
    auto escuro = [](const QColor& c) { return qGray(c.rgb()) < 128 && c.red() < 128; };
    auto vermelho = [](const QColor& c) { return c.red() > 200 && c.green() < 80; };
    EXPECT_GT(conta(250, 300, 100, 160, escuro), 0) << "B at its own position";
    EXPECT_GT(conta(400, 450, 100, 160, escuro), 0) << "C at its own position";
    EXPECT_EQ(conta(190, 240, 100, 150, escuro), 0) << "nothing where B would run on after A";
    EXPECT_GT(conta(495, 505, 290, 310, vermelho), 0) << "the polyline's apex";
    EXPECT_EQ(conta(300, 700, 395, 405, vermelho), 0) << "no closing segment";
}
