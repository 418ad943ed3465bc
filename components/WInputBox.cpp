#include "WInputBox.h"

#include "platform/ui/Application.h"

#include <memory>

TWInputBox::TWInputBox(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("WInputBox"));
    setObjectName(QStringLiteral("WInputBox"));
    setCaption(QStringLiteral("WInputBox"));
    setClientSize(285, 127);
    setBorderStyle(vorta::ui::BorderStyle::Dialog);
    Label1 = new vorta::ui::Label(this, QStringLiteral("Label1"), QStringLiteral("Label1"));
    // Prompt lines one text line high, as the suite's, so the second ends above the edit.
    Label1->setGeometry(5, 5, 275, 14);
    Label2 = new vorta::ui::Label(this, QStringLiteral("Label2"), QStringLiteral("Label2"));
    Label2->setGeometry(5, 25, 275, 14);
    Edit1 = new vorta::ui::Edit(this, QStringLiteral("Edit1"));
    Edit1->setGeometry(8, 40, 256, 21);
    Button1 = new vorta::ui::Button(this, QStringLiteral("Button1"));
    Button1->setCaption(QStringLiteral("&Ok"));
    Button1->setDefault(true);
    Button1->modalResult = vorta::ui::mrOk;
    Button1->setBounds(105, 88, 75, 25);
    setTabOrder(Edit1, Button1);
}

QString WInput(const QString& Caption, const QString& Prompt1, const QString& Prompt2)
{
    // A box of its own for each call, gone once its text is read.
    struct Free {
        void operator()(TWInputBox* box) const { vorta::Component::free(box); }
    };
    std::unique_ptr<TWInputBox, Free> box(vorta::create<TWInputBox>(vorta::Application::instance()));
    box->setCaption(Caption);
    box->Label1->setCaption(Prompt1);
    box->Label2->setCaption(Prompt2);
    box->Edit1->setFocus();
    box->showModal();
    return box->Edit1->text();
}
