#include "platform/ui/Memo.h"

#include <QScrollBar>

namespace vorta::ui {

Memo::Memo(QWidget* parent, const QString& name) : QPlainTextEdit(parent), Control(this, parent, name) {}

QStringList Memo::lines() const
{
    const QString text = toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void Memo::addLine(const QString& line)
{
    appendPlainText(line);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    repaint();
}

} // namespace vorta::ui
