// Files, folders, the registry and the system of the general unit.

#include "comum.h"

#include "platform/core/Clock.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"
#include "platform/os/Drives.h"
#include "platform/os/RawPrint.h"
#include "platform/ui/Application.h"
#include "DialogsX.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <dlfcn.h>
#include <elf.h>

#include <cstring>

namespace {

QString withSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// A path as the suite writes it ("A:\x", "c:\temp\y") or as this system does.
QString localPath(const QString& path)
{
    return vorta::os::resolveDrivePath(path).value_or(QString());
}

} // namespace

int FileAttrBits(const TFileAttrs& attrs)
{
    static const int bits[] = {vorta::os::faReadOnly, vorta::os::faHidden, vorta::os::faSysFile,
                               vorta::os::faVolumeID, vorta::os::faDirectory, vorta::os::faArchive, 0};
    int result = 0;
    for (TFileAttr a : attrs)
        result |= bits[a];
    return result;
}

namespace comum_detail {

void RecordUpdate(const QString& exePath)
{
    const QFileInfo exe(exePath);
    const QString folder = withSlash(exe.absolutePath());
    const QString list = folder + QStringLiteral("UpDates.TxT");
    const QString old = folder + QStringLiteral("UpDates.Old");
    QByteArray content;
    QFile in(list);
    if (in.open(QIODevice::ReadOnly))
        content = in.readAll();
    in.close();
    QList<QByteArray> lines;
    if (!content.isEmpty()) {
        for (QByteArray line : content.split('\n')) {
            if (line.endsWith('\r'))
                line.chop(1);
            lines << line;
        }
        if (content.endsWith('\n'))
            lines.removeLast();
    }
    lines << vorta::toCp1252(exe.fileName().left(8).toUpper());
    if (QFileInfo::exists(list)) {
        QFile::remove(old);
        QFile::copy(list, old); // the old list is a courtesy; a failed copy is ignored
    }
    QSaveFile out(list);
    QByteArray text;
    for (const QByteArray& line : lines)
        text += line + "\r\n";
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit())
        throw vorta::EInOutError(QStringLiteral("Cannot create file \"%1\"").arg(list));
}

qint64 ImageSize(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = f.read(sizeof(Elf64_Ehdr));
    if (head.size() < EI_NIDENT || std::memcmp(head.constData(), ELFMAG, SELFMAG) != 0
        || head[EI_CLASS] != ELFCLASS64 || head.size() < qsizetype(sizeof(Elf64_Ehdr)))
        return 0;
    Elf64_Ehdr eh;
    std::memcpy(&eh, head.constData(), sizeof eh);
    if (eh.e_shentsize != sizeof(Elf64_Shdr) || !f.seek(qint64(eh.e_shoff)))
        return 0;
    qint64 extent = 0;
    for (int i = 0; i < eh.e_shnum; ++i) {
        Elf64_Shdr sh;
        if (f.read(reinterpret_cast<char*>(&sh), sizeof sh) != qint64(sizeof sh))
            return 0;
        if (sh.sh_type != SHT_NOBITS && sh.sh_type != SHT_NULL)
            extent = std::max<qint64>(extent, qint64(sh.sh_offset + sh.sh_size));
    }
    return extent;
}

} // namespace comum_detail

void EndOfUpd(vorta::Application* application)
{
    comum_detail::RecordUpdate(QCoreApplication::applicationFilePath());
    if (application)
        application->terminate();
}

namespace comum {

bool IsEmpty(QChar)
{
    for (const auto& entry : vorta::os::findEntries(QStringLiteral("*.*"), vorta::os::faAnyFile))
        if (!(entry.attr & vorta::os::faDirectory))
            return false;
    return true;
}

} // namespace comum

bool HasAttr(const QString& fileName, std::uint16_t attr)
{
    const QString path = localPath(fileName);
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return false;
    const auto entries = vorta::os::findEntries(info.absolutePath() + QLatin1Char('/') + info.fileName(), vorta::os::faAnyFile);
    for (const auto& e : entries)
        if (e.name == info.fileName())
            return (e.attr & attr) == attr;
    return false;
}

qint64 GetFileSize(const QString& fileName)
{
    const QString path = fileName.isEmpty() ? QString() : localPath(fileName);
    if (path.isEmpty())
        return -1;
    const auto entries = vorta::os::findEntries(path, vorta::os::faAnyFile);
    for (const auto& e : entries) {
        if (e.name == QLatin1String(".") || e.name == QLatin1String(".."))
            continue;
        return (e.attr & vorta::os::faDirectory) ? -1 : e.size;
    }
    return -1;
}

qint64 GetExeSize()
{
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&GetExeSize), &info) || !info.dli_fname)
        return 0;
    return comum_detail::ImageSize(QFile::decodeName(info.dli_fname));
}

void ListDir(const QString& folder, const TFileAttrs& attrs, const QString& masks, QStringList& list, bool recursive)
{
    const QString dir = withSlash(localPath(folder));
    if (folder.isEmpty() || !QFileInfo(dir).isDir())
        throw vorta::EInOutError(QStringLiteral("I/O error 3"));
    if (recursive) {
        for (const auto& e : vorta::os::findEntries(dir + QStringLiteral("*.*"), vorta::os::faAnyFile))
            if ((e.attr & vorta::os::faDirectory) && e.name != QLatin1String(".") && e.name != QLatin1String(".."))
                ListDir(dir + e.name, attrs, masks, list, true);
    }
    const int bits = FileAttrBits(attrs);
    for (const QString& mask : masks.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        for (const auto& e : vorta::os::findEntries(dir + mask.trimmed(), vorta::os::faAnyFile))
            if ((e.attr & bits) && e.name != QLatin1String(".") && e.name != QLatin1String(".."))
                list << dir + e.name;
}

void GetFiles(const QString& pathMask, QStringList& list, bool recursive, const TFileFoundEvent& onFile, int attr)
{
    // "A:\*.*" searches the drive's folder; a drive with nothing behind it has no files.
    const auto resolved = vorta::os::resolveDrivePath(pathMask);
    if (!resolved)
        return;
    const QString& mask = *resolved;
    const QString folder = vorta::os::maskFolder(mask);
    for (const auto& entry : vorta::os::findEntries(mask, attr)) {
        list << folder + entry.name;
        if (onFile)
            onFile(entry);
    }
    if (!recursive)
        return;
    const QString name = vorta::os::maskName(mask);
    for (const auto& entry : vorta::os::findEntries(folder + QStringLiteral("*.*"), vorta::os::faDirectory)) {
        if ((entry.attr & vorta::os::faDirectory) && entry.name != QLatin1String(".")
            && entry.name != QLatin1String(".."))
            GetFiles(folder + entry.name + QLatin1Char('/') + name, list, recursive, onFile, 0);
        if (onFile)
            onFile(entry);
    }
}

void SaveStringToFile(const QString& text, const QString& fileName, std::uint16_t mode)
{
    const QString path = localPath(fileName);
    QFile file(path);
    QIODevice::OpenMode open;
    if (mode == fmCreate)
        open = QIODevice::WriteOnly | QIODevice::Truncate;
    else if ((mode & 3) == fmOpenWrite || (mode & 3) == fmOpenReadWrite)
        open = QIODevice::ReadWrite | QIODevice::ExistingOnly;
    else
        open = QIODevice::ReadOnly;
    if (path.isEmpty() || !file.open(open))
        throw vorta::EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    const QByteArray bytes = vorta::toCp1252(text);
    if (bytes.isEmpty())
        return;
    if (!file.isWritable() || file.write(bytes) != bytes.size() || !file.flush())
        throw vorta::EInOutError(QStringLiteral("Stream write error"));
}

void AppendLog(const QString& fileName, const QString& text)
{
    const QString path = localPath(fileName);
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    const QString line = QLatin1Char('"') + vorta::now().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))
                         + QLatin1Char('"') + text + QStringLiteral("\r\n");
    file.write(vorta::toCp1252(line));
}

void RenameKey(vorta::os::RootKey root, const QString& oldKey, const QString& newKey)
{
    bool moved = false;
    try {
        moved = vorta::os::Registry(root).moveKey(oldKey, newKey);
    } catch (const vorta::Exception&) {
        moved = false;
    }
    if (!moved)
        ShowMessage(QStringLiteral("ERRO AO MUDAR CHAVE"));
}

bool GetWindowsWorkArea(vorta::os::Rect& rect)
{
    rect = vorta::os::workArea();
    return rect.right > rect.left && rect.bottom > rect.top;
}

QRegion BitmapToRegion(QImage& bitmap, std::uint32_t colour, int rt, int gt, int bt)
{
    // The high byte marks a system colour, which has no fixed RGB value.
    if (colour & 0xFF000000u)
        throw vorta::ERangeError(QStringLiteral("Range check error"));
    if (bitmap.width() > 8192)
        throw vorta::ERangeError(QStringLiteral("Range check error"));
    if (bitmap.format() != QImage::Format_RGB32 && bitmap.format() != QImage::Format_ARGB32)
        bitmap = bitmap.convertToFormat(QImage::Format_RGB32);
    // The colour is 0x00BBGGRR.
    const int r0 = int(colour & 0xFF), g0 = int((colour >> 8) & 0xFF), b0 = int((colour >> 16) & 0xFF);
    const int r1 = std::min(255, r0 + rt), g1 = std::min(255, g0 + gt), b1 = std::min(255, b0 + bt);
    auto transparent = [&](QRgb p) {
        const int r = qRed(p), g = qGreen(p), b = qBlue(p);
        return r >= r0 && r <= r1 && g >= g0 && g <= g1 && b >= b0 && b <= b1;
    };
    QRegion result;
    QVector<QRect> rects;
    auto flush = [&] {
        if (rects.isEmpty())
            return;
        QRegion part;
        part.setRects(rects.constData(), int(rects.size()));
        result = result.united(part);
        rects.clear();
    };
    for (int y = 0; y < bitmap.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(bitmap.constScanLine(y));
        int x = 0;
        while (x < bitmap.width()) {
            while (x < bitmap.width() && transparent(line[x]))
                ++x;
            const int start = x;
            while (x < bitmap.width() && !transparent(line[x]))
                ++x;
            if (x > start) {
                rects << QRect(start, y, x - start, 1);
                if (rects.size() == 2000)
                    flush();
            }
        }
    }
    flush();
    return result;
}

void PrintFile(const QString& fileName)
{
    QFile file(localPath(fileName));
    if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly))
        throw vorta::EInOutError(QStringLiteral("I/O error 2"));
    vorta::os::RawSpooler& spooler = vorta::os::rawSpooler();
    if (!spooler.openPrinter(spooler.defaultPrinter()))
        return;
    struct Printer {
        vorta::os::RawSpooler& s;
        ~Printer() { s.closePrinter(); }
    } printer{spooler};
    if (!spooler.startDoc(QStringLiteral("MyDocument"), QStringLiteral("RAW")))
        return;
    struct Doc {
        vorta::os::RawSpooler& s;
        ~Doc() { s.endDoc(); }
    } doc{spooler};
    if (!spooler.startPage())
        return;
    struct Page {
        vorta::os::RawSpooler& s;
        ~Page() { s.endPage(); }
    } page{spooler};
    for (;;) {
        const QByteArray block = file.read(16384);
        if (block.isEmpty() || !spooler.write(block))
            break;
    }
}
