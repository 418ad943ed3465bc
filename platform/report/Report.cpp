#include "platform/report/Report.h"

#include "platform/core/Clock.h"
#include "platform/core/Exceptions.h"
#include "platform/report/DataSetSource.h"
#include "platform/report/EmfReader.h"
#include "platform/report/EmfWriter.h"
#include "platform/report/PageRenderer.h"
#include "platform/report/ReportPreview.h"
#include "platform/report/ReportPrinter.h"
#include "platform/report/TextFormat.h"
#include "platform/report/TextLayout.h"

#include <QFile>
#include <QFileInfo>
#include <QSvgRenderer>

#include <algorithm>
#include <map>
#include <optional>

namespace vorta::report {

QSizeF paperSizeMm(PaperSize paper, Orientation orientation)
{
    const QSizeF portrait = paper == PaperSize::A4 ? QSizeF(210.0, 297.0) : QSizeF(215.9, 279.4);
    return orientation == Orientation::Portrait ? portrait : portrait.transposed();
}

// ---- Picture --------------------------------------------------------------

Picture Picture::fromImage(QImage image)
{
    Picture p;
    p.m_image = std::move(image);
    return p;
}

Picture Picture::fromSvg(QByteArray svg, QSizeF sizeMm)
{
    Picture p;
    p.m_svg = std::move(svg);
    p.m_svgSizeMm = sizeMm;
    return p;
}

Picture Picture::fromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (isEmf(bytes)) {
        const EmfPicture emf = readEmf(bytes);
        return fromSvg(emf.svg, emf.sizeMm);
    }
    QImage image;
    if (!image.loadFromData(bytes))
        throw EInOutError(QStringLiteral("\"%1\" is not a picture").arg(fileName));
    return fromImage(std::move(image));
}

QSizeF Picture::sizeMm() const
{
    if (!m_svg.isEmpty()) {
        if (m_svgSizeMm.isValid() && !m_svgSizeMm.isEmpty())
            return m_svgSizeMm;
        QSvgRenderer renderer(m_svg);
        return QSizeF(renderer.defaultSize()) * (25.4 / 96.0);
    }
    if (m_image.isNull())
        return {};
    const double dpmX = m_image.dotsPerMeterX() > 0 ? m_image.dotsPerMeterX() : 96.0 / 0.0254;
    const double dpmY = m_image.dotsPerMeterY() > 0 ? m_image.dotsPerMeterY() : 96.0 / 0.0254;
    return {m_image.width() / dpmX * 1000.0, m_image.height() / dpmY * 1000.0};
}

// ---- items ----------------------------------------------------------------

ReportItem::ReportItem(Band* band)
    : Component(band)
    , m_band(band)
{
}

ReportItem::~ReportItem()
{
    if (m_band)
        m_band->removeItem(this);
}

Report* ReportItem::report() const
{
    return m_band ? m_band->report() : nullptr;
}

Label::Label(Band* band, const QString& caption_)
    : TextItem(band)
    , caption(caption_)
{
}

DBText::DBText(Band* band, const QString& field_)
    : TextItem(band)
    , field(field_)
{
}

ReportDataSource* DBText::effectiveDataSource() const
{
    if (dataSource)
        return dataSource;
    return band() ? band()->effectiveDataSource() : nullptr;
}

void DBText::setDataSet(db::DataSet* dataSet)
{
    dataSource = dataSet && report() ? report()->sourceFor(dataSet) : nullptr;
}

QString DBText::printText() const
{
    ReportDataSource* ds = effectiveDataSource();
    if (!ds || ds->eof())
        return QString();
    if (mask.isEmpty() && displayFormat.isEmpty())
        return ds->fieldText(field);
    return formatFieldValue(ds->fieldValue(field), mask, displayFormat);
}

Memo::Memo(Band* band)
    : TextItem(band)
{
    wordWrap = true;
    autoStretch = true;
}

SysData::SysData(Band* band, Kind kind_, const QString& text_)
    : TextItem(band)
    , kind(kind_)
    , text(text_)
{
    autoSize = true;
}

QString SysData::printText() const
{
    const QDateTime moment = vorta::now();
    switch (kind) {
    case Kind::Date: return text + moment.toString(QStringLiteral("dd/MM/yyyy"));
    case Kind::Time: return text + moment.toString(QStringLiteral("HH:mm:ss"));
    case Kind::DateTime: return text + moment.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    case Kind::PageNumber: return text + QString::number(report() ? report()->pageNumber() : 0);
    case Kind::PageCount: return text + QString::number(report() ? report()->pageCount() : 0);
    }
    return text;
}

Shape::Shape(Band* band, Kind kind_)
    : ReportItem(band)
    , kind(kind_)
{
}

// ---- bands ----------------------------------------------------------------

Band::Band(Report* report, BandType type, double heightMm)
    : Component(report)
    , height(heightMm)
    , m_report(report)
    , m_type(type)
{
}

Band::~Band()
{
    beginDestroy();
    if (m_report)
        m_report->removeBand(this);
}

Label* Band::addLabel(const QString& name, const QString& caption, double left, double top, double width,
                      double height_)
{
    auto* label = add<Label>(caption);
    label->setName(name);
    label->setGeometry(left, top, width, height_);
    label->autoSize = width <= 0;
    return label;
}

DBText* Band::addDBText(const QString& name, const QString& field, double left, double top, double width,
                        double height_)
{
    auto* text = add<DBText>(field);
    text->setName(name);
    text->setGeometry(left, top, width, height_);
    text->autoSize = width <= 0;
    return text;
}

void Band::setDataSet(db::DataSet* dataSet)
{
    dataSource = dataSet && m_report ? m_report->sourceFor(dataSet) : nullptr;
}

ReportDataSource* Band::effectiveDataSource() const
{
    if (m_type == BandType::SubDetail)
        return dataSource;
    return m_report ? m_report->dataSource : nullptr;
}

void Band::removeItem(ReportItem* item)
{
    m_items.erase(std::remove(m_items.begin(), m_items.end(), item), m_items.end());
}

// ---- layout ---------------------------------------------------------------

namespace {

constexpr double kEps = 1e-6;

struct Rendered {
    double height = 0.0;
    QList<PageItem> items;
    // Items whose text depends on the page: (index in items, item).
    std::vector<std::pair<qsizetype, SysData*>> perPage;
};

bool pageDependent(const ReportItem* item)
{
    auto* sys = dynamic_cast<const SysData*>(item);
    return sys && (sys->kind == SysData::Kind::PageNumber || sys->kind == SysData::Kind::PageCount);
}

// A text item's box for a text, relative to its band.
PageItem placeText(const TextItem& t, const QString& text)
{
    const TextBox tb = layoutText(t.font, text, t.width, t.wordWrap);
    double left = t.left;
    double width = t.width;
    if (t.autoSize && !t.wordWrap) {
        width = tb.width;
        if (t.width > 0 && t.alignment == HAlign::Right)
            left = t.left + t.width - width;
        else if (t.width > 0 && t.alignment == HAlign::Center)
            left = t.left + (t.width - width) / 2.0;
    }
    double height = t.height > 0 ? t.height : tb.height();
    if (t.autoStretch)
        height = std::max(height, tb.height());
    PageItem item;
    item.kind = PageItem::Kind::Text;
    item.name = t.name();
    item.rect = QRectF(left, t.top, width, height);
    item.lines = tb.lines;
    item.font = t.font;
    item.align = t.alignment;
    item.lineHeight = tb.lineHeight;
    item.ascent = tb.ascent;
    item.color = t.color;
    return item;
}

QRectF fitPicture(const Image& image)
{
    const QRectF box(image.left, image.top, image.width, image.height);
    const QSizeF natural = image.picture.sizeMm();
    if (image.stretch && !image.keepAspect)
        return box;
    QSizeF size = natural;
    if (image.stretch || size.width() > box.width() || size.height() > box.height())
        size.scale(box.size(), Qt::KeepAspectRatio);
    QRectF r(box.topLeft(), size);
    if (image.center || image.stretch)
        r.moveCenter(box.center());
    return r;
}

void addShape(const Shape& s, QList<PageItem>& out)
{
    PageItem base;
    base.name = s.name();
    base.penWidth = s.penWidth;
    base.color = s.penColor;
    auto line = [&](QPointF a, QPointF b) {
        PageItem item = base;
        item.kind = PageItem::Kind::Line;
        item.rect = QRectF(a, b);
        out.append(item);
    };
    const double l = s.left, t = s.top, r = s.left + s.width, b = s.top + s.height;
    switch (s.kind) {
    case Shape::Kind::Rectangle:
    case Shape::Kind::Circle: {
        PageItem item = base;
        item.kind = s.kind == Shape::Kind::Rectangle ? PageItem::Kind::Rect : PageItem::Kind::Ellipse;
        item.rect = QRectF(l, t, s.width, s.height);
        item.fill = s.fill;
        out.append(item);
        break;
    }
    case Shape::Kind::HorizontalLine: line({l, (t + b) / 2}, {r, (t + b) / 2}); break;
    case Shape::Kind::VerticalLine: line({(l + r) / 2, t}, {(l + r) / 2, b}); break;
    case Shape::Kind::TopAndBottomLines:
        line({l, t}, {r, t});
        line({l, b}, {r, b});
        break;
    case Shape::Kind::LeftAndRightLines:
        line({l, t}, {l, b});
        line({r, t}, {r, b});
        break;
    }
}

class Layouter {
public:
    Layouter(Report& report, PreparedReport& out, int& pageNumber)
        : r(report)
        , out(out)
        , pageNumber(pageNumber)
    {
        page = paperSizeMm(r.paperSize, r.orientation);
        left = r.margins.left;
        top = r.margins.top;
        contentWidth = std::max(1.0, page.width() - r.margins.left - r.margins.right);
        bottom = page.height() - r.margins.bottom;
        columns = std::max(1, r.columns);
        colWidth = (contentWidth - (columns - 1) * r.columnSpace) / columns;
        for (Band* b : r.bands()) {
            switch (b->type()) {
            case BandType::Title: pick(title, b); break;
            case BandType::PageHeader: pick(pageHeader, b); break;
            case BandType::ColumnHeader: pick(columnHeader, b); break;
            case BandType::Detail: pick(detail, b); break;
            case BandType::Summary: pick(summary, b); break;
            case BandType::PageFooter: pick(pageFooter, b); break;
            case BandType::GroupHeader: groups.push_back(b); break;
            case BandType::SubDetail: break;
            }
        }
    }

    void run()
    {
        out.clear();
        out.setPageSize(page);
        out.setTitle(r.title);
        ReportDataSource* ds = r.dataSource;
        if (ds) {
            ds->first();
            if (ds->eof() && !r.printIfEmpty)
                return;
        }
        startPage();
        if (ds) {
            std::vector<std::optional<QVariant>> last(groups.size());
            for (; !ds->eof(); ds->next()) {
                for (size_t g = 0; g < groups.size(); ++g) {
                    const QVariant v = ds->fieldValue(groups[g]->groupField);
                    if (last[g] && *last[g] == v)
                        continue;
                    // An outer group's change starts every inner group again.
                    for (size_t k = g; k < groups.size(); ++k) {
                        last[k] = ds->fieldValue(groups[k]->groupField);
                        if (groups[k]->forceNewPage && y > columnTop + kEps)
                            nextPage();
                        flowBand(*groups[k]);
                    }
                    break;
                }
                rowBands();
            }
        } else {
            rowBands();
        }
        if (summary && summary->enabled) {
            if (summary->forceNewPage)
                nextPage();
            fullWidthBand(*summary, true);
        }
        endPage(true);
        finishPageCounts();
    }

private:
    static void pick(Band*& slot, Band* b)
    {
        if (!slot)
            slot = b;
    }

    double footerReserve() const { return pageFooter && pageFooter->enabled ? pageFooter->height : 0.0; }
    double limit() const { return bottom - footerReserve(); }
    double columnX(int c) const { return left + c * (colWidth + r.columnSpace); }

    // Each row: its detail band, then the sub-details hanging from the report.
    void rowBands()
    {
        if (detail)
            flowBand(*detail);
        subDetailsOf(nullptr);
    }

    void subDetailsOf(Band* master)
    {
        for (Band* b : r.bands()) {
            if (b->type() != BandType::SubDetail || !b->enabled)
                continue;
            const bool mine = b->master == master || (master == nullptr && b->master == detail && detail);
            if (!mine || b == master)
                continue;
            ReportDataSource* ds = b->dataSource;
            if (!ds) {
                flowBand(*b);
                subDetailsOf(b);
                continue;
            }
            ds->first();
            if (ds->eof() && b->printIfEmpty)
                flowBand(*b);
            for (; !ds->eof(); ds->next()) {
                flowBand(*b);
                subDetailsOf(b);
            }
        }
    }

    bool beforePrint(Band& b)
    {
        if (!b.enabled)
            return false;
        bool print = true;
        if (b.BeforePrint)
            b.BeforePrint(b, print);
        return print;
    }

    Rendered render(Band& b)
    {
        Rendered rb;
        rb.height = b.height;
        for (ReportItem* item : b.items()) {
            if (!item->enabled)
                continue;
            if (auto* t = dynamic_cast<TextItem*>(item)) {
                if (pageDependent(item)) {
                    PageItem placeholder;
                    placeholder.kind = PageItem::Kind::Text;
                    placeholder.rect = QRectF(t->left, t->top, t->width, t->height);
                    rb.perPage.emplace_back(rb.items.size(), static_cast<SysData*>(t));
                    rb.items.append(placeholder);
                    continue;
                }
                QString text = t->printText();
                if (t->OnPrint)
                    t->OnPrint(*t, text);
                PageItem pi = placeText(*t, text);
                if (t->autoStretch)
                    rb.height = std::max(rb.height, pi.rect.bottom());
                rb.items.append(pi);
            } else if (auto* img = dynamic_cast<Image*>(item)) {
                if (img->picture.isNull())
                    continue;
                PageItem pi;
                pi.kind = PageItem::Kind::Image;
                pi.name = img->name();
                pi.rect = fitPicture(*img);
                pi.image = img->picture.image();
                pi.svg = img->picture.svg();
                rb.items.append(pi);
            } else if (auto* shape = dynamic_cast<Shape*>(item)) {
                addShape(*shape, rb.items);
            }
        }
        return rb;
    }

    void place(const Rendered& rb, double x, double y0)
    {
        PreparedPage& p = out.page(out.pageCount() - 1);
        for (qsizetype i = 0; i < rb.items.size(); ++i) {
            PageItem item = rb.items[i];
            auto dep = std::find_if(rb.perPage.begin(), rb.perPage.end(), [i](auto& d) { return d.first == i; });
            if (dep != rb.perPage.end()) {
                SysData* sys = dep->second;
                if (sys->kind == SysData::Kind::PageCount) {
                    // Known once every page is laid out.
                    counts.push_back({out.pageCount() - 1, p.items.size(), sys, x, y0});
                    item = placeText(*sys, QString());
                } else {
                    QString text = sys->printText();
                    if (sys->OnPrint)
                        sys->OnPrint(*sys, text);
                    item = placeText(*sys, text);
                }
            }
            item.rect.translate(x, y0);
            p.items.append(item);
        }
    }

    // Detail-like bands flow down a column, then to the next column, then to a new page.
    void flowBand(Band& b)
    {
        if (!beforePrint(b))
            return;
        const Rendered rb = render(b);
        if (y + rb.height > limit() + kEps && y > columnTop + kEps) {
            if (col + 1 < columns) {
                ++col;
                y = columnTop;
            } else {
                nextPage();
            }
        }
        place(rb, columnX(col), y);
        y += rb.height;
        maxY = std::max(maxY, y);
    }

    void fullWidthBand(Band& b, bool mayBreak)
    {
        if (!beforePrint(b))
            return;
        const Rendered rb = render(b);
        y = std::max(y, maxY);
        if (mayBreak && y + rb.height > limit() + kEps && y > columnTop + kEps) {
            nextPage();
            y = std::max(y, maxY);
        }
        place(rb, left, y);
        y += rb.height;
        maxY = std::max(maxY, y);
        col = 0;
    }

    void startPage()
    {
        out.addPage();
        pageNumber = out.pageCount();
        y = top;
        maxY = top;
        col = 0;
        columnTop = top;
        if (pageHeader && (pageNumber > 1 || r.firstPageHeader))
            fullWidthBand(*pageHeader, false);
        if (title && pageNumber == 1)
            fullWidthBand(*title, false);
        if (columnHeader && beforePrint(*columnHeader)) {
            const Rendered rb = render(*columnHeader);
            for (int c = 0; c < columns; ++c)
                place(rb, columnX(c), y);
            y += rb.height;
            maxY = std::max(maxY, y);
        }
        columnTop = y;
    }

    void endPage(bool last)
    {
        if (pageFooter && (!last || r.lastPageFooter) && beforePrint(*pageFooter)) {
            const Rendered rb = render(*pageFooter);
            place(rb, left, bottom - pageFooter->height);
        }
    }

    void nextPage()
    {
        endPage(false);
        startPage();
    }

    void finishPageCounts()
    {
        for (const Count& c : counts) {
            pageNumber = c.page + 1;
            QString text = c.item->printText();
            if (c.item->OnPrint)
                c.item->OnPrint(*c.item, text);
            PageItem item = placeText(*c.item, text);
            item.rect.translate(c.x, c.y);
            out.page(c.page).items[c.index] = item;
        }
    }

    struct Count {
        int page;
        qsizetype index;
        SysData* item;
        double x, y;
    };

    Report& r;
    PreparedReport& out;
    int& pageNumber;
    QSizeF page;
    double left = 0, top = 0, bottom = 0, contentWidth = 0, colWidth = 0;
    int columns = 1;
    int col = 0;
    double y = 0, maxY = 0, columnTop = 0;
    Band *title = nullptr, *pageHeader = nullptr, *columnHeader = nullptr, *detail = nullptr, *summary = nullptr,
         *pageFooter = nullptr;
    std::vector<Band*> groups;
    std::vector<Count> counts;
};

} // namespace

// ---- report ---------------------------------------------------------------

Report::Report(Component* owner)
    : Component(owner)
{
}

Report::~Report()
{
    // Bands and items leave their lists while this object is still whole.
    beginDestroy();
}

void Report::setDataSet(db::DataSet* dataSet)
{
    dataSource = dataSet ? sourceFor(dataSet) : nullptr;
}

ReportDataSource* Report::sourceFor(db::DataSet* dataSet)
{
    for (const auto& s : m_sources)
        if (static_cast<DataSetSource*>(s.get())->dataSet() == dataSet)
            return s.get();
    m_sources.push_back(std::make_unique<DataSetSource>(dataSet));
    return m_sources.back().get();
}

Band* Report::addBand(BandType type, const QString& name, double heightMm)
{
    auto* band = new Band(this, type, heightMm);
    band->setName(name);
    m_bands.push_back(band);
    return band;
}

Band* Report::band(BandType type) const
{
    for (Band* b : m_bands)
        if (b->type() == type)
            return b;
    return nullptr;
}

void Report::removeBand(Band* band)
{
    m_bands.erase(std::remove(m_bands.begin(), m_bands.end(), band), m_bands.end());
}

int Report::prepare()
{
    Layouter layout(*this, m_prepared, m_pageNumber);
    layout.run();
    m_everPrepared = true;
    return m_prepared.pageCount();
}

void Report::preview()
{
    prepare();
    showPreview(*this);
}

void Report::print()
{
    prepare();
    printPrepared();
}

void Report::printPrepared()
{
    // Nothing prepared (an empty data set) sends no job: a printer would feed a blank sheet.
    if (m_prepared.pageCount() == 0)
        return;
    printerDriver().print(m_prepared, std::max(1, printerSettings.copies));
}

bool Report::printerSetup()
{
    return runPrinterSetup();
}

void Report::exportToPdf(const QString& fileName)
{
    if (!m_everPrepared && m_prepared.pageCount() == 0)
        prepare();
    writePdf(m_prepared, fileName);
}

QStringList Report::exportToEmf(const QString& fileName)
{
    if (!m_everPrepared && m_prepared.pageCount() == 0)
        prepare();
    return writeEmfPages(m_prepared, fileName);
}

} // namespace vorta::report
