#include "platform/report/PageRenderer.h"

#include "platform/core/Exceptions.h"
#include "platform/report/TextLayout.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cmath>

namespace vorta::report {

namespace {

QRectF toPx(const QRectF& mm, double k)
{
    return QRectF(mm.left() * k, mm.top() * k, mm.width() * k, mm.height() * k);
}

QPen penFor(const PageItem& item, double k)
{
    if (item.penWidth <= 0)
        return QPen(item.color, 0); // cosmetic hairline
    return QPen(item.color, item.penWidth * k, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

void drawText(QPainter& p, const PageItem& item, double k)
{
    p.setFont(toQFont(item.font));
    p.setPen(item.color);
    const Qt::Alignment h = item.align == HAlign::Right ? Qt::AlignRight
        : item.align == HAlign::Center                ? Qt::AlignHCenter
                                                       : Qt::AlignLeft;
    for (qsizetype i = 0; i < item.lines.size(); ++i) {
        const QRectF line(item.rect.left(), item.rect.top() + i * item.lineHeight, item.rect.width(), item.lineHeight);
        p.drawText(toPx(line, k), int(h | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip), item.lines[i]);
    }
}

} // namespace

void renderPage(QPainter& p, const PreparedPage& page, double k)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    // Pictures are scaled to the page's resolution: smoothly, not by repeating pixels.
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const PageItem& item : page.items) {
        switch (item.kind) {
        case PageItem::Kind::Text: drawText(p, item, k); break;
        case PageItem::Kind::Line:
            p.setPen(penFor(item, k));
            p.drawLine(QPointF(item.rect.left() * k, item.rect.top() * k),
                       QPointF(item.rect.right() * k, item.rect.bottom() * k));
            break;
        case PageItem::Kind::Rect:
        case PageItem::Kind::Ellipse:
            p.setPen(item.penWidth > 0 ? penFor(item, k) : QPen(Qt::NoPen));
            p.setBrush(item.fill.isValid() ? QBrush(item.fill) : QBrush(Qt::NoBrush));
            if (item.kind == PageItem::Kind::Rect)
                p.drawRect(toPx(item.rect, k));
            else
                p.drawEllipse(toPx(item.rect, k));
            p.setBrush(Qt::NoBrush);
            break;
        case PageItem::Kind::Image:
            // A picture never draws outside its box, whatever its records reach for.
            p.save();
            p.setClipRect(toPx(item.rect, k), Qt::IntersectClip);
            if (!item.svg.isEmpty()) {
                QSvgRenderer renderer(item.svg);
                renderer.render(&p, toPx(item.rect, k));
            } else if (!item.image.isNull()) {
                p.drawImage(toPx(item.rect, k), item.image);
            }
            p.restore();
            break;
        }
    }
    p.restore();
}

QPageLayout pageLayoutOf(const PreparedReport& report)
{
    const QSizeF mm = report.pageSize();
    const bool landscape = mm.width() > mm.height();
    return QPageLayout(QPageSize(landscape ? mm.transposed() : mm, QPageSize::Millimeter),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

QImage renderPageImage(const PreparedReport& report, int pageIndex, double dpi)
{
    const double k = dpi / 25.4;
    const QSizeF mm = report.pageSize();
    QImage image(std::max(1, int(std::lround(mm.width() * k))), std::max(1, int(std::lround(mm.height() * k))),
                 QImage::Format_ARGB32_Premultiplied);
    const int dpm = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.fill(Qt::white);
    QPainter p(&image);
    renderPage(p, report.page(pageIndex), k);
    return image;
}

void writePdf(const PreparedReport& report, const QString& fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EInOutError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setResolution(600);
        writer.setTitle(report.title());
        writer.setCreator(QStringLiteral("Vorta"));
        writer.setPageLayout(pageLayoutOf(report));
        QPainter p(&writer);
        if (!p.isActive())
            throw EInOutError(QStringLiteral("Cannot write file \"%1\"").arg(fileName));
        const double k = writer.resolution() / 25.4;
        for (int i = 0; i < report.pageCount(); ++i) {
            if (i > 0)
                writer.newPage();
            renderPage(p, report.page(i), k);
        }
    }
    if (!file.commit())
        throw EInOutError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, file.errorString()));
}

} // namespace vorta::report
