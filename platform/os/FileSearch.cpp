#include "platform/os/FileSearch.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace vorta::os {

namespace {

bool matchFrom(const QString& name, qsizetype n, const QString& mask, qsizetype m)
{
    while (m < mask.size()) {
        const QChar c = mask.at(m);
        if (c == QLatin1Char('*')) {
            for (qsizetype k = n; k <= name.size(); ++k)
                if (matchFrom(name, k, mask, m + 1))
                    return true;
            return false;
        }
        if (n >= name.size())
            return false;
        if (c != QLatin1Char('?') && c.toCaseFolded() != name.at(n).toCaseFolded())
            return false;
        ++n;
        ++m;
    }
    return n == name.size();
}

SearchRec recordOf(const QFileInfo& info, const QString& name)
{
    SearchRec rec;
    rec.name = name;
    rec.size = info.isDir() ? 0 : info.size();
    rec.time = info.lastModified();
    if (info.isDir())
        rec.attr |= faDirectory;
    else
        rec.attr |= faArchive;
    if (name.startsWith(QLatin1Char('.')) && name != QLatin1String(".") && name != QLatin1String(".."))
        rec.attr |= faHidden;
    if (!info.isWritable())
        rec.attr |= faReadOnly;
    return rec;
}

} // namespace

bool matchesFileMask(const QString& name, const QString& mask)
{
    if (matchFrom(name, 0, mask, 0))
        return true;
    // "name.*" also names "name" itself.
    if (mask.endsWith(QLatin1String(".*")) && !name.contains(QLatin1Char('.')))
        return matchFrom(name, 0, mask.left(mask.size() - 2), 0);
    return false;
}

QString maskFolder(const QString& pathMask)
{
    const qsizetype slash = pathMask.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : pathMask.left(slash + 1);
}

QString maskName(const QString& pathMask)
{
    const qsizetype slash = pathMask.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? pathMask : pathMask.mid(slash + 1);
}

std::vector<SearchRec> findEntries(const QString& pathMask, int attr)
{
    std::vector<SearchRec> out;
    const QString folder = maskFolder(pathMask);
    const QString mask = maskName(pathMask);
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    if (mask.isEmpty() || !dir.exists())
        return out;
    // Folders and hidden entries are left out unless asked for; other bits never exclude.
    const int excluded = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
    const QFileInfoList infos = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System, QDir::Name);
    QStringList names;
    if (!dir.isRoot()) {
        names << QStringLiteral(".") << QStringLiteral("..");
    }
    for (const QFileInfo& info : infos)
        if (info.fileName() != QLatin1String(".") && info.fileName() != QLatin1String(".."))
            names << info.fileName();
    for (const QString& name : names) {
        if (!matchesFileMask(name, mask))
            continue;
        const SearchRec rec = recordOf(QFileInfo(dir.filePath(name)), name);
        if (rec.attr & excluded)
            continue;
        out.push_back(rec);
    }
    return out;
}

} // namespace vorta::os
