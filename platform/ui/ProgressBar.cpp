#include "platform/ui/ProgressBar.h"

#include <algorithm>

namespace vorta::ui {

ProgressBar::ProgressBar(QWidget* parent, const QString& name) : QProgressBar(parent), Control(this, parent, name)
{
    setRange(0, 100);
    setValue(0);
    setTextVisible(false);
}

void ProgressBar::setPosition(int position)
{
    setValue(std::clamp(position, minimum(), std::max(minimum(), maximum())));
}

void ProgressBar::stepAndRepaint(int delta)
{
    stepBy(delta);
    repaint();
}

} // namespace vorta::ui
