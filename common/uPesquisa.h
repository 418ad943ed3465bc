#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"

// A small modal box that asks for one masked value: the caller sets Label1's caption
// and MaskEdit1's mask, shows it modally and reads TextoPesquisa when the result is OK.
class TfPesquisa : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TfPesquisa(vorta::Component* owner = nullptr);

    vorta::ui::Panel* Panel1;
    vorta::ui::Label* Label1;
    vorta::ui::Edit* MaskEdit1;
    vorta::ui::Button* BitBtn1;
    vorta::ui::Button* BitBtn2;

    // The value typed: the edit's text under its mask (literals only when the mask keeps them).
    QString TextoPesquisa;

    void FormActivate(vorta::ui::Form* sender);
    void BitBtn1Click(QWidget* sender);
};

extern vorta::Guarded<TfPesquisa> fPesquisa;
