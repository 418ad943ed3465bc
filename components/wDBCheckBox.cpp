#include "wDBCheckBox.h"

#include "platform/ui/Application.h"

#include <QKeyEvent>

TwDBCheckBox::TwDBCheckBox(QWidget* parent, const QString& name) : vorta::ui::DBCheckBox(parent, name) {}

void TwDBCheckBox::setAlignment(vorta::ui::TAlignment alignment)
{
    m_alignment = alignment == vorta::ui::taLeftJustify ? vorta::ui::taLeftJustify : vorta::ui::taRightJustify;
    setLayoutDirection(m_alignment == vorta::ui::taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TwDBCheckBox::nextCheckState()
{
    vorta::Application::runGuarded([this] {
        if (!beginUserChange())
            return;
        switch (checkState()) {
        case Qt::Unchecked: setCheckState(allowGrayed ? Qt::PartiallyChecked : Qt::Checked); break;
        case Qt::Checked: setCheckState(Qt::Unchecked); break;
        default: setCheckState(Qt::Checked); break;
        }
        m_link.modified();
        m_link.updateRecord();
    });
}

void TwDBCheckBox::keyPressEvent(QKeyEvent* event)
{
    QCheckBox::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Space:
        vorta::Application::runGuarded([this] {
            if (!readOnly())
                m_link.edit();
        });
        break;
    case Qt::Key_Escape:
        // The field's value shown again, whatever the box shows now.
        setCheckState(fieldState());
        break;
    default:
        break;
    }
}
