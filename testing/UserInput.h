#pragma once

#include <QPoint>
#include <QString>
#include <Qt>

class QWidget;

// Drives the user interface the way a person does: key presses and mouse clicks go to
// the window that has the focus through the window system, so focus handling, shortcuts,
// key preview and every widget's own key handling run as they would for a user.
namespace vorta::testing::user {

// Shows the top-level window of w, raises it and makes it the active window.
void activate(QWidget* w);
// The widget that has the keyboard focus now (nullptr when none).
QWidget* focused();

// Each character as a key press and release, in order.
void type(const QString& text);
void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void tab(int times = 1);
void backtab(int times = 1);
void enter();
void escape();
void f10();
// Alt together with a letter, as for a caption's "&" accelerator.
void alt(QChar letter);
// A lone Alt press and release.
void altAlone();
// A left click in the middle of w (or at pos in w's coordinates).
void click(QWidget* w);
void doubleClick(QWidget* w);
// A left click delivered straight to w (at pos, or its middle); true when Qt saw w, or
// the parent it passed them to, accept both the press and the release.
bool clickAccepted(QWidget* w, QPoint pos = QPoint(-1, -1));
// Clicks w so that it takes the focus, then types text into it.
void clickAndType(QWidget* w, const QString& text);

} // namespace vorta::testing::user
