#include "platform/os/WorkArea.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

using vorta::os::Rect;

namespace {
Rect screenArea()
{
    const QRect r = QGuiApplication::primaryScreen()->availableGeometry();
    return Rect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}
} // namespace

TEST(WorkArea, TheEnvironmentFixesItAndAnythingMalformedLeavesTheScreensOwn)
{
    ASSERT_NE(QGuiApplication::primaryScreen(), nullptr);
    struct Case {
        const char* value;
        std::optional<Rect> fixed; // none: the screen's available area
    } cases[] = {{"10,20,800,600", Rect{10, 20, 810, 620}},
                 {" 0, 30 ,1024, 738", Rect{0, 30, 1024, 768}},
                 {"1,2,3", std::nullopt},
                 {"1,2,3,4,5", std::nullopt},
                 {"a,0,800,600", std::nullopt},
                 {"", std::nullopt}};
    for (const Case& c : cases) {
        qputenv("VORTA_WORKAREA", c.value);
        EXPECT_EQ(vorta::os::workArea(), c.fixed.value_or(screenArea())) << c.value;
    }
    qunsetenv("VORTA_WORKAREA");
}

TEST(WorkArea, AnOverrideComesBeforeTheEnvironmentUntilItIsCleared)
{
    qputenv("VORTA_WORKAREA", "10,20,800,600");
    vorta::os::setWorkAreaOverride(Rect{0, 0, 640, 480});
    EXPECT_EQ(vorta::os::workArea(), (Rect{0, 0, 640, 480}));
    vorta::os::setWorkAreaOverride(std::nullopt);
    EXPECT_EQ(vorta::os::workArea(), (Rect{10, 20, 810, 620}));
    qunsetenv("VORTA_WORKAREA");
}
