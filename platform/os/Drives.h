#pragma once

#include <QString>

#include <optional>

namespace vorta::os {

// Drive letters of the suite on this system: a letter names a folder given by the
// environment variable VORTA_DRIVE_<letter> (VORTA_DRIVE_A=/media/floppy) or set
// with setDrivePath; C is "/" unless configured; drive number 0 is the current folder,
// 1 is A, 2 is B and so on. Empty when the drive names no folder.
QString drivePath(int number);
QString drivePath(QChar letter);
// Maps a letter to a folder for this process (empty path: back to the environment).
void setDrivePath(QChar letter, const QString& path);

// A path written with a drive letter ("A:\*.*", "c:/temp"): the drive's folder
// followed by the rest, each "\" read as "/". Empty when the drive names no folder; a path
// without a drive letter comes back as it is.
std::optional<QString> resolveDrivePath(const QString& path);

// Free bytes for this user and total size of the file system holding the drive's
// folder; empty when the drive names no readable folder.
std::optional<qint64> driveFreeBytes(int number);
std::optional<qint64> driveSize(int number);

} // namespace vorta::os
