#include "testing/UserInput.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace vorta::testing::user {

namespace {

QWindow* targetWindow()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        if (popup->windowHandle())
            return popup->windowHandle();
    if (QWindow* w = QGuiApplication::focusWindow())
        return w;
    if (QWidget* active = QApplication::activeWindow())
        return active->windowHandle();
    return nullptr;
}

// The key a keyboard reports for a character: letters and digits by their upper-case
// code, other printable ASCII by its own code, anything else as an unknown key with text.
Qt::Key keyFor(QChar c)
{
    const char16_t u = c.toUpper().unicode();
    if (u >= 0x20 && u < 0x7f)
        return Qt::Key(u);
    return Qt::Key_unknown;
}

void send(Qt::Key k, const QString& text, Qt::KeyboardModifiers modifiers)
{
    QWindow* w = targetWindow();
    if (!w)
        qFatal("no window has the keyboard focus");
    QTest::sendKeyEvent(QTest::Click, w, k, text, modifiers);
}

QString textFor(Qt::Key k, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier))
        return {};
    switch (k) {
    case Qt::Key_Return: case Qt::Key_Enter: return QStringLiteral("\r");
    case Qt::Key_Tab: return QStringLiteral("\t");
    case Qt::Key_Backspace: return QStringLiteral("\b");
    case Qt::Key_Escape: return QStringLiteral("\x1b");
    case Qt::Key_Space: return QStringLiteral(" ");
    default: return {};
    }
}

} // namespace

void activate(QWidget* w)
{
    QWidget* top = w->window();
    top->show();
    top->raise();
    top->activateWindow();
    QApplication::setActiveWindow(top);
    if (!QTest::qWaitForWindowActive(top))
        qWarning("window did not become active");
}

QWidget* focused()
{
    return QApplication::focusWidget();
}

void type(const QString& text)
{
    for (QChar c : text) {
        const Qt::KeyboardModifiers mods = c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
        send(keyFor(c), QString(c), mods);
    }
}

void key(Qt::Key k, Qt::KeyboardModifiers modifiers)
{
    send(k, textFor(k, modifiers), modifiers);
}

void tab(int times)
{
    for (int i = 0; i < times; ++i)
        key(Qt::Key_Tab);
}

void backtab(int times)
{
    for (int i = 0; i < times; ++i)
        send(Qt::Key_Backtab, {}, Qt::ShiftModifier);
}

void enter() { key(Qt::Key_Return); }
void escape() { key(Qt::Key_Escape); }
void f10() { key(Qt::Key_F10); }

void alt(QChar letter)
{
    send(keyFor(letter), {}, Qt::AltModifier);
}

void altAlone()
{
    QWindow* w = targetWindow();
    if (!w)
        qFatal("no window has the keyboard focus");
    QTest::sendKeyEvent(QTest::Press, w, Qt::Key_Alt, QString(), Qt::AltModifier);
    QTest::sendKeyEvent(QTest::Release, w, Qt::Key_Alt, QString(), Qt::NoModifier);
}

namespace {

QPoint centreInWindow(QWidget* w)
{
    return w->mapTo(w->window(), w->rect().center());
}

} // namespace

void click(QWidget* w)
{
    QWindow* win = w->window()->windowHandle();
    if (!win)
        qFatal("clicked widget has no window");
    QTest::mouseClick(win, Qt::LeftButton, Qt::NoModifier, centreInWindow(w));
}

void doubleClick(QWidget* w)
{
    QWindow* win = w->window()->windowHandle();
    if (!win)
        qFatal("clicked widget has no window");
    const QPoint p = centreInWindow(w);
    QTest::mouseClick(win, Qt::LeftButton, Qt::NoModifier, p);
    QTest::mouseDClick(win, Qt::LeftButton, Qt::NoModifier, p);
}

bool clickAccepted(QWidget* w, QPoint pos)
{
    const QPointF p = pos == QPoint(-1, -1) ? QPointF(w->rect().center()) : QPointF(pos);
    const QPointF global = w->mapToGlobal(p);
    QMouseEvent press(QEvent::MouseButtonPress, p, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, p, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    const bool pressed = QApplication::sendEvent(w, &press) && press.isAccepted();
    const bool released = QApplication::sendEvent(w, &release) && release.isAccepted();
    return pressed && released;
}

void clickAndType(QWidget* w, const QString& text)
{
    click(w);
    type(text);
}

} // namespace vorta::testing::user
