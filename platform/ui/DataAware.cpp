#include "platform/ui/DataAware.h"

#include <QWidget>

namespace vorta::ui {

DataAwareControl* dataAware(QObject* object)
{
    return dynamic_cast<DataAwareControl*>(object);
}

DataAwareGrid* dataAwareGrid(QObject* object)
{
    return dynamic_cast<DataAwareGrid*>(object);
}

QList<DataAwareControl*> dataAwareControls(QWidget* form)
{
    QList<DataAwareControl*> out;
    if (!form)
        return out;
    const QList<QWidget*> widgets = form->findChildren<QWidget*>();
    for (QWidget* w : widgets)
        if (auto* control = dataAware(w))
            out << control;
    return out;
}

} // namespace vorta::ui
