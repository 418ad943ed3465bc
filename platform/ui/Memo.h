#pragma once

#include "platform/ui/Controls.h"

#include <QPlainTextEdit>
#include <QStringList>

namespace vorta::ui {

// A memo that is not bound to data: lines of text, read-only when asked.
class Memo : public QPlainTextEdit, public Control {
    Q_OBJECT
public:
    explicit Memo(QWidget* parent, const QString& name = QString());
    QStringList lines() const;
    // Adds a line and shows it at once, also inside long loops.
    void addLine(const QString& line);
    void clearLines() { clear(); }
};

} // namespace vorta::ui
