#include "testing/Screenshots.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace vorta::testing {

QString screenshotFolder()
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    return folder;
}

QString screenshotSuffix()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen") ? QString()
                                                                        : QLatin1Char('_') + QGuiApplication::platformName();
}

QImage grabWithPopups(QWidget* w)
{
    QWidget* window = w->window();
    const QPoint origin = window->mapToGlobal(QPoint(0, 0));
    QRect bounds(QPoint(0, 0), window->size());
    QList<QWidget*> popups;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != window && top->isVisible() && (top->windowFlags() & Qt::Popup) == Qt::Popup) {
            popups << top;
            bounds |= QRect(top->geometry().topLeft() - origin, top->size());
        }
    QImage image(bounds.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.drawPixmap(-bounds.topLeft(), window->grab());
    // A submenu opens over its parent menu: parents first.
    auto depth = [](const QWidget* m) {
        int d = 0;
        for (const QWidget* p = m->parentWidget(); p; p = p->parentWidget())
            ++d;
        return d;
    };
    std::stable_sort(popups.begin(), popups.end(), [&](QWidget* a, QWidget* b) { return depth(a) < depth(b); });
    for (QWidget* popup : popups)
        p.drawPixmap(popup->geometry().topLeft() - origin - bounds.topLeft(), popup->grab());
    return image;
}

} // namespace vorta::testing
