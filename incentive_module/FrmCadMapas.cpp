#include "FrmCadMapas.h"

#include "DialogsX.h"
#include "T_DM_Comuns.h"
#include "T_Sel_Contribuinte.h"
#include "UDM_MTC.h"
#include "USelecao.h"
#include "Ufuncoes.h"

#include "platform/core/Conversions.h"
#include "platform/core/Cp1252.h"
#include "platform/core/EditMask.h"
#include "platform/core/Exceptions.h"
#include "platform/db/Connection.h"
#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpressionValidator>
#include <QSet>

#include <sqlite3.h>

vorta::Guarded<TCadMapas> CadMapas;
std::function<void()> AbreCadastroPecuaristaInclusao;
std::function<void()> AbreTecnicosSelecao;
std::function<void()> ImprimeMapaAtual;

using vorta::Money;
using vorta::db::DataSetState;
using vorta::ui::Align;
using vorta::ui::DBEdit;
using vorta::ui::Label;
using vorta::ui::Panel;
using vorta::ui::SpeedButton;

namespace {

const QString kFormatoValor = QStringLiteral("###,###,##0.00");

// The controls of a dataset hear nothing for the guard's life, then one change.
struct ControlesDesligados {
    explicit ControlesDesligados(vorta::db::DataSet* d) : ds(d) { ds->disableControls(); }
    ~ControlesDesligados() { ds->enableControls(); }
    ControlesDesligados(const ControlesDesligados&) = delete;
    ControlesDesligados& operator=(const ControlesDesligados&) = delete;
    vorta::db::DataSet* ds;
};
const QString kFiltroRemetentes = QStringLiteral("(Con_Tipo = 'IE') or (Con_Tipo = 'CNPJ') ");
const QStringList kConformacoes{QStringLiteral("C"), QStringLiteral("CO"), QStringLiteral("SC"),
                                QStringLiteral("SR"), QStringLiteral("RE"), QStringLiteral("*")};
const QStringList kAcabamentos{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                               QStringLiteral("5")};
const QStringList kTipificacoes{QStringLiteral("B"), QStringLiteral("R"), QStringLiteral("A"), QStringLiteral("S"),
                                QStringLiteral("I"), QStringLiteral("L")};

// A code read from a file, upper-cased where asked. A code of the list is the list's own
// text, shared rather than made again for every line.
struct CodigoLido {
    QString texto;
    bool naLista = false;
};

CodigoLido codigoLido(const QStringList& lista, QStringView lido, bool maiusculo)
{
    if (const QString* c = maiusculo ? TDM_MTC::MaiusculoDaLista(lista, lido) : TDM_MTC::CodigoDaLista(lista, lido))
        return {*c, true};
    return {maiusculo ? lido.toString().toUpper() : lido.toString(), false};
}

bool editando(const vorta::db::DataSet* ds)
{
    return ds && (ds->state() == DataSetState::Edit || ds->state() == DataSetState::Insert);
}

void info(const QString& text)
{
    MessageDlg(text, mtInformation, TMsgDlgButtons{mbOK}, 0);
}

// Runs OnCellClick for a click in the grid's cells.
class CellClickFilter : public QObject {
public:
    CellClickFilter(QObject* parent, std::function<void()> onClick) : QObject(parent), m_onClick(std::move(onClick)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            vorta::Application::runGuarded(m_onClick);
        return false;
    }

private:
    std::function<void()> m_onClick;
};

} // namespace

TComboBoxMapas::TComboBoxMapas(QWidget* parent, const QString& name) : QComboBox(parent), Control(this, parent, name)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

TCadMapas::TCadMapas(vorta::Component* owner) : TFtemplate(owner), Resumo(DM_MTC)
{
    setName(QStringLiteral("CadMapas"));
    setObjectName(QStringLiteral("CadMapas"));
    setCaption(QStringLiteral("Mapas das Linhas de Tipificação de Carcaça"));
    setClientSize(800, 640);
    // The form sees its controls' keys only after them.
    keyPreview = false;

    RadioGroup_Notas = criaPainelBusca(QStringLiteral("Digite aqui para buscar o mapa automaticamente"),
                                       QStringLiteral("RadioGroup_Notas"), QStringLiteral(" Busca de Mapas"),
                                       {QStringLiteral("Por Nº Mapa")}, 1, 200);

    PanelFrigorifico = new Panel(ScrollBox1->contents(), QStringLiteral("PanelFrigorifico"));
    PanelFrigorifico->resize(800, 44);
    PanelFrigorifico->setAlign(Align::Top);
    auto* titulo = new Label(PanelFrigorifico, QStringLiteral("FRIGORÍFICO"), QStringLiteral("LabelFrigorifico"));
    QFont negrito = titulo->font();
    negrito.setBold(true);
    titulo->setFont(negrito);
    titulo->setGeometry(8, 4, 120, 16);
    LabelInscricao = new Label(PanelFrigorifico, QStringLiteral("Inscrição:"), QStringLiteral("LabelInscricao"));
    LabelInscricao->setGeometry(8, 22, 70, 16);
    lbInscricaoFrigorifico = new Label(PanelFrigorifico, QString(), QStringLiteral("lbInscricaoFrigorifico"));
    lbInscricaoFrigorifico->setGeometry(80, 22, 110, 16);
    lbInscricaoFrigorifico->setFont(negrito);
    LabelNomeFrigorifico =
        new Label(PanelFrigorifico, QStringLiteral("Nome / Razão Social:"), QStringLiteral("LabelNomeFrigorifico"));
    LabelNomeFrigorifico->setGeometry(200, 22, 140, 16);
    lbNomeFrigorifico = new Label(PanelFrigorifico, QString(), QStringLiteral("lbNomeFrigorifico"));
    lbNomeFrigorifico->setGeometry(340, 22, 450, 16);
    lbNomeFrigorifico->setFont(negrito);

    btimprimir = new SpeedButton(Panel2, QStringLiteral("btimprimir"));
    btimprimir->setCaption(QStringLiteral("Imprimir"));
    btimprimir->setHint(QStringLiteral("Imprimir o mapa"));
    btimprimir->setBounds(712, 2, 66, 25);

    PageControl1 = new vorta::ui::PageControl(pagina1, QStringLiteral("PageControl1"));
    PageControl1->setAlign(Align::Client);
    TabSheet1 = new vorta::ui::TabSheet(PageControl1, QStringLiteral("Animais Abatidos"), QStringLiteral("TabSheet1"));
    TabSheet2 = new vorta::ui::TabSheet(PageControl1, QStringLiteral("Resumo do Mapa"), QStringLiteral("TabSheet2"));
    criaPaginaAnimais();
    criaPaginaResumo();

    DBGrid->setColumns({{QStringLiteral("map_codigo"), QStringLiteral("Nº Mapa"), 60},
                        {QStringLiteral("map_data"), QStringLiteral("Emissão"), 80},
                        {QStringLiteral("map_num_lote"), QStringLiteral("Nº Lote"), 60},
                        {QStringLiteral("Lk_Fornecedor"), QStringLiteral("Pecuarista"), 250},
                        {QStringLiteral("calcQtdTotal"), QStringLiteral("Qtd. Animais"), 80},
                        {QStringLiteral("calcqtdreprovada"), QStringLiteral("Qtd. Classificados"), 110},
                        {QStringLiteral("calcVlrTotal"), QStringLiteral("Vlr. Incentivo"), 100}});
    if (DM_MTC) {
        dsBase->setDataSet(DM_MTC->TblMapas);
        DBGrid->setDataSource(DM_MTC->dsMapas);
        // Both are asked for every animal and mostly change nothing.
        DM_MTC->SetListaMaturidade = [this](const QStringList& list) {
            QStringList& atual = DBGrid_ItemNota->column(1).pickList;
            if (atual != list)
                atual = list;
        };
        DM_MTC->SetSexoHabilitado = [this](bool on) {
            // Compared with the box itself: other paths enable and disable it too.
            const bool habilita = on && mapaEmEdicao();
            if (dbSexo->testAttribute(Qt::WA_ForceDisabled) == habilita)
                dbSexo->setEnabled(habilita);
        };
    }
    Resumo.OnRecusa = [this](TResumoMapa::TCampo campo) { focaCampo(campo); };

    btimprimir->OnClick = [this](QWidget* s) { btimprimirClick(s); };
    DBEdit_Con_Remetente->OnExit = [this](QWidget* s) { DBEdit_Con_RemetenteExit(s); };
    DBEdit_Con_Remetente2->OnExit = [this](QWidget* s) { DBEdit_Con_RemetenteExit(s); };
    DBEdit1->OnExit = [this](QWidget* s) { DBEdit1Exit(s); };
    dbedit_data->OnExit = [this](QWidget* s) { DBEdit_DataExit(s); };
    dbSexo->OnChange = [this](QWidget* s) { dbSexoChange(s); };
    BtExcluirItem->OnClick = [this](QWidget* s) { BtExcluirItemClick(s); };
    SpeedButton2->OnClick = [this](QWidget* s) { SpeedButton2Click(s); };
    SpeedButton3->OnClick = [this](QWidget* s) { SpeedButton3Click(s); };
    DBGrid_ItemNota->OnColEnter = [this](QWidget* s) { DBGrid_ItemNotaColEnter(s); };
    DBGrid_ItemNota->OnColExit = [this](QWidget* s) { DBGrid_ItemNotaColExit(s); };
    DBGrid_ItemNota->OnKeyDown = [this](QWidget* s, int& k, Qt::KeyboardModifiers m) { DBGrid_ItemNotaKeyDown(s, k, m); };
    DBGrid_ItemNota->OnKeyUp = [this](QWidget* s, int& k, Qt::KeyboardModifiers m) { DBGrid_ItemNotaKeyUp(s, k, m); };
    DBGrid_ItemNota->viewport()->installEventFilter(
        new CellClickFilter(DBGrid_ItemNota, [this] { DBGrid_ItemNotaCellClick(DBGrid_ItemNota); }));
    cbNotas->OnExit = [this](QWidget* s) { cbNotasExit(s); };
    SpeedButton1->OnClick = [this](QWidget* s) { SpeedButton1Click(s); };
    btVeterinario->OnClick = [this](QWidget* s) { btVeterinarioClick(s); };
    sbTotaliza->OnClick = [this](QWidget* s) { sbTotalizaClick(s); };
    PageControl1->OnChange = [this](QWidget* s) { PageControl1Change(s); };
    dbEdit_VlrArrobaMacho->OnExit = [this](QWidget* s) { dbEdit_VlrArrobaMachoExit(s); };
    dbEdit_VlrArrobaFemea->OnExit = [this](QWidget* s) { dbEdit_VlrArrobaFemeaExit(s); };
}

TCadMapas::~TCadMapas()
{
    if (DM_MTC) {
        DM_MTC->SetListaMaturidade = nullptr;
        DM_MTC->SetSexoHabilitado = nullptr;
    }
}

void TCadMapas::criaPaginaAnimais()
{
    QWidget* p = TabSheet1;
    auto rotulo = [p](const QString& caption, int left, int top, int width, QWidget* buddy = nullptr,
                      QWidget* parent = nullptr) {
        auto* l = new Label(parent ? parent : p, caption);
        l->setGeometry(left, top, width, 16);
        if (buddy)
            l->setBuddy(buddy);
        return l;
    };
    auto campo = [](QWidget* parent, const char* name, vorta::db::DataSource* source, const char* field, int left,
                    int top, int width) {
        auto* e = new DBEdit(parent, QString::fromLatin1(name));
        e->setGeometry(left, top, width, 21);
        e->setDataSource(source);
        e->setDataField(QString::fromLatin1(field));
        e->charCase = vorta::ui::CharCase::Upper;
        return e;
    };
    vorta::db::DataSource* mapas = DM_MTC ? DM_MTC->dsMapas : nullptr;

    auto* grupo = new QGroupBox(QStringLiteral("REMETENTE"), p);
    grupo->setObjectName(QStringLiteral("GroupBoxRemetente"));
    grupo->setGeometry(8, 4, 776, 112);
    DBEdit_Con_Remetente = campo(grupo, "DBEdit_Con_Remetente", mapas, "ie_pecuarista", 8, 38, 110);
    DBEdit_Con_Remetente->setMaxLength(9);
    DBEdit1 = campo(grupo, "DBEdit1", DM_MTC ? DM_MTC->dsContribuinteComplementoMapas : nullptr,
                    "cco_num_cad_pradel", 560, 38, 120);
    DBEdit1->setMaxLength(8);
    DBEdit_Nome = campo(grupo, "DBEdit_Nome", mapas, "Lk_Fornecedor", 126, 38, 426);
    DBEdit_Propriedade = campo(grupo, "DBEdit_Propriedade", mapas, "lkFornecedorPropriedade", 8, 80, 380);
    edMunicipio = new vorta::ui::Edit(grupo, QStringLiteral("edMunicipio"));
    edMunicipio->setGeometry(396, 80, 324, 21);
    edMunicipio->setReadOnly(true);
    for (QWidget* w : {static_cast<QWidget*>(DBEdit_Nome), static_cast<QWidget*>(DBEdit_Propriedade),
                       static_cast<QWidget*>(edMunicipio)})
        w->setFocusPolicy(Qt::NoFocus);
    DBEdit_Nome->FieldControl::setReadOnly(true);
    DBEdit_Propriedade->FieldControl::setReadOnly(true);
    rotulo(QStringLiteral("Produtor :"), 8, 20, 110, DBEdit_Con_Remetente, grupo);
    rotulo(QStringLiteral("Nome / Razão Social:"), 126, 20, 300, nullptr, grupo);
    rotulo(QStringLiteral("Nº  de Cadastro no Programa"), 560, 20, 210, DBEdit1, grupo);
    rotulo(QStringLiteral("Propriedade"), 8, 62, 200, nullptr, grupo);
    rotulo(QStringLiteral("Município"), 396, 62, 200, nullptr, grupo);

    dbedit_data = campo(p, "dbedit_data", mapas, "map_data", 8, 140, 90);
    rotulo(QStringLiteral("Data Emissão Mapa"), 8, 122, 120, dbedit_data);
    dbSexo = new vorta::ui::DBComboBox(p, QStringLiteral("dbSexo"));
    // The sex is typed as its letter or picked from the list; nothing else is taken.
    dbSexo->setEditable(true);
    dbSexo->setInsertPolicy(QComboBox::NoInsert);
    dbSexo->lineEdit()->setMaxLength(1);
    dbSexo->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[MFmf]")), dbSexo));
    QObject::connect(dbSexo->lineEdit(), &QLineEdit::textEdited, dbSexo, [this](const QString& t) {
        if (t != t.toUpper())
            dbSexo->lineEdit()->setText(t.toUpper());
        vorta::Application::runGuarded([this] { dbSexoChange(dbSexo); });
    });
    dbSexo->setItems({QStringLiteral("M"), QStringLiteral("F")});
    dbSexo->setDataSource(mapas);
    dbSexo->setDataField(QStringLiteral("Aprovado"));
    dbSexo->setGeometry(136, 140, 50, 21);
    rotulo(QStringLiteral("M/F"), 136, 122, 40, dbSexo);
    edLote = campo(p, "edLote", mapas, "map_num_lote", 200, 140, 60);
    rotulo(QStringLiteral("Nºs Lotes"), 200, 122, 70, edLote);

    auto botao = [p](const char* name, const char* caption, int left, int width) {
        auto* b = new SpeedButton(p, QString::fromLatin1(name));
        b->setCaption(QString::fromUtf8(caption));
        b->setBounds(left, 138, width, 25);
        b->setEnabled(false);
        return b;
    };
    BtExcluirItem = botao("BtExcluirItem", "Excluir Animal", 300, 110);
    SpeedButton2 = botao("SpeedButton2", "Importar Arquivo", 414, 120);
    SpeedButton3 = botao("SpeedButton3", "Excluir todos animais", 538, 150);
    rotulo(QStringLiteral("'*' = DIF"), 700, 142, 80);

    DBGrid_ItemNota = new TDBGridX(p, QStringLiteral("DBGrid_ItemNota"));
    DBGrid_ItemNota->setGeometry(8, 170, 776, 250);
    DBGrid_ItemNota->setOptions(vorta::ui::DBGrid::dgEditing | vorta::ui::DBGrid::dgTitles
                                | vorta::ui::DBGrid::dgIndicator | vorta::ui::DBGrid::dgColumnResize
                                | vorta::ui::DBGrid::dgColLines | vorta::ui::DBGrid::dgRowLines
                                | vorta::ui::DBGrid::dgTabs | vorta::ui::DBGrid::dgCancelOnExit);
    vorta::ui::GridColumn seq{QStringLiteral("itm_num_animal"), QStringLiteral("Seq."), 50};
    seq.readOnly = true;
    vorta::ui::GridColumn mat{QStringLiteral("mat_codigo"), QStringLiteral("Sexo/Maturidade"), 110};
    vorta::ui::GridColumn con{QStringLiteral("con_codigo"), QStringLiteral("Conformação"), 100};
    con.pickList = kConformacoes;
    vorta::ui::GridColumn aca{QStringLiteral("aca_codigo"), QStringLiteral("Acabamento"), 90};
    aca.pickList = kAcabamentos;
    vorta::ui::GridColumn peso{QStringLiteral("itm_peso"), QStringLiteral("Peso"), 90};
    vorta::ui::GridColumn tip{QStringLiteral("tip_codigo"), QStringLiteral("Tipificação"), 90};
    tip.pickList = kTipificacoes;
    vorta::ui::GridColumn np{QStringLiteral("itm_classificado"), QStringLiteral("NP"), 40};
    np.readOnly = true;
    DBGrid_ItemNota->setColumns({seq, mat, con, aca, peso, tip, np});
    DBGrid_ItemNota->setReadOnly(true);
    if (DM_MTC)
        DBGrid_ItemNota->setDataSource(DM_MTC->dsItensMapas);
}

void TCadMapas::criaFigura(QWidget* parent, const QString& name, int left, int top, int width)
{
    auto* e = new vorta::ui::Edit(parent, name);
    e->setGeometry(left, top, width, 20);
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setAlignment(Qt::AlignRight);
    m_figuras.insert(name, e);
}

void TCadMapas::criaPaginaResumo()
{
    QWidget* p = TabSheet2;
    auto rotulo = [](QWidget* parent, const QString& caption, int left, int top, int width,
                     Qt::Alignment align = Qt::AlignLeft) {
        auto* l = new Label(parent, caption);
        l->setGeometry(left, top, width, 16);
        l->setAlignment(align | Qt::AlignVCenter);
        return l;
    };
    vorta::db::DataSource* mapas = DM_MTC ? DM_MTC->dsMapas : nullptr;
    DBEdit_Con_Remetente2 = new DBEdit(p, QStringLiteral("DBEdit_Con_Remetente2"));
    DBEdit_Con_Remetente2->setDataSource(mapas);
    DBEdit_Con_Remetente2->setDataField(QStringLiteral("ie_pecuarista"));
    DBEdit_Con_Remetente2->setGeometry(80, 6, 110, 21);
    DBEdit_Con_Remetente2->FieldControl::setReadOnly(true);
    // Only a copy: the raiser is typed on the first page.
    DBEdit_Con_Remetente2->setFocusPolicy(Qt::NoFocus);
    rotulo(p, QStringLiteral("Produtor :"), 8, 8, 70);
    DBEdit_Nome2 = new DBEdit(p, QStringLiteral("DBEdit_Nome2"));
    DBEdit_Nome2->setDataSource(mapas);
    DBEdit_Nome2->setDataField(QStringLiteral("Lk_Fornecedor"));
    DBEdit_Nome2->setGeometry(340, 6, 440, 21);
    DBEdit_Nome2->FieldControl::setReadOnly(true);
    DBEdit_Nome2->setFocusPolicy(Qt::NoFocus);
    rotulo(p, QStringLiteral("Nome / Razão Social:"), 200, 8, 138);

    // One row per class and one per sex; the columns of the figures.
    const char* titulos[] = {"Qtd. Cab.", "Peso (Kg)", "Qtd. Arroba", "Vlr. Arroba", "Base ICMS",
                             "ICMS",      "% Incentivo", "Vlr. Repasse"};
    const int x0 = 84, largura = 84, y0 = 34, altura = 21;
    for (int c = 0; c < 8; ++c)
        rotulo(p, QString::fromUtf8(titulos[c]), x0 + c * (largura + 2), y0, largura, Qt::AlignRight);
    struct Linha {
        const char* caption;
        const char* names[8];
    };
    const Linha linhas[] = {
        {"JD", {"JDQtd", "JDPeso", "JDQtdArr", "JDValorArr", "JDBaseCalc", "JDIcms", "JdIncentivo", "JDVlrRepasse"}},
        {"J2", {"J2Qtd", "J2Peso", "J2QtdArr", "J2ValorArr", "J2BaseCalc", "J2Icms", "J2Incentivo", "J2VlrRepasse"}},
        {"J4", {"J4Qtd", "J4Peso", "J4QtdArr", "J4ValorArr", "J4BaseCalc", "J4Icms", "J4Incentivo", "J4VlrRepasse"}},
        {"TD", {"TDQtd", "TDPeso", "TdQtdArr", "TdValorArr", "TDBaseCalc", "TdIcms", "TdIncentivo", "TDVlrRepasse"}},
        {"T2", {"T2Qtd", "T2Peso", "T2QtdArr", "T2ValorArr", "T2BaseCalc", "T2Icms", "T2Incentivo", "T2VlrRepasse"}},
        {"JFD",
         {"JFDQtd", "JFDPeso", "JFDQtdArr", "JFDValorArr", "JFDBaseCalc", "JFDIcms", "JFDIncentivo", "JFDVlrRepasse"}},
        {"JF2",
         {"JF2Qtd", "JF2Peso", "JF2QtdArr", "JF2ValorArr", "JF2BaseCalc", "JF2Icms", "JF2Incentivo", "JF2VlrRepasse"}},
        {"JF4",
         {"JF4Qtd", "JF4Peso", "JF4QtdArr", "JF4ValorArr", "JF4BaseCalc", "JF4Icms", "JF4Incentivo", "JF4VlrRepasse"}},
        {"Machos",
         {"TotalQtdM", "TotalPesoM", "TotalQtdArrM", "TotalValorArrM", "TotalBaseCalcM", "TotalIcmsM", nullptr,
          "TotalVlrRepasseM"}},
        {"Fêmeas",
         {"TotalQtdF", "TotalPesoF", "TotalQtdArrF", "TotalValorArrF", "TotalBaseCalcF", "TotalIcmsF", nullptr,
          "TotalVlrRepasseF"}},
    };
    int y = y0 + 18;
    for (const Linha& l : linhas) {
        rotulo(p, QString::fromUtf8(l.caption), 8, y + 2, 70);
        for (int c = 0; c < 8; ++c)
            if (l.names[c])
                criaFigura(p, QString::fromLatin1(l.names[c]), x0 + c * (largura + 2), y, largura);
        y += altura + 1;
    }

    // Percentages and values per arroba.
    const int yv = y + 8;
    rotulo(p, QStringLiteral("% Icms"), 8, yv, 70);
    DbEdit_Icms = new vorta::ui::Edit(p, QStringLiteral("DbEdit_Icms"));
    DbEdit_Icms->setGeometry(8, yv + 16, 60, 21);
    DbEdit_Icms->setReadOnly(true);
    DbEdit_Icms->setAlignment(Qt::AlignRight);
    rotulo(p, QStringLiteral("Valor da Pauta Fiscal"), 84, yv, 150);
    rotulo(p, QStringLiteral("Valor Praticado"), 240, yv, 96);
    auto valor = [p](const char* name, int left, int top, bool readOnly) {
        auto* e = new vorta::ui::Edit(p, QString::fromLatin1(name));
        e->setGeometry(left, top, 70, 21);
        e->setReadOnly(readOnly);
        e->setAlignment(Qt::AlignRight);
        return e;
    };
    rotulo(p, QStringLiteral("M"), 84, yv + 18, 12);
    dbedit_valorArrobaMPauta = valor("dbedit_valorArrobaMPauta", 98, yv + 16, true);
    rotulo(p, QStringLiteral("F"), 84, yv + 40, 12);
    dbedit_valorArrobaFPauta = valor("dbedit_valorArrobaFPauta", 98, yv + 38, true);
    dbedit_valorArrobaMPauta->setFocusPolicy(Qt::NoFocus);
    dbedit_valorArrobaFPauta->setFocusPolicy(Qt::NoFocus);
    rotulo(p, QStringLiteral("M"), 240, yv + 18, 12);
    dbEdit_VlrArrobaMacho = valor("dbEdit_VlrArrobaMacho", 254, yv + 16, true);
    rotulo(p, QStringLiteral("F"), 240, yv + 40, 12);
    dbEdit_VlrArrobaFemea = valor("dbEdit_VlrArrobaFemea", 254, yv + 38, true);
    sbTotaliza = new SpeedButton(p, QStringLiteral("sbTotaliza"));
    sbTotaliza->setCaption(QStringLiteral("Totalizar"));
    sbTotaliza->setBounds(8, yv + 40, 70, 23);

    // Animals not classified.
    auto* rejeitados = new QGroupBox(QStringLiteral("RESUMO DE ANIMAIS NÃO CLASSIFICADOS"), p);
    rejeitados->setObjectName(QStringLiteral("GroupBoxRejeitados"));
    rejeitados->setGeometry(340, yv - 4, 440, 72);
    const std::pair<const char*, const char*> machos[] = {{"JD", "recm1"}, {"J2/J4", "recm2"}, {"TD", "recm3"},
                                                          {"T2/T4", "recm4"}, {"I", "recm5"},  {"A", "recm6"},
                                                          {"Total", "recmtotal"}};
    const std::pair<const char*, const char*> femeas[] = {
        {"JFD", "recf1"}, {"JF2/JF4", "recf2"}, {"IF", "recf3"}, {"AF", "recf4"}, {"Total", "recftotal"}};
    int x = 8;
    for (auto [caption, name] : machos) {
        rotulo(rejeitados, QString::fromLatin1(caption), x, 18, 56, Qt::AlignCenter);
        criaFigura(rejeitados, QString::fromLatin1(name), x + 8, 34, 40);
        x += 60;
    }
    rotulo(rejeitados, QStringLiteral("Fêmeas"), 8, 56, 56);
    x = 68;
    for (auto [caption, name] : femeas) {
        rotulo(rejeitados, QString::fromLatin1(caption), x, 56, 42, Qt::AlignRight);
        criaFigura(rejeitados, QString::fromLatin1(name), x + 44, 54, 28);
        x += 72;
    }
    rejeitados->resize(440, 78);
    for (const char* n : {"recf1", "recf2", "recf3", "recf4", "recftotal"})
        m_figuras.value(QString::fromLatin1(n))->resize(28, 18);

    // Incentive bands.
    const int yb = yv + 80;
    auto* faixas = new QGroupBox(QStringLiteral("TOTAL DE INCENTIVO A REPASSAR AO PRODUTOR"), p);
    faixas->setObjectName(QStringLiteral("GroupBoxIncentivo"));
    faixas->setGeometry(340, yb, 440, 58);
    x = 8;
    for (auto [caption, name] : {std::pair{"67%", "TotIncentivo67"}, {"50%", "TotIncentivo50"},
                                 {"33%", "TotIncentivo33"}, {"TOTAL", "TotIncentivoTotal"}}) {
        // Below the group's title, which is taller in this interface font than the
        // suite's.
        rotulo(faixas, QString::fromLatin1(caption), x, 18, 100, Qt::AlignRight);
        criaFigura(faixas, QString::fromLatin1(name), x, 34, 100);
        x += 106;
    }
    rotulo(p, QStringLiteral("Qtd. Cab. Tipificadas"), 8, yb + 4, 140);
    criaFigura(p, QStringLiteral("TotalQtdGeral"), 150, yb + 2, 60);

    // Veterinarian and invoices.
    const int yt = yb + 30;
    rotulo(p, QStringLiteral("Méd. Veterinário"), 8, yt, 140);
    DBL_Tecnico = new vorta::ui::DBLookupComboBox(p, QStringLiteral("DBL_Tecnico"));
    DBL_Tecnico->setGeometry(8, yt + 16, 230, 21);
    DBL_Tecnico->setKeyField(QStringLiteral("Tec_Codigo"));
    DBL_Tecnico->setListField(QStringLiteral("Tec_Nome"));
    if (DM_MTC)
        DBL_Tecnico->setListSource(DM_MTC->dsTecnicos);
    DBL_Tecnico->setDataSource(mapas);
    DBL_Tecnico->setDataField(QStringLiteral("Tec_Codigo"));
    DBL_Tecnico->setReadOnly(true);
    btVeterinario = new SpeedButton(p, QStringLiteral("btVeterinario"));
    btVeterinario->setCaption(QStringLiteral("Veterinário"));
    btVeterinario->setBounds(242, yt + 14, 86, 25);
    btVeterinario->setEnabled(false);
    const int yn = yt + 44;
    rotulo(p, QStringLiteral("Notas Fiscais de Entrada"), 8, yn, 200);
    cbNotas = new TComboBoxMapas(p, QStringLiteral("cbNotas"));
    cbNotas->setGeometry(8, yn + 16, 230, 21);
    SpeedButton1 = new SpeedButton(p, QStringLiteral("SpeedButton1"));
    SpeedButton1->setCaption(QStringLiteral("Excluir"));
    SpeedButton1->setBounds(242, yn + 14, 86, 25);

    paprovado = new Panel(p, QStringLiteral("paprovado"));
    paprovado->setGeometry(340, yb + 62, 440, 52);
    paprovado->setBevel(Panel::Bevel::Raised);
    paprovado->setCaption(QStringLiteral("\"Sem direito aos benefícios fiscais conforme Resolução Conjunta "
                                         "Kalvi/Pradel nº 033 de 16 de junho de 2003\""));
    // Longer than the panel is wide in the suite's font: on two lines rather than cut.
    paprovado->setWordWrap(true);
    QPalette vermelho = paprovado->palette();
    vermelho.setColor(QPalette::WindowText, Qt::red);
    paprovado->setPalette(vermelho);
    QFont negrito = paprovado->font();
    negrito.setBold(true);
    paprovado->setFont(negrito);
    paprovado->hide();
}

// ---- state ------------------------------------------------------------------------

bool TCadMapas::mapaEmEdicao() const
{
    return DM_MTC && editando(DM_MTC->TblMapas);
}

bool TCadMapas::podeAlterarAnimais() const
{
    return mapaEmEdicao() && btGravar->isEnabled() && DM_MTC->dbMTC->inTransaction();
}

QString TCadMapas::inscricaoFrigorifico() const
{
    const QString t = lbInscricaoFrigorifico->text();
    return t.mid(0, 2) + t.mid(3, 3) + t.mid(7, 3) + t.mid(11, 1);
}

void TCadMapas::editaveis(bool on)
{
    for (DBEdit* e : {DBEdit_Con_Remetente, DBEdit1, dbedit_data, edLote})
        e->FieldControl::setReadOnly(!on);
    DBL_Tecnico->setReadOnly(!on);
    dbEdit_VlrArrobaMacho->setReadOnly(!on);
    dbEdit_VlrArrobaFemea->setReadOnly(!on);
    DBGrid_ItemNota->setReadOnly(!on);
    DM_MTC->dsItensMapas->setAutoEdit(on);
    for (SpeedButton* b : {BtExcluirItem, SpeedButton2, SpeedButton3, SpeedButton1})
        b->setEnabled(on);
}

void TCadMapas::botoesDaLista()
{
    const bool mapas = hasRecords();
    for (SpeedButton* b : {btPrimeiro, btAnterior, btProximo, btUltimo, btIncluir, btimprimir, btAlterar, btExcluir,
                           btSair, btConsultaSimples})
        b->setEnabled(true);
    btConsultaGrid->setEnabled(false);
    if (!mapas)
        for (SpeedButton* b : {btPrimeiro, btAnterior, btProximo, btUltimo, btimprimir, btAlterar, btExcluir,
                               btConsultaSimples, btConsultaGrid})
            b->setEnabled(false);
}

void TCadMapas::modoEdicao()
{
    Panel_Busca->hide();
    PageControl1->setActivePage(TabSheet1);
    msgStatus->setPanelText(0, QString());
    DBGrid->setEnabled(false);
    buttonsEditing();
    btimprimir->setEnabled(false);
    dbSexo->setEnabled(true);
    btVeterinario->setEnabled(true);
    btConsultaGrid->move(182, 2);
    btConsultaGrid->show();
    btConsultaGrid->setEnabled(false);
    btConsultaSimples->hide();
    pagina1->show();
    pagina1->raise();
    pagina1->setAlign(Align::Client);
    editaveis(true);
}

void TCadMapas::voltaNavegacao(bool rollback)
{
    paprovado->hide();
    AlterandoMapa = false;
    for (vorta::db::DataSet* ds : {static_cast<vorta::db::DataSet*>(DM_MTC->TblMapasItens),
                                   static_cast<vorta::db::DataSet*>(DM_MTC->TblContribuinteComplementoMapas),
                                   static_cast<vorta::db::DataSet*>(DM_MTC->TblMapas)})
        if (editando(ds))
            ds->cancel();
    buttonsBrowsing();
    btimprimir->setEnabled(true);
    showDetailToggle();
    btConsultaGrid->setEnabled(true);
    if (rollback && DM_MTC->dbMTC->inTransaction()) {
        DM_MTC->dbMTC->rollback();
        DM_MTC->TblMapas->refresh();
        if (DM_MTC->TblMapasItens->active()) {
            DM_MTC->TblMapasItens->refresh();
            DBGrid_ItemNota->setSelectedIndex(0);
        }
    } else {
        DM_MTC->TblMapas->refresh();
    }
    botoesDaLista();
    btConsultaGrid->setEnabled(hasRecords());
    editaveis(false);
    dbSexo->setEnabled(false);
    btVeterinario->setEnabled(false);
    Resumo.LimpaCampos();
    MostraResumo();
    DM_MTC->TblMapasItens->close();
    DM_MTC->TblMapasResumo->close();
    cbNotas->clear();
    btConsultaGridClick(btConsultaGrid);
}

void TCadMapas::focaCampo(TResumoMapa::TCampo campo)
{
    using C = TResumoMapa::TCampo;
    PageControl1->setActivePage(campo == C::Veterinario ? TabSheet2 : TabSheet1);
    QWidget* alvo = nullptr;
    switch (campo) {
    case C::Data: alvo = dbedit_data; break;
    case C::Sexo: alvo = dbSexo; break;
    case C::Lote: alvo = edLote; break;
    case C::CadastroPrograma: alvo = DBEdit1; break;
    case C::Veterinario: alvo = DBL_Tecnico; break;
    }
    // The date's own exit must not answer the refusal a second time.
    m_tag = 5;
    alvo->setFocus();
    m_tag = 0;
}

void TCadMapas::gravaEdicaoEmCurso()
{
    // What is typed in the focused box reaches its field before the checks read it.
    QWidget* foco = QApplication::focusWidget();
    if (auto* c = dynamic_cast<vorta::ui::FieldControl*>(foco))
        if (c->dataSource() && c->dataSource()->dataSet() && editando(c->dataSource()->dataSet()))
            c->dataLink().updateRecord();
    // A practised value typed and not yet left counts as well.
    if (foco == dbEdit_VlrArrobaMacho)
        lePraticado(dbEdit_VlrArrobaMacho, Resumo.dbEdit_VlrArrobaMacho);
    else if (foco == dbEdit_VlrArrobaFemea)
        lePraticado(dbEdit_VlrArrobaFemea, Resumo.dbEdit_VlrArrobaFemea);
}

void TCadMapas::MostraResumo()
{
    // Shown after every save and move: an edit is set only when its figure changed.
    auto show = [this](const char* name, const QString& text) {
        auto found = m_figurasPorLiteral.constFind(name);
        if (found == m_figurasPorLiteral.constEnd())
            found = m_figurasPorLiteral.insert(name, m_figuras.value(QString::fromLatin1(name)));
        vorta::ui::Edit* e = *found;
        if (e && e->text() != text)
            e->setText(text);
    };
    // Most figures repeat (zeros above all), across maps too.
    if (m_valoresFormatados.size() > 1024)
        m_valoresFormatados.clear();
    auto money = [this, &show](const char* name, const Money& m) {
        auto it = m_valoresFormatados.constFind(m.cents());
        if (it == m_valoresFormatados.constEnd())
            it = m_valoresFormatados.insert(m.cents(), vorta::db::formatFloatBr(m.toDouble(), kFormatoValor));
        show(name, *it);
    };
    auto count = [&show](const char* name, int n) { show(name, QString::number(n)); };
    struct Row {
        const TLinhaResumo* row;
        const char* names[8];
    };
    const Row rows[] = {
        {&Resumo.JD, {"JDQtd", "JDPeso", "JDQtdArr", "JDValorArr", "JDBaseCalc", "JDIcms", "JdIncentivo", "JDVlrRepasse"}},
        {&Resumo.J2, {"J2Qtd", "J2Peso", "J2QtdArr", "J2ValorArr", "J2BaseCalc", "J2Icms", "J2Incentivo", "J2VlrRepasse"}},
        {&Resumo.J4, {"J4Qtd", "J4Peso", "J4QtdArr", "J4ValorArr", "J4BaseCalc", "J4Icms", "J4Incentivo", "J4VlrRepasse"}},
        {&Resumo.TD, {"TDQtd", "TDPeso", "TdQtdArr", "TdValorArr", "TDBaseCalc", "TdIcms", "TdIncentivo", "TDVlrRepasse"}},
        {&Resumo.T2, {"T2Qtd", "T2Peso", "T2QtdArr", "T2ValorArr", "T2BaseCalc", "T2Icms", "T2Incentivo", "T2VlrRepasse"}},
        {&Resumo.JFD,
         {"JFDQtd", "JFDPeso", "JFDQtdArr", "JFDValorArr", "JFDBaseCalc", "JFDIcms", "JFDIncentivo", "JFDVlrRepasse"}},
        {&Resumo.JF2,
         {"JF2Qtd", "JF2Peso", "JF2QtdArr", "JF2ValorArr", "JF2BaseCalc", "JF2Icms", "JF2Incentivo", "JF2VlrRepasse"}},
        {&Resumo.JF4,
         {"JF4Qtd", "JF4Peso", "JF4QtdArr", "JF4ValorArr", "JF4BaseCalc", "JF4Icms", "JF4Incentivo", "JF4VlrRepasse"}},
        {&Resumo.TotalM,
         {"TotalQtdM", "TotalPesoM", "TotalQtdArrM", "TotalValorArrM", "TotalBaseCalcM", "TotalIcmsM", nullptr,
          "TotalVlrRepasseM"}},
        {&Resumo.TotalF,
         {"TotalQtdF", "TotalPesoF", "TotalQtdArrF", "TotalValorArrF", "TotalBaseCalcF", "TotalIcmsF", nullptr,
          "TotalVlrRepasseF"}},
    };
    for (const Row& r : rows) {
        count(r.names[0], r.row->Qtd);
        money(r.names[1], r.row->Peso);
        money(r.names[2], r.row->QtdArr);
        money(r.names[3], r.row->ValorArr);
        money(r.names[4], r.row->BaseCalc);
        money(r.names[5], r.row->Icms);
        if (r.names[6])
            money(r.names[6], r.row->Incentivo);
        money(r.names[7], r.row->VlrRepasse);
    }
    const std::pair<const char*, int> counters[] = {
        {"recm1", Resumo.recm1}, {"recm2", Resumo.recm2}, {"recm3", Resumo.recm3}, {"recm4", Resumo.recm4},
        {"recm5", Resumo.recm5}, {"recm6", Resumo.recm6}, {"recmtotal", Resumo.recmtotal}, {"recf1", Resumo.recf1},
        {"recf2", Resumo.recf2}, {"recf3", Resumo.recf3}, {"recf4", Resumo.recf4}, {"recftotal", Resumo.recftotal},
        {"TotalQtdGeral", Resumo.TotalQtdGeral}};
    for (auto [name, n] : counters)
        count(name, n);
    money("TotIncentivo67", Resumo.TotIncentivo67);
    money("TotIncentivo50", Resumo.TotIncentivo50);
    money("TotIncentivo33", Resumo.TotIncentivo33);
    money("TotIncentivoTotal", Resumo.TotIncentivoTotal);
    DbEdit_Icms->setText(vorta::db::formatFloatBr(Resumo.DbEdit_Icms.toDouble(), kFormatoValor));
    dbedit_valorArrobaMPauta->setText(vorta::db::formatFloatBr(Resumo.dbedit_valorArrobaMPauta.toDouble(), QStringLiteral("##0.00")));
    dbedit_valorArrobaFPauta->setText(vorta::db::formatFloatBr(Resumo.dbedit_valorArrobaFPauta.toDouble(), QStringLiteral("##0.00")));
    dbEdit_VlrArrobaMacho->setText(vorta::db::formatFloatBr(Resumo.dbEdit_VlrArrobaMacho.toDouble(), QStringLiteral("##0.00")));
    dbEdit_VlrArrobaFemea->setText(vorta::db::formatFloatBr(Resumo.dbEdit_VlrArrobaFemea.toDouble(), QStringLiteral("##0.00")));
    paprovado->setVisible(Resumo.paprovado);
}

// ---- showing, browsing, viewing ---------------------------------------------------

void TCadMapas::FormShow(vorta::ui::Form* sender)
{
    paprovado->hide();
    for (vorta::db::Table* t : {DM_MTC->TblMunicipio, DM_MTC->TblContribuinte, DM_MTC->TblMapas,
                                DM_MTC->TblMapasItens, DM_MTC->TblTecnicos, DM_MTC->TblContribuinteComplementoMapas})
        if (!t->active())
            t->open();
    vorta::db::Query* q = DM_MTC->QryContribuinte;
    const QString ie = q->active() ? q->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString() : QString();
    lbInscricaoFrigorifico->setCaption(vorta::EditMask(MascaraDesteConTipo(QStringLiteral("IE"))).format(ie));
    lbNomeFrigorifico->setCaption(q->active() ? q->fieldByName(QStringLiteral("Con_Nome"))->asString() : QString());
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    TFtemplate::FormShow(sender);
    botoesDaLista();
    editaveis(false);
    dbSexo->setEnabled(false);
    pagina1->hide();
    MostraResumo();
}

void TCadMapas::FormKeyDown(vorta::ui::Form*, int&, Qt::KeyboardModifiers) {}

void TCadMapas::FormKeyUp(vorta::ui::Form*, int&, Qt::KeyboardModifiers) {}

void TCadMapas::FormKeyPress(vorta::ui::Form*, QChar& key)
{
    if (key == QChar(13) && !qobject_cast<vorta::ui::DBGrid*>(activeControl())) {
        key = QChar(0);
        selectNext();
    }
}

void TCadMapas::DBGridKeyDown(QWidget* sender, int& key, Qt::KeyboardModifiers shift)
{
    TFtemplate::DBGridKeyDown(sender, key, shift);
}

void TCadMapas::DBGridKeyUp(QWidget*, int&, Qt::KeyboardModifiers) {}

void TCadMapas::btPrimeiroClick(QWidget* sender)
{
    TFtemplate::btPrimeiroClick(sender);
    mostraMapaVisto();
}

void TCadMapas::btAnteriorClick(QWidget* sender)
{
    TFtemplate::btAnteriorClick(sender);
    mostraMapaVisto();
}

void TCadMapas::btProximoClick(QWidget* sender)
{
    TFtemplate::btProximoClick(sender);
    mostraMapaVisto();
}

void TCadMapas::btUltimoClick(QWidget* sender)
{
    TFtemplate::btUltimoClick(sender);
    mostraMapaVisto();
}

void TCadMapas::mostraMapaVisto()
{
    // Only the details on view follow the list: the animals do by themselves, the
    // summary, the invoices and the raiser's municipality are read for the map.
    if (pagina1->isHidden() || btGravar->isEnabled() || !hasRecords())
        return;
    carregaMapa();
    preencheNotas();
    Resumo.CarregaResumo();
    MostraResumo();
}

void TCadMapas::btConsultaSimplesClick(QWidget* sender)
{
    TFtemplate::btConsultaSimplesClick(sender);
    Panel_Busca->hide();
    DBGrid->setEnabled(false);
    btConsultaGrid->setEnabled(true);
    BtExcluirItem->setEnabled(false);
    if (DM_Comuns && !DM_Comuns->Tb_Contribuinte->active())
        DM_Comuns->Tb_Contribuinte->open();
    mostraMapaVisto();
}

void TCadMapas::btConsultaGridClick(QWidget* sender)
{
    TFtemplate::btConsultaGridClick(sender);
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
}

void TCadMapas::carregaMapa()
{
    vorta::db::Table* m = DM_MTC->TblMapas;
    Resumo.DbEdit_Icms = m->fieldByName(QStringLiteral("map_vlr_icms"))->asMoney();
    Resumo.dbEdit_VlrArrobaMacho = m->fieldByName(QStringLiteral("map_vlr_arrobaM"))->asMoney();
    Resumo.dbEdit_VlrArrobaFemea = m->fieldByName(QStringLiteral("map_vlr_arrobaF"))->asMoney();
    QString municipio;
    buscamunicipio(m->fieldByName(QStringLiteral("ie_pecuarista"))->asString(), municipio);
    edMunicipio->setText(municipio);
    mascaraDoRemetente();
    for (vorta::db::Table* t : {DM_MTC->TblMapasItens, DM_MTC->TblMapasResumo}) {
        t->close();
        t->open();
    }
}

// ---- include, alter, save, cancel, delete ------------------------------------------

void TCadMapas::btIncluirClick(QWidget*)
{
    cbNotas->clear();
    Resumo.dbEdit_VlrArrobaMacho = Resumo.dbEdit_VlrArrobaFemea = Money();
    AlterandoMapa = false;
    edMunicipio->clear();
    // A new raiser is typed without the mask of the last one: at most 9 characters.
    DM_MTC->TblMapas->fieldByName(QStringLiteral("ie_pecuarista"))->setEditMask(QString());
    DBEdit_Con_Remetente->setEditMask(QString());
    DBEdit_Con_Remetente->setMaxLength(9);
    modoEdicao();
    vorta::db::Database* db = DM_MTC->dbMTC;
    db->startTransaction();
    try {
        // The animals open on the new, empty map: the last map's are never read for it.
        ControlesDesligados desligados(DM_MTC->TblMapasItens);
        DM_MTC->dsMapas->setAutoEdit(true);
        DM_MTC->TblMapas->insert();
        DM_MTC->TblMapasItens->open();
        DM_MTC->TblMapas->fieldByName(QStringLiteral("map_num_lote"))->setAsString(QStringLiteral("00/00"));
        if (DM_Comuns) {
            vorta::db::Table* t = DM_Comuns->Tb_Contribuinte;
            if (!t->active())
                t->open();
            if (!t->locate(QStringLiteral("Con_IECNPJCPF"),
                           DM_MTC->TblMapas->fieldByName(QStringLiteral("ie_pecuarista"))->asString()))
                t->close();
        }
        Resumo.CarregaParametros();
        Resumo.LimpaCampos();
        MostraResumo();
    } catch (...) {
        voltaNavegacao(true);
        throw;
    }
    DBEdit_Con_Remetente->setFocus();
    DBEdit_Con_Remetente->selectAll();
}

void TCadMapas::btAlterarClick(QWidget*)
{
    if (!hasRecords())
        return;
    vorta::db::Table* m = DM_MTC->TblMapas;
    modoEdicao();
    preencheNotas();
    AlterandoMapa = true;
    vorta::db::Database* db = DM_MTC->dbMTC;
    db->startTransaction();
    try {
        DBGrid_ItemNota->setReadOnly(false);
        DM_MTC->dsItensMapas->setAutoEdit(true);
        DM_MTC->dsMapas->setAutoEdit(true);
        carregaMapa();
        m->edit();
        posicionaComplemento();
        const bool temSexo = !m->fieldByName(QStringLiteral("Aprovado"))->asString().isEmpty();
        Resumo.CarregaResumo();
        MostraResumo();
        if (temSexo) {
            dbSexo->setEnabled(false);
            CarregaLista();
        } else {
            dbSexo->setEnabled(true);
        }
    } catch (const vorta::EAbort&) {
        // A refusal while loading (no movement for the month) leaves the map open for
        // correction or cancel, as a refused save does.
        return;
    } catch (...) {
        voltaNavegacao(true);
        throw;
    }
    DBEdit_Con_Remetente->setFocus();
}

void TCadMapas::btGravarClick(QWidget*)
{
    gravaEdicaoEmCurso();
    // The grid does not follow the totals, the post and the refresh of the save: its
    // animals are read again once, if at all, so a save grows with the animals alone.
    ControlesDesligados desligados(DM_MTC->TblMapasItens);
    Resumo.Gravar();
    // Browsing shows the summary cleared: the figures saved are shown only when the
    // return to browsing fails on the way.
    try {
        voltaNavegacao(false);
    } catch (...) {
        MostraResumo();
        throw;
    }
    status91();
}

void TCadMapas::btCancelarClick(QWidget*)
{
    // Leaving the date because of the cancel checks nothing.
    m_tag = 5;
    voltaNavegacao(true);
    m_tag = 0;
}

void TCadMapas::btExcluirClick(QWidget*)
{
    msgStatus->setPanelText(0, QString());
    if (!hasRecords() || MsgSimNaoBD(92) != vorta::ui::mrYes)
        return;
    vorta::db::Database* db = DM_MTC->dbMTC;
    const qint64 codigo = DM_MTC->TblMapas->fieldByName(QStringLiteral("map_codigo"))->asInteger();
    try {
        vorta::db::TransactionGuard guard(*db);
        vorta::db::Query* q = DM_MTC->QryGeral;
        for (const char* sql : {"Delete from qel_notasmapa where map_codigo=:vcodigo",
                                "Delete from qel_mapas_itens where map_codigo=:vcodigo",
                                "Delete from qel_mapas_Resumo where map_codigo=:vcodigo",
                                "Delete from qel_mapas where map_codigo=:vcodigo"}) {
            q->close();
            q->setSql(QString::fromLatin1(sql));
            q->paramByName(QStringLiteral("vcodigo"))->setAsInteger(codigo);
            q->execSql();
        }
        DM_MTC->TblMapas->refresh();
        guard.commit(true);
    } catch (...) {
        // The guard rolled back; the user learns that nothing was deleted.
        DM_MTC->TblMapas->refresh();
        MsgErroBD(33);
        vorta::Abort();
    }
    botoesDaLista();
    // Deleted while viewing: the next map is viewed, or the empty list shown.
    if (!pagina1->isHidden()) {
        if (hasRecords())
            btConsultaSimplesClick(btConsultaSimples);
        else
            btConsultaGridClick(btConsultaGrid);
    }
}

void TCadMapas::BtSairGeralClick(QWidget*)
{
    if (MsgSimNaoBD(440) == vorta::ui::mrYes)
        vorta::Application::instance()->terminate();
}

void TCadMapas::Edit_BuscaChange(QWidget*)
{
    if (RadioGroup_Notas->itemIndex() != 0 || !DM_MTC->TblMapas->active())
        return;
    const QString texto = Edit_Busca->text().trimmed();
    if (!vorta::tryStrToInt(texto))
        return;
    DM_MTC->TblMapas->locate(QStringLiteral("map_codigo"), texto, vorta::db::loPartialKey);
}

// ---- raiser ---------------------------------------------------------------------

void TCadMapas::recusaRemetente(bool clearName)
{
    vorta::db::Table* m = DM_MTC->TblMapas;
    if (editando(m))
        m->fieldByName(QStringLiteral("ie_pecuarista"))->clear();
    if (clearName)
        edMunicipio->clear();
    DBEdit_Con_Remetente->setFocus();
    DBEdit_Con_Remetente->selectAll();
    vorta::Abort();
}

void TCadMapas::DBEdit_Con_RemetenteExit(QWidget*)
{
    if (DBEdit_Con_Remetente->FieldControl::readOnly() || !DM_MTC)
        return;
    vorta::db::Table* m = DM_MTC->TblMapas;
    if (editando(m))
        DBEdit_Con_Remetente->dataLink().updateRecord();
    vorta::db::Field* campo = m->fieldByName(QStringLiteral("ie_pecuarista"));
    struct Mascara {
        TCadMapas* f;
        // Whatever happened, the box shows the raiser under the mask of his kind.
        ~Mascara() { f->mascaraDoRemetente(); }
    } mascara{this};

    if (DM_Comuns) {
        DM_Comuns->InscricaoPadrao = campo->asString();
        vorta::db::Table* rd = DM_Comuns->Tb_RemDest;
        rd->close();
        rd->setFilter(kFiltroRemetentes);
        rd->setFiltered(true);
        rd->open();
    }
    if (editando(m)) {
        const QString texto = campo->asString().trimmed();
        if (!texto.isEmpty()) {
            vorta::db::Table* rd = DM_Comuns->Tb_RemDest;
            if (rd->locate(QStringLiteral("Con_IECNPJCPF"), texto, vorta::db::loCaseInsensitive)) {
                campo->setAsString(rd->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
                // A raiser registered since the map's lookups were read, in another window.
                if (m->fieldByName(QStringLiteral("Lk_Fornecedor"))->isNull()) {
                    DM_MTC->TblContribuinte->refresh();
                    campo->setAsString(rd->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
                }
            } else if (MsgSimNaoBD(98) == vorta::ui::mrYes) {
                CancelaContrib.clear();
                if (AbreCadastroPecuaristaInclusao)
                    AbreCadastroPecuaristaInclusao();
                if (CancelaContrib.trimmed().isEmpty())
                    recusaRemetente(true);
                // The new raiser shows in every list that looks him up.
                rd->refresh();
                DM_MTC->TblContribuinte->refresh();
                campo->setAsString(CancelaContrib.trimmed());
                rd->locate(QStringLiteral("Con_IECNPJCPF"), CancelaContrib.trimmed(), vorta::db::loCaseInsensitive);
            } else {
                recusaRemetente(true);
            }
        } else {
            vorta::db::Table* t = DM_Comuns->Tb_Contribuinte;
            t->close();
            t->setFilter(kFiltroRemetentes);
            t->setFiltered(true);
            t->open();
            CancelaProd = false;
            vorta::createInto<TSel_Contribuinte>(Sel_Contribuinte, vorta::Application::instance())->showModal();
            vorta::Component::free(Sel_Contribuinte);
            if (!CancelaProd || t->isEmpty())
                recusaRemetente(true);
            campo->setAsString(t->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
        }
    }

    const QString remetente = campo->asString();
    if (DM_Comuns) {
        vorta::db::Table* t = DM_Comuns->Tb_Contribuinte;
        if (!t->active())
            t->open();
        t->locate(QStringLiteral("Con_IECNPJCPF"), remetente);
    }
    if (!remetente.isEmpty() && remetente == inscricaoFrigorifico()) {
        MsgErroBD(116);
        recusaRemetente(true);
    }
    if (!remetente.isEmpty()) {
        QString municipio;
        buscamunicipio(remetente, municipio);
        edMunicipio->setText(municipio);
        if (editando(m))
            posicionaComplemento();
        if (!DM_MTC->TblContribuinteComplementoMapas->fieldByName(QStringLiteral("cco_num_cad_pradel"))->asString().isEmpty())
            dbedit_data->setFocus();
        else
            DBEdit1->setFocus();
    }
}

void TCadMapas::mascaraDoRemetente()
{
    vorta::db::Field* campo = DM_MTC->TblMapas->fieldByName(QStringLiteral("ie_pecuarista"));
    const QString mask =
        MascaraDesteConTipo(DM_MTC->TblMapas->fieldByName(QStringLiteral("Lk_FornecedorTipo"))->asString());
    campo->setEditMask(mask);
    // The mask's own length governs a masked box.
    DBEdit_Con_Remetente->setMaxLength(32767);
    for (DBEdit* e : {DBEdit_Con_Remetente, DBEdit_Con_Remetente2}) {
        e->setEditMask(mask);
        e->setValue(campo->asString());
    }
}

void TCadMapas::posicionaComplemento()
{
    vorta::db::Table* c = DM_MTC->TblContribuinteComplementoMapas;
    const QString remetente = DM_MTC->TblMapas->fieldByName(QStringLiteral("ie_pecuarista"))->asString();
    if (!c->active())
        c->open();
    if (editando(c)) {
        if (c->fieldByName(QStringLiteral("con_iecnpjcpf"))->asString() == remetente)
            return;
        c->cancel();
    }
    if (remetente.isEmpty())
        return;
    // The raiser keeps one complement row: his own is edited, a new one only when he has none.
    if (c->isEmpty()) {
        c->insert();
        c->fieldByName(QStringLiteral("con_iecnpjcpf"))->setAsString(remetente);
    } else {
        c->edit();
    }
}

void TCadMapas::DBEdit1Exit(QWidget*)
{
    dbedit_data->setFocus();
}

void TCadMapas::buscamunicipio(const QString& inscricao, QString& texto)
{
    // Asked for each raiser typed and each map viewed: one statement kept prepared.
    static const QString sql = QStringLiteral("select m.mun_descricao from contribuinte c, municipio m "
                                              "where c.con_iecnpjcpf = ?1 and c.mun_propriedade = mun_codigo");
    vorta::db::Connection& c = *DM_MTC->dbMTC->connection();
    sqlite3_stmt* st = c.prepare(sql);
    vorta::db::StatementReset reset(st);
    vorta::db::bindValue(st, 1, inscricao);
    const int rc = sqlite3_step(st);
    c.check(rc, sql);
    texto = rc != SQLITE_ROW ? QStringLiteral("Município não encontrado")
                             : vorta::db::columnValue(st, 0, vorta::db::FieldType::String).toString();
}

void TCadMapas::BuscaSIF(const QString& inscricao, QString& texto)
{
    vorta::db::Query* q = DM_MTC->QryGeral;
    q->close();
    q->setSql(QStringLiteral("select * from qel_contribuinte_complemento where con_iecnpjcpf=:vinsc"));
    q->paramByName(QStringLiteral("vinsc"))->setAsString(inscricao);
    q->open();
    texto = q->isEmpty() ? QStringLiteral("000000") : q->fieldByName(QStringLiteral("cco_num_sif"))->asString();
    q->close();
}

bool TCadMapas::VerificaMapaDia(const QString& raiser, const QString& sex, const QDate& date)
{
    return DM_MTC->VerificaMapaDia(raiser, sex, date);
}

// ---- date and sex -----------------------------------------------------------------

void TCadMapas::DBEdit_DataExit(QWidget*)
{
    if (m_tag == 5) {
        m_tag = 0;
        return;
    }
    m_tag = 0;
    if (!mapaEmEdicao())
        return;
    vorta::db::Field* campo = DM_MTC->TblMapas->fieldByName(QStringLiteral("map_data"));
    bool lida = true;
    try {
        dbedit_data->dataLink().updateRecord();
    } catch (const vorta::EAbort&) {
        throw;
    } catch (const std::exception&) {
        lida = false;
    }
    const QDate data = campo->asDate();
    if (!lida || !data.isValid()) {
        MsgErroBD(458);
        // The box shows the date the map holds, to be typed again.
        dbedit_data->setValue(campo->isNull() ? QString() : data.toString(QStringLiteral("ddMMyyyy")));
        dbedit_data->setFocus();
        return;
    }
    if (!Resumo.VerificaMovimento(data)) {
        MsgErroBD(1669);
        PageControl1->setActivePage(TabSheet1);
        dbedit_data->setFocus();
    }
}

void TCadMapas::dbSexoChange(QWidget*)
{
    CarregaLista();
}

void TCadMapas::CarregaLista()
{
    DBGrid_ItemNota->column(1).pickList = TDM_MTC::MaturidadesDoSexo(dbSexo->currentText());
}

// ---- animals --------------------------------------------------------------------

void TCadMapas::BtExcluirItemClick(QWidget*)
{
    if (!podeAlterarAnimais())
        return;
    vorta::db::Table* itens = DM_MTC->TblMapasItens;
    if (itens->isEmpty())
        return;
    if (editando(itens))
        itens->cancel();
    // The animal with the highest number, whatever row is selected.
    const qint64 mapa = DM_MTC->TblMapas->fieldByName(QStringLiteral("map_codigo"))->asInteger();
    vorta::db::Query* q = DM_MTC->QryGeral;
    q->close();
    q->setSql(QStringLiteral("select max(itm_num_animal) as ultimo from qel_mapas_itens where map_codigo = :vmapa"));
    q->paramByName(QStringLiteral("vmapa"))->setAsInteger(mapa);
    q->open();
    const qint64 ultimo = q->fieldByName(QStringLiteral("ultimo"))->asInteger();
    q->close();
    if (itens->locate(QStringLiteral("itm_num_animal"), ultimo))
        itens->deleteRecord();
    sbTotalizaClick(sbTotaliza);
}

void TCadMapas::SpeedButton3Click(QWidget*)
{
    if (!podeAlterarAnimais())
        return;
    if (MsgSimNao(QStringLiteral("Deseja Excluir todos os animais informados  ?")) != vorta::ui::mrYes)
        return;
    vorta::db::Table* itens = DM_MTC->TblMapasItens;
    if (editando(itens))
        itens->cancel();
    while (!itens->isEmpty()) {
        itens->first();
        itens->deleteRecord();
    }
}

void TCadMapas::SpeedButton2Click(QWidget*)
{
    if (!podeAlterarAnimais())
        return;
    vorta::db::Table* itens = DM_MTC->TblMapasItens;
    if (editando(itens))
        itens->cancel();
    if (!itens->isEmpty()) {
        info(QStringLiteral("Erro. O mapa deve estar vazio para permitir a importação de arquivos."));
        return;
    }
    vorta::ui::FileRequest pedido;
    pedido.mode = vorta::ui::FileRequest::Mode::Open;
    pedido.filter = QStringLiteral("*.txt");
    const std::optional<QString> nome = vorta::ui::dialogService().file(pedido);
    if (!nome)
        return;
    QFile arquivo(*nome);
    if (!arquivo.open(QIODevice::ReadOnly)) {
        info(QStringLiteral("Erro ao importar arquivo!"));
        return;
    }
    const QString texto = vorta::fromCp1252(arquivo.readAll());
    arquivo.close();
    // The lines are views into the file's text: none is copied out.
    QList<QStringView> linhas = QStringView(texto).split(QLatin1Char('\n'));
    // A last line break ends the last line; it starts no empty one.
    if (!linhas.isEmpty() && linhas.last().isEmpty())
        linhas.removeLast();

    const QString sexo = DM_MTC->TblMapas->fieldByName(QStringLiteral("Aprovado"))->asString();
    const QStringList maturidades = TDM_MTC::MaturidadesDoSexo(sexo);
    QSet<int> numeros;
    // The animal's fields are declared ones: they stay while the lines are read.
    vorta::db::Field* const fNumero = itens->fieldByName(QStringLiteral("itm_num_animal"));
    vorta::db::Field* const fMaturidade = itens->fieldByName(QStringLiteral("mat_codigo"));
    vorta::db::Field* const fConformacao = itens->fieldByName(QStringLiteral("con_codigo"));
    vorta::db::Field* const fAcabamento = itens->fieldByName(QStringLiteral("aca_codigo"));
    vorta::db::Field* const fPeso = itens->fieldByName(QStringLiteral("itm_peso"));
    vorta::db::Field* const fTipificacao = itens->fieldByName(QStringLiteral("tip_codigo"));
    vorta::db::Field* const fClassificado = itens->fieldByName(QStringLiteral("itm_classificado"));
    // Nothing shows the lines while they are read: the grid follows once at the end,
    // and the codes' lookups are taken when a row is read, not at each value set.
    itens->disableControls();
    itens->autoCalcFields = false;
    struct Reativa {
        vorta::db::DataSet* ds;
        ~Reativa()
        {
            ds->autoCalcFields = true;
            ds->enableControls();
        }
    } reativa{itens};
    try {
        for (int i = 1; i <= linhas.size(); ++i) {
            // The columns are read in place: only the values set are copied out.
            QStringView linha = linhas.at(i - 1);
            if (linha.endsWith(QLatin1Char('\r')))
                linha.chop(1);
            const std::optional<int> numero = vorta::tryStrToInt(linha.mid(0, 3).trimmed());
            if (!numero)
                vorta::Abort();
            // The number as the messages show it.
            const auto n = [&] { return QString::number(*numero); };
            const CodigoLido maturidade = codigoLido(maturidades, linha.mid(3, 3).trimmed(), true);
            const CodigoLido conformacao = codigoLido(kConformacoes, linha.mid(6, 2).trimmed(), true);
            const CodigoLido acabamento = codigoLido(kAcabamentos, linha.mid(8, 1).trimmed(), false);
            QString peso;
            peso.reserve(7);
            peso.append(linha.mid(9, 3)).append(QLatin1Char(',')).append(linha.mid(12, 3));
            const CodigoLido tipificacao = codigoLido(kTipificacoes, linha.mid(15, 1).trimmed(), true);
            if (*numero != i)
                info(QStringLiteral("Animal ") + n() + QStringLiteral(" não está na sequencia correta"));
            if (!maturidade.naLista) {
                info(QStringLiteral("Maturidade incorreta para o animal Nº: ") + n());
                vorta::Abort();
            }
            if (!acabamento.naLista)
                info(QStringLiteral("Acabamento incorreto para o animal : ") + n());
            if (!conformacao.naLista)
                info(QStringLiteral("Conformação incorreta para o animal : ") + n());
            if (!tipificacao.naLista)
                info(QStringLiteral("Tipificação incorreta para o animal : ") + n());
            // A number already read is refused as the stored key would refuse it.
            if (numeros.contains(*numero))
                vorta::Abort();
            itens->append();
            fNumero->setAsInteger(*numero);
            fMaturidade->setAsString(maturidade.texto);
            fConformacao->setAsString(conformacao.texto);
            fAcabamento->setText(acabamento.texto);
            fPeso->setText(peso);
            fTipificacao->setAsString(tipificacao.texto);
            fClassificado->clear();
            itens->post();
            numeros.insert(*numero);
        }
    } catch (...) {
        if (editando(itens))
            itens->cancel();
        info(QStringLiteral("Erro ao importar arquivo!"));
    }
}

void TCadMapas::DBGrid_ItemNotaCellClick(QWidget*)
{
    const bool gravando = btGravar->isEnabled();
    DBGrid_ItemNota->setReadOnly(!gravando);
    DM_MTC->dsItensMapas->setAutoEdit(gravando);
}

void TCadMapas::DBGrid_ItemNotaColEnter(QWidget* sender)
{
    DBGrid_ItemNotaCellClick(sender);
}

void TCadMapas::DBGrid_ItemNotaColExit(QWidget*)
{
    vorta::db::Table* itens = DM_MTC->TblMapasItens;
    if (podeAlterarAnimais() && itens->active() && !itens->isEmpty() && !editando(itens))
        itens->edit();
}

void TCadMapas::DBGrid_ItemNotaKeyDown(QWidget*, int&, Qt::KeyboardModifiers) {}

void TCadMapas::DBGrid_ItemNotaKeyUp(QWidget*, int& key, Qt::KeyboardModifiers)
{
    if (key == vorta::ui::VK_RETURN)
        key = vorta::ui::VK_TAB;
}

// ---- invoices, veterinarian, summary ------------------------------------------------

void TCadMapas::preencheNotas()
{
    cbNotas->clear();
    vorta::db::Query* q = DM_MTC->QryGeral;
    q->close();
    q->setSql(QStringLiteral("Select * from Qel_NotasMapa where map_codigo=:vMapa"));
    q->paramByName(QStringLiteral("vMapa"))
        ->setAsInteger(DM_MTC->TblMapas->fieldByName(QStringLiteral("map_codigo"))->asInteger());
    q->open();
    while (!q->eof()) {
        cbNotas->addItem(q->fieldByName(QStringLiteral("mn_nro_nota_fiscal"))->asString());
        q->next();
    }
    q->close();
    cbNotas->setEditText(QString());
}

void TCadMapas::cbNotasExit(QWidget*)
{
    // Invoices change only with the map, inside its transaction.
    if (!podeAlterarAnimais())
        return;
    const QString nota = cbNotas->currentText().trimmed();
    const qint64 mapa = DM_MTC->TblMapas->fieldByName(QStringLiteral("map_codigo"))->asInteger();
    vorta::db::Query* q = DM_MTC->QryGeral;
    q->close();
    q->setSql(QStringLiteral("select * from qel_notasmapa where map_codigo =:vmapa and mn_nro_nota_fiscal = :vnota"));
    q->paramByName(QStringLiteral("vmapa"))->setAsInteger(mapa);
    q->paramByName(QStringLiteral("vnota"))->setAsString(nota);
    q->open();
    const bool existe = !q->isEmpty();
    q->close();
    if (existe || nota.isEmpty())
        return;
    try {
        q->setSql(QStringLiteral("Insert into Qel_NotasMapa(map_codigo,mn_nro_nota_fiscal) values (:vmapa,:vnota)"));
        q->paramByName(QStringLiteral("vmapa"))->setAsInteger(mapa);
        q->paramByName(QStringLiteral("vnota"))->setAsString(nota);
        q->execSql();
    } catch (const vorta::EAbort&) {
        throw;
    } catch (...) {
        MsgErroBD(1684);
        cbNotas->setFocus();
        return;
    }
    preencheNotas();
}

void TCadMapas::SpeedButton1Click(QWidget*)
{
    if (!podeAlterarAnimais())
        return;
    vorta::db::Query* q = DM_MTC->QryGeral;
    q->close();
    q->setSql(QStringLiteral("delete from qel_notasmapa where map_codigo = :vmapa and mn_nro_nota_fiscal = :vnota"));
    q->paramByName(QStringLiteral("vmapa"))
        ->setAsInteger(DM_MTC->TblMapas->fieldByName(QStringLiteral("map_codigo"))->asInteger());
    q->paramByName(QStringLiteral("vnota"))->setAsString(cbNotas->currentText().trimmed());
    q->execSql();
    preencheNotas();
}

void TCadMapas::btVeterinarioClick(QWidget*)
{
    if (AbreTecnicosSelecao)
        AbreTecnicosSelecao();
    if (mapaEmEdicao()) {
        // A technician just registered is in the list too.
        DM_MTC->TblTecnicos->refresh();
        // A register without technicians hands none over: the map keeps what it had.
        if (DM_MTC->TecnicoSelecionado)
            DM_MTC->TblMapas->fieldByName(QStringLiteral("Tec_Codigo"))->setAsInteger(*DM_MTC->TecnicoSelecionado);
        DBL_Tecnico->setFocus();
    }
}

void TCadMapas::btimprimirClick(QWidget*)
{
    if (!hasRecords())
        return;
    QString municipio;
    buscamunicipio(DM_MTC->TblMapas->fieldByName(QStringLiteral("ie_pecuarista"))->asString(), municipio);
    edMunicipio->setText(municipio);
    if (ImprimeMapaAtual)
        ImprimeMapaAtual();
}

TCabecalhoMapa TCadMapas::CabecalhoImpressao()
{
    TCabecalhoMapa c;
    c.RazaoSocial = lbNomeFrigorifico->caption();
    c.InscricaoFrigo = lbInscricaoFrigorifico->caption();
    vorta::db::Query* q = DM_MTC->QryContribuinte;
    if (q->active() && !q->isEmpty()) {
        c.Municipio = q->fieldByName(QStringLiteral("Mun_Descricao"))->asString();
        BuscaSIF(q->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString(), c.SIF);
    } else {
        BuscaSIF(QString(), c.SIF);
    }
    c.Pecuarista = DBEdit_Nome->text();
    c.Pradel = DBEdit1->text();
    c.Propriedade = DBEdit_Propriedade->text();
    c.MunicipioPropriedade = edMunicipio->text();
    return c;
}

void TCadMapas::sbTotalizaClick(QWidget*)
{
    if (!DM_MTC->TblMapasItens->active())
        return;
    gravaEdicaoEmCurso();
    Resumo.Totaliza();
    MostraResumo();
}

void TCadMapas::PageControl1Change(QWidget* sender)
{
    sbTotalizaClick(sender);
}

bool TCadMapas::lePraticado(vorta::ui::Edit* edit, Money& value)
{
    if (edit->isReadOnly())
        return false;
    QString texto = edit->text().trimmed();
    // The box shows no thousands: a lone point is the decimal one, as a comma is.
    if (texto.contains(QLatin1Char(',')))
        texto.remove(QLatin1Char('.'));
    Money lido;
    try {
        lido = texto.isEmpty() ? Money() : Money::fromString(texto);
    } catch (const vorta::Exception&) {
        vorta::ui::showPlainMessage(QStringLiteral("Valor inválido!"));
        edit->setFocus();
        vorta::Abort();
    }
    if (lido < Money() || Money::fromCents(99999) < lido) {
        vorta::ui::showPlainMessage(QStringLiteral("Valor fora da faixa permitida!"));
        edit->setFocus();
        vorta::Abort();
    }
    value = lido;
    return true;
}

void TCadMapas::valorPraticadoExit(vorta::ui::Edit* edit, Money& value)
{
    if (lePraticado(edit, value))
        sbTotalizaClick(edit);
}

void TCadMapas::dbEdit_VlrArrobaMachoExit(QWidget*)
{
    valorPraticadoExit(dbEdit_VlrArrobaMacho, Resumo.dbEdit_VlrArrobaMacho);
}

void TCadMapas::dbEdit_VlrArrobaFemeaExit(QWidget*)
{
    valorPraticadoExit(dbEdit_VlrArrobaFemea, Resumo.dbEdit_VlrArrobaFemea);
}
