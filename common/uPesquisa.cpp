#include "uPesquisa.h"

vorta::Guarded<TfPesquisa> fPesquisa;

using vorta::ui::Align;

TfPesquisa::TfPesquisa(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("fPesquisa"));
    setObjectName(QStringLiteral("fPesquisa"));
    setCaption(QStringLiteral("Pesquisa"));
    setBorderStyle(vorta::ui::BorderStyle::None);
    position = vorta::ui::FormPosition::OwnerFormCenter;
    setClientSize(280, 96);

    Panel1 = new vorta::ui::Panel(this, QStringLiteral("Panel1"));
    Panel1->setBevel(vorta::ui::Panel::Bevel::Raised);
    Panel1->setAlign(Align::Client);
    Label1 = new vorta::ui::Label(Panel1, QString(), QStringLiteral("Label1"));
    Label1->setGeometry(12, 8, 256, 16);
    MaskEdit1 = new vorta::ui::Edit(Panel1, QStringLiteral("MaskEdit1"));
    MaskEdit1->setGeometry(12, 26, 256, 22);
    BitBtn1 = new vorta::ui::Button(Panel1, QStringLiteral("BitBtn1"));
    BitBtn1->setCaption(QStringLiteral("OK"));
    BitBtn1->setDefault(true);
    BitBtn1->modalResult = vorta::ui::mrOk;
    BitBtn1->setBounds(60, 60, 96, 26);
    BitBtn2 = new vorta::ui::Button(Panel1, QStringLiteral("BitBtn2"));
    BitBtn2->setCaption(QStringLiteral("Cancelar"));
    BitBtn2->cancel = true;
    BitBtn2->modalResult = vorta::ui::mrCancel;
    BitBtn2->setBounds(172, 60, 96, 26);
    setTabOrder(MaskEdit1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);

    OnActivate = [this](Form* f) { FormActivate(f); };
    BitBtn1->OnClick = [this](QWidget* s) { BitBtn1Click(s); };
}

void TfPesquisa::FormActivate(Form*)
{
    MaskEdit1->setFocus();
}

void TfPesquisa::BitBtn1Click(QWidget*)
{
    // The button's modal result then closes the box.
    TextoPesquisa = MaskEdit1->maskedText();
}
