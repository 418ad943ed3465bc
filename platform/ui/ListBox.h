#pragma once

#include "platform/ui/Controls.h"

#include <QListWidget>

namespace vorta::ui {

// A list box of text items; OnClick runs when the user picks an item.
class ListBox : public QListWidget, public Control {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent, const QString& name = QString());
    QStringList items() const;
    void setItems(const QStringList& items);
    void addItem(const QString& text) { QListWidget::addItem(text); }
    int itemIndex() const { return currentRow(); }
    void setItemIndex(int index) { setCurrentRow(index); }
};

} // namespace vorta::ui
