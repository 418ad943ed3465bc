#include "platform/zip/UnZip.h"
#include "platform/zip/Zip.h"

#include "platform/core/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <zip.h>

namespace vorta::zip {

struct UnZip::Archive {
    zip_t* za = nullptr;
    ~Archive()
    {
        if (za)
            zip_discard(za);
    }
};

namespace {


bool climbsOut(const QString& name)
{
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\')) || (name.size() > 1 && name.at(1) == QLatin1Char(':')))
        return true;
    const QStringList parts = QString(name).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'));
    return parts.contains(QStringLiteral(".."));
}

bool hasControlCharacter(const QString& name)
{
    for (QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    return false;
}

} // namespace

UnZip::UnZip() = default;
UnZip::~UnZip() = default;

void UnZip::open(const QString& archive)
{
    close();
    int err = 0;
    zip_t* za = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
    if (!za)
        throw Exception(QStringLiteral("Cannot open archive %1: %2").arg(archive, zipErrorText(err)));
    m_archive = std::make_unique<Archive>();
    m_archive->za = za;
}

void UnZip::close()
{
    m_archive.reset();
}

bool UnZip::isOpen() const
{
    return m_archive != nullptr;
}

QStringList UnZip::entries() const
{
    if (!m_archive)
        throw Exception(QStringLiteral("Archive is not open"));
    QStringList out;
    const zip_int64_t n = zip_get_num_entries(m_archive->za, 0);
    for (zip_int64_t i = 0; i < n; ++i)
        out << QString::fromLocal8Bit(zip_get_name(m_archive->za, zip_uint64_t(i), ZIP_FL_ENC_GUESS));
    return out;
}

QByteArray UnZip::comment() const
{
    if (!m_archive)
        throw Exception(QStringLiteral("Archive is not open"));
    int len = 0;
    const char* c = zip_get_archive_comment(m_archive->za, &len, ZIP_FL_ENC_RAW);
    return c ? QByteArray(c, len) : QByteArray();
}

QByteArray UnZip::read(int index) const
{
    if (!m_archive)
        throw Exception(QStringLiteral("Archive is not open"));
    zip_file_t* f = zip_fopen_index(m_archive->za, zip_uint64_t(index), 0);
    if (!f)
        throw Exception(QStringLiteral("Cannot read entry %1: %2").arg(index).arg(QString::fromUtf8(zip_strerror(m_archive->za))));
    QByteArray out;
    char buf[65536];
    zip_int64_t got;
    while ((got = zip_fread(f, buf, sizeof buf)) > 0)
        out.append(buf, qsizetype(got));
    const QString reason = got < 0 ? QString::fromUtf8(zip_file_strerror(f)) : QString();
    zip_fclose(f);
    if (got < 0)
        throw Exception(QStringLiteral("Cannot read entry %1: %2").arg(index).arg(reason));
    return out;
}

bool UnZip::testEntry(int index) const
{
    try {
        read(index);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

QString UnZip::plainName(const QString& entry)
{
    QString n = entry;
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return n.mid(n.lastIndexOf(QLatin1Char('/')) + 1);
}

void UnZip::extractAll(const QString& folder) const
{
    const QStringList names = entries();
    for (const QString& n : names)
        if (climbsOut(n))
            throw Exception(QStringLiteral("Entry %1 would be written outside the target folder").arg(n));
    for (int i = 0; i < names.size(); ++i) {
        const QString plain = plainName(names.at(i));
        if (plain.isEmpty())
            continue; // a folder entry
        const QByteArray bytes = read(i);
        QSaveFile out(QDir(folder).filePath(plain));
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            throw Exception(QStringLiteral("Cannot write %1: %2").arg(out.fileName(), out.errorString()));
    }
}

bool UnZip::isLink(int index) const
{
    if (!m_archive)
        throw Exception(QStringLiteral("Archive is not open"));
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(m_archive->za, zip_uint64_t(index), 0, &system, &attributes) < 0)
        return false;
    constexpr zip_uint32_t typeMask = 0170000, linkType = 0120000;
    return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & typeMask) == linkType;
}

void UnZip::extractTree(const QString& folder, const std::function<bool(const QString&)>& accept,
                        const std::function<void(double)>& progress, const std::function<bool()>& cancel) const
{
    const QStringList names = entries();
    for (int i = 0; i < names.size(); ++i) {
        const QString& n = names.at(i);
        if (climbsOut(n) || hasControlCharacter(n) || isLink(i))
            throw Exception(QStringLiteral("Entry %1 of the archive is refused").arg(n));
    }
    const QString root = QDir::cleanPath(QDir(folder).absolutePath());
    for (int i = 0; i < names.size(); ++i) {
        if (cancel && cancel())
            throw EAbort();
        const QString name = QString(names.at(i)).replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (!accept || accept(name)) {
            const QString path = QDir::cleanPath(root + QLatin1Char('/') + name);
            if (!path.startsWith(root + QLatin1Char('/')))
                throw Exception(QStringLiteral("Entry %1 of the archive is refused").arg(names.at(i)));
            if (name.endsWith(QLatin1Char('/'))) {
                if (!QDir().mkpath(path))
                    throw Exception(QStringLiteral("Cannot create the folder %1").arg(path));
            } else {
                if (!QDir().mkpath(QFileInfo(path).absolutePath()))
                    throw Exception(QStringLiteral("Cannot create the folder of %1").arg(path));
                const QByteArray bytes = read(i);
                QSaveFile out(path);
                if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
                    throw Exception(QStringLiteral("Cannot write %1: %2").arg(path, out.errorString()));
            }
        }
        if (progress)
            progress(double(i + 1) / names.size());
    }
}

} // namespace vorta::zip
