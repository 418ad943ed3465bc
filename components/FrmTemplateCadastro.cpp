#include "FrmTemplateCadastro.h"

vorta::Guarded<TFrmTemplateCadastro> FrmTemplateCadastro;

using vorta::ui::Align;

TFrmTemplateCadastro::TFrmTemplateCadastro(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("FrmTemplateCadastro"));
    setObjectName(QStringLiteral("FrmTemplateCadastro"));
    setCaption(QStringLiteral("Formulário de Cadastro Padrão"));
    position = vorta::ui::FormPosition::ScreenCenter;
    // Only the system menu: no minimise or maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    resize(626, 538);

    Panel1 = new vorta::ui::Panel(this, QStringLiteral("Panel1"));
    Panel1->setAlign(Align::Top);
    Panel1->setFixedHeight(30);
    BtnSair = new vorta::ui::Button(Panel1, QStringLiteral("BtnSair"));
    BtnSair->setCaption(QStringLiteral("&Sair"));
    BtnSair->setHint(QStringLiteral("Sair"));
    BtnSair->showHint = true;
    BtnSair->setFixedSize(75, 25);
    BtnSair->setAlign(Align::Right);

    Panel2 = new vorta::ui::Panel(this, QStringLiteral("Panel2"));
    Panel2->setAlign(Align::Bottom);
    Panel2->setFixedHeight(124);
    Panel2->setBevel(vorta::ui::Panel::Bevel::Lowered);
    Label2 = new vorta::ui::Label(Panel2,
                                  QStringLiteral("A lista abaixo contém os erros encontrados nesta documento. Dê um "
                                                 "Click na mensagem de erro para ir direto ao campo que está com "
                                                 "problemas. "),
                                  QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    // Ends above the error list, which takes the panel's bottom inside its bevel.
    Label2->setGeometry(8, 2, 465, 38);
    ListBox1 = new vorta::ui::ListBox(Panel2, QStringLiteral("ListBox1"));
    ListBox1->setFixedHeight(83);
    ListBox1->setAlign(Align::Bottom);

    ScrollBox1 = new vorta::ui::ScrollBox(this, QStringLiteral("ScrollBox1"));
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setAlign(Align::Client);

    OnCreate = [this](Form* f) { FormCreate(f); };
    BtnSair->OnClick = [this](QWidget* s) { BtnSairClick(s); };
}

void TFrmTemplateCadastro::FormCreate(Form*)
{
    move(0, 0);
}

void TFrmTemplateCadastro::BtnSairClick(QWidget*)
{
    close();
}
