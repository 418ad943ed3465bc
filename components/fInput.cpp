#include "fInput.h"

#include "platform/ui/Application.h"
#include "platform/db/DataSet.h"
#include "platform/ui/DbGrid.h"

vorta::Guarded<TfInput> fInput;

QString TColumnRef::FieldName() const
{
    if (!Grid || Index < 0)
        return QString();
    int shown = 0;
    for (const vorta::ui::GridColumn& c : Grid->columns()) {
        if (!c.visible)
            continue;
        if (shown++ == Index)
            return c.fieldName;
    }
    if (!Grid->columns().isEmpty())
        return QString();
    // A grid without columns of its own shows every visible field.
    vorta::db::DataSet* ds = Grid->dataSet();
    if (!ds)
        return QString();
    for (int i = 0; i < ds->fieldCount(); ++i)
        if (ds->fields(i)->visible() && shown++ == Index)
            return ds->fields(i)->fieldName();
    return QString();
}

TfInput::TfInput(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("fInput"));
    setObjectName(QStringLiteral("fInput"));
    setCaption(QStringLiteral("Filtrar"));
    setClientSize(260, 72);
    setBorderStyle(vorta::ui::BorderStyle::Dialog);
    // No border icons, and above the other windows.
    setWindowFlags((windowFlags() & ~(Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint))
                   | Qt::WindowStaysOnTopHint);
    position = vorta::ui::FormPosition::ScreenCenter;
    keyPreview = true;

    Label1 = new vorta::ui::Label(this, QStringLiteral("Label1"), QStringLiteral("Label1"));
    Label1->setGeometry(10, 14, 236, 16);
    MaskEdit1 = new vorta::ui::Edit(this, QStringLiteral("MaskEdit1"));
    MaskEdit1->setGeometry(10, 37, 236, 21);
    BitBtn1 = new vorta::ui::Button(this, QStringLiteral("BitBtn1"));
    BitBtn1->setCaption(QStringLiteral("OK"));
    BitBtn1->setDefault(true);
    BitBtn1->modalResult = vorta::ui::mrOk;
    BitBtn1->setBounds(90, 64, 75, 25);
    BitBtn1->setVisible(false);
    BitBtn2 = new vorta::ui::Button(this, QStringLiteral("BitBtn2"));
    BitBtn2->setCaption(QStringLiteral("Cancelar"));
    BitBtn2->modalResult = vorta::ui::mrCancel;
    BitBtn2->setBounds(170, 64, 75, 25);
    BitBtn2->setVisible(false);

    OnShow = [this](Form* f) { FormShow(f); };
    OnKeyDown = [this](Form* f, int& key, Qt::KeyboardModifiers shift) { FormKeyDown(f, key, shift); };
    MaskEdit1->OnChange = [this](QWidget* s) { MaskEdit1Change(s); };
}

void TfInput::FormShow(Form*)
{
    MaskEdit1->setFocus();
}

void TfInput::FormKeyDown(Form*, int& key, Qt::KeyboardModifiers)
{
    if (key == vorta::ui::VK_RETURN)
        close();
}

void TfInput::MaskEdit1Change(QWidget*)
{
    // Without a column there is nothing to search.
    const QString field = Coluna.FieldName();
    vorta::db::DataSet* ds = Coluna.Grid ? Coluna.Grid->dataSet() : nullptr;
    if (field.isEmpty() || !ds)
        return;
    vorta::Application::runGuarded([&] {
        vorta::CursorGuard hourGlass;
        ds->locate(field, MaskEdit1->maskedText(), vorta::db::loCaseInsensitive | vorta::db::loPartialKey);
    });
}
