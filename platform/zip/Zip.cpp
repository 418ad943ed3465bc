#include "platform/zip/Zip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

namespace vorta::zip {

QString zipErrorText(int code)
{
    zip_error_t e;
    zip_error_init_with_code(&e, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&e));
    zip_error_fini(&e);
    return text;
}

namespace {

// Adds the entries through add, closes the archive into a temporary file beside the
// target, and renames it into place.
template <class AddEntries>
void writeArchive(const QString& archive, int level, const QByteArray& comment, AddEntries add,
                  const ZipMonitor& monitor = {})
{
    if (level < 0 || level > 9)
        throw EZipError(QStringLiteral("Invalid compression level %1").arg(level));
    const QFileInfo target(archive);
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
    if (!temp.open())
        throw EZipError(QStringLiteral("Cannot create %1: %2").arg(archive, temp.errorString()));
    const QByteArray tempName = QFile::encodeName(temp.fileName());
    temp.close();
    int err = 0;
    zip_t* z = zip_open(tempName.constData(), ZIP_TRUNCATE, &err);
    if (!z)
        throw EZipError(QStringLiteral("Cannot create %1: %2").arg(archive, zipErrorText(err)));
    auto failWith = [&](const QString& what) {
        const QString text = what + QStringLiteral(": ") + QString::fromLocal8Bit(zip_strerror(z));
        zip_discard(z);
        throw EZipError(text);
    };
    add(z, level, failWith);
    if (!comment.isEmpty() && zip_set_archive_comment(z, comment.constData(), zip_uint16_t(comment.size())) < 0)
        failWith(QStringLiteral("Cannot set the comment of %1").arg(archive));
    bool cancelled = false;
    struct State {
        const ZipMonitor* monitor;
        bool* cancelled;
    } state{&monitor, &cancelled};
    if (monitor.progress)
        zip_register_progress_callback_with_state(
            z, 0.01,
            [](zip_t*, double done, void* ud) { static_cast<State*>(ud)->monitor->progress(done); }, nullptr,
            &state);
    if (monitor.cancel)
        zip_register_cancel_callback_with_state(
            z,
            [](zip_t*, void* ud) -> int {
                auto* st = static_cast<State*>(ud);
                if (st->monitor->cancel())
                    *st->cancelled = true;
                return *st->cancelled ? 1 : 0;
            },
            nullptr, &state);
    if (zip_close(z) < 0) {
        if (cancelled) {
            zip_discard(z);
            throw EZipCancelled(QStringLiteral("Writing %1 was cancelled").arg(archive));
        }
        failWith(QStringLiteral("Cannot write %1").arg(archive));
    }
    QFile::remove(archive);
    if (!QFile::rename(temp.fileName(), archive)) {
        QFile::remove(temp.fileName());
        throw EZipError(QStringLiteral("Cannot write %1").arg(archive));
    }
    temp.setAutoRemove(false);
}

void addSource(zip_t* z, zip_source_t* src, const QString& entryName, int level,
               const std::function<void(const QString&)>& failWith, bool store = false)
{
    if (!src)
        failWith(QStringLiteral("Cannot read %1").arg(entryName));
    const zip_int64_t index = zip_file_add(z, entryName.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (index < 0) {
        zip_source_free(src);
        failWith(QStringLiteral("Cannot add %1").arg(entryName));
    }
    if (zip_set_file_compression(z, zip_uint64_t(index), store ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                 store ? 0 : zip_uint32_t(level)) < 0)
        failWith(QStringLiteral("Cannot compress %1").arg(entryName));
}

} // namespace

void writeZip(const QString& archive, const std::vector<ZipInput>& inputs, int level, const QByteArray& comment,
              const ZipMonitor& monitor)
{
    writeArchive(archive, level, comment, [&](zip_t* z, int lvl, const auto& failWith) {
        for (const ZipInput& in : inputs) {
            // The whole file is read now, so a missing file fails here and not at close.
            QFile f(in.fileName);
            if (!f.open(QIODevice::ReadOnly))
                failWith(QStringLiteral("Cannot read %1").arg(in.fileName));
            const QByteArray bytes = f.readAll();
            zip_source_t* src = nullptr;
            if (bytes.isEmpty()) {
                src = zip_source_buffer(z, nullptr, 0, 0);
            } else {
                // The archive frees its copy once written.
                auto* copy = static_cast<char*>(std::malloc(size_t(bytes.size())));
                std::memcpy(copy, bytes.constData(), size_t(bytes.size()));
                src = zip_source_buffer(z, copy, zip_uint64_t(bytes.size()), 1);
                if (!src)
                    std::free(copy);
            }
            addSource(z, src, in.entryName, lvl, failWith, in.store);
        }
    }, monitor);
}

void writeZipBytes(const QString& archive, const QString& entryName, const QByteArray& bytes, int level,
                   const QByteArray& comment)
{
    writeArchive(archive, level, comment, [&](zip_t* z, int lvl, const auto& failWith) {
        zip_source_t* src = zip_source_buffer(z, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        addSource(z, src, entryName, lvl, failWith);
    });
}

namespace {
struct ArchiveCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
std::unique_ptr<zip_t, ArchiveCloser> openForReading(const QString& archive)
{
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &err);
    if (!z)
        throw EZipError(QStringLiteral("Cannot open %1: %2").arg(archive, zipErrorText(err)));
    return std::unique_ptr<zip_t, ArchiveCloser>(z);
}
} // namespace

ZipContents readZipContents(const QString& archive)
{
    auto z = openForReading(archive);
    ZipContents c;
    int len = 0;
    if (const char* comment = zip_get_archive_comment(z.get(), &len, ZIP_FL_ENC_RAW))
        c.comment = QByteArray(comment, len);
    const zip_int64_t n = zip_get_num_entries(z.get(), 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(z.get(), zip_uint64_t(i), 0, &st) < 0)
            throw EZipError(QStringLiteral("Cannot read %1").arg(archive));
        c.entries.push_back({QString::fromUtf8(st.name), st.crc, st.size, st.comp_size, st.comp_method == ZIP_CM_DEFLATE});
    }
    return c;
}

QByteArray readZipEntry(const QString& archive, const QString& entryName)
{
    auto z = openForReading(archive);
    zip_stat_t st;
    if (zip_stat(z.get(), entryName.toUtf8().constData(), 0, &st) < 0)
        throw EZipError(QStringLiteral("%1 has no entry %2").arg(archive, entryName));
    zip_file_t* f = zip_fopen(z.get(), entryName.toUtf8().constData(), 0);
    if (!f)
        throw EZipError(QStringLiteral("Cannot read %1 of %2").arg(entryName, archive));
    QByteArray bytes(qsizetype(st.size), '\0');
    const zip_int64_t got = zip_fread(f, bytes.data(), st.size);
    zip_fclose(f);
    if (got != zip_int64_t(st.size))
        throw EZipError(QStringLiteral("Cannot read %1 of %2").arg(entryName, archive));
    return bytes;
}

} // namespace vorta::zip
