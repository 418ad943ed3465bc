#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"

// Where a copy goes: the diskette or a folder typed by the user.
class TFrmCopiarArquivo : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TFrmCopiarArquivo(vorta::Component* owner = nullptr);

    vorta::ui::RadioGroup* RadioGroup1;
    vorta::ui::Edit* DirNome;
    vorta::ui::Button* Button1;

    void FormShow();
    void RadioGroup1Click();
    void Button1Click();
    void FormClose(vorta::ui::CloseAction& action);
};

extern vorta::Guarded<TFrmCopiarArquivo> FrmCopiarArquivo;

// The dialog's answer: -1 cancelled, 0 diskette, 1 folder; and the folder (empty unless
// the folder was chosen).
extern int LocalCopia;
extern QString PastaCopia;
