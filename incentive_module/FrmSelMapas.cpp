#include "FrmSelMapas.h"

#include "uTemplate.h"

#include "FrmCadMapas.h"
#include "UDM_MTC.h"
#include "Ufuncoes.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Query.h"

#include <QStyle>

vorta::Guarded<TSelMapas> SelMapas;

using vorta::ui::Align;
using vorta::ui::Label;
using vorta::ui::Panel;
using vorta::ui::SpeedButton;

TSelMapas::TSelMapas(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("SelMapas"));
    setObjectName(QStringLiteral("SelMapas"));
    setCaption(QStringLiteral("Seleção para acesso aos Mapas de Tipificação de Carcaças"));
    setClientSize(640, 400);
    setBorderStyle(vorta::ui::BorderStyle::Single);
    position = vorta::ui::FormPosition::OwnerFormCenter;

    Panel2 = new Panel(this, QStringLiteral("Panel2"));
    Panel2->resize(640, 31);
    Panel2->setAlign(Align::Top);
    const QStyle::StandardPixmap noGlyph = QStyle::SP_CustomBase;
    const TBotaoBarra buttons[] = {
        {&btPrimeiro, "btPrimeiro", "", "Vai ao primeiro registro", 2, 44, QStyle::SP_MediaSkipBackward},
        {&btAnterior, "btAnterior", "", "Vai ao registro anterior", 47, 44, QStyle::SP_MediaSeekBackward},
        {&btProximo, "btProximo", "", "Vai ao proximo registro", 92, 44, QStyle::SP_MediaSeekForward},
        {&btUltimo, "btUltimo", "", "Vai ao ultimo registro", 137, 44, QStyle::SP_MediaSkipForward},
        {&bMapas, "bMapas", "Mapas de Tipificação de Carcaças", "Mapas do contribuinte posicionado", 182, 250, noGlyph},
        {&btSair, "btSair", "&Sair", "Sair do módulo", 436, 66, noGlyph},
        {&SpeedButton1, "SpeedButton1", "&Retornar", "Retornar à tela anterior", 503, 66, noGlyph},
    };
    CriaBotoesBarra(Panel2, buttons);

    auto* busca = new Panel(this, QStringLiteral("Panel_Busca"));
    busca->resize(640, 62);
    busca->setAlign(Align::Top);
    Label_Busca = new Label(busca, QStringLiteral("Digite aqui para buscar automaticamente"), QStringLiteral("Label_Busca"));
    Label_Busca->setGeometry(8, 4, 330, 16);
    Edit_Busca = new vorta::ui::Edit(busca, QStringLiteral("Edit_Busca"));
    Edit_Busca->setGeometry(8, 22, 330, 21);
    Label_Busca->setBuddy(Edit_Busca);
    RadioGroup_Produtor = new vorta::ui::RadioGroup(busca, QStringLiteral("RadioGroup_Produtor"));
    RadioGroup_Produtor->setCaption(QStringLiteral(" Busca de Contribuinte"));
    RadioGroup_Produtor->setItems({QStringLiteral("Por inscrição"), QStringLiteral("Por Nome")});
    RadioGroup_Produtor->setColumns(2);
    RadioGroup_Produtor->setItemIndex(0);
    RadioGroup_Produtor->setGeometry(350, 2, 280, 58);

    Panel3 = new Panel(this, QStringLiteral("Panel3"));
    Panel3->resize(640, 23);
    Panel3->setAlign(Align::Bottom);
    Panel3->setFont(vorta::ui::scaledFont(Panel3->font(), 0.85));
    int x = 4;
    for (auto [target, name, caption] : {std::tuple{&Label27, "Label27", "Retornar -"},
                                         {&Label1, "Label1", "Mapa de Tipificação de Carcaça"},
                                         {&Label3, "Label3", "Contribuinte -"}}) {
        auto* l = new Label(Panel3, QString::fromUtf8(caption), QString::fromLatin1(name));
        const int w = l->fontMetrics().horizontalAdvance(l->caption()) + 4;
        l->setGeometry(x, 4, w, 16);
        x += w + 12;
        *target = l;
    }

    DBGrid = new vorta::ui::DBGrid(this, QStringLiteral("DBGrid"));
    DBGrid->setAlign(Align::Client);
    DBGrid->setReadOnly(true);
    DBGrid->setOptions(vorta::ui::DBGrid::dgTitles | vorta::ui::DBGrid::dgIndicator
                       | vorta::ui::DBGrid::dgColumnResize | vorta::ui::DBGrid::dgColLines
                       | vorta::ui::DBGrid::dgRowLines | vorta::ui::DBGrid::dgRowSelect);
    DBGrid->setColumns({{QStringLiteral("Con_IECNPJCPF"), QStringLiteral("Inscrição Estadual"), 110},
                        {QStringLiteral("Con_Nome"), QStringLiteral("Razão Social"), 280},
                        {QStringLiteral("Con_NomePropr"), QStringLiteral("Con_NomePropr"), 200}});
    if (DM_MTC)
        DBGrid->setDataSource(DM_MTC->DsQryContribuinte);

    OnShow = [this](Form* f) { FormShow(f); };
    OnClose = [this](Form* f, vorta::ui::CloseAction& a) { FormClose(f, a); };
    OnKeyDown = [this](Form* f, int& key, Qt::KeyboardModifiers s) { FormKeyDown(f, key, s); };
    OnKeyUp = [this](Form* f, int& key, Qt::KeyboardModifiers s) { FormKeyUp(f, key, s); };
    OnKeyPress = [this](Form* f, QChar& key) { FormKeyPress(f, key); };
    Edit_Busca->OnChange = [this](QWidget* s) { Edit_BuscaChange(s); };
    btPrimeiro->OnClick = [this](QWidget* s) { btPrimeiroClick(s); };
    btAnterior->OnClick = [this](QWidget* s) { btAnteriorClick(s); };
    btProximo->OnClick = [this](QWidget* s) { btProximoClick(s); };
    btUltimo->OnClick = [this](QWidget* s) { btUltimoClick(s); };
    bMapas->OnClick = [this](QWidget* s) { bMapasClick(s); };
    SpeedButton1->OnClick = [this](QWidget* s) { SpeedButton1Click(s); };
    btSair->OnClick = [this](QWidget* s) { btSairClick(s); };
    Label27->OnClick = [this](QWidget* s) { Label27Click(s); };
    Label1->OnClick = [this](QWidget* s) { Label1Click(s); };
}

void TSelMapas::FormShow(Form*)
{
    vorta::db::Query* q = DM_MTC->QryContribuinte;
    q->close();
    q->open();
    q->first();
    Edit_Busca->setFocus();
    Edit_Busca->selectAll();
}

void TSelMapas::FormClose(Form*, vorta::ui::CloseAction& action)
{
    if (DM_MTC)
        DM_MTC->QryContribuinte->close();
    action = vorta::ui::CloseAction::Free;
}

void TSelMapas::FormKeyDown(Form*, int& key, Qt::KeyboardModifiers)
{
    if (key == vorta::ui::VK_RETURN)
        key = vorta::ui::VK_TAB;
}

void TSelMapas::FormKeyUp(Form*, int& key, Qt::KeyboardModifiers)
{
    if (key == vorta::ui::VK_RETURN)
        key = vorta::ui::VK_TAB;
}

void TSelMapas::FormKeyPress(Form*, QChar& key)
{
    if (key == QChar(13) && !qobject_cast<vorta::ui::DBGrid*>(activeControl())) {
        key = QChar(0);
        selectNext();
    }
}

void TSelMapas::Edit_BuscaChange(QWidget*)
{
    vorta::db::Query* q = DM_MTC->QryContribuinte;
    if (!q->active())
        return;
    // The text is a value to match, never part of an expression.
    const QString text = Edit_Busca->text();
    const QString field = RadioGroup_Produtor->itemIndex() == 1 ? QStringLiteral("Con_Nome")
                                                                : QStringLiteral("Con_IECNPJCPF");
    q->locate(field, text, vorta::db::loPartialKey);
}

void TSelMapas::limpaFiltroSemBusca()
{
    if (!Edit_Busca->text().trimmed().isEmpty())
        return;
    vorta::db::Query* q = DM_MTC->QryContribuinte;
    q->setFiltered(false);
    q->setFilter(QString());
}

void TSelMapas::btPrimeiroClick(QWidget*)
{
    limpaFiltroSemBusca();
    DM_MTC->QryContribuinte->first();
}

void TSelMapas::btAnteriorClick(QWidget*)
{
    limpaFiltroSemBusca();
    DM_MTC->QryContribuinte->prior();
}

void TSelMapas::btProximoClick(QWidget*)
{
    limpaFiltroSemBusca();
    DM_MTC->QryContribuinte->next();
}

void TSelMapas::btUltimoClick(QWidget*)
{
    limpaFiltroSemBusca();
    DM_MTC->QryContribuinte->last();
}

void TSelMapas::bMapasClick(QWidget*)
{
    vorta::db::Query* q = DM_MTC->QryContribuinte;
    if (!q->active() || q->isEmpty()) {
        MsgInfoBD(1535);
        return;
    }
    vorta::createInto<TCadMapas>(CadMapas, vorta::Application::instance())->showModal();
    Edit_Busca->setFocus();
    Edit_Busca->selectAll();
}

void TSelMapas::SpeedButton1Click(QWidget*)
{
    close();
}

void TSelMapas::btSairClick(QWidget*)
{
    if (MsgSimNaoBD(86) == vorta::ui::mrYes)
        vorta::Application::instance()->terminate();
}

void TSelMapas::Label27Click(QWidget*)
{
    if (SpeedButton1->isEnabled())
        SpeedButton1->click();
}

void TSelMapas::Label1Click(QWidget*)
{
    if (bMapas->isEnabled())
        bMapas->click();
}

void AbreSelecaoMapas()
{
    vorta::createInto<TSelMapas>(SelMapas, vorta::Application::instance())->showModal();
}

bool AbreMapasDoFrigorifico(const QString& inscricao)
{
    vorta::db::Query* q = DM_MTC->QryContribuinte;
    if (!q->active())
        q->open();
    if (!q->locate(QStringLiteral("Con_IECNPJCPF"), inscricao)) {
        // A declarant registered since the list was read, from the movement window.
        q->close();
        q->open();
        if (!q->locate(QStringLiteral("Con_IECNPJCPF"), inscricao))
            return false;
    }
    vorta::createInto<TCadMapas>(CadMapas, vorta::Application::instance())->showModal();
    return true;
}
