#include "USelecao.h"

#include "uTemplate.h"

#include "Ufuncoes.h"

#include "platform/db/DataSet.h"

#include <QStyle>

bool CancelaProd = false;
vorta::Guarded<TFSelecao> FSelecao;

using vorta::ui::Align;
using vorta::ui::SpeedButton;

TFSelecao::TFSelecao(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("FSelecao"));
    setObjectName(QStringLiteral("FSelecao"));
    setCaption(QStringLiteral("Seleção "));
    helpContext = 100;
    setClientSize(620, 380);
    setBorderStyle(vorta::ui::BorderStyle::Single);
    position = vorta::ui::FormPosition::OwnerFormCenter;

    ScrollBox1 = new vorta::ui::ScrollBox(this, QStringLiteral("ScrollBox1"));
    ScrollBox1->setAlign(Align::Client);
    Panel2 = new vorta::ui::Panel(ScrollBox1->contents(), QStringLiteral("Panel2"));
    Panel2->resize(620, 31);
    Panel2->setAlign(Align::Bottom);
    pagina1 = new vorta::ui::Panel(ScrollBox1->contents(), QStringLiteral("pagina1"));
    pagina1->setAlign(Align::Client);
    DBGrid = new vorta::ui::DBGrid(pagina1, QStringLiteral("DBGrid"));
    DBGrid->setAlign(Align::Client);
    DBGrid->setReadOnly(true);
    DBGrid->setOptions(vorta::ui::DBGrid::dgTitles | vorta::ui::DBGrid::dgIndicator
                       | vorta::ui::DBGrid::dgColumnResize | vorta::ui::DBGrid::dgColLines
                       | vorta::ui::DBGrid::dgRowLines | vorta::ui::DBGrid::dgTabs
                       | vorta::ui::DBGrid::dgConfirmDelete | vorta::ui::DBGrid::dgCancelOnExit);
    btSair = new SpeedButton(Panel2, QStringLiteral("btSair"));
    btSair->setCaption(QStringLiteral("&Retornar"));
    btSair->setHint(QStringLiteral("Retornar à tela anterior"));
    btSair->setBounds(620 - 70, 3, 66, 25);

    OnCreate = [this](Form* f) { FormCreate(f); };
    OnShow = [this](Form* f) { FormShow(f); };
    DBGrid->OnDblClick = [this](QWidget* s) { DBGridDblClick(s); };
    DBGrid->OnKeyPress = [this](QWidget* s, QChar& k) { DBGridKeyPress(s, k); };
    btSair->OnClick = [this](QWidget* s) { SairClick(s); };
}

void TFSelecao::FormCreate(Form*)
{
    ModoSelecao = false;
}

void TFSelecao::FormShow(Form*)
{
    btSair->setEnabled(true);
}

void TFSelecao::DBGridDblClick(QWidget*)
{
    close();
}

void TFSelecao::DBGridKeyPress(QWidget*, QChar&)
{
    close();
}

void TFSelecao::btSairClick(QWidget*)
{
    close();
}

void TFSelecao::SairClick(QWidget*)
{
    close();
}

// ---- the searching pick lists ---------------------------------------------------

TFSelecaoBusca::TFSelecaoBusca(vorta::Component* owner, const Texts& texts) : TFSelecao(owner), m_texts(texts)
{
    setCaption(texts.caption);
    helpContext = texts.helpContext;
    keyPreview = true;
    setClientSize(620, 420);

    // The grid sits below the search controls instead of filling the page.
    QWidget* page = pagina1;
    DBGrid->setAlign(Align::None);
    Label1 = new vorta::ui::Label(page, texts.searchLabel, QStringLiteral("Label1"));
    Label1->setGeometry(236, 12, 370, 16);
    radioBusca = new vorta::ui::RadioGroup(page, texts.radioName);
    radioBusca->setCaption(texts.radioCaption);
    radioBusca->setColumns(2);
    radioBusca->setItems(texts.radioItems);
    radioBusca->setItemIndex(1);
    radioBusca->setGeometry(8, 4, 220, 48);
    Edit_Busca = new vorta::ui::Edit(page, QStringLiteral("Edit_Busca"));
    Edit_Busca->charCase = vorta::ui::CharCase::Upper;
    Edit_Busca->setGeometry(236, 30, 370, 22);
    DBGrid->setGeometry(8, 60, 604, 268);
    msgStatus = new vorta::ui::DBStatusBar(ScrollBox1->contents(), QStringLiteral("msgStatus"));
    msgStatus->addPanel({QString(), 600});
    msgStatus->resize(620, msgStatus->sizeHint().height());
    msgStatus->setAlign(Align::Bottom);

    const QStyle::StandardPixmap noGlyph = QStyle::SP_CustomBase;
    const TBotaoBarra buttons[] = {
        {&btPrimeiro, "btPrimeiro", "", "Vai ao primeiro registro", 2, 44, QStyle::SP_MediaSkipBackward},
        {&btAnterior, "btAnterior", "", "Vai ao registro anterior", 47, 44, QStyle::SP_MediaSeekBackward},
        {&btProximo, "btProximo", "", "Vai ao proximo registro", 92, 44, QStyle::SP_MediaSeekForward},
        {&btUltimo, "btUltimo", "", "Vai ao ultimo registro", 137, 44, QStyle::SP_MediaSkipForward},
        {&btCancelar, "btCancelar", "&Cancelar", "Cancelar registro", 478, 66, noGlyph},
    };
    CriaBotoesBarra(Panel2, buttons, 3);

    OnShow = [this](Form* f) { FormShow(f); };
    OnClose = [this](Form* f, vorta::ui::CloseAction& a) { FormClose(f, a); };
    OnKeyPress = [this](Form* f, QChar& k) { FormKeyPress(f, k); };
    Edit_Busca->OnChange = [this](QWidget* s) { Edit_BuscaChange(s); };
    DBGrid->OnEnter = [this](QWidget* s) { DBGridEnter(s); };
    DBGrid->OnDblClick = [this](QWidget* s) { DBGridDblClick(s); };
    DBGrid->OnKeyDown = [this](QWidget* s, int& k, Qt::KeyboardModifiers m) { DBGridKeyDown(s, k, m); };
    btCancelar->OnClick = [this](QWidget* s) { btCancelarClick(s); };
    btSair->OnClick = [this](QWidget* s) { SairClick(s); };
    btPrimeiro->OnClick = [this](QWidget* s) { btPrimeiroClick(s); };
    btAnterior->OnClick = [this](QWidget* s) { btAnteriorClick(s); };
    btProximo->OnClick = [this](QWidget* s) { btProximoClick(s); };
    btUltimo->OnClick = [this](QWidget* s) { btUltimoClick(s); };
}

vorta::db::DataSet* TFSelecaoBusca::listDataSet() const
{
    return DBGrid->dataSource() ? DBGrid->dataSource()->dataSet() : nullptr;
}

bool TFSelecaoBusca::chosen() const
{
    vorta::db::DataSet* ds = listDataSet();
    return ds && ds->active() && !ds->isEmpty();
}

void TFSelecaoBusca::choose()
{
    CancelaProd = chosen();
}

void TFSelecaoBusca::FormShow(Form* sender)
{
    TFSelecao::FormShow(sender);
    // Whatever closes the list without choosing (the window frame too) reports no
    // choice, not the answer of an earlier list.
    CancelaProd = false;
    Edit_Busca->setFocus();
    Edit_Busca->selectAll();
}

void TFSelecaoBusca::FormClose(Form*, vorta::ui::CloseAction& action)
{
    action = vorta::ui::CloseAction::Free;
}

void TFSelecaoBusca::FormKeyPress(Form*, QChar& key)
{
    if (key != QChar(13))
        return;
    choose();
    setModalResult(vorta::ui::mrOk);
}

void TFSelecaoBusca::Edit_BuscaChange(QWidget*)
{
    vorta::db::DataSet* ds = listDataSet();
    if (!ds || !ds->active())
        return;
    const int item = radioBusca->itemIndex();
    const QString field = item == 0 ? m_texts.keyField0 : item == 1 ? m_texts.keyField1 : QString();
    if (field.isEmpty())
        return;
    // Partial key, case-sensitive; no match leaves the current record.
    ds->locate(field, Edit_Busca->text(), vorta::db::loPartialKey);
}

void TFSelecaoBusca::DBGridEnter(QWidget*)
{
    msgStatus->setPanelText(0, GetErrorMessage(m_texts.enterMessage));
}

void TFSelecaoBusca::DBGridDblClick(QWidget*)
{
    choose();
    close();
}

void TFSelecaoBusca::DBGridKeyDown(QWidget*, int& key, Qt::KeyboardModifiers)
{
    if (key != vorta::ui::VK_RETURN)
        return;
    choose();
    setModalResult(vorta::ui::mrOk);
}

void TFSelecaoBusca::btCancelarClick(QWidget*)
{
    CancelaProd = false;
    close();
}

void TFSelecaoBusca::SairClick(QWidget* sender)
{
    TFSelecao::SairClick(sender);
    choose();
}

void TFSelecaoBusca::btPrimeiroClick(QWidget*)
{
    if (vorta::db::DataSet* ds = listDataSet())
        ds->first();
}

void TFSelecaoBusca::btAnteriorClick(QWidget*)
{
    if (vorta::db::DataSet* ds = listDataSet())
        ds->prior();
}

void TFSelecaoBusca::btProximoClick(QWidget*)
{
    if (vorta::db::DataSet* ds = listDataSet())
        ds->next();
}

void TFSelecaoBusca::btUltimoClick(QWidget*)
{
    if (vorta::db::DataSet* ds = listDataSet())
        ds->last();
}
