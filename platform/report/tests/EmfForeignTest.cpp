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
