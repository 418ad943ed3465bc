#include "ReportFixtures.h"

#include "platform/core/Exceptions.h"
#include "platform/report/EmfReader.h"
#include "platform/report/EmfWriter.h"
#include "platform/report/PageRenderer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstring>

using namespace vorta::report;
using namespace vorta::report::testing;

namespace {

struct EmfRecord {
    quint32 type;
    quint32 size;
};

quint32 le32(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

// Walks the records as any EMF reader does; fails the test on a broken layout.
QList<EmfRecord> records(const QByteArray& emf)
{
    QList<EmfRecord> out;
    qsizetype at = 0;
    while (at + 8 <= emf.size()) {
        const EmfRecord r{le32(emf, at), le32(emf, at + 4)};
        EXPECT_GE(r.size, 8u);
        EXPECT_EQ(0u, r.size % 4) << "record " << r.type << " at " << at;
        if (r.size < 8 || at + qsizetype(r.size) > emf.size()) {
            ADD_FAILURE() << "record " << r.type << " at " << at << " runs past the end";
            break;
        }
        out << r;
        at += r.size;
    }
    EXPECT_EQ(emf.size(), at);
    return out;
}

// Checks each record's own offsets and counts against the published record layout,
// as stricter readers do: texts, spacing arrays, bitmaps and the description lie
// inside their record, fonts carry a whole logical font, and every object index is
// inside the handle table the header declares.
void checkRecordLayouts(const QByteArray& emf)
{
    const quint32 handles = qFromLittleEndian<quint16>(emf.constData() + 56);
    const quint32 headerSize = le32(emf, 4);
    const quint32 descriptionChars = le32(emf, 60), descriptionAt = le32(emf, 64);
    if (descriptionChars > 0) {
        EXPECT_GE(descriptionAt, 88u);
        EXPECT_LE(descriptionAt + 2 * descriptionChars, headerSize);
    }
    qsizetype at = 0;
    while (at + 8 <= emf.size()) {
        const quint32 type = le32(emf, at), size = le32(emf, at + 4);
        if (size < 8 || at + qsizetype(size) > emf.size())
            return; // records() reports it
        auto field = [&](quint32 offset) { return le32(emf, at + offset); };
        const auto object = [&](quint32 index) {
            EXPECT_TRUE((index & 0x80000000u) || (index > 0 && index < handles))
                << "object " << index << " in record " << type << " at " << at;
        };
        switch (type) {
        case 84: { // EMR_EXTTEXTOUTW
            const quint32 chars = field(44), offString = field(48), offDx = field(72);
            EXPECT_GE(offString, 76u);
            EXPECT_LE(offString + 2 * chars, size);
            EXPECT_GE(offDx, offString + 2 * chars);
            EXPECT_LE(offDx + 4 * chars, size);
            break;
        }
        case 81: { // EMR_STRETCHDIBITS
            const quint32 offBmi = field(48), cbBmi = field(52), offBits = field(56), cbBits = field(60);
            EXPECT_LE(offBmi + cbBmi, size);
            EXPECT_LE(offBits + cbBits, size);
            const qint32 w = qint32(le32(emf, at + offBmi + 4)), h = qint32(le32(emf, at + offBmi + 8));
            const quint32 bitCount = qFromLittleEndian<quint16>(emf.constData() + at + offBmi + 14);
            EXPECT_GE(cbBits, ((quint32(w) * bitCount + 31) / 32) * 4 * quint32(std::abs(h)));
            break;
        }
        case 114: { // EMR_ALPHABLEND
            const quint32 offBmi = field(84), cbBmi = field(88), offBits = field(92), cbBits = field(96);
            EXPECT_EQ(0x01FF0000u, field(40)) << "source over, with the picture's own alpha";
            EXPECT_LE(offBmi + cbBmi, size);
            EXPECT_LE(offBits + cbBits, size);
            EXPECT_EQ(32u, qFromLittleEndian<quint16>(emf.constData() + at + offBmi + 14));
            const qint32 w = qint32(le32(emf, at + offBmi + 4)), h = qint32(le32(emf, at + offBmi + 8));
            EXPECT_EQ(quint32(w), field(100));
            EXPECT_EQ(quint32(h), field(104));
            EXPECT_GE(cbBits, quint32(w) * 4 * quint32(std::abs(h)));
            break;
        }
        case 82: // EMR_EXTCREATEFONTINDIRECTW: index and a logical font with its extension
            EXPECT_TRUE(size == 8 + 4 + 320 || size == 8 + 4 + 92 + 276) << size;
            object(field(8));
            break;
        case 38: // EMR_CREATEPEN
            EXPECT_EQ(28u, size);
            object(field(8));
            break;
        case 39: // EMR_CREATEBRUSHINDIRECT
            EXPECT_EQ(24u, size);
            object(field(8));
            break;
        case 37: // EMR_SELECTOBJECT
        case 40: // EMR_DELETEOBJECT
            EXPECT_EQ(12u, size);
            object(field(8));
            break;
        }
        at += size;
    }
}

// Fraction of dark pixels in a millimetre rectangle of an image at k pixels per mm.
double darkShare(const QImage& image, const QRectF& mm, double k)
{
    const QRect px = QRectF(mm.left() * k, mm.top() * k, mm.width() * k, mm.height() * k).toAlignedRect();
    int dark = 0, all = 0;
    for (int y = std::max(0, px.top()); y <= std::min(image.height() - 1, px.bottom()); ++y)
        for (int x = std::max(0, px.left()); x <= std::min(image.width() - 1, px.right()); ++x) {
            ++all;
            if (qGray(image.pixel(x, y)) < 128)
                ++dark;
        }
    return all ? double(dark) / all : 0.0;
}

QImage renderEmf(const QByteArray& emf, QSizeF pageMm, double k)
{
    QImage image(int(pageMm.width() * k), int(pageMm.height() * k), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    drawEmf(p, QRectF(0, 0, image.width(), image.height()), emf);
    return image;
}

} // namespace

TEST(EmfExport, PageFileNamesCarryAThreeDigitNumber)
{
    struct Case {
        const char* name;
        int page;
        const char* expected;
    };
    const Case cases[] = {
        {"/dados/arquivos/ProtZIR.emf", 1, "/dados/arquivos/ProtZIR001.emf"},
        {"/dados/arquivos/ProtZIR.emf", 12, "/dados/arquivos/ProtZIR012.emf"},
        {"ProtZIR.emf", 3, "ProtZIR003.emf"},
        {"/tmp/a.b/Prot.x.emf", 1, "/tmp/a.b/Prot.x001.emf"},
        {"/tmp/semext", 2, "/tmp/semext002"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QString(c.expected), emfPageFileName(c.name, c.page)) << c.name;
}

TEST(EmfExport, WritesOneValidMetafilePerPage)
{
    auto rows = numberedRows(70);
    Listing l(rows.get());
    QTemporaryDir dir;
    const QStringList names = l.report.exportToEmf(dir.filePath("ProtZIR.emf"));
    ASSERT_EQ(2, l.report.pageCount());
    EXPECT_EQ((QStringList{dir.filePath("ProtZIR001.emf"), dir.filePath("ProtZIR002.emf")}), names);
    EXPECT_FALSE(QFile::exists(dir.filePath("ProtZIR003.emf")));
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray emf = file.readAll();
        ASSERT_TRUE(isEmf(emf));
        EXPECT_EQ(static_cast<quint32>(emf.size()), le32(emf, 48)); // nBytes
        const QList<EmfRecord> recs = records(emf);
        checkRecordLayouts(emf);
        ASSERT_FALSE(recs.isEmpty());
        EXPECT_EQ(1u, recs.first().type);
        EXPECT_EQ(static_cast<quint32>(recs.size()), le32(emf, 52)); // nRecords
        EXPECT_EQ(14u, recs.last().type);                            // EMR_EOF
        EXPECT_EQ(20u, recs.last().size);
        // The frame is the letter page in hundredths of a millimetre.
        EXPECT_EQ(21589u, le32(emf, 32));
        EXPECT_EQ(27939u, le32(emf, 36));
        int texts = 0;
        for (const EmfRecord& r : recs)
            texts += r.type == 84; // EMR_EXTTEXTOUTW
        EXPECT_GT(texts, 30);
    }
}

TEST(EmfExport, ReadBackRendersTextLinesAndImagesWhereThePageHasThem)
{
    Report report;
    Band* title = report.addBand(BandType::Title, "Titulo", 60);
    auto* big = title->addLabel("lbGrande", "PROTOCOLO DE ENTREGA", 10, 5);
    big->font.pointSize = 28;
    big->font.bold = true;
    auto* frame = title->add<Shape>(Shape::Kind::Rectangle);
    frame->setGeometry(0, 25, 120, 20);
    frame->penWidth = 1.0;
    QImage logo(40, 40, QImage::Format_RGB32);
    logo.fill(Qt::black);
    auto* image = title->add<Image>();
    image->setGeometry(150, 25, 20, 20);
    image->picture = Picture::fromImage(logo);
    image->stretch = true;
    report.prepare();
    const QByteArray emf = emfOfPage(report.qrPrinter(), 0);
    records(emf);
    checkRecordLayouts(emf);

    const double k = 4.0; // pixels per mm
    const QImage image1 = renderEmf(emf, report.qrPrinter().pageSize(), k);
    const QRectF textBox = report.qrPrinter().page(0).items[0].rect;
    EXPECT_GT(darkShare(image1, textBox, k), 0.08);
    // The frame's top edge (page y = 10 + 25) and the inside of the frame.
    EXPECT_GT(darkShare(image1, QRectF(20, 34.5, 80, 1), k), 0.5);
    EXPECT_LT(darkShare(image1, QRectF(20, 40, 80, 10), k), 0.01);
    // The black image, and the blank page below everything.
    EXPECT_GT(darkShare(image1, QRectF(163, 38, 14, 14), k), 0.9);
    EXPECT_LT(darkShare(image1, QRectF(10, 100, 190, 150), k), 0.001);
}

// A picture with transparent parts shows what lies below them; an opaque one is still
// copied with the record every reader knows.
TEST(EmfExport, APictureWithTransparencyKeepsWhatLiesBelowIt)
{
    Report report;
    Band* title = report.addBand(BandType::Title, "Titulo", 60);
    auto* under = title->add<Shape>(Shape::Kind::Rectangle);
    under->setGeometry(20, 20, 80, 20);
    under->fill = Qt::black;
    // Left half transparent, right half opaque white.
    QImage logo(80, 20, QImage::Format_ARGB32);
    logo.fill(Qt::transparent);
    for (int y = 0; y < 20; ++y)
        for (int x = 40; x < 80; ++x)
            logo.setPixel(x, y, qRgba(255, 255, 255, 255));
    auto* image = title->add<Image>();
    image->setGeometry(20, 20, 80, 20);
    image->picture = Picture::fromImage(logo);
    image->stretch = true;
    QImage opaque(10, 10, QImage::Format_RGB32);
    opaque.fill(Qt::black);
    auto* second = title->add<Image>();
    second->setGeometry(150, 20, 10, 10);
    second->picture = Picture::fromImage(opaque);
    second->stretch = true;
    report.prepare();
    const QByteArray emf = emfOfPage(report.qrPrinter(), 0);
    QList<quint32> types;
    for (const EmfRecord& r : records(emf))
        types << r.type;
    checkRecordLayouts(emf);
    EXPECT_EQ(1, types.count(114u)) << "the transparent picture is blended";
    EXPECT_EQ(1, types.count(81u)) << "the opaque one is copied";

    const double k = 4.0;
    const QImage page = renderEmf(emf, report.qrPrinter().pageSize(), k);
    // Page y = 10 + 20: the rectangle shows through the left half, the right half covers it.
    EXPECT_GT(darkShare(page, QRectF(32, 32, 26, 16), k), 0.9);
    EXPECT_LT(darkShare(page, QRectF(72, 32, 26, 16), k), 0.05);
    EXPECT_GT(darkShare(page, QRectF(161, 31, 8, 8), k), 0.9);
}

TEST(EmfImport, APictureFromAnEmfFileDrawsOnAPage)
{
    // Page 1 of a protocol becomes the picture framed by another report.
    Report protocol;
    auto* line = protocol.addBand(BandType::Title, "Titulo", 30)->add<Shape>(Shape::Kind::HorizontalLine);
    line->setGeometry(0, 0, 195.9, 20);
    line->penWidth = 3;
    protocol.prepare();
    QTemporaryDir dir;
    const QStringList names = protocol.exportToEmf(dir.filePath("PZIR.emf"));
    ASSERT_EQ(1, names.size());

    Report frame;
    auto* picture = frame.addBand(BandType::Title, "Titulo", 150)->add<Image>();
    picture->setGeometry(0, 0, 108, 140); // half the page's size
    picture->stretch = true;
    picture->picture = Picture::fromFile(names.first());
    EXPECT_NEAR(215.9, picture->picture.sizeMm().width(), 0.05);
    frame.prepare();
    const double k = 4.0;
    const QImage page = renderPageImage(frame.qrPrinter(), 0, k * 25.4);
    // The line sat 20 mm into the protocol page (10 + 10); at half size 10 mm, plus the margin.
    EXPECT_GT(darkShare(page, QRectF(20, 19.6, 60, 0.8), k), 0.5);
    EXPECT_LT(darkShare(page, QRectF(20, 40, 60, 60), k), 0.001);
}

TEST(EmfImport, RefusesWhatIsNoMetafile)
{
    QTemporaryDir dir;
    QFile bad(dir.filePath("P.emf"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a metafile at all, just text that is long enough to be read as a header.....");
    bad.close();
    EXPECT_THROW(Picture::fromFile(bad.fileName()), vorta::EInOutError);
    EXPECT_THROW(Picture::fromFile(dir.filePath("missing.emf")), vorta::EInOutError);
    EXPECT_THROW(readEmf(QByteArray(200, '\0')), vorta::EInOutError);
}

namespace {

// Builds a metafile as a Windows program's GDI calls record it: a 96 dpi screen as
// reference device, pixel coordinates.
class GdiRecording {
public:
    // A record of 32-bit parameters followed by raw bytes (a multiple of four).
    void rec(quint32 type, QList<qint32> params, const QByteArray& tail = {})
    {
        put(type);
        put(8 + 4 * quint32(params.size()) + quint32(tail.size()));
        for (qint32 p : params)
            put(quint32(p));
        body.append(tail);
        ++count;
    }
    static QByteArray utf16(const QString& s, int units)
    {
        QByteArray out;
        for (int i = 0; i < units; ++i) {
            const quint16 c = i < s.size() ? s[i].unicode() : 0;
            out.append(char(c & 0xff)).append(char(c >> 8));
        }
        return out;
    }
    // The bounds are where the drawing reached; the frame is the picture's extent
    // (GDI records both; an invalid frame rectangle writes an empty frame).
    // With micrometres the header carries its two extensions (pixel format, OpenGL,
    // the reference device's size in micrometres), as newer GDI versions write it.
    QByteArray finish(QRect boundsPx, QRect framePx, QSize micrometres = {})
    {
        const quint32 headerSize = micrometres.isValid() ? 108 : 88;
        rec(14, {0, 16, 20});
        QByteArray header;
        auto h = [&](quint32 v) {
            char b[4];
            qToLittleEndian(v, b);
            header.append(b, 4);
        };
        const double mmPerPx = 25.4 / 96;
        h(1);
        h(headerSize);
        for (int v : {boundsPx.left(), boundsPx.top(), boundsPx.right(), boundsPx.bottom()})
            h(quint32(v));
        // The frame in hundredths of a millimetre, inclusive like the bounds.
        h(quint32(qRound(framePx.left() * mmPerPx * 100)));
        h(quint32(qRound(framePx.top() * mmPerPx * 100)));
        h(quint32(qRound((framePx.right() + 1) * mmPerPx * 100) - 1));
        h(quint32(qRound((framePx.bottom() + 1) * mmPerPx * 100) - 1));
        h(0x464D4520);
        h(0x10000);
        h(quint32(headerSize + body.size()));
        h(count + 1);
        h(3); // handles: 16-bit count and reserved word
        h(0);
        h(0);
        h(0);
        for (int v : {1024, 768, 271, 203})
            h(quint32(v));
        if (micrometres.isValid())
            for (int v : {0, 0, 0, micrometres.width(), micrometres.height()})
                h(quint32(v));
        return header + body;
    }

private:
    void put(quint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        body.append(b, 4);
    }
    QByteArray body;
    quint32 count = 0;
};

} // namespace

TEST(EmfImport, ReadsAMetafileRecordedWithScreenPixels)
{
    GdiRecording gdi;
    gdi.rec(39, {1, 0, 0x000000, 0});     // CreateBrushIndirect: solid black
    gdi.rec(37, {1});                     // SelectObject
    gdi.rec(37, {int(0x80000008)});       // the null pen
    gdi.rec(43, {0, 0, 49, 99});          // Rectangle: left half
    const QByteArray emf = gdi.finish(QRect(0, 0, 100, 100), QRect(0, 0, 100, 100));
    const EmfPicture picture = readEmf(emf);
    EXPECT_NEAR(100 * 25.4 / 96, picture.sizeMm.width(), 0.05);

    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    drawEmf(p, QRectF(0, 0, 200, 200), emf);
    p.end();
    EXPECT_GT(darkShare(image, QRectF(10, 10, 80, 180), 1.0), 0.95);
    EXPECT_LT(darkShare(image, QRectF(110, 10, 80, 180), 1.0), 0.01);
}

TEST(EmfImport, ADrawingThatLeavesItsFrameBlankKeepsItsPlace)
{
    // A black box drawn inside a picture; the picture is drawn into 200 x 200 pixels.
    struct Case {
        const char* what;
        QRect frame;   // screen pixels
        QRect box;     // screen pixels, also the drawing's bounds
        double sizeMm; // expected width and height of the picture
        QSize micrometres; // the reference device's exact size, when the header has it
        QRectF dark;   // in the 200 x 200 target
        QList<QRectF> blank;
    };
    const double px = 25.4 / 96;
    const Case cases[] = {
        {"top-left quarter of the frame", QRect(0, 0, 200, 200), QRect(0, 0, 50, 50), 200 * px, {}, QRectF(5, 5, 40, 40),
         {QRectF(60, 5, 130, 40), QRectF(5, 60, 190, 130)}},
        {"middle of the frame", QRect(0, 0, 200, 200), QRect(100, 50, 50, 50), 200 * px, {}, QRectF(105, 55, 40, 40),
         {QRectF(5, 5, 90, 40), QRectF(5, 110, 190, 85), QRectF(160, 5, 35, 100)}},
        {"a frame that does not start at the origin", QRect(50, 50, 100, 100), QRect(50, 50, 50, 100), 100 * px,
         {}, QRectF(5, 5, 90, 190), {QRectF(105, 5, 90, 190)}},
        // No frame: the drawing's bounds give the picture its size.
        {"no frame", QRect(), QRect(0, 0, 100, 100), 100.0 / (1024.0 / 27100.0) / 100.0, {}, QRectF(5, 5, 190, 190), {}},
        // The micrometres, where present, are exact; the millimetres are rounded.
        {"no frame, micrometres", QRect(), QRect(0, 0, 100, 100), 100.0 * 0.25, QSize(256000, 192000),
         QRectF(5, 5, 190, 190), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GdiRecording gdi;
        gdi.rec(39, {1, 0, 0x000000, 0});
        gdi.rec(37, {1});
        gdi.rec(37, {int(0x80000008)});
        // Rectangle() leaves out the right and bottom edges.
        gdi.rec(43, {c.box.left(), c.box.top(), c.box.right() + 1, c.box.bottom() + 1});
        const QByteArray emf = gdi.finish(c.box, c.frame, c.micrometres);
        const EmfPicture picture = readEmf(emf);
        EXPECT_NEAR(c.sizeMm, picture.sizeMm.width(), 0.05);
        EXPECT_NEAR(c.sizeMm, picture.sizeMm.height(), 0.05);

        QImage image(200, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        drawEmf(p, QRectF(0, 0, 200, 200), emf);
        p.end();
        EXPECT_GT(darkShare(image, c.dark, 1.0), 0.95);
        for (const QRectF& blank : c.blank)
            EXPECT_LT(darkShare(image, blank, 1.0), 0.01) << blank.x() << "," << blank.y();
    }
}

TEST(EmfImport, ReadsTextAndLinesRecordedByGdi)
{
    GdiRecording gdi;
    // A bold 32-pixel "Arial" (not on this machine: the reader's fallback draws it).
    const auto le = [](qint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        return QByteArray(b, 4);
    };
    QByteArray logFont;
    for (qint32 v : {-32, 0, 0, 0, 700})
        logFont.append(le(v));
    logFont.append(8, '\0');
    logFont.append(GdiRecording::utf16("Arial", 32));
    logFont.append(320 - 92, '\0');
    gdi.rec(82, {1}, logFont);          // ExtCreateFontIndirectW
    gdi.rec(37, {1});                   // SelectObject
    gdi.rec(24, {0x000000});            // SetTextColor
    gdi.rec(18, {1});                   // SetBkMode: transparent
    const QString text = "PROTOCOLO";
    QByteArray tail = GdiRecording::utf16(text, int(text.size() + text.size() % 2));
    const int offDx = 76 + int(tail.size());
    for (qsizetype i = 0; i < text.size(); ++i)
        tail.append(le(22));
    const float one = 1.0f;
    qint32 oneBits;
    std::memcpy(&oneBits, &one, 4);
    // ExtTextOutW at (10, 10), text aligned by its top (the default).
    gdi.rec(84, {10, 10, 210, 45, 1, oneBits, oneBits, 10, 10, int(text.size()), 76, 0, 0, 0, -1, -1, offDx}, tail);
    gdi.rec(38, {2, 0, 1, 0, 0});       // CreatePen: solid, black
    gdi.rec(37, {2});
    gdi.rec(27, {10, 100});             // MoveToEx
    gdi.rec(54, {300, 100});            // LineTo
    const QByteArray emf = gdi.finish(QRect(10, 10, 291, 91), QRect(0, 0, 400, 200));

    QImage image(400, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    drawEmf(p, QRectF(0, 0, 400, 200), emf);
    p.end();
    EXPECT_GT(darkShare(image, QRectF(12, 14, 180, 20), 1.0), 0.15); // the letters
    EXPECT_GT(darkShare(image, QRectF(20, 99, 270, 3), 1.0), 0.2);   // the one-pixel line
    EXPECT_LT(darkShare(image, QRectF(12, 50, 380, 40), 1.0), 0.001);
    EXPECT_LT(darkShare(image, QRectF(0, 110, 400, 90), 1.0), 0.001);
    EXPECT_LT(darkShare(image, QRectF(310, 0, 90, 200), 1.0), 0.001);
}
