#pragma once

#include <QStringList>

class QWidget;

namespace vorta::testing {

// Walks the shown widgets under top at their present sizes and lists what a user could
// not read or reach: a label, caption, radio button or check box whose text does not
// fit it, a control that does not lie inside the visible area of its parent (a group
// box's area below its title, a frame's inside its border), and controls that overlap.
// Each entry names the widget by its object path and says what is wrong; empty when
// the layout is sound.
QStringList layoutOffenders(QWidget* top);

} // namespace vorta::testing
