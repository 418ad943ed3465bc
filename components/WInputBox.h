#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"

// A box with two prompt lines and one text to type.
class TWInputBox : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TWInputBox(vorta::Component* owner = nullptr);

    vorta::ui::Label* Label1;
    vorta::ui::Label* Label2;
    vorta::ui::Edit* Edit1;
    vorta::ui::Button* Button1;
};

// Shows a new TWInputBox with the caption and the two prompts and returns what was
// typed, however the box was closed; the box is freed before returning.
QString WInput(const QString& Caption, const QString& Prompt1, const QString& Prompt2);
