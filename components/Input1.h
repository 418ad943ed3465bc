#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"

namespace vorta::db {
class Query;
}

// A borderless prompt with one masked value: the caller sets Label1 and the mask of
// MaskEdit1; OK stores the text in Valor, Cancelar leaves Valor as it was.
class TInput1 : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TInput1(vorta::Component* owner = nullptr);

    vorta::ui::Panel* Panel1;
    vorta::ui::Label* Label1;
    vorta::ui::Edit* MaskEdit1;
    vorta::ui::Button* BitBtn1;
    vorta::ui::Button* BitBtn2;
    vorta::db::Query* Query1;

    QString Valor;

    void FormActivate(vorta::ui::Form* sender);
    void BitBtn1Click(QWidget* sender);
};

extern vorta::Guarded<TInput1> Input1;
