#include "platform/os/WorkArea.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

namespace vorta::os {

namespace {
std::optional<Rect>& override_()
{
    static std::optional<Rect> area;
    return area;
}

std::optional<Rect> fromEnvironment()
{
    const QStringList parts = qEnvironmentVariable("VORTA_WORKAREA").split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts.at(i).trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return Rect{v[0], v[1], v[0] + v[2], v[1] + v[3]};
}
} // namespace

Rect workArea()
{
    if (override_())
        return *override_();
    if (const auto env = fromEnvironment())
        return *env;
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (QScreen* screen = gui->primaryScreen()) {
            const QRect r = screen->availableGeometry();
            return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
        }
    return Rect{0, 0, 800, 600};
}

void setWorkAreaOverride(std::optional<Rect> area)
{
    override_() = area;
}

} // namespace vorta::os
