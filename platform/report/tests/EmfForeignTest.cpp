// Pictures written by other programs' GDI: records as a Windows program puts them, not as
// our writer does, drawn into a box of a page.
#include "platform/core/Exceptions.h"
#include "platform/report/EmfReader.h"
#include "platform/report/PageRenderer.h"
#include "platform/report/Report.h"
#include "testing/Screenshots.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <functional>

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
    // A font of the height in pixels, underlined or struck out or not.
    // A positive height is a character height, a negative one the cell's; the escapement
    // turns the text counterclockwise, in tenths of a degree.
    Gdi& font(int ih, int height, bool underline, bool strikeOut = false, int escapement = 0)
    {
        QByteArray b;
        put(b, ih);
        put(b, quint32(-height));
        put(b, 0);
        put(b, quint32(escapement));
        put(b, quint32(escapement));
        put(b, 400);
        b.append(char(0)).append(char(underline)).append(char(strikeOut)).append(char(0));
        b.append(4, '\0');
        QByteArray nome(64, '\0');
        const QString face = QStringLiteral("Arial");
        for (int i = 0; i < face.size(); ++i)
            nome[2 * i] = char(face[i].unicode());
        return raw(82, b + nome);
    }
    // Text at (x, y) with each character's advance given (none when negative), and
    // ExtTextOut's options and rectangle.
    Gdi& text(int x, int y, const QString& t, int advance, quint32 options = 0, QRect rect = {0, 0, 0, 0})
    {
        QByteArray b;
        for (quint32 v : {0u, 0u, 0u, 0u, 1u})
            put(b, v);
        put(b, 0x3F800000u);
        put(b, 0x3F800000u);
        const quint32 offString = 8 + 28 + 40;
        const quint32 padded = quint32((t.size() * 2 + 3) / 4 * 4);
        for (quint32 v : {quint32(x), quint32(y), quint32(t.size()), offString, options, quint32(rect.left()),
                          quint32(rect.top()), quint32(rect.left() + rect.width()), quint32(rect.top() + rect.height()),
                          advance < 0 ? 0u : offString + padded})
            put(b, v);
        QByteArray str(int(padded), '\0');
        for (int i = 0; i < t.size(); ++i)
            str[2 * i] = char(t[i].unicode());
        b += str;
        for (int i = 0; advance >= 0 && i < t.size(); ++i)
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

namespace {

bool preto(const QColor& c)
{
    return qGray(c.rgb()) < 128 && c.red() < 128;
}
bool vermelho(const QColor& c)
{
    return c.red() > 200 && c.green() < 80 && c.blue() < 80;
}
bool amarelo(const QColor& c)
{
    return c.red() > 200 && c.green() > 200 && c.blue() < 80;
}
bool azul(const QColor& c)
{
    return c.blue() > 200 && c.red() < 80 && c.green() < 80;
}
using Cor = bool (*)(const QColor&);

// What a part of the picture must show: the share of its pixels of a colour, or the
// number of its rows (its columns) that are of that colour from end to end: a bar across
// (down) the area.
enum Medida { Parte, Linhas, Colunas };
struct Visto {
    const char* oque;
    QRect area; // the picture's pixels
    Cor cor;
    Medida medida;
    double min, max;
};

// The picture's pixel (x, y) is the page's (500 + x, 500 + y).
double medida(const QImage& pagina, const Visto& v)
{
    const QRect a = v.area.translated(500, 500);
    int n = 0;
    QList<int> linhas(a.height()), colunas(a.width());
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x)
            if (v.cor(QColor(pagina.pixel(x, y)))) {
                ++n;
                ++linhas[y - a.top()];
                ++colunas[x - a.left()];
            }
    const auto cheias = [](const QList<int>& contagens, int comprimento) {
        return double(std::count_if(contagens.begin(), contagens.end(),
                                    [comprimento](int c) { return c >= comprimento * 0.95; }));
    };
    switch (v.medida) {
    case Linhas:
        return cheias(linhas, a.width());
    case Colunas:
        return cheias(colunas, a.height());
    default:
        return double(n) / (a.width() * a.height());
    }
}

void confere(const QImage& pagina, const QList<Visto>& vistos)
{
    for (const Visto& v : vistos) {
        const double m = medida(pagina, v);
        EXPECT_TRUE(m >= v.min && m <= v.max) << v.oque << ": " << m << " not in [" << v.min << ", " << v.max << "]";
    }
}

// The picture's box on the page, with a margin around it.
void guarda(const QImage& pagina, const QString& nome)
{
    EXPECT_TRUE(pagina.copy(450, 450, 1100, 700).save(vorta::testing::screenshotFolder() + QLatin1Char('/') + nome
                            + vorta::testing::screenshotSuffix() + QStringLiteral(".png")));
}

constexpr quint32 kEtoOpaque = 2;
constexpr qint32 kAmareloRef = 0x0000FFFF, kVermelhoRef = 0x000000FF; // COLORREFs

} // namespace

// Text as a Windows program's GDI draws it: a 60-pixel Arial "ABC" with 150-pixel advances
// at x = 100 (so its bars cross the gaps between the letters), underline and strike-out as
// thick as the font's strokes, the background box as tall as the character cell and as
// long as the advances, each character where GDI puts it for the text's alignment, angle
// and mapping.
TEST(EmfForeign, TextAsGdiDrawsIt)
{
    // The rows that the "ABC" spans from end to end.
    const auto barras = [](int y0, int y1) { return QRect(102, y0, 445, y1 - y0 + 1); };
    struct Caso {
        const char* oque;
        std::function<void(Gdi&)> grava;
        QList<Visto> vistos;
    };
    const QList<Caso> casos = {
        {"underlined, aligned by its top",
         [](Gdi& g) { g.font(1, 60, true).select(1).text(100, 100, QStringLiteral("ABC"), 150); },
         {{"the underline below the baseline", barras(155, 172), preto, Linhas, 3, 7},
          {"no bar across the letters", barras(95, 154), preto, Linhas, 0, 0},
          {"the underline ends with the text", QRect(560, 140, 300, 40), preto, Parte, 0, 0},
          {"and starts with it", QRect(40, 140, 55, 40), preto, Parte, 0, 0}}},
        {"struck out",
         [](Gdi& g) { g.font(1, 60, false, true).select(1).text(100, 100, QStringLiteral("ABC"), 150); },
         {{"the strike-out across the letters", barras(115, 150), preto, Linhas, 3, 7},
          {"no bar below them", barras(151, 200), preto, Linhas, 0, 0}}},
        {"underlined in red",
         [](Gdi& g) { g.rec(24, {kVermelhoRef}).font(1, 60, true).select(1).text(100, 100, QStringLiteral("ABC"), 150); },
         {{"the underline in the text's colour", barras(155, 172), vermelho, Linhas, 3, 7}}},
        {"aligned by its baseline",
         [](Gdi& g) { g.rec(22, {24}).font(1, 60, true).select(1).text(100, 200, QStringLiteral("ABC"), 150); },
         {{"the letters above the baseline", QRect(100, 150, 450, 48), preto, Parte, 0.05, 1},
          {"the underline just below it", barras(199, 212), preto, Linhas, 3, 7},
          {"nothing lower", QRect(100, 213, 450, 60), preto, Parte, 0, 0}}},
        {"aligned by its bottom",
         [](Gdi& g) { g.rec(22, {8}).font(1, 60, true).select(1).text(100, 300, QStringLiteral("ABC"), 150); },
         {{"the letters on the baseline a descent above the bottom", QRect(100, 240, 450, 46), preto, Parte, 0.05, 1},
          {"the underline in the descent", barras(284, 299), preto, Linhas, 3, 7},
          {"nothing below the bottom", QRect(100, 301, 450, 60), preto, Parte, 0, 0}}},
        {"opaque background",
         [](Gdi& g) {
             g.rec(18, {2}).rec(25, {kAmareloRef}).font(1, 60, false).select(1).text(100, 100, QStringLiteral("ABC"), 150);
         },
         {{"the box between the letters", QRect(150, 102, 90, 62), amarelo, Parte, 0.97, 1},
          {"the box under the letters", QRect(102, 102, 445, 62), amarelo, Parte, 0.6, 1},
          {"nothing above the cell", QRect(100, 40, 450, 58), amarelo, Parte, 0, 0},
          {"nothing below the cell", QRect(100, 170, 450, 60), amarelo, Parte, 0, 0},
          {"nothing past the text", QRect(553, 100, 300, 67), amarelo, Parte, 0, 0},
          {"the letters over the box", QRect(102, 102, 445, 62), preto, Parte, 0.05, 0.4}}},
        {"transparent background",
         [](Gdi& g) {
             g.rec(18, {1}).rec(25, {kAmareloRef}).font(1, 60, false).select(1).text(100, 100, QStringLiteral("ABC"), 150);
         },
         {{"no box", QRect(0, 0, 1000, 600), amarelo, Parte, 0, 0}}},
        {"an opaque rectangle without text",
         [](Gdi& g) { g.rec(18, {1}).rec(25, {kAmareloRef}).text(0, 0, QString(), 0, kEtoOpaque, QRect(600, 300, 300, 200)); },
         {{"the rectangle filled", QRect(603, 303, 294, 194), amarelo, Parte, 0.99, 1},
          {"nothing beside it", QRect(550, 250, 40, 300), amarelo, Parte, 0, 0},
          {"nothing below it", QRect(600, 505, 300, 60), amarelo, Parte, 0, 0}}},
        {"an opaque rectangle behind text",
         [](Gdi& g) {
             g.rec(18, {1}).rec(25, {kAmareloRef}).font(1, 60, false).select(1);
             g.text(100, 100, QStringLiteral("ABC"), 150, kEtoOpaque, QRect(80, 90, 600, 100));
         },
         {{"the rectangle between the letters", QRect(150, 92, 90, 96), amarelo, Parte, 0.97, 1},
          {"the rectangle past the text", QRect(560, 92, 110, 96), amarelo, Parte, 0.99, 1},
          {"the letters over it", QRect(102, 102, 445, 62), preto, Parte, 0.05, 0.4}}},
        {"no advances given",
         [](Gdi& g) { g.font(1, 60, true).select(1).text(100, 100, QStringLiteral("ABC"), -1); },
         {{"the underline as long as the letters' own advances", QRect(102, 155, 110, 18), preto, Linhas, 3, 7},
          {"and no longer", QRect(240, 140, 300, 40), preto, Parte, 0, 0}}},
        {"a cell height",
         [](Gdi& g) { g.font(1, -67, true).select(1).text(100, 100, QStringLiteral("ABC"), 150); },
         {{"the capitals as tall as a 60-pixel character height's", QRect(100, 100, 450, 10), preto, Parte, 0, 0},
          {"and as low", QRect(100, 113, 450, 40), preto, Parte, 0.05, 1},
          {"the underline below the baseline", barras(155, 172), preto, Linhas, 3, 7}}},
        {"centred on its reference point",
         [](Gdi& g) { g.rec(22, {6}).font(1, 60, true).select(1).text(325, 100, QStringLiteral("ABC"), 150); },
         {{"the underline from the text's start to its end", barras(155, 172), preto, Linhas, 3, 7},
          {"B at its own position", QRect(250, 110, 50, 44), preto, Parte, 0.05, 1},
          {"nothing between A and B", QRect(150, 100, 90, 54), preto, Parte, 0, 0},
          {"nothing past the end", QRect(560, 100, 300, 80), preto, Parte, 0, 0}}},
        {"turned a quarter counterclockwise",
         [](Gdi& g) {
             g.rec(22, {24}).font(1, 60, true, false, 900).select(1).text(300, 500, QStringLiteral("ABC"), 150);
         },
         {{"the letters up from the reference point", QRect(246, 52, 54, 446), preto, Parte, 0.05, 1},
          {"the underline beside them", QRect(298, 52, 14, 446), preto, Colunas, 3, 7},
          {"nothing on the other side", QRect(313, 40, 200, 500), preto, Parte, 0, 0},
          {"B a hundred and fifty pixels up", QRect(246, 310, 54, 40), preto, Parte, 0.05, 1},
          {"nothing between A and B", QRect(240, 360, 56, 80), preto, Parte, 0, 0},
          {"nothing beyond the text", QRect(230, 0, 100, 48), preto, Parte, 0, 0},
          {"nor before it", QRect(230, 503, 100, 90), preto, Parte, 0, 0}}},
        {"logical units running up the page",
         [](Gdi& g) {
             g.rec(17, {8}).rec(9, {1000, 600}).rec(11, {1000, -600}).rec(12, {0, 600});
             g.font(1, 60, true).select(1).text(100, 500, QStringLiteral("ABC"), 150);
         },
         {{"the letters where the page has them", QRect(100, 100, 450, 55), preto, Parte, 0.05, 1},
          {"the underline below them", barras(155, 172), preto, Linhas, 3, 7},
          {"no bar above them", barras(40, 154), preto, Linhas, 0, 0}}},
        {"an opaque rectangle in logical units running up the page",
         [](Gdi& g) {
             g.rec(17, {8}).rec(9, {1000, 600}).rec(11, {1000, -600}).rec(12, {0, 600});
             g.rec(18, {1}).rec(25, {kAmareloRef}).text(0, 0, QString(), 0, kEtoOpaque, QRect(600, 300, 300, -200));
         },
         {{"the rectangle filled", QRect(603, 303, 294, 194), amarelo, Parte, 0.99, 1},
          {"nothing beside it", QRect(550, 250, 40, 300), amarelo, Parte, 0, 0}}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.oque);
        QTemporaryDir pasta;
        Gdi g(1000, 600);
        c.grava(g);
        const QImage img = pagina(g.bytes(), pasta.path());
        confere(img, c.vistos);
        guarda(img, QStringLiteral("EmfForeign_") + QString::fromLatin1(c.oque).replace(QLatin1Char(' '), QLatin1Char('_'))
                        .remove(QLatin1Char(',')));
    }
}

namespace {

// A drawing LibreOffice exported to EMF (pictures/drawing.fodg): underlined and struck-out
// text, a yellow box behind a word, a 3 mm line (LibreOffice writes thick lines as filled
// outlines), and a blue square running off the drawing's right edge. The drawing is
// 100 x 60 mm, as is its box on the page.
void confereDesenho(const QByteArray& emf, const QString& nome)
{
    QTemporaryDir pasta;
    const QImage img = pagina(emf, pasta.path());
    guarda(img, nome);

    int fora = 0;
    const QRect caixa(500, 500, 1000, 600);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (!caixa.contains(x, y) && QColor(img.pixel(x, y)) != Qt::white)
                ++fora;
    EXPECT_EQ(fora, 0) << "nothing drawn outside the picture's box";

    int linha = 0;
    for (int y = 300; y < 500; ++y)
        linha += preto(QColor(img.pixel(500 + 300, 500 + y))) ? 1 : 0;
    EXPECT_NEAR(linha, 30, 3) << "the line is 3 mm thick";

    // "Sublinhado" from x = 5 mm on its baseline at 10.76 mm, 31.5 mm long; "Riscado" on
    // 23.76 mm, 22.8 mm long.
    confere(img, {{"the underline below Sublinhado", QRect(52, 108, 310, 20), preto, Linhas, 3, 7},
                  {"no bar across Sublinhado", QRect(52, 50, 310, 57), preto, Linhas, 0, 0},
                  {"the strike-out across Riscado", QRect(52, 200, 222, 37), preto, Linhas, 3, 7},
                  {"no bar below Riscado", QRect(52, 238, 222, 30), preto, Linhas, 0, 0},
                  {"the box behind Fundo", QRect(703, 53, 244, 94), amarelo, Parte, 0.6, 1},
                  {"the square up to the box's edge", QRect(803, 303, 196, 194), azul, Parte, 0.99, 1}});
}

} // namespace

// The file kept with the tests, made with "soffice --headless --convert-to emf drawing.fodg"
// (LibreOffice 7.4 with its Draw component).
TEST(EmfForeign, ADrawingExportedByLibreOffice)
{
    QFile f(QStringLiteral(VORTA_REPORT_PICTURES "/drawing.emf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    confereDesenho(f.readAll(), QStringLiteral("EmfForeign_LibreOffice"));
}

// The same drawing exported by the LibreOffice on this machine.
TEST(EmfForeign, ADrawingExportedByTheLibreOfficeHere)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice is not installed";
    QTemporaryDir pasta;
    QProcess office;
    office.setWorkingDirectory(pasta.path());
    office.start(soffice, {"-env:UserInstallation=file://" + pasta.path() + "/profile", "--headless", "--convert-to",
                           "emf", "--outdir", pasta.path(), QStringLiteral(VORTA_REPORT_PICTURES "/drawing.fodg")});
    ASSERT_TRUE(office.waitForFinished(180000)) << "soffice did not finish";
    QFile f(pasta.path() + "/drawing.emf");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "no EMF (is LibreOffice Draw installed?) "
                                             << office.readAllStandardError().constData();
    confereDesenho(f.readAll(), QStringLiteral("EmfForeign_LibreOfficeHere"));
}

// A damaged record is read without reading past it: every word of the text and font
// records of the drawing is spoilt in turn, and the picture is still read or refused.
TEST(EmfForeign, DamagedTextAndFontRecordsAreReadWithinTheirBounds)
{
    QFile f(QStringLiteral(VORTA_REPORT_PICTURES "/drawing.emf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray good = f.readAll();
    int spoilt = 0;
    for (qsizetype at = qFromLittleEndian<quint32>(good.constData() + 4); at + 8 <= good.size();) {
        const quint32 type = qFromLittleEndian<quint32>(good.constData() + at);
        const quint32 size = qFromLittleEndian<quint32>(good.constData() + at + 4);
        if (type == 82 || type == 84) {
            for (quint32 word = 8; word + 4 <= size; word += 4) {
                for (quint32 value : {0xFFFFFFFFu, 0x7FFFFFFFu, 0u}) {
                    QByteArray bad = good;
                    qToLittleEndian(value, bad.data() + at + word);
                    try {
                        (void)readEmf(bad);
                    } catch (const vorta::EInOutError&) {
                    }
                    ++spoilt;
                }
            }
        }
        at += size;
    }
    EXPECT_GT(spoilt, 100) << "the drawing's text and font records were all spoilt";
}
