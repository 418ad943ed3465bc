#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
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

    // Writes the entries that accept takes (given the entry's name with "\" read as
    // "/") into folder, keeping their folders. Before anything is written, the whole
    // archive is refused when an entry is absolute, names a drive, climbs out with
    // "..", holds a control character or is a link: such an archive is not one of ours.
    // Folder entries make folders only. progress gets the share done (0..1) after each
    // entry; cancel answering true stops with vorta::EAbort.
    void extractTree(const QString& folder, const std::function<bool(const QString& name)>& accept,
                     const std::function<void(double)>& progress = {},
                     const std::function<bool()>& cancel = {}) const;
    // Whether the entry is a symbolic link (by its Unix mode).
    bool isLink(int index) const;

private:
    QByteArray read(int index) const;
    struct Archive;
    std::unique_ptr<Archive> m_archive;
};

} // namespace vorta::zip
