#include "platform/report/PreparedReport.h"

#include "platform/core/Exceptions.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QSaveFile>

#include <cmath>
#include <cstring>

namespace vorta::report {

namespace {

constexpr char kMagic[] = "VORTA-QRP";
constexpr quint32 kVersion = 1;
// A saved page never holds more than this; a larger count means a damaged file.
constexpr quint32 kMaxItems = 1000000;
constexpr quint32 kMaxPages = 100000;

double tenth(double mm)
{
    return std::round(mm * 10.0) / 10.0;
}

QByteArray pngOf(const QImage& image)
{
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void writeItem(QDataStream& out, const PageItem& item)
{
    out << static_cast<qint32>(item.kind) << item.rect << item.name << item.lines << item.font.family
        << item.font.pointSize << item.font.bold << item.font.italic << item.font.underline
        << static_cast<qint32>(item.align) << item.lineHeight << item.ascent << item.color << item.penWidth
        << item.fill << pngOf(item.image) << item.svg;
}

bool readItem(QDataStream& in, PageItem& item)
{
    qint32 kind = 0, align = 0;
    QByteArray png;
    in >> kind >> item.rect >> item.name >> item.lines >> item.font.family >> item.font.pointSize >> item.font.bold
        >> item.font.italic >> item.font.underline >> align >> item.lineHeight >> item.ascent >> item.color
        >> item.penWidth >> item.fill >> png >> item.svg;
    if (in.status() != QDataStream::Ok)
        return false;
    if (kind < 0 || kind > static_cast<qint32>(PageItem::Kind::Image) || align < 0
        || align > static_cast<qint32>(HAlign::Right))
        return false;
    item.kind = static_cast<PageItem::Kind>(kind);
    item.align = static_cast<HAlign>(align);
    if (!png.isEmpty() && !item.image.loadFromData(png, "PNG"))
        return false;
    return true;
}

} // namespace

PreparedPage& PreparedReport::addPage()
{
    m_pages.append(PreparedPage());
    return m_pages.last();
}

QList<PlacedText> PreparedReport::texts(int index) const
{
    QList<PlacedText> out;
    for (const PageItem& item : page(index).items)
        if (item.kind == PageItem::Kind::Text)
            out.append({item.text(), tenth(item.rect.left()), tenth(item.rect.top())});
    return out;
}

void PreparedReport::saveToFile(const QString& fileName) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EInOutError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    QDataStream out(&file);
    out.setVersion(QDataStream::Qt_6_4);
    out.writeRawData(kMagic, sizeof(kMagic));
    out << kVersion << m_title << m_pageSize << static_cast<quint32>(m_pages.size());
    for (const PreparedPage& p : m_pages) {
        out << static_cast<quint32>(p.items.size());
        for (const PageItem& item : p.items)
            writeItem(out, item);
    }
    if (out.status() != QDataStream::Ok || !file.commit())
        throw EInOutError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, file.errorString()));
}

void PreparedReport::loadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    const auto damaged = [&] {
        return EInOutError(QStringLiteral("\"%1\" is not a valid saved report").arg(fileName));
    };
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_4);
    char magic[sizeof(kMagic)] = {};
    if (in.readRawData(magic, sizeof(kMagic)) != static_cast<int>(sizeof(kMagic))
        || std::memcmp(magic, kMagic, sizeof(kMagic)) != 0)
        throw damaged();
    quint32 version = 0, pageCount = 0;
    QString title;
    QSizeF size;
    in >> version >> title >> size >> pageCount;
    if (in.status() != QDataStream::Ok || version != kVersion || pageCount > kMaxPages || !(size.width() > 0)
        || !(size.height() > 0))
        throw damaged();
    QList<PreparedPage> pages;
    for (quint32 p = 0; p < pageCount; ++p) {
        quint32 count = 0;
        in >> count;
        if (in.status() != QDataStream::Ok || count > kMaxItems)
            throw damaged();
        PreparedPage page;
        for (quint32 i = 0; i < count; ++i) {
            PageItem item;
            if (!readItem(in, item))
                throw damaged();
            page.items.append(std::move(item));
        }
        pages.append(std::move(page));
    }
    // Only a whole file replaces what was there.
    m_title = title;
    m_pageSize = size;
    m_pages = std::move(pages);
}

} // namespace vorta::report
