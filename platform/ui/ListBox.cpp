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

CheckListBox::CheckListBox(QWidget* parent, const QString& name) : ListBox(parent, name) {}

void CheckListBox::setItems(const QStringList& items)
{
    clear();
    for (const QString& t : items)
        addItem(t);
}

void CheckListBox::addItem(const QString& text)
{
    auto* i = new QListWidgetItem(text, this);
    i->setFlags(i->flags() | Qt::ItemIsUserCheckable);
    i->setCheckState(Qt::Unchecked);
}

bool CheckListBox::checked(int index) const
{
    const QListWidgetItem* i = item(index);
    return i && i->checkState() == Qt::Checked;
}

void CheckListBox::setChecked(int index, bool on)
{
    if (QListWidgetItem* i = item(index))
        i->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

} // namespace vorta::ui
