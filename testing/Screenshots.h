#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace vorta::testing {

// The folder beside the test programs where pictures for a person to look at are kept.
QString screenshotFolder();
// "" headless, else "_" + the platform's name, so a real X server's pictures sit beside
// the headless ones.
QString screenshotSuffix();
// A picture of the window of w as the user sees it: the window with the open popup
// menus drawn over it where they stand on the screen (the picture grows to hold them).
QImage grabWithPopups(QWidget* w);

} // namespace vorta::testing
