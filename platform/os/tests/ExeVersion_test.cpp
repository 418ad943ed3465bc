#include "platform/os/ExeVersion.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <array>

namespace {
QString writeFile(const QTemporaryDir& dir, const QByteArray& content)
{
    const QString path = dir.path() + "/prog";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    f.write(content);
    return path;
}
} // namespace

TEST(ExeVersion, ReadsFourPartsAfterTheMarkerAndRefusesAnythingElse)
{
    QTemporaryDir dir;
    const QByteArray marker = vorta::os::versionMarker();
    struct Case {
        QByteArray content;
        std::optional<std::array<int, 4>> parts;
    } cases[] = {
        {"ELF..." + marker + "1.3.0.15" + '\0' + "rest", std::array{1, 3, 0, 15}},
        {marker + "65535.0.0.0", std::array{65535, 0, 0, 0}}, // at the very end, no terminator
        {marker + "1.2.3" + '\0', std::nullopt},
        {marker + "1.2.3.4.5" + '\0', std::nullopt},
        {marker + "1.2.3.65536" + '\0', std::nullopt},
        {marker + "1.-2.3.4" + '\0', std::nullopt},
        {marker + "1.x.3.4" + '\0', std::nullopt},
        {marker + '\0', std::nullopt},
        {"no marker in here 1.2.3.4", std::nullopt},
    };
    for (const Case& c : cases) {
        const QString path = writeFile(dir, c.content);
        ASSERT_FALSE(path.isEmpty());
        const auto version = vorta::os::readFileVersion(path);
        ASSERT_EQ(version.has_value(), c.parts.has_value()) << c.content.toStdString();
        if (version) {
            EXPECT_EQ((std::array<int, 4>{version->major, version->minor, version->release, version->build}),
                      *c.parts)
                << c.content.toStdString();
        }
    }
    EXPECT_FALSE(vorta::os::readFileVersion(dir.path() + "/absent"));
}
