#pragma once

// Zip archives over libzip: written whole under a temporary name and put in place only
// when complete, so a failed write leaves a previous archive as it was.

#include "platform/core/Exceptions.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

namespace vorta::zip {

VORTA_EXCEPTION_CLASS(EZipError, Exception)

// The text of one of libzip's error codes.
QString zipErrorText(int code);

struct ZipInput {
    QString fileName;  // the file to store
    QString entryName; // its name inside the archive
    bool store = false; // kept without compression
};

// Followed while an archive is written: progress gets the share done (0..1), and a
// cancel that answers true stops the write (EZipCancelled, no archive left behind).
struct ZipMonitor {
    std::function<void(double done)> progress;
    std::function<bool()> cancel;
};

VORTA_EXCEPTION_CLASS(EZipCancelled, EZipError)

struct ZipEntryInfo {
    QString name;
    std::uint32_t crc = 0;
    std::uint64_t size = 0;
    std::uint64_t compressedSize = 0;
    bool deflated = false;
};

struct ZipContents {
    QByteArray comment;
    std::vector<ZipEntryInfo> entries;
};

// Writes the archive with every input deflated at the given level (0..9) and the
// archive comment. Raises EZipError, leaving no archive of its own behind.
void writeZip(const QString& archive, const std::vector<ZipInput>& inputs, int level,
              const QByteArray& comment = {}, const ZipMonitor& monitor = {});
// The same, for bytes already in memory (one entry).
void writeZipBytes(const QString& archive, const QString& entryName, const QByteArray& bytes, int level,
                   const QByteArray& comment = {});
ZipContents readZipContents(const QString& archive);
QByteArray readZipEntry(const QString& archive, const QString& entryName);

} // namespace vorta::zip
