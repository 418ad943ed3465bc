#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListBox.h"

// An empty register form: derived forms put their fields in ScrollBox1 and the errors
// of the document in ListBox1.
class TFrmTemplateCadastro : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TFrmTemplateCadastro(vorta::Component* owner = nullptr);

    vorta::ui::Panel* Panel1;
    vorta::ui::Button* BtnSair;
    vorta::ui::ScrollBox* ScrollBox1;
    vorta::ui::Panel* Panel2;
    vorta::ui::Label* Label2;
    vorta::ui::ListBox* ListBox1;

    void FormCreate(vorta::ui::Form* sender);
    void BtnSairClick(QWidget* sender);
};

extern vorta::Guarded<TFrmTemplateCadastro> FrmTemplateCadastro;
