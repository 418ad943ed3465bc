#include "UFrmCopiarArquivo.h"

#include "platform/ui/Application.h"

#include <QVBoxLayout>

vorta::Guarded<TFrmCopiarArquivo> FrmCopiarArquivo;
int LocalCopia = -1;
QString PastaCopia;

TFrmCopiarArquivo::TFrmCopiarArquivo(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("FrmCopiarArquivo"));
    setObjectName(QStringLiteral("FrmCopiarArquivo"));
    setCaption(QStringLiteral("Copia de Arquivos"));
    setBorderStyle(vorta::ui::BorderStyle::Dialog);
    position = vorta::ui::FormPosition::OwnerFormCenter;
    setClientSize(340, 170);

    auto* layout = new QVBoxLayout(this);
    RadioGroup1 = new vorta::ui::RadioGroup(this, QStringLiteral("RadioGroup1"));
    RadioGroup1->setCaption(QStringLiteral("Selecione o Local"));
    RadioGroup1->setItems({QStringLiteral("Disquete"), QStringLiteral("Selecionar Local...")});
    RadioGroup1->setItemIndex(0);
    RadioGroup1->setMinimumHeight(70);
    layout->addWidget(RadioGroup1);
    DirNome = new vorta::ui::Edit(this, QStringLiteral("DirNome"));
    DirNome->setVisible(false);
    layout->addWidget(DirNome);
    layout->addStretch(1);
    Button1 = new vorta::ui::Button(this, QStringLiteral("Button1"));
    Button1->setCaption(QStringLiteral("OK"));
    Button1->setDefault(true);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);

    RadioGroup1->OnClick = [this](QWidget*) { RadioGroup1Click(); };
    Button1->OnClick = [this](QWidget*) { Button1Click(); };
    OnShow = [this](Form*) { FormShow(); };
    OnClose = [this](Form*, vorta::ui::CloseAction& a) { FormClose(a); };
}

void TFrmCopiarArquivo::FormShow()
{
    LocalCopia = -1;
    PastaCopia.clear();
}

void TFrmCopiarArquivo::RadioGroup1Click()
{
    DirNome->setVisible(RadioGroup1->itemIndex() == 1);
}

void TFrmCopiarArquivo::Button1Click()
{
    LocalCopia = RadioGroup1->itemIndex();
    PastaCopia = LocalCopia == 1 ? DirNome->text() : QString();
    close();
}

void TFrmCopiarArquivo::FormClose(vorta::ui::CloseAction& action)
{
    action = vorta::ui::CloseAction::Free;
}
