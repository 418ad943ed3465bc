#include "platform/ui/ListBox.h"

namespace vorta::ui {

ListBox::ListBox(QWidget* parent, const QString& name) : QListWidget(parent), Control(this, parent, name)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this, [this] { fireClick(); });
}

QStringList ListBox::items() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << item(i)->text();
    return out;
}

void ListBox::setItems(const QStringList& items)
{
    clear();
    addItems(items);
}

} // namespace vorta::ui
