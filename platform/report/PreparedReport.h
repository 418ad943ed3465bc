#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace vorta::report {

// Font of a printed text, as plain data so pages can be saved and compared.
struct FontSpec {
    QString family = QStringLiteral("DejaVu Sans");
    double pointSize = 10.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const FontSpec&) const = default;
};

enum class HAlign { Left, Center, Right };

// One drawing instruction of a prepared page; every position is in millimetres
// from the page's top-left corner.
struct PageItem {
    enum class Kind { Text, Line, Rect, Ellipse, Image };
    Kind kind = Kind::Text;
    QRectF rect;          // text box, shape box, image box; for a line its two ends
    QString name;         // the report item it came from
    // Text: already broken into lines, each lineHeight apart.
    QStringList lines;
    FontSpec font;
    HAlign align = HAlign::Left;
    double lineHeight = 0.0;
    double ascent = 0.0;  // from a line's top to its baseline
    QColor color = Qt::black;
    // Shapes: pen width in mm (0 = no outline) and an optional fill.
    double penWidth = 0.0;
    QColor fill;          // invalid = no fill
    // Images: a raster image, or an SVG document (an EMF picture read back).
    QImage image;
    QByteArray svg;

    QString text() const { return lines.join(QLatin1Char('\n')); }
};

struct PreparedPage {
    QList<PageItem> items;
};

// A text of a page with its position rounded to tenths of a millimetre; what tests
// compare.
struct PlacedText {
    QString text;
    double x = 0.0;
    double y = 0.0;
    bool operator==(const PlacedText&) const = default;
};

// The pages a report laid out: one display list per page that the preview, the
// printer, the PDF and the EMF writers all render from.
class PreparedReport {
public:
    QSizeF pageSize() const { return m_pageSize; }  // mm
    void setPageSize(QSizeF mm) { m_pageSize = mm; }
    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }

    int pageCount() const { return static_cast<int>(m_pages.size()); }
    const PreparedPage& page(int index) const { return m_pages.at(index); }
    PreparedPage& page(int index) { return m_pages[index]; }
    PreparedPage& addPage();
    void clear() { m_pages.clear(); }
    const QList<PreparedPage>& pages() const { return m_pages; }

    // Texts of a page (0-based) in drawing order.
    QList<PlacedText> texts(int index) const;

    // Our saved-report format (".QRP"): raises EInOutError when the file cannot be
    // written or is not a saved report.
    void saveToFile(const QString& fileName) const;
    void loadFromFile(const QString& fileName);

private:
    QSizeF m_pageSize{215.9, 279.4};
    QString m_title;
    QList<PreparedPage> m_pages;
};

} // namespace vorta::report
