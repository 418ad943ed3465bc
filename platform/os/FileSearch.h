#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

namespace vorta::os {

// File attribute bits of the class library's searches. On this system a name
// beginning with "." is hidden and a file the user cannot write is read-only.
enum : int {
    faReadOnly = 0x01,
    faHidden = 0x02,
    faSysFile = 0x04,
    faVolumeID = 0x08,
    faDirectory = 0x10,
    faArchive = 0x20,
    faAnyFile = 0x3F,
};

// One entry found, as the class library's search record carries it.
struct SearchRec {
    QString name; // without folder
    qint64 size = 0;
    int attr = 0;
    QDateTime time;
};

// The class library's file-name matching: "*" and "?", case ignored, and a pattern
// ending in ".*" also matches names without a dot ("*.*" matches every name).
bool matchesFileMask(const QString& name, const QString& mask);

// The entries of a search for pathMask ("folder/*.txt"): ordinary files always, and
// entries that are folders or hidden only when attr holds those bits. A folder
// search also meets "." and "..", as the library's searches do. Sorted by name.
std::vector<SearchRec> findEntries(const QString& pathMask, int attr);

// The folder part of a path mask, with its trailing "/" ("" when there is none),
// and the name part.
QString maskFolder(const QString& pathMask);
QString maskName(const QString& pathMask);

} // namespace vorta::os
