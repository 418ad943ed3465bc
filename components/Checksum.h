#pragma once

// The CRC-32 checksum component: checksums as 8 upper-case hexadecimal digits.

#include "platform/core/Component.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

// The component's copy of the byte table of polynomial 0xEDB88320.
extern const std::array<std::uint32_t, 256> CRCTbl;

class TChecksum : public vorta::Component {
public:
    using NotifyEvent = std::function<void(vorta::Component* sender)>;

    explicit TChecksum(vorta::Component* owner = nullptr);
    ~TChecksum() override;

    // Lets the application process its pending messages after each block of work.
    bool Background = false;
    // Returned in place of a checksum when the file cannot be read.
    QString ErrorResult = QStringLiteral("********");
    // Long-file-name capability of the system, set at creation; nothing here reads it.
    bool UseLFNs = false;
    // Kept for callers; the allocator raises its own error first, so it never fires.
    NotifyEvent OnMemAllocError;
    // Called when CRCFile cannot open its file.
    NotifyEvent OnFileOpenError;

    QString CRCStr(const void* data, std::uint16_t count);
    // The whole file, read in blocks of 32 KiB; ErrorResult when it cannot be opened
    // (a folder cannot). Raises ERangeError on a read error after the open.
    QString CRCFile(const QString& fileName);
    // Checksum of the 28-byte identity record: CRCFile text, size, name without folder.
    // Raises ERangeError for a name of more than 12 characters.
    QString CRCFileSize(const QString& fileName);
    // Checksum of the 808-byte contents record of the drive's root folder.
    QString CRCDisco(QChar drive);

    // The identity record that CRCFileSize sums.
    QByteArray FileSizeRecord(const QString& fileName);
    // The contents record of a folder: the CRCFile texts of its first 100 ordinary
    // files, then the first 8 characters of the given free space.
    QByteArray ContentsRecord(const QString& folder, std::int64_t freeBytes);

    // The folder a drive letter stands for, either case: the environment variable
    // VORTA_DRIVE_<letter> when set, else "/" for C; empty for any other.
    static QString DriveFolder(QChar drive);
    // Whether a system version text ("major.minor") compares, as text, at least "3.51".
    static bool LFNsForVersion(const QString& versionText);
    // The running system's version text, "major.minor".
    static QString SystemVersionText();

private:
    void processMessages() const;
};
