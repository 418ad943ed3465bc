#include "Checksum.h"

#include "comum.h"

#include "platform/os/Drives.h"
#include "platform/os/FileDescriptor.h"
#include "platform/ui/Application.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QSysInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBlock = 32768;
constexpr int kFileSizeRecord = 28;
constexpr int kContentsRecord = 808;
constexpr int kContentsSlots = 100;

constexpr std::array<std::uint32_t, 256> makeTable()
{
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[i] = c;
    }
    return t;
}

QString hex8(std::uint32_t value)
{
    return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

// Copies at most room bytes of text into the record from offset on.
void put(QByteArray& record, qsizetype offset, const QByteArray& text, qsizetype room)
{
    const qsizetype n = std::min({text.size(), room, record.size() - offset});
    for (qsizetype i = 0; i < n; ++i)
        record[offset + i] = text.at(i);
}

// Ordinary files only: no folders and no hidden entries.
bool isOrdinaryFile(const QFileInfo& info)
{
    return info.isFile() && !info.isHidden();
}

using FileHandle = vorta::os::FileDescriptor;

} // namespace

constinit const std::array<std::uint32_t, 256> CRCTbl = makeTable();

TChecksum::TChecksum(vorta::Component* owner) : vorta::Component(owner)
{
    UseLFNs = LFNsForVersion(SystemVersionText());
}

TChecksum::~TChecksum() = default;

void TChecksum::processMessages() const
{
    if (Background)
        if (auto* app = vorta::application())
            app->processMessages();
}

QString TChecksum::CRCStr(const void* data, std::uint16_t count)
{
    const std::uint32_t reg = UpdateCRC32(0xFFFFFFFFu, data, count);
    processMessages();
    return hex8(~reg);
}

QString TChecksum::CRCFile(const QString& fileName)
{
    const auto buffer = std::make_unique<unsigned char[]>(kBlock);
    const FileHandle file(::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    // A folder opens on this system but is no file to sum.
    if (file.fd() < 0 || ::fstat(file.fd(), &st) != 0 || S_ISDIR(st.st_mode)) {
        if (OnFileOpenError)
            OnFileOpenError(this);
        return ErrorResult;
    }
    ::posix_fadvise(file.fd(), 0, 0, POSIX_FADV_SEQUENTIAL);
    std::uint32_t reg = 0xFFFFFFFFu;
    for (;;) {
        const ssize_t got = ::read(file.fd(), buffer.get(), kBlock);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw vorta::ERangeError(QStringLiteral("Range check error"));
        }
        if (got == 0)
            break;
        reg = UpdateCRC32(reg, buffer.get(), got);
        processMessages();
    }
    return hex8(~reg);
}

QByteArray TChecksum::FileSizeRecord(const QString& fileName)
{
    const QFileInfo info(fileName);
    const QByteArray name = vorta::toCp1252(info.fileName());
    if (name.size() > 12)
        throw vorta::ERangeError(QStringLiteral("Range check error"));

    QByteArray record(kFileSizeRecord, '/');
    put(record, 0, vorta::toCp1252(CRCFile(fileName)), 8);
    // A size of more than 8 digits runs into the name's place; the name then covers it.
    if (isOrdinaryFile(info))
        put(record, 8, QByteArray::number(info.size()), kFileSizeRecord - 8);
    put(record, 16, name, 12);
    return record;
}

QString TChecksum::CRCFileSize(const QString& fileName)
{
    const QByteArray record = FileSizeRecord(fileName);
    return CRCStr(record.constData(), static_cast<std::uint16_t>(record.size()));
}

QByteArray TChecksum::ContentsRecord(const QString& folder, std::int64_t freeBytes)
{
    QByteArray record(kContentsRecord, ' ');
    if (!folder.isEmpty()) {
        QDir dir(folder);
        QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
        files.erase(std::remove_if(files.begin(), files.end(),
                                   [](const QFileInfo& f) { return !isOrdinaryFile(f); }),
                    files.end());
        // Listed by name, case ignored, so the record does not depend on the order
        // the folder happens to keep.
        std::sort(files.begin(), files.end(), [](const QFileInfo& a, const QFileInfo& b) {
            const int c = a.fileName().compare(b.fileName(), Qt::CaseInsensitive);
            return c != 0 ? c < 0 : a.fileName() < b.fileName();
        });
        const int used = std::min<int>(kContentsSlots, static_cast<int>(files.size()));
        for (int i = 0; i < used; ++i)
            put(record, i * 8, vorta::toCp1252(CRCFile(files.at(i).filePath())), 8);
    }
    put(record, kContentsSlots * 8, QByteArray::number(static_cast<qlonglong>(freeBytes)), 8);
    return record;
}

QString TChecksum::CRCDisco(QChar drive)
{
    const QString folder = DriveFolder(drive);
    std::int64_t freeBytes = -1;
    if (!folder.isEmpty()) {
        const QStorageInfo storage(folder);
        if (storage.isValid())
            freeBytes = storage.bytesAvailable();
    }
    const QByteArray record = ContentsRecord(folder, freeBytes);
    return CRCStr(record.constData(), static_cast<std::uint16_t>(record.size()));
}

QString TChecksum::DriveFolder(QChar drive)
{
    return vorta::os::drivePath(drive);
}

bool TChecksum::LFNsForVersion(const QString& versionText)
{
    // On text, character by character, as the check was first written.
    return QString::compare(versionText, QStringLiteral("3.51"), Qt::CaseSensitive) >= 0;
}

QString TChecksum::SystemVersionText()
{
    const QString kernel = QSysInfo::kernelVersion();
    auto number = [&kernel](qsizetype& i) {
        qint64 n = 0;
        while (i < kernel.size() && kernel.at(i).isDigit())
            n = n * 10 + kernel.at(i++).digitValue();
        return n;
    };
    qsizetype i = 0;
    const qint64 major = number(i);
    if (i < kernel.size() && kernel.at(i) == QLatin1Char('.'))
        ++i;
    const qint64 minor = number(i);
    return QString::number(major) + QLatin1Char('.') + QString::number(minor);
}
