#include "platform/os/ExeVersion.h"

#include <QFile>
#include <QList>

namespace vorta::os {

QByteArray versionMarker()
{
    // Assembled at run time so this library does not carry the marker itself.
    return QByteArray("VORTA") + QByteArray("-FILE-VERSION:");
}

std::optional<FileVersion> readFileVersion(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = file.readAll();
    const QByteArray marker = versionMarker();
    const qsizetype at = data.indexOf(marker);
    if (at < 0)
        return std::nullopt;
    const qsizetype start = at + marker.size();
    qsizetype end = start;
    while (end < data.size() && data.at(end) != '\0' && end - start < 64)
        ++end;
    const QList<QByteArray> parts = data.mid(start, end - start).split('.');
    if (parts.size() != 4)
        return std::nullopt;
    std::uint16_t values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint v = parts.at(i).toUInt(&ok);
        if (!ok || v > 0xFFFF)
            return std::nullopt;
        values[i] = static_cast<std::uint16_t>(v);
    }
    return FileVersion{values[0], values[1], values[2], values[3]};
}

} // namespace vorta::os
