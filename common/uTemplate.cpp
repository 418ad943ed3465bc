#include "uTemplate.h"

#include "Ufuncoes.h"

#include "platform/core/Exceptions.h"
#include "platform/db/DataSet.h"
#include "platform/ui/DataModule.h"

#include <QStyle>

vorta::Guarded<TFtemplate> Ftemplate;

using vorta::ui::Align;
using vorta::ui::Label;
using vorta::ui::Panel;
using vorta::ui::SpeedButton;
using vorta::db::DataSetState;

TFtemplate::TFtemplate(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("Ftemplate"));
    setObjectName(QStringLiteral("Ftemplate"));
    setCaption(QStringLiteral("Cadastro"));
    setClientSize(718, 379);
    setBorderStyle(vorta::ui::BorderStyle::Single);
    position = vorta::ui::FormPosition::OwnerFormCenter;
    keyPreview = true;

    ScrollBox1 = new vorta::ui::ScrollBox(this, QStringLiteral("ScrollBox1"));
    ScrollBox1->setAlign(Align::Client);
    QWidget* box = ScrollBox1->contents();

    // Bottom controls stack from the bottom in creation order: status line lowest.
    DBGrid = new vorta::ui::DBGrid(box, QStringLiteral("DBGrid"));
    msgStatus = new vorta::ui::DBStatusBar(box, QStringLiteral("msgStatus"));
    msgStatus->addPanel({QString(), 200});
    msgStatus->resize(msgStatus->width(), msgStatus->sizeHint().height());
    msgStatus->setAlign(Align::Bottom);
    pagina1 = new Panel(box, QStringLiteral("pagina1"));
    pagina1->setBevel(Panel::Bevel::None, Panel::Bevel::Lowered);
    pagina1->hide();
    Panel3 = new Panel(box, QStringLiteral("Panel3"));
    Panel3->resize(718, 23);
    Panel3->setAlign(Align::Bottom);
    Panel2 = new Panel(box, QStringLiteral("Panel2"));
    Panel2->resize(718, 31);
    Panel2->setAlign(Align::Top);
    DBGrid->setAlign(Align::Client);

    dsBase = new vorta::db::DataSource(this);
    dsBase->setName(QStringLiteral("dsBase"));
    DBGrid->setDataSource(dsBase);
    DBGrid->setReadOnly(true);
    DBGrid->setOptions(vorta::ui::DBGrid::dgTitles | vorta::ui::DBGrid::dgIndicator
                       | vorta::ui::DBGrid::dgColumnResize | vorta::ui::DBGrid::dgColLines
                       | vorta::ui::DBGrid::dgRowLines | vorta::ui::DBGrid::dgTabs
                       | vorta::ui::DBGrid::dgCancelOnExit);

    PopUpMenu = new vorta::ui::PopupMenu(this);
    PopUpMenu->setName(QStringLiteral("PopUpMenu"));
    PopUpMenu->add(QStringLiteral("Copiar"));
    PopUpMenu->add(QStringLiteral("-"));
    PopUpMenu->add(QStringLiteral("ORDERNAR"), false);
    PopUpMenu->attachTo(DBGrid);

    const QStyle::StandardPixmap noGlyph = QStyle::SP_CustomBase;
    const TBotaoBarra buttons[] = {
        {&btPrimeiro, "btPrimeiro", "", "Vai ao primeiro registro", 2, 44, QStyle::SP_MediaSkipBackward},
        {&btAnterior, "btAnterior", "", "Vai ao registro anterior", 47, 44, QStyle::SP_MediaSeekBackward},
        {&btProximo, "btProximo", "", "Vai ao proximo registro", 92, 44, QStyle::SP_MediaSeekForward},
        {&btUltimo, "btUltimo", "", "Vai ao ultimo registro", 137, 44, QStyle::SP_MediaSkipForward},
        {&btConsultaSimples, "btConsultaSimples", "De&talhes", "Destalhes do registro posicionado", 182, 65, noGlyph},
        {&btConsultaGrid, "btConsultaGrid", "Consul&tar", "Consultar todos os registros", 203, 65, noGlyph},
        {&btIncluir, "btIncluir", "&Incluir", "Incluir Registro", 248, 65, noGlyph},
        {&btAlterar, "btAlterar", "&Alterar", "Alterar Registro", 314, 65, noGlyph},
        {&btExcluir, "btExcluir", "Excluir", "Excluir Registro", 380, 65, noGlyph},
        {&btGravar, "btGravar", "&Gravar", "Gravar registro", 446, 65, noGlyph},
        {&btCancelar, "btCancelar", "&Cancelar", "Cancelar registro", 512, 65, noGlyph},
        {&BtSairGeral, "BtSairGeral", "&Sair", "Sair do módulo", 578, 66, noGlyph},
        {&btSair, "btSair", "&Retornar", "Retornar à tela anterior", 645, 66, noGlyph},
    };
    CriaBotoesBarra(Panel2, buttons);
    btConsultaGrid->hide();
    btGravar->setEnabled(false);
    btCancelar->setEnabled(false);

    // The shortcut legend; each label clicks its button when that is enabled.
    struct LegendDef {
        Label** target;
        const char* name;
        const char* caption;
    };
    const LegendDef legends[] = {
        {&Label23, "Label23", "Incluir -"},     {&Label13, "Label13", "[ ALT + I ]"},
        {&Label24, "Label24", "Alterar -"},     {&Label14, "Label14", "[ ALT + A ]"},
        {&Label25, "Label25", "Gravar -"},      {&Label15, "Label15", "[ ALT + G ]"},
        {&Label26, "Label26", "Cancelar -"},    {&Label17, "Label17", "[ ALT + C ]"},
        {&Label27, "Label27", "Retornar -"},    {&Label16, "Label16", "[ ALT + R ]"},
        {&LabelConDet, "LabelConDet", "Detalhes -"}, {&Label2, "Label2", "[ ALT + T ]"},
    };
    Panel3->setFont(vorta::ui::scaledFont(Panel3->font(), 0.85));
    int x = 4;
    for (const LegendDef& d : legends) {
        auto* l = new Label(Panel3, QString::fromUtf8(d.caption), QString::fromUtf8(d.name));
        const bool key = QByteArray(d.caption).startsWith('[');
        // Room for the longer caption the details legend takes on the detail page.
        const int w = l->fontMetrics().horizontalAdvance(d.target == &LabelConDet ? QStringLiteral("Consultar -")
                                                                                  : l->caption())
                      + 4;
        l->setGeometry(x, 4, w, 16);
        x += w + (key ? 8 : 1);
        *d.target = l;
    }
    for (auto [label, button] : {std::pair{Label23, btIncluir}, {Label13, btIncluir}, {Label24, btAlterar},
                                 {Label14, btAlterar}, {Label25, btGravar}, {Label15, btGravar},
                                 {Label26, btCancelar}, {Label17, btCancelar}, {Label27, btSair},
                                 {Label16, btSair}})
        label->OnClick = [this, button](QWidget*) { legendClick(button); };
    LabelConDet->OnClick = [this](QWidget*) { legendDetailsClick(); };
    Label2->OnClick = [this](QWidget*) { legendDetailsClick(); };

    OnCreate = [this](Form* f) { FormCreate(f); };
    OnShow = [this](Form* f) { FormShow(f); };
    OnClose = [this](Form* f, vorta::ui::CloseAction& a) { FormClose(f, a); };
    OnKeyDown = [this](Form* f, int& key, Qt::KeyboardModifiers s) { FormKeyDown(f, key, s); };
    OnKeyUp = [this](Form* f, int& key, Qt::KeyboardModifiers s) { FormKeyUp(f, key, s); };
    OnKeyPress = [this](Form* f, QChar& key) { FormKeyPress(f, key); };

    DBGrid->OnDblClick = [this](QWidget* s) { DBGridDblClick(s); };
    DBGrid->OnEnter = [this](QWidget* s) { DBGridEnter(s); };
    DBGrid->OnKeyDown = [this](QWidget* s, int& key, Qt::KeyboardModifiers m) { DBGridKeyDown(s, key, m); };
    DBGrid->OnKeyPress = [this](QWidget* s, QChar& key) { DBGridKeyPress(s, key); };
    DBGrid->OnKeyUp = [this](QWidget* s, int& key, Qt::KeyboardModifiers m) { DBGridKeyUp(s, key, m); };

    btPrimeiro->OnClick = [this](QWidget* s) { btPrimeiroClick(s); };
    btAnterior->OnClick = [this](QWidget* s) { btAnteriorClick(s); };
    btProximo->OnClick = [this](QWidget* s) { btProximoClick(s); };
    btUltimo->OnClick = [this](QWidget* s) { btUltimoClick(s); };
    btConsultaSimples->OnClick = [this](QWidget* s) { btConsultaSimplesClick(s); };
    btConsultaGrid->OnClick = [this](QWidget* s) { btConsultaGridClick(s); };
    btIncluir->OnClick = [this](QWidget* s) { btIncluirClick(s); };
    btAlterar->OnClick = [this](QWidget* s) { btAlterarClick(s); };
    btExcluir->OnClick = [this](QWidget* s) { btExcluirClick(s); };
    btGravar->OnClick = [this](QWidget* s) { btGravarClick(s); };
    btCancelar->OnClick = [this](QWidget* s) { btCancelarClick(s); };
    BtSairGeral->OnClick = [this](QWidget* s) { BtSairGeralClick(s); };
    btSair->OnClick = [this](QWidget* s) { btSairClick(s); };
}

TFtemplate::~TFtemplate() = default;

bool TFtemplate::emEdicao(const vorta::db::DataSet& ds)
{
    return ds.state() == DataSetState::Edit || ds.state() == DataSetState::Insert;
}

vorta::ui::RadioGroup* TFtemplate::criaPainelBusca(const QString& texto, const QString& nomeGrupo,
                                                   const QString& titulo, const QStringList& itens, int colunas,
                                                   int largura)
{
    Panel_Busca = new Panel(ScrollBox1->contents(), QStringLiteral("Panel_Busca"));
    // Room for the group's title and a row of items in every window system's font.
    Panel_Busca->resize(718, 62);
    Panel_Busca->setAlign(Align::Top);
    Label_Busca = new Label(Panel_Busca, texto, QStringLiteral("Label_Busca"));
    Label_Busca->setGeometry(8, 4, 330, 16);
    Edit_Busca = new vorta::ui::Edit(Panel_Busca, QStringLiteral("Edit_Busca"));
    Edit_Busca->charCase = vorta::ui::CharCase::Upper;
    Edit_Busca->setGeometry(8, 22, 330, 21);
    auto* grupo = new vorta::ui::RadioGroup(Panel_Busca, nomeGrupo);
    grupo->setCaption(titulo);
    grupo->setItems(itens);
    grupo->setColumns(colunas);
    grupo->setItemIndex(0);
    grupo->setGeometry(350, 2, largura, 58);
    Label_Busca->setBuddy(Edit_Busca);
    Edit_Busca->OnChange = [this](QWidget* s) { Edit_BuscaChange(s); };
    return grupo;
}

vorta::ui::DBEdit* TFtemplate::criaCampo(Label** label, const char* labelName, const char* caption,
                                         const QString& editName, const QString& field, int left, int top,
                                         int largura)
{
    *label = new Label(pagina1, QString::fromUtf8(caption), QString::fromLatin1(labelName));
    (*label)->setGeometry(left, top, 220, 16);
    auto* e = new vorta::ui::DBEdit(pagina1, editName);
    e->setGeometry(left, top + 16, largura, 21);
    e->setDataSource(dsBase);
    e->setDataField(field);
    e->charCase = vorta::ui::CharCase::Upper;
    (*label)->setBuddy(e);
    return e;
}

void TFtemplate::criaMunicipio(Label** label, const char* labelName, vorta::ui::DBLookupComboBox** lista,
                               SpeedButton** botao, vorta::db::DataSource* municipios, const QString& field, int left,
                               int top, int largura)
{
    *label = new Label(pagina1, QStringLiteral("Município"), QString::fromLatin1(labelName));
    (*label)->setGeometry(left, top, 220, 16);
    auto* l = new vorta::ui::DBLookupComboBox(pagina1, QStringLiteral("DBLookupComboBox_Municipio"));
    l->setGeometry(left, top + 16, largura, 21);
    l->setKeyField(QStringLiteral("Mun_Codigo"));
    l->setListField(QStringLiteral("Mun_Descricao"));
    if (municipios)
        l->setListSource(municipios);
    l->setDataSource(dsBase);
    l->setDataField(field);
    (*label)->setBuddy(l);
    auto* b = new SpeedButton(pagina1, QStringLiteral("btMuncipio"));
    b->setCaption(QStringLiteral("&Município"));
    b->setHint(QStringLiteral("Incluir Município"));
    b->setGeometry(left + largura + 6, top + 16, 76, 21);
    b->setEnabled(false);
    *lista = l;
    *botao = b;
}

void TFtemplate::criaCampos(std::span<const Campo> campos, int largura)
{
    for (const Campo& c : campos) {
        const QString campo = QString::fromLatin1(c.field);
        *c.edit = criaCampo(c.label, c.labelName, c.caption, QStringLiteral("DBEdit_") + campo, campo, 16, c.top,
                            largura);
        (*c.label)->resize(200, 16);
        ligaDica(*c.edit, c.hint);
    }
}

vorta::ui::DBRadioGroup* TFtemplate::criaTipoInscricao(QWidget* parent)
{
    auto* g = new vorta::ui::DBRadioGroup(parent, QStringLiteral("DBRadioGroup_ConTipo"));
    g->setCaption(QStringLiteral(" Tipo de Inscrição "));
    g->setItems({QStringLiteral("Insc. Estadual"), QStringLiteral("CNPJ"), QStringLiteral("CPF"),
                 QStringLiteral("Outras Inscrições")});
    g->setValues({QStringLiteral("IE"), QStringLiteral("CNPJ"), QStringLiteral("CPF"), QStringLiteral("OI")});
    g->setColumns(4);
    g->setDataSource(dsBase);
    g->setDataField(QStringLiteral("Con_Tipo"));
    g->setEnabled(false);
    return g;
}

void TFtemplate::ligaDica(QWidget* controle, int mensagem)
{
    if (auto* c = vorta::ui::Control::of(controle))
        c->OnEnter = [this, mensagem](QWidget*) { msgStatus->setPanelText(0, GetErrorMessage(mensagem)); };
}

vorta::db::DataSet& TFtemplate::baseDataSet() const
{
    vorta::db::DataSet* ds = dsBase->dataSet();
    if (!ds)
        vorta::Abort();
    return *ds;
}

bool TFtemplate::hasRecords() const
{
    vorta::db::DataSet* ds = dsBase->dataSet();
    return ds && ds->active() && !ds->isEmpty();
}

void TFtemplate::status91()
{
    msgStatus->setPanelText(0, GetErrorMessage(91));
}

void TFtemplate::buttonsBrowsing()
{
    for (SpeedButton* b : {btIncluir, btAlterar, btExcluir, btPrimeiro, btAnterior, btProximo, btUltimo, btSair})
        b->setEnabled(true);
    btGravar->setEnabled(false);
    btCancelar->setEnabled(false);
}

void TFtemplate::buttonsEditing()
{
    btGravar->setEnabled(true);
    btCancelar->setEnabled(true);
    for (SpeedButton* b : {btIncluir, btAlterar, btExcluir, btPrimeiro, btAnterior, btProximo, btUltimo, btSair})
        b->setEnabled(false);
}

void TFtemplate::disableRecordButtons()
{
    for (SpeedButton* b : {btPrimeiro, btAnterior, btProximo, btUltimo, btAlterar, btExcluir, btConsultaGrid,
                           btConsultaSimples})
        b->setEnabled(false);
}

void TFtemplate::showDetailToggle()
{
    btConsultaGrid->move(182, 2);
    btConsultaGrid->show();
    btConsultaSimples->hide();
}

void TFtemplate::legendClick(SpeedButton* button)
{
    if (button->isEnabled())
        button->click();
}

void TFtemplate::legendDetailsClick()
{
    if (!btConsultaGrid->isHidden() && btConsultaGrid->isEnabled())
        btConsultaGrid->click();
    else if (!btConsultaSimples->isHidden() && btConsultaSimples->isEnabled())
        btConsultaSimples->click();
}

void TFtemplate::FormCreate(Form*)
{
    ModoInclusao = false;
    ModoSelecao = false;
}

void TFtemplate::FormShow(Form*)
{
    if (DBGrid->dataSource()) {
        if (vorta::db::DataSet* ds = DBGrid->dataSource()->dataSet()) {
            ds->close();
            ds->open();
            if (ds->isEmpty())
                disableRecordButtons();
        }
    }
    DBGrid->setAlign(Align::Client);
    pagina1->hide();
}

void TFtemplate::FormClose(Form*, vorta::ui::CloseAction& action)
{
    // Editing: the record must be saved or cancelled first.
    if (!btSair->isEnabled())
        vorta::Abort();
    if (vorta::db::DataSet* ds = dsBase->dataSet(); ds && emEdicao(*ds))
        ds->cancel();
    action = vorta::ui::CloseAction::Free;
}

void TFtemplate::fechaSelecao()
{
    if (ModoSelecao)
        close();
}

void TFtemplate::FormKeyDown(Form*, int& key, Qt::KeyboardModifiers)
{
    if (ModoSelecao) {
        if (!fimDaSelecao.teclasDoForm)
            return;
        if (key == vorta::ui::VK_RETURN && fimDaSelecao.enterNaGrade && focusWidget() == DBGrid) {
            close();
            return;
        }
    }
    if (key == vorta::ui::VK_RETURN)
        key = vorta::ui::VK_TAB;
}

void TFtemplate::FormKeyUp(Form*, int& key, Qt::KeyboardModifiers)
{
    if (ModoSelecao && !fimDaSelecao.teclasDoForm)
        return;
    if (key == vorta::ui::VK_RETURN)
        key = vorta::ui::VK_TAB;
}

void TFtemplate::FormKeyPress(Form*, QChar& key)
{
    if (key == QChar(13) && focusWidget() != DBGrid) {
        key = QChar(0);
        selectNext();
    }
}

void TFtemplate::DBGridDblClick(QWidget*)
{
    if (hasRecords())
        btConsultaSimples->click();
    if (fimDaSelecao.duploClique)
        fechaSelecao();
}

void TFtemplate::DBGridEnter(QWidget*)
{
    status91();
}

void TFtemplate::DBGridKeyDown(QWidget*, int& key, Qt::KeyboardModifiers)
{
    if (ModoSelecao)
        return;
    if (key == vorta::ui::VK_RETURN && hasRecords())
        btConsultaSimples->click();
}

void TFtemplate::DBGridKeyPress(QWidget*, QChar& key)
{
    if (key == QChar(13) && hasRecords())
        btConsultaSimples->click();
    if (fimDaSelecao.teclaNaGrade)
        fechaSelecao();
}

void TFtemplate::DBGridKeyUp(QWidget*, int& key, Qt::KeyboardModifiers)
{
    if (ModoSelecao)
        return;
    if (key == vorta::ui::VK_RETURN && hasRecords())
        btConsultaSimples->click();
}

void TFtemplate::btPrimeiroClick(QWidget*)
{
    status91();
    baseDataSet().first();
    btPrimeiro->setEnabled(false);
    btAnterior->setEnabled(false);
    btProximo->setEnabled(true);
    btUltimo->setEnabled(true);
}

void TFtemplate::btAnteriorClick(QWidget*)
{
    status91();
    baseDataSet().prior();
    btPrimeiro->setEnabled(true);
    btProximo->setEnabled(true);
    btUltimo->setEnabled(true);
}

void TFtemplate::btProximoClick(QWidget*)
{
    status91();
    baseDataSet().next();
    btPrimeiro->setEnabled(true);
    btAnterior->setEnabled(true);
    btUltimo->setEnabled(true);
}

void TFtemplate::btUltimoClick(QWidget*)
{
    status91();
    baseDataSet().last();
    btUltimo->setEnabled(false);
    btProximo->setEnabled(false);
    btPrimeiro->setEnabled(true);
    btAnterior->setEnabled(true);
}

void TFtemplate::btConsultaSimplesClick(QWidget*)
{
    ScrollBox1->setFocus();
    status91();
    if (DBGrid->isEnabled())
        DBGrid->setEnabled(false);
    showDetailToggle();
    pagina1->show();
    pagina1->raise();
    pagina1->setAlign(Align::Client);
    LabelConDet->setCaption(QStringLiteral("Consultar -"));
}

void TFtemplate::btConsultaGridClick(QWidget*)
{
    ScrollBox1->setFocus();
    status91();
    btConsultaSimples->move(182, 2);
    btConsultaSimples->show();
    btConsultaGrid->hide();
    pagina1->hide();
    DBGrid->show();
    DBGrid->setEnabled(true);
    DBGrid->setAlign(Align::Client);
    LabelConDet->setCaption(QStringLiteral("Detalhes -"));
}

void TFtemplate::btIncluirClick(QWidget*)
{
    msgStatus->setPanelText(0, QString());
    if (DBGrid->isEnabled())
        DBGrid->setEnabled(false);
    baseDataSet().insert();
    buttonsEditing();
    btConsultaGrid->move(182, 2);
    btConsultaGrid->show();
    btConsultaGrid->setEnabled(false);
    if (pagina1->isHidden()) {
        pagina1->show();
        pagina1->raise();
        pagina1->setAlign(Align::Client);
        btConsultaSimples->hide();
    }
}

void TFtemplate::btAlterarClick(QWidget*)
{
    msgStatus->setPanelText(0, QString());
    if (DBGrid->isEnabled())
        DBGrid->setEnabled(false);
    baseDataSet().edit();
    buttonsEditing();
    btConsultaGrid->move(182, 2);
    btConsultaGrid->show();
    btConsultaGrid->setEnabled(false);
    if (pagina1->isHidden()) {
        pagina1->show();
        pagina1->raise();
        pagina1->setAlign(Align::Client);
        btConsultaSimples->hide();
    }
}

void TFtemplate::btGravarClick(QWidget*)
{
    // A refusal of the data module's rules raises here and the form stays in editing.
    baseDataSet().post();
    buttonsBrowsing();
    showDetailToggle();
    btConsultaGrid->setEnabled(true);
    // The first record saved into an empty table makes its details reachable again
    // from the grid page.
    btConsultaSimples->setEnabled(true);
    status91();
    ScrollBox1->setFocus();
}

void TFtemplate::btCancelarClick(QWidget*)
{
    vorta::db::DataSet& ds = baseDataSet();
    ds.cancel();
    if (DBGrid->isEnabled())
        DBGrid->setEnabled(false);
    buttonsBrowsing();
    showDetailToggle();
    btConsultaGrid->setEnabled(true);
    if (ds.isEmpty())
        disableRecordButtons();
    status91();
}

void TFtemplate::btExcluirClick(QWidget*)
{
    msgStatus->setPanelText(0, QString());
    vorta::db::DataSet& ds = baseDataSet();
    if (!ds.isEmpty() && MsgSimNaoBD(92) == vorta::ui::mrYes)
        ds.deleteRecord();
    btConsultaGrid->raise();
    // With the last record gone no record button may stay usable.
    if (ds.isEmpty())
        disableRecordButtons();
}

void TFtemplate::BtSairGeralClick(QWidget*)
{
    bool editing = false;
    if (auto* app = vorta::Application::instance()) {
        for (vorta::Component* c : app->components()) {
            auto* module = dynamic_cast<vorta::ui::DataModule*>(c);
            if (!module)
                continue;
            for (vorta::Component* d : module->components())
                if (auto* ds = dynamic_cast<vorta::db::DataSet*>(d); ds && emEdicao(*ds))
                    editing = true;
        }
    }
    if (MsgSimNaoBD(editing ? 440 : 86) == vorta::ui::mrYes)
        vorta::Application::instance()->terminate();
}

void TFtemplate::btSairClick(QWidget*)
{
    close();
}

void TFtemplate::Edit_BuscaChange(QWidget*) {}

void CriaBotoesBarra(QWidget* panel, std::span<const TBotaoBarra> botoes, int top)
{
    for (const TBotaoBarra& d : botoes) {
        auto* b = new vorta::ui::SpeedButton(panel, QString::fromUtf8(d.name));
        b->setCaption(QString::fromUtf8(d.caption));
        b->setHint(QString::fromUtf8(d.hint));
        b->setBounds(d.left, top, d.width, 25);
        if (d.glyph != QStyle::SP_CustomBase)
            b->setIcon(panel->style()->standardIcon(d.glyph));
        *d.target = b;
    }
}

int DicaDoConTipo(const QString& tipo)
{
    if (tipo == QLatin1String("IE"))
        return 34;
    if (tipo == QLatin1String("CNPJ"))
        return 35;
    if (tipo == QLatin1String("CPF"))
        return 15;
    return 0;
}

int MensagemTamanhoDoConTipo(const QString& tipo, const QString& inscricao)
{
    const qsizetype tamanho = inscricao.trimmed().length();
    if (tipo == QLatin1String("IE") && tamanho != 9)
        return 117;
    if (tipo == QLatin1String("CNPJ") && tamanho != 14)
        return 118;
    if (tipo == QLatin1String("CPF") && tamanho != 11)
        return 119;
    return 0;
}
