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

// A list box whose items carry a check box each (the space bar or a click ticks them).
class CheckListBox : public ListBox {
    Q_OBJECT
public:
    explicit CheckListBox(QWidget* parent, const QString& name = QString());
    void setItems(const QStringList& items);
    void addItem(const QString& text);
    bool checked(int index) const;
    void setChecked(int index, bool on);
};

} // namespace vorta::ui
