#pragma once

#include "platform/core/Component.h"
#include "platform/report/PreparedReport.h"
#include "platform/report/ReportDataSource.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace vorta::db {
class DataSet;
}

namespace vorta::report {

class Band;
class Report;

enum class PaperSize { Letter, A4 };
enum class Orientation { Portrait, Landscape };

// Paper size in millimetres for the orientation.
QSizeF paperSizeMm(PaperSize paper, Orientation orientation);

struct Margins {
    double left = 10.0, top = 10.0, right = 10.0, bottom = 10.0;  // mm
};

// A picture an image item prints: a raster image or an SVG document (what an EMF
// picture becomes when read back).
class Picture {
public:
    Picture() = default;
    static Picture fromImage(QImage image);
    static Picture fromSvg(QByteArray svg, QSizeF sizeMm = {});
    // Loads an EMF (through the EMF reader) or any image format Qt reads; raises
    // EInOutError when the file is missing or unreadable.
    static Picture fromFile(const QString& fileName);

    bool isNull() const { return m_image.isNull() && m_svg.isEmpty(); }
    const QImage& image() const { return m_image; }
    const QByteArray& svg() const { return m_svg; }
    // Natural size in mm (an SVG's view box; an image's resolution, 96 dpi by default).
    QSizeF sizeMm() const;

private:
    QImage m_image;
    QByteArray m_svg;
    QSizeF m_svgSizeMm;
};

// Base of everything placed on a band; positions are mm from the band's top-left.
class ReportItem : public Component {
public:
    explicit ReportItem(Band* band);
    ~ReportItem() override;
    Band* band() const { return m_band; }
    Report* report() const;

    double left = 0.0, top = 0.0, width = 20.0, height = 5.0;
    // A disabled item does not print.
    bool enabled = true;

    void setGeometry(double l, double t, double w, double h)
    {
        left = l;
        top = t;
        width = w;
        height = h;
    }

private:
    Band* m_band;
};

// A text item: font, alignment, auto-size (the box fits one line of text), word
// wrap (the text breaks inside the box's width) and auto-stretch (the box, and its
// band, grow to hold every wrapped line).
class TextItem : public ReportItem {
public:
    using ReportItem::ReportItem;

    FontSpec font;
    HAlign alignment = HAlign::Left;
    bool autoSize = false;
    bool wordWrap = false;
    bool autoStretch = false;
    QColor color = Qt::black;

    // Runs just before the text prints; may change it.
    std::function<void(TextItem& item, QString& text)> OnPrint;

    // The text to print before OnPrint.
    virtual QString printText() const = 0;
};

class Label : public TextItem {
public:
    explicit Label(Band* band, const QString& caption = QString());
    QString caption;
    QString printText() const override { return caption; }
};

// A field of a data set: its band's data set unless one is given.
class DBText : public TextItem {
public:
    explicit DBText(Band* band, const QString& field = QString());
    ReportDataSource* dataSource = nullptr;
    QString field;
    QString mask;           // edit mask, "99.999.999-9;0;_"
    QString displayFormat;  // numbers and dates, "###,###,##0.00"
    // Reads a dataset of the database layer (through an adapter the report keeps).
    void setDataSet(db::DataSet* dataSet);
    ReportDataSource* effectiveDataSource() const;
    QString printText() const override;
};

// Several lines of text; wraps and stretches by default.
class Memo : public TextItem {
public:
    explicit Memo(Band* band);
    QStringList lines;
    QString printText() const override { return lines.join(QLatin1Char('\n')); }
};

// System data: date, time, page number, page count, with a prefix text.
class SysData : public TextItem {
public:
    enum class Kind { Date, Time, DateTime, PageNumber, PageCount };
    SysData(Band* band, Kind kind, const QString& text = QString());
    Kind kind;
    QString text;  // printed before the value
    QString printText() const override;
};

class Image : public ReportItem {
public:
    using ReportItem::ReportItem;
    Picture picture;
    bool stretch = false;     // fill the box (keeping nothing of the aspect)
    bool center = false;      // centre an unstretched picture in its box
    bool keepAspect = false;  // with stretch: as large as fits, aspect kept
};

class Shape : public ReportItem {
public:
    enum class Kind { Rectangle, HorizontalLine, VerticalLine, TopAndBottomLines, LeftAndRightLines, Circle };
    explicit Shape(Band* band, Kind kind = Kind::Rectangle);
    Kind kind;
    double penWidth = 0.26;  // mm
    QColor penColor = Qt::black;
    QColor fill;             // invalid = no fill
};

enum class BandType { Title, PageHeader, ColumnHeader, Detail, SubDetail, GroupHeader, Summary, PageFooter };

class Band : public Component {
public:
    Band(Report* report, BandType type, double heightMm = 10.0);
    ~Band() override;
    Report* report() const { return m_report; }
    BandType type() const { return m_type; }

    double height;  // mm; stretching items may make a printed band taller
    bool enabled = true;
    // Summary and group header: start on a new page.
    bool forceNewPage = false;

    // Sub-detail: its rows come from dataSource and print under each row of its
    // master (another sub-detail, or the report's detail when null).
    ReportDataSource* dataSource = nullptr;
    Band* master = nullptr;
    void setDataSet(db::DataSet* dataSet);
    // Sub-detail: print once even when its data set has no row.
    bool printIfEmpty = false;

    // Group header: prints before the first row and whenever this field of the
    // report's data set changes.
    QString groupField;

    // Before the band prints; clearing printBand suppresses it this time.
    std::function<void(Band& band, bool& printBand)> BeforePrint;

    // Items in creation order.
    const std::vector<ReportItem*>& items() const { return m_items; }
    template <class T, class... Args>
    T* add(Args&&... args)
    {
        T* item = new T(this, std::forward<Args>(args)...);
        m_items.push_back(item);
        return item;
    }
    Label* addLabel(const QString& name, const QString& caption, double left, double top, double width = 0,
                    double height = 0);
    DBText* addDBText(const QString& name, const QString& field, double left, double top, double width = 0,
                      double height = 0);

    // The band's own data set: a sub-detail's, else the report's.
    ReportDataSource* effectiveDataSource() const;

private:
    friend class ReportItem;
    void removeItem(ReportItem* item);
    Report* m_report;
    BandType m_type;
    std::vector<ReportItem*> m_items;
};

struct PrinterSettings {
    int copies = 1;
};

// A banded report: paper, orientation, zoom, margins, a data set and bands.
// prepare() lays out every page into qrPrinter(), from which the preview, printing,
// PDF and EMF export all render.
//
// Each page: page header (not on page 1 without firstPageHeader), title (page 1
// only), column header (once per column); then per row of the data set (once when
// there is none) the group headers whose field changed, the detail and its
// sub-details; after the last row the summary; the page footer sits at the foot of
// every page (not the last without lastPageFooter). Detail-like bands flow down a
// column, then into the next column, then onto a new page.
class Report : public Component {
public:
    explicit Report(Component* owner = nullptr);
    ~Report() override;

    PaperSize paperSize = PaperSize::Letter;
    Orientation orientation = Orientation::Portrait;
    int zoom = 100;  // preview zoom, percent
    Margins margins;
    ReportDataSource* dataSource = nullptr;
    QString title;  // print job name and preview caption

    // Options.
    bool firstPageHeader = true;
    bool lastPageFooter = true;
    bool printIfEmpty = false;
    int columns = 1;
    double columnSpace = 0.0;  // mm between columns
    bool previewMaximized = false;

    PrinterSettings printerSettings;

    // The report's rows from a dataset of the database layer.
    void setDataSet(db::DataSet* dataSet);
    // An adapter for a dataset, kept as long as the report lives.
    ReportDataSource* sourceFor(db::DataSet* dataSet);

    Band* addBand(BandType type, const QString& name, double heightMm);
    const std::vector<Band*>& bands() const { return m_bands; }
    Band* band(BandType type) const;  // the first of its type

    // Lays out all pages; returns their number. May run again (a page count fed back
    // into a header); each run starts afresh and runs the events again.
    int prepare();
    int pageCount() const { return m_prepared.pageCount(); }
    // Page being laid out (1-based), for event handlers.
    int pageNumber() const { return m_pageNumber; }

    // The prepared pages; a saved report can be loaded here and printed or counted.
    PreparedReport& qrPrinter() { return m_prepared; }
    const PreparedReport& qrPrinter() const { return m_prepared; }

    // Prepares and shows the modal preview.
    void preview();
    // Prepares and prints without preview, printerSettings.copies times.
    void print();
    // Prints what qrPrinter() holds (prepared or loaded) without preparing again;
    // no pages, no job.
    void printPrepared();
    // The printer set-up dialog; true when confirmed.
    bool printerSetup();
    // Writes the prepared pages (preparing first when nothing is prepared).
    void exportToPdf(const QString& fileName);
    // One EMF per page: "ProtZIR.emf" gives "ProtZIR001.emf", ...; returns the names.
    QStringList exportToEmf(const QString& fileName);

private:
    friend class Band;
    void removeBand(Band* band);
    std::vector<Band*> m_bands;
    std::vector<std::unique_ptr<ReportDataSource>> m_sources;
    PreparedReport m_prepared;
    bool m_everPrepared = false;
    int m_pageNumber = 0;
};

} // namespace vorta::report
