#pragma once

#include "platform/ui/DbControls.h"

// The data-aware check box of the library: a Boolean field, or a text field matched
// against ValueChecked and ValueUnchecked (each a ";" list, compared without case;
// the first of the list is written); null or any other text shows grayed. Backspace
// and space start editing, Escape shows the field's value again, and leaving the box
// writes its state to the record.
class TwDBCheckBox : public vorta::ui::DBCheckBox {
    Q_OBJECT
public:
    explicit TwDBCheckBox(QWidget* parent, const QString& name = QString());

    // Where the caption stands: right of the box (the default) or left of it.
    vorta::ui::TAlignment Alignment() const { return m_alignment; }
    void setAlignment(vorta::ui::TAlignment alignment);

protected:
    // The class library's Toggle order: unchecked, grayed (when allowed), checked.
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    vorta::ui::TAlignment m_alignment = vorta::ui::taRightJustify;
};
