#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

namespace vorta::zip {

// Reads a zip archive: its entries, its comment, an integrity test of each entry and
// extraction into a folder. Failures raise vorta::Exception with the reason.
class UnZip {
public:
    UnZip();
    ~UnZip();
    UnZip(const UnZip&) = delete;
    UnZip& operator=(const UnZip&) = delete;

    void open(const QString& archive);
    void close();
    bool isOpen() const;

    // Entry names as stored, in the archive's order.
    QStringList entries() const;
    // The archive comment's bytes, in the code page of the program that wrote them.
    QByteArray comment() const;
    // Whether the entry reads to its end with its stored CRC-32.
    bool testEntry(int index) const;
    // Writes every entry under its plain name (no folders of the archive) into folder,
    // replacing files of the same name. An entry whose name is absolute or climbs out
    // with ".." is refused before anything is written.
    void extractAll(const QString& folder) const;
    // The name an entry is extracted under.
    static QString plainName(const QString& entry);

private:
    QByteArray read(int index) const;
    struct Archive;
    std::unique_ptr<Archive> m_archive;
};

} // namespace vorta::zip
