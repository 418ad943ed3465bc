#include "platform/os/Drives.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStorageInfo>

namespace vorta::os {

namespace {

QHash<QChar, QString>& overrides()
{
    static QHash<QChar, QString> map;
    return map;
}

std::optional<QStorageInfo> storageOf(int number)
{
    const QString path = drivePath(number);
    if (path.isEmpty())
        return std::nullopt;
    const QFileInfo info(path);
    if (!info.isDir() || !info.isReadable())
        return std::nullopt;
    QStorageInfo storage(path);
    if (!storage.isValid() || !storage.isReady())
        return std::nullopt;
    return storage;
}

} // namespace

QString drivePath(QChar letter)
{
    const QChar upper = letter.toUpper();
    if (upper < QLatin1Char('A') || upper > QLatin1Char('Z'))
        return QString();
    const auto it = overrides().constFind(upper);
    if (it != overrides().constEnd())
        return *it;
    const QString configured = qEnvironmentVariable(QStringLiteral("VORTA_DRIVE_%1").arg(upper).toLatin1().constData());
    if (!configured.isEmpty())
        return configured;
    // The system drive is the root of the file system unless configured otherwise.
    return upper == QLatin1Char('C') ? QStringLiteral("/") : QString();
}

QString drivePath(int number)
{
    if (number == 0)
        return QDir::currentPath();
    if (number < 1 || number > 26)
        return QString();
    return drivePath(QChar(char16_t(u'A' + number - 1)));
}

void setDrivePath(QChar letter, const QString& path)
{
    const QChar upper = letter.toUpper();
    if (path.isEmpty())
        overrides().remove(upper);
    else
        overrides().insert(upper, path);
}

std::optional<QString> resolveDrivePath(const QString& path)
{
    const bool lettered = path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).unicode() < 128
                          && path.at(0).isLetter();
    if (!lettered)
        return path;
    const QString folder = drivePath(path.at(0));
    if (folder.isEmpty())
        return std::nullopt;
    QString rest = path.mid(2);
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rest.startsWith(QLatin1Char('/')))
        rest.remove(0, 1);
    return folder.endsWith(QLatin1Char('/')) ? folder + rest : folder + QLatin1Char('/') + rest;
}

std::optional<qint64> driveFreeBytes(int number)
{
    const auto storage = storageOf(number);
    if (!storage)
        return std::nullopt;
    return storage->bytesAvailable();
}

std::optional<qint64> driveSize(int number)
{
    const auto storage = storageOf(number);
    if (!storage)
        return std::nullopt;
    return storage->bytesTotal();
}

} // namespace vorta::os
