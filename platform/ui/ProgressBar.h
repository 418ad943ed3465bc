#pragma once

#include "platform/ui/Controls.h"

#include <QProgressBar>

namespace vorta::ui {

// A progress bar (and the class library's gauge): maximum, position, steps.
class ProgressBar : public QProgressBar, public Control {
    Q_OBJECT
public:
    explicit ProgressBar(QWidget* parent, const QString& name = QString());
    int max() const { return maximum(); }
    void setMax(int max) { setMaximum(max); }
    int position() const { return value(); }
    // Clamped to the range, as the class library's bars keep it.
    void setPosition(int position);
    void stepBy(int delta) { setPosition(value() + delta); }
    // Moves the bar and paints it at once, for long loops that do not return to the
    // event loop.
    void stepAndRepaint(int delta);
};

} // namespace vorta::ui
