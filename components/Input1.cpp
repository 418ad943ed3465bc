#include "Input1.h"

#include "platform/db/Query.h"

vorta::Guarded<TInput1> Input1;

TInput1::TInput1(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("Input1"));
    setObjectName(QStringLiteral("Input1"));
    setBorderStyle(vorta::ui::BorderStyle::None);
    position = vorta::ui::FormPosition::ScreenCenter;
    setClientSize(260, 108);

    Panel1 = new vorta::ui::Panel(this, QStringLiteral("Panel1"));
    Panel1->setBevel(vorta::ui::Panel::Bevel::None, vorta::ui::Panel::Bevel::Raised);
    Panel1->setAlign(vorta::ui::Align::Client);
    Label1 = new vorta::ui::Label(Panel1, QStringLiteral("Label1"), QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setGeometry(10, 8, 239, 23);
    MaskEdit1 = new vorta::ui::Edit(Panel1, QStringLiteral("MaskEdit1"));
    MaskEdit1->setGeometry(10, 36, 239, 21);
    BitBtn1 = new vorta::ui::Button(Panel1, QStringLiteral("BitBtn1"));
    BitBtn1->setCaption(QStringLiteral("OK"));
    BitBtn1->setDefault(true);
    BitBtn1->modalResult = vorta::ui::mrOk;
    BitBtn1->setBounds(42, 70, 85, 27);
    BitBtn2 = new vorta::ui::Button(Panel1, QStringLiteral("BitBtn2"));
    BitBtn2->setCaption(QStringLiteral("Cancelar"));
    BitBtn2->cancel = true;
    BitBtn2->modalResult = vorta::ui::mrCancel;
    BitBtn2->setBounds(134, 70, 85, 27);
    setTabOrder(MaskEdit1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    Query1 = new vorta::db::Query(this);
    Query1->setName(QStringLiteral("Query1"));
    setActiveControl(MaskEdit1);

    OnActivate = [this](Form* f) { FormActivate(f); };
    BitBtn1->OnClick = [this](QWidget* s) { BitBtn1Click(s); };
}

void TInput1::FormActivate(Form*)
{
    MaskEdit1->setFocus();
}

void TInput1::BitBtn1Click(QWidget*)
{
    Valor = MaskEdit1->maskedText();
}
