#pragma once

#include "platform/ui/DbGrid.h"

// The data grid that applies its column definitions again whenever the user leaves a
// column, so definitions changed while the grid is in use (widths, titles, read-only
// columns) take effect at the next column change.
class TDBGridX : public vorta::ui::DBGrid {
    Q_OBJECT
public:
    explicit TDBGridX(QWidget* parent, const QString& name = QString());

protected:
    void colExit() override;
};
