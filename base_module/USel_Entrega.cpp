#include "USel_Entrega.h"

#include "UDMEntrega.h"
#include "UFrmCopiarArquivo.h"
#include "Vorta_Retorno.h"
#include "uProxy.h"

#include "DialogsX.h"
#include "Ufuncoes.h"
#include "comum.h"
#include "uDmVortaModule.h"

#include "platform/core/Clock.h"
#include "platform/core/Cp1252.h"
#include "platform/core/EditMask.h"
#include "platform/core/Exceptions.h"
#include "platform/db/Field.h"
#include "platform/os/Drives.h"
#include "platform/os/FileSearch.h"
#include "platform/os/Registry.h"
#include "platform/ui/Application.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QSaveFile>
#include <QVBoxLayout>

using namespace vorta::db;
using namespace vorta::ui;

vorta::Guarded<TSel_Entrega> Sel_Entrega;
TDeclaracaoAtual DeclaracaoAtual;
QString ModoEntrega;
bool ImprimeProtocolos = false;
TProtocoloEntrega ProtocoloEntrega;

namespace {

const QByteArray kLimite = "-----------------------------7d0b01120378";
const QString kModoEntrega = QStringLiteral("entrega");
const QString kModoCopia = QStringLiteral("cópia");
const QString kMascaraIE = QStringLiteral("99.999.999-9;0; ");

QString arquivoRetorno(const QString& arquivo)
{
    return DirArquivos + arquivo + QStringLiteral(".txt");
}

// Replies that could not be stored are kept in their file and noted here.
void registraLog(const QString& texto)
{
    AppendLog(DirArquivos + QStringLiteral("Entrega.log"), texto);
}

// The declaration file of the queue's row; empty for a name that is no plain file name.
QString caminhoDeclaracao(const QString& arquivo)
{
    const QString nome = NomeArquivoSeguro(arquivo);
    return nome.isEmpty() ? QString() : DirArquivos + nome;
}

QString textoDe(const std::exception& e)
{
    if (const auto* v = dynamic_cast<const vorta::Exception*>(&e))
        return v->message();
    return QString::fromLocal8Bit(e.what());
}

// Writes the bytes through a temporary file that replaces the target only when complete.
void gravaArquivo(const QString& destino, const QByteArray& bytes)
{
    QSaveFile f(destino);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw vorta::EInOutError(QStringLiteral("Não foi possível gravar %1: %2").arg(destino, f.errorString()));
}

QByteArray leArquivo(const QString& caminho, const QString& arquivo)
{
    QFile f(caminho);
    if (caminho.isEmpty() || !f.open(QIODevice::ReadOnly))
        throw vorta::EFOpenError(QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(arquivo));
    return f.readAll();
}

// The values of one selected row, read before the batch changes anything.
struct Linha {
    QString Sistema, Versao, Chave, Arquivo, Inscricao, Referencia, Motivo, CRC;
};

Linha linhaAtual(DataSet* ds)
{
    auto s = [ds](const char* c) { return ds->fieldByName(QString::fromLatin1(c))->asString(); };
    return {s("Sistema"), s("Versao"), s("Chave"), s("Arquivo"), s("Inscricao"), s("Referencia"), s("Motivo"), s("CRC")};
}

TDeclaracaoAtual declaracaoDe(const Linha& l)
{
    TDeclaracaoAtual d;
    d.Inscricao = l.Inscricao;
    d.Referencia = l.Referencia;
    d.Motivo = l.Motivo;
    d.Sistema = l.Sistema;
    d.Arquivo = l.Arquivo;
    d.Chave = l.Chave;
    d.Versao = l.Versao;
    d.NomeImagem = NomeImagemProtocolo(l.Sistema, l.Arquivo);
    return d;
}

void parametrosLinha(Query* q, const QString& sistema, const QString& versao, const QString& chave,
                     const QString& arquivo)
{
    q->paramByName(QStringLiteral("Sist"))->setAsString(sistema);
    q->paramByName(QStringLiteral("Ver"))->setAsString(versao);
    q->paramByName(QStringLiteral("Chav"))->setAsString(chave);
    q->paramByName(QStringLiteral("Arqui"))->setAsString(arquivo);
}

// Q_Entrega for the row; false when no row took it.
bool atualizaEntrega(const QDateTime& data, const QString& dados, const QString& protocolo, const QString& sistema,
                     const QString& versao, const QString& chave, const QString& arquivo)
{
    Query* q = DMEntrega->Q_Entrega;
    q->paramByName(QStringLiteral("dataEntrega"))->setAsDateTime(data);
    q->paramByName(QStringLiteral("dadosEntrega"))->setAsString(dados);
    q->paramByName(QStringLiteral("ProtocoloEntrega"))->setAsString(protocolo);
    parametrosLinha(q, sistema, versao, chave, arquivo);
    q->execSql();
    return q->rowsAffected() > 0;
}

void abreLista(Query* q)
{
    q->close();
    q->open();
    q->fieldByName(QStringLiteral("Inscricao"))->setEditMask(kMascaraIE);
}

} // namespace

QString NomeArquivoSeguro(const QString& arquivo)
{
    if (arquivo.isEmpty() || arquivo == QLatin1String(".") || arquivo == QLatin1String(".."))
        return QString();
    for (const QChar c : arquivo) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char('/') || c == QLatin1Char('\\')
            || c == QLatin1Char(':') || c == QLatin1Char('"') || c == QLatin1Char('\''))
            return QString();
    }
    return arquivo;
}

QString NomeImagemProtocolo(const QString& sistema, const QString& arquivo)
{
    if (sistema == QLatin1String("RUX") || sistema == QLatin1String("ZIR") || sistema == QLatin1String("POZ"))
        return QStringLiteral("P") + arquivo;
    if (sistema == QLatin1String("LIM"))
        return QStringLiteral("P") + arquivo.left(24);
    return QStringLiteral("P") + arquivo.mid(1);
}

QByteArray CorpoEnvio(const QString& nomeArquivo, const QByteArray& conteudo)
{
    const QByteArray nome = vorta::toCp1252(QFileInfo(nomeArquivo).fileName());
    QByteArray corpo;
    corpo.reserve(conteudo.size() + 189 + nome.size());
    corpo += kLimite + "\r\n";
    corpo += "Content-Disposition: form-data; name=\"file1\"; filename=\"" + nome + "\"\r\n";
    corpo += "Content-Type: application/octet-stream\r\n\r\n";
    corpo += conteudo;
    corpo += "\r\n" + kLimite + "--";
    return corpo;
}

bool LeRetornoEntrega(const QString& sistema, const QString& retorno)
{
    TDeclaracaoAtual& d = DeclaracaoAtual;
    d.Protocolo.clear();
    d.DataHora.clear();
    d.Identificacao.clear();
    d.Nome.clear();
    // Identification (start, length) and name start, counted from 1; 0: none.
    struct Leiaute {
        int id, idLen, nome;
    };
    Leiaute l;
    if (sistema == QLatin1String("KOB"))
        l = {31, 5, 36};
    else if (sistema == QLatin1String("TUV"))
        l = {31, 11, 42};
    else if (sistema == QLatin1String("WEN") || sistema == QLatin1String("WEN/Com") || sistema == QLatin1String("HAX")
             || sistema == QLatin1String("ZIR") || sistema == QLatin1String("RUX"))
        l = {31, 14, 45};
    else if (sistema == QLatin1String("LIM"))
        l = {0, 0, 45};
    else if (sistema == QLatin1String("POZ"))
        l = {0, 0, 0};
    else
        return false;
    d.Protocolo = retorno.mid(3, 8);
    d.DataHora = retorno.mid(11, 19);
    if (l.id)
        d.Identificacao = retorno.mid(l.id - 1, l.idLen);
    if (l.nome)
        d.Nome = retorno.mid(l.nome - 1);
    return true;
}

QDateTime DataHoraRetorno(const QString& texto)
{
    auto numero = [&texto](int inicio, int tamanho, bool* ok) {
        const QString parte = texto.mid(inicio - 1, tamanho);
        bool digitos = parte.size() == tamanho;
        for (const QChar c : parte)
            digitos = digitos && c.isDigit() && c.unicode() < 128;
        *ok = *ok && digitos;
        return digitos ? parte.toInt() : 0;
    };
    bool ok = true;
    const int dia = numero(1, 2, &ok), mes = numero(4, 2, &ok), ano = numero(7, 4, &ok);
    const int hora = numero(12, 2, &ok), minuto = numero(15, 2, &ok), segundo = numero(18, 2, &ok);
    const QDate data(ano, mes, dia);
    const QTime tempo(hora, minuto, segundo, 0);
    if (!ok || !data.isValid() || !tempo.isValid())
        return QDateTime();
    return QDateTime(data, tempo);
}

QString LeURLServidor(const QString& sistema)
{
    try {
        vorta::os::Registry reg;
        if (!reg.openKeyReadOnly(QStringLiteral("\\Software\\Kalvi\\Vorta\\Servidor\\")))
            return QString();
        const QString valor = sistema == QLatin1String("WEN/Com") ? QStringLiteral("WEN") : sistema;
        if (!reg.valueExists(valor))
            return QString();
        return reg.readString(valor);
    } catch (const vorta::Exception&) {
        return QStringLiteral("Erro");
    }
}

TSel_Entrega::TSel_Entrega(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("Sel_Entrega"));
    setObjectName(QStringLiteral("Sel_Entrega"));
    setCaption(QStringLiteral("Entrega de Formulários Eletrônicos"));
    helpContext = 20000;
    setBorderStyle(BorderStyle::Single);
    position = FormPosition::ScreenCenter;
    setClientSize(900, 560);

    auto* layout = new QVBoxLayout(this);
    PanelBotoes = new Panel(this, QStringLiteral("PanelBotoes"));
    auto* barra = new QHBoxLayout(PanelBotoes);
    auto botao = [&](const char* nome, const char* caption) {
        auto* b = new SpeedButton(PanelBotoes, QString::fromLatin1(nome));
        b->setCaption(QString::fromUtf8(caption));
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setMinimumHeight(28);
        barra->addWidget(b);
        return b;
    };
    btSair = botao("btSair", "&Retornar");
    bt_Imprimir = botao("bt_Imprimir", "&Imprimir Protocolo");
    bt_Enviar = botao("bt_Enviar", "&Enviar pela Internet");
    bt_Copiar = botao("bt_Copiar", "&Copiar Arquivo");
    Bt_Processamento = botao("Bt_Processamento", "Resultado Processamento");
    barra->addStretch(1);
    BtSairGeral = botao("BtSairGeral", "&Sair");
    layout->addWidget(PanelBotoes);

    Label1 = new Label(this,
                       QStringLiteral("Para reimpressão do protocolo de arquivos gerados pelo sistema Vorta clique na aba "
                                      "'Copiados para Disquete' ou "),
                       QStringLiteral("Label1"));
    Label2 = new Label(this,
                       QStringLiteral("'Enviados pela Internet', selecione o formulário que deseja imprimir o protocolo "
                                      "e clique no botão 'Imprimir Protocolo'"),
                       QStringLiteral("Label2"));
    layout->addWidget(Label1);
    layout->addWidget(Label2);

    auto* busca = new Panel(this, QStringLiteral("PanelBusca"));
    auto* buscaLayout = new QHBoxLayout(busca);
    auto* buscaTexto = new QVBoxLayout;
    LabelBusca = new Label(busca, QStringLiteral("Digite aqui para busca automática"), QStringLiteral("LabelBusca"));
    Edit_Busca = new Edit(busca, QStringLiteral("Edit_Busca"));
    Edit_Busca->charCase = CharCase::Upper;
    LabelBusca->setBuddy(Edit_Busca);
    buscaTexto->addWidget(LabelBusca);
    buscaTexto->addWidget(Edit_Busca);
    buscaLayout->addLayout(buscaTexto, 1);
    RadioGroup_Entrega = new RadioGroup(busca, QStringLiteral("RadioGroup_Entrega"));
    RadioGroup_Entrega->setCaption(QStringLiteral(" Busca de Formulários Eletrônico "));
    RadioGroup_Entrega->setItems({QStringLiteral("Por Inscrição Estadual"), QStringLiteral("Por Nome")});
    RadioGroup_Entrega->setColumns(2);
    RadioGroup_Entrega->setItemIndex(0);
    RadioGroup_Entrega->setMinimumSize(330, 50);
    buscaLayout->addWidget(RadioGroup_Entrega);
    layout->addWidget(busca);

    Pg_Entrega = new PageControl(this, QStringLiteral("Pg_Entrega"));
    auto aba = [&](TabSheet** sheet, DBGrid** grade, const char* nome, const char* caption, const char* titulo,
                   const char* nomeGrade, DataSource* fonte) {
        *sheet = new TabSheet(Pg_Entrega, QString::fromUtf8(caption), QString::fromLatin1(nome));
        auto* l = new QVBoxLayout(*sheet);
        auto* painel = new Panel(*sheet);
        painel->setCaption(QString::fromUtf8(titulo));
        painel->setMinimumHeight(24);
        l->addWidget(painel);
        *grade = new DBGrid(*sheet, QString::fromLatin1(nomeGrade));
        (*grade)->setOptions(DBGrid::dgTitles | DBGrid::dgIndicator | DBGrid::dgColumnResize | DBGrid::dgColLines
                             | DBGrid::dgRowLines | DBGrid::dgRowSelect | DBGrid::dgAlwaysShowSelection
                             | DBGrid::dgMultiSelect);
        (*grade)->setReadOnly(true);
        (*grade)->setDataSource(fonte);
        l->addWidget(*grade, 1);
    };
    aba(&TabSheetPendente, &DBGrid_Pendente, "TabSheetPendente", "Pendentes de Entrega",
        "Formulários Eletrônicos pendentes de Entrega", "DBGrid_Pendente", DMEntrega->Ds_Pendente);
    aba(&TabSheetDisquete, &DBGrid_Disquete, "TabSheetDisquete", "Arquivos Copiados",
        "Formulários Eletrônicos copiados", "DBGrid_Disquete", DMEntrega->Ds_Disquete);
    aba(&TabSheetEnviado, &DBGrid_Enviados, "TabSheetEnviado", "Enviados pela Internet",
        "Formulários Eletrônicos enviados pela Internet", "DBGrid_Enviados", DMEntrega->DS_Entregue);
    DBGrid_Pendente->setColumns({{QStringLiteral("Sistema"), QStringLiteral("Sistema"), 60},
                                 {QStringLiteral("Versao"), QStringLiteral("Versão"), 60},
                                 {QStringLiteral("Inscricao"), QStringLiteral("Insc. Estadual"), 95},
                                 {QStringLiteral("Referencia"), QStringLiteral("Per. Referência"), 95},
                                 {QStringLiteral("Motivo"), QStringLiteral("Motivo"), 50},
                                 {QStringLiteral("Nome"), QStringLiteral("Nome"), 200},
                                 {QStringLiteral("Arquivo"), QStringLiteral("Nome Arquivo"), 130},
                                 {QStringLiteral("Data_Geracao"), QStringLiteral("Data/Hora Geração"), 130}});
    auto colunasResultado = [](DBGrid* g, const char* protocolo, const char* tituloProtocolo, const char* data,
                               const char* tituloData) {
        g->setColumns({{QStringLiteral("CalcResultado"), QStringLiteral("Resul. Proc"), 61},
                       {QStringLiteral("Sistema"), QStringLiteral("Sistema"), 60},
                       {QStringLiteral("Versao"), QStringLiteral("Versão"), 60},
                       {QStringLiteral("Inscricao"), QStringLiteral("Insc. Estadual"), 95},
                       {QStringLiteral("Referencia"), QStringLiteral("Período Ref."), 85},
                       {QStringLiteral("Motivo"), QStringLiteral("Motivo"), 50},
                       {QStringLiteral("Nome"), QStringLiteral("Nome/Razão Social do Contribuinte"), 200},
                       {QStringLiteral("Arquivo"), QStringLiteral("Nome Arquivo"), 130},
                       {QString::fromLatin1(protocolo), QString::fromUtf8(tituloProtocolo), 80},
                       {QStringLiteral("Data_Geracao"), QStringLiteral("Data/Hora Geração"), 130},
                       {QString::fromLatin1(data), QString::fromUtf8(tituloData), 130},
                       {QStringLiteral("ResultadoProcessamento"), QString(), 200}});
    };
    colunasResultado(DBGrid_Disquete, "CRC", "Protocolo", "Data_Copia", "Data/Hora Cópia");
    colunasResultado(DBGrid_Enviados, "Protocolo", "Protocolo", "Data_Entrega", "Data/Hora Entrega");
    DBGrid_EnviadosDrawColumnCell(DBGrid_Disquete);
    DBGrid_EnviadosDrawColumnCell(DBGrid_Enviados);
    layout->addWidget(Pg_Entrega, 1);

    Panel5 = new Panel(this, QStringLiteral("Panel5"));
    Panel5->setBevel(Panel::Bevel::Raised);
    auto* progresso = new QVBoxLayout(Panel5);
    Lbl_Cont = new Label(Panel5, QStringLiteral("Enviando 1 de 1"), QStringLiteral("Lbl_Cont"));
    progresso->addWidget(Lbl_Cont);
    const char* passos[] = {"Preparando Arquivo(s)", "Conectando ao Servidor", "Enviando Arquivo(s)",
                            "Gravando Arquivo(s)", "Imprimindo Protocolo(s)"};
    for (int p = 1; p <= 5; ++p) {
        auto* linha = new QHBoxLayout;
        Certo[p] = new Label(Panel5, QStringLiteral("\u2714"), QStringLiteral("ImgCerto%1").arg(p));
        Certo[p]->setStyleSheet(QStringLiteral("color: green; font-weight: bold"));
        Errado[p] = new Label(Panel5, QStringLiteral("\u2718"), QStringLiteral("ImgErrado%1").arg(p));
        Errado[p]->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
        for (Label* l : {Certo[p], Errado[p]}) {
            l->setFixedWidth(16);
            l->hide();
            linha->addWidget(l);
        }
        linha->addWidget(new Label(Panel5, QString::fromUtf8(passos[p - 1]), QStringLiteral("LblPasso%1").arg(p)), 1);
        progresso->addLayout(linha);
    }
    Panel5->hide();
    layout->addWidget(Panel5);

    pnlProgresso = new Panel(this, QStringLiteral("pnlProgresso"));
    pnlProgresso->setBevel(Panel::Bevel::Raised);
    auto* consulta = new QVBoxLayout(pnlProgresso);
    consulta->addWidget(new Label(pnlProgresso, QStringLiteral(" Aguarde Consultando Resultado de Processamento"),
                                  QStringLiteral("lblProgresso")));
    ProgressBar1 = new QProgressBar(pnlProgresso);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    consulta->addWidget(ProgressBar1);
    pnlProgresso->hide();
    layout->addWidget(pnlProgresso);

    pnlImprimir = new Panel(this, QStringLiteral("pnlImprimir"));
    pnlImprimir->setBevel(Panel::Bevel::Raised);
    auto* impressao = new QHBoxLayout(pnlImprimir);
    impressao->addWidget(new Label(pnlImprimir, QStringLiteral("\u2398"), QStringLiteral("AnimacaoCopia")));
    impressao->addWidget(new Label(pnlImprimir, QStringLiteral("Imprimindo Protocolo(s), Favor Aguardar..."),
                                   QStringLiteral("lblImprimir")),
                         1);
    pnlImprimir->hide();
    layout->addWidget(pnlImprimir);
    HTTPRIO1 = std::make_unique<vorta::net::SoapClient>();

    btSair->OnClick = [this](QWidget*) { btSairClick(); };
    bt_Imprimir->OnClick = [this](QWidget*) { bt_ImprimirClick(); };
    bt_Enviar->OnClick = [this](QWidget*) { bt_EnviarClick(); };
    bt_Copiar->OnClick = [this](QWidget*) { bt_CopiarClick(); };
    BtSairGeral->OnClick = [this](QWidget*) { BtSairGeralClick(); };
    Bt_Processamento->OnClick = [this](QWidget*) {
        if (ProtocoloEntrega.ResultadoProcessamento)
            ProtocoloEntrega.ResultadoProcessamento(this);
    };
    Edit_Busca->OnChange = [this](QWidget*) { Edit_BuscaChange(); };
    Pg_Entrega->OnChange = [this](QWidget*) { aoMudarAba(); };
    connect(vorta::Application::instance(), &vorta::Application::activated, this,
            [this] { vorta::Application::runGuarded([this] { ApplicationEvents1Activate(); }); });
    OnShow = [this](Form*) { FormShow(); };
    OnClose = [this](Form*, CloseAction& a) { FormClose(a); };
}

void TSel_Entrega::FormShow()
{
    Database* db = DMEntrega->DBEntrega;
    db->close();
    db->setDirectory(DirDados);
    db->open();
    RecuperaRetornos();
    for (Query* q : {DMEntrega->Q_Pendente, DMEntrega->Q_Disquete, DMEntrega->Q_Entregue})
        abreLista(q);
    Pg_Entrega->setActivePage(TabSheetPendente);
    TabSheetPendenteShow();
    DBGrid_Disquete->column(0).width = 61;
    DBGrid_Enviados->column(0).width = 61;
    DBGrid_Disquete->columnsChanged();
    DBGrid_Enviados->columnsChanged();
}

void TSel_Entrega::FormClose(CloseAction&)
{
    for (Query* q : {DMEntrega->Q_Pendente, DMEntrega->Q_Disquete, DMEntrega->Q_Entregue})
        q->close();
}

void TSel_Entrega::ApplicationEvents1Activate()
{
    if (Ocupado || !DMEntrega || !DMEntrega->DBEntrega->connected())
        return;
    DMEntrega->TEntrega->close();
    DMEntrega->TEntrega->open();
}

void TSel_Entrega::habilitaBotoes(bool copiar, bool enviar, bool imprimir, bool resultado)
{
    bt_Copiar->setEnabled(copiar);
    bt_Enviar->setEnabled(enviar);
    bt_Imprimir->setEnabled(imprimir);
    Bt_Processamento->setEnabled(resultado);
}

void TSel_Entrega::TabSheetPendenteShow()
{
    habilitaBotoes(true, true, false, false);
}

void TSel_Entrega::TabSheetDisqueteShow()
{
    habilitaBotoes(true, true, true, true);
}

void TSel_Entrega::TabSheetEnviadoShow()
{
    habilitaBotoes(false, false, true, true);
}

void TSel_Entrega::aoMudarAba()
{
    TabSheet* ativa = Pg_Entrega->activePage();
    if (ativa == TabSheetPendente)
        TabSheetPendenteShow();
    else if (ativa == TabSheetDisquete)
        TabSheetDisqueteShow();
    else if (ativa == TabSheetEnviado)
        TabSheetEnviadoShow();
}

DBGrid* TSel_Entrega::gradeVisivel() const
{
    TabSheet* ativa = Pg_Entrega->activePage();
    if (ativa == TabSheetDisquete)
        return DBGrid_Disquete;
    if (ativa == TabSheetEnviado)
        return DBGrid_Enviados;
    return DBGrid_Pendente;
}

void TSel_Entrega::Edit_BuscaChange()
{
    DataSet* ds = gradeVisivel()->dataSet();
    if (!ds || !ds->active())
        return;
    const QString campo = RadioGroup_Entrega->itemIndex() == 1 ? QStringLiteral("Nome") : QStringLiteral("Inscricao");
    ds->locate(campo, Edit_Busca->text(), loPartialKey);
}

void TSel_Entrega::btSairClick()
{
    close();
}

void TSel_Entrega::BtSairGeralClick()
{
    if (MsgSimNaoBD(86) == mrYes)
        vorta::Application::instance()->terminate();
}

void TSel_Entrega::bt_ImprimirClick()
{
    if (ProtocoloEntrega.Reimprime)
        ProtocoloEntrega.Reimprime(this);
}

void TSel_Entrega::bt_EnviarClick()
{
    DBGrid* grade = gradeVisivel();
    if (grade == DBGrid_Enviados)
        return;
    ProcessaSelecionados(grade->dataSet(), grade, kModoEntrega);
}

void TSel_Entrega::bt_CopiarClick()
{
    if (gradeVisivel() == DBGrid_Enviados)
        return;
    LocalCopia = -1;
    PastaCopia.clear();
    auto* dialogo = vorta::ui::createForm(FrmCopiarArquivo, vorta::Application::instance());
    dialogo->showModal();
    // A dialog closed without "OK" frees itself too.
    vorta::Component::free(FrmCopiarArquivo);
    try {
        if (LocalCopia == 0)
            CopiarDisquete();
        else if (LocalCopia == 1)
            CopiarParaPasta(PastaCopia);
    } catch (const vorta::EAbort&) {
        throw;
    } catch (const std::exception& e) {
        ShowMessage(QStringLiteral("ERRO: ") + textoDe(e));
        vorta::Abort();
    }
}

void TSel_Entrega::CopiarDisquete()
{
    QStringList arquivos;
    GetFiles(QStringLiteral("A:\\*.*"), arquivos, false, {}, vorta::os::faAnyFile);
    // A folder's own entries are no files on the diskette.
    arquivos.removeIf([](const QString& a) { return a.endsWith(QLatin1String("/.")) || a.endsWith(QLatin1String("/..")); });
    if (!arquivos.isEmpty()) {
        MsgErroBD(520);
        return;
    }
    m_local = vorta::os::resolveDrivePath(QStringLiteral("a:\\")).value_or(QString());
    DBGrid* grade = gradeVisivel();
    ProcessaSelecionados(grade->dataSet(), grade, kModoCopia);
}

void TSel_Entrega::CopiarParaPasta(const QString& pasta)
{
    // A copy into no folder, or over the files it copies, would lose them.
    if (pasta.trimmed().isEmpty()) {
        MsgErro(QStringLiteral("Informe a pasta para onde os arquivos serão copiados."));
        return;
    }
    auto real = [](const QString& p) {
        const QFileInfo i(p);
        return QDir::cleanPath(i.canonicalFilePath().isEmpty() ? i.absoluteFilePath() : i.canonicalFilePath());
    };
    if (real(pasta.trimmed()) == real(DirArquivos)) {
        MsgErro(QStringLiteral("Os arquivos não podem ser copiados para a própria pasta dos arquivos gerados."));
        return;
    }
    m_local = pasta.trimmed();
    DBGrid* grade = gradeVisivel();
    ProcessaSelecionados(grade->dataSet(), grade, kModoCopia);
}

void TSel_Entrega::reabre(bool entregues)
{
    for (Query* q : {DMEntrega->Q_Pendente, DMEntrega->Q_Disquete})
        abreLista(q);
    if (entregues)
        abreLista(DMEntrega->Q_Entregue);
}

void TSel_Entrega::ProcessaSelecionados(DataSet* ds, DBGrid* grade, const QString& modo)
{
    if (grade->selectedRows().isEmpty()) {
        MsgErroBD(170);
        vorta::Abort();
    }
    const bool envio = modo == kModoEntrega;
    ModoEntrega = modo;
    ImprimeProtocolos = MsgSimNaoBD(508, {modo}) == mrYes;

    SpeedButton* botao = envio ? bt_Enviar : bt_Copiar;
    QList<Query*> listas{DMEntrega->Q_Pendente, DMEntrega->Q_Disquete};
    if (envio)
        listas << DMEntrega->Q_Entregue;
    botao->setEnabled(false);
    Ocupado = true;
    for (Query* q : listas)
        q->disableControls();
    vorta::CursorGuard ampulheta;
    struct Depois {
        TSel_Entrega* f;
        SpeedButton* botao;
        QList<Query*> listas;
        bool envio;
        ~Depois()
        {
            vorta::Application::runGuarded([this] {
                f->reabre(envio);
                for (Query* q : listas)
                    q->enableControls();
            });
            botao->setEnabled(true);
            f->Ocupado = false;
            f->DBGrid_Pendente->clearSelectedRows();
            if (envio)
                f->DBGrid_Disquete->clearSelectedRows();
            f->Panel5->hide();
        }
    } depois{this, botao, listas, envio};

    // The rows as they were selected; the batch changes the lists under them.
    QList<Linha> linhas;
    for (const Bookmark& b : grade->selectedRows()) {
        ds->gotoBookmark(b);
        linhas << linhaAtual(ds);
    }

    if (ImprimeProtocolos) {
        int paginas = 0;
        for (const Linha& l : linhas) {
            DeclaracaoAtual = declaracaoDe(l);
            const QString caminho = caminhoDeclaracao(l.Arquivo);
            if (caminho.isEmpty() || !QFileInfo(caminho).isFile()) {
                MsgErroBD(505, {QStringLiteral("a ") + modo, QStringLiteral("a ") + modo, l.Sistema});
                vorta::Abort();
            }
            if (ProtocoloEntrega.ContaPaginas)
                paginas += ProtocoloEntrega.ContaPaginas();
        }
        MsgInfoBD(509, {paginas});
    }

    for (int i = 0; i < linhas.size(); ++i) {
        const Linha& l = linhas[i];
        // Each row starts with no reply parts of the row before.
        DeclaracaoAtual = declaracaoDe(l);
        if (envio) {
            EnviaSelecionado(i, int(linhas.size()));
        } else {
            DeclaracaoAtual.CRC = l.CRC;
            CopiaArquivo(m_local);
        }
    }
}

void TSel_Entrega::ocultaMarcas()
{
    for (int p = 1; p <= 5; ++p) {
        Certo[p]->hide();
        Errado[p]->hide();
    }
}

void TSel_Entrega::marca(int passo, bool certo)
{
    Certo[passo]->setVisible(certo);
    Errado[passo]->setVisible(!certo);
    Panel5->repaint();
}

void TSel_Entrega::EnviaSelecionado(int i, int n)
{
    Panel5->show();
    if (i == 0) {
        Lbl_Cont->setCaption(QStringLiteral("Enviando Declaração 1 de %1.").arg(n));
        ocultaMarcas();
    } else {
        Lbl_Cont->setCaption(QStringLiteral("Enviando Declaração %1 de %2.").arg(i + 1).arg(n));
    }
    repaint();
    if (ValidaEnvio())
        EnviaArquivo();
    Panel5->hide();
}

bool TSel_Entrega::ValidaEnvio()
{
    const TDeclaracaoAtual& d = DeclaracaoAtual;
    const QString ie = vorta::EditMask(QStringLiteral("00.000.000-0;0; ")).format(d.Inscricao);
    const QString& s = d.Sistema;
    if (s == QLatin1String("KOB")) {
        const QString descricao = QStringLiteral("A KOB ") + ie + QStringLiteral(" - ") + d.Referencia
                                  + QStringLiteral(" - ") + d.Motivo;
        if (d.Motivo != QLatin1String("030") && d.Motivo != QLatin1String("043")) {
            MsgInfoBD(511, {descricao});
            return false;
        }
        if (d.Referencia != QString::number(vorta::today().year() - 1)) {
            MsgInfoBD(510, {descricao});
            return false;
        }
        return true;
    }
    if (s == QLatin1String("TUV")) {
        if (d.Motivo == QLatin1String("1") || d.Motivo == QLatin1String("4"))
            return true;
        MsgInfoBD(511, {QStringLiteral("A TUV ") + ie + QStringLiteral(" - ") + d.Referencia});
        return false;
    }
    for (const char* k : {"WEN", "WEN/Com", "ZIR", "HAX", "RUX", "POZ", "LIM"})
        if (s == QLatin1String(k))
            return true;
    return false;
}

void TSel_Entrega::EnviaArquivo()
{
    TDeclaracaoAtual& d = DeclaracaoAtual;
    try {
        ConfiguraProxy(*DMEntrega->HttpCli1, TUsoProxy::Entrega);
        const QString caminho = caminhoDeclaracao(d.Arquivo);
        const QByteArray corpo = CorpoEnvio(d.Arquivo, leArquivo(caminho, d.Arquivo));
        marca(1, true);

        const QString url = LeURLServidor(d.Sistema);
        if (url == QLatin1String("Erro")) {
            marca(2, false);
            MsgErroBD(516);
            vorta::Abort();
        }
        QByteArray resposta;
        const int status = DMEntrega->PostArquivo(url, corpo, resposta);
        if (status != 200) {
            marca(2, false);
            MsgErroBD(519);
            vorta::Abort();
        }
        marca(2, true);
        d.DadosEntrega = vorta::fromCp1252(resposta);
        if (!d.DadosEntrega.startsWith(QLatin1String("200"))) {
            marca(3, false);
            const QString erro = d.DadosEntrega.left(3).trimmed() == QLatin1String("-1") ? d.DadosEntrega.mid(2).trimmed()
                                                                                        : QString();
            MessageDlg(GetErrorMessage(1340) + QStringLiteral("\r\n\r\n") + erro, mtError, {mbOK}, 0);
            return;
        }
        const QString retorno = arquivoRetorno(d.Arquivo);
        try {
            // The receipt is on disk before anything else can fail; a disk that refuses it
            // still leaves the row to take it.
            try {
                gravaArquivo(retorno, resposta);
            } catch (const vorta::Exception& e) {
                registraLog(QStringLiteral("Resposta de %1 não guardada em disco: %2").arg(d.Arquivo, e.message()));
            }
            repaint();
            if (LeRetornoEntrega(d.Sistema, d.DadosEntrega)) {
                d.DataEntrega = DataHoraRetorno(d.DataHora);
                if (!d.DataEntrega.isValid())
                    throw vorta::EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(d.DataHora));
                GravaEntrega();
                marca(3, true);
            } else {
                marca(3, false);
            }
            QFile::remove(retorno);
            marca(4, true);
        } catch (const vorta::EAbort&) {
            throw;
        } catch (const std::exception& e) {
            registraLog(QStringLiteral("Resposta de %1 não gravada na fila (%2): %3").arg(d.Arquivo, textoDe(e), retorno));
            Panel5->hide();
            MsgErroBD(517, {d.Arquivo});
            vorta::Abort();
        }
        if (ImprimeProtocolos && ProtocoloEntrega.Imprime) {
            ProtocoloEntrega.Imprime(QStringLiteral("INTERNET"));
            marca(5, true);
        }
    } catch (const vorta::EAbort&) {
        throw;
    } catch (const std::exception& e) {
        Panel5->hide();
        MsgErroBD(515, {textoDe(e)});
        vorta::Abort();
    }
}

void TSel_Entrega::GravaEntrega()
{
    const TDeclaracaoAtual& d = DeclaracaoAtual;
    try {
        if (!atualizaEntrega(d.DataEntrega, d.DadosEntrega, d.Protocolo, d.Sistema, d.Versao, d.Chave, d.Arquivo))
            throw EDatabaseError(QStringLiteral("A declaração %1 não está mais na fila de entrega.").arg(d.Arquivo));
    } catch (const std::exception& e) {
        registraLog(QStringLiteral("Entrega de %1 não gravada: %2").arg(d.Arquivo, textoDe(e)));
        Panel5->hide();
        MsgErroBD(513);
        vorta::Abort();
    }
}

void TSel_Entrega::CopiaArquivo(const QString& local)
{
    const TDeclaracaoAtual& d = DeclaracaoAtual;
    try {
        const QString nome = NomeArquivoSeguro(d.Arquivo);
        if (local.isEmpty())
            throw vorta::EInOutError(QStringLiteral("A unidade de destino não está disponível."));
        QString destino = local;
        if (!destino.endsWith(QLatin1Char('/')) && !destino.endsWith(QLatin1Char('\\')))
            destino += QLatin1Char('/');
        gravaArquivo(destino + nome, leArquivo(caminhoDeclaracao(d.Arquivo), d.Arquivo));
    } catch (const vorta::Exception&) {
        MsgErroBD(521);
        vorta::Abort();
    }
    if (ImprimeProtocolos && ProtocoloEntrega.Imprime)
        ProtocoloEntrega.Imprime(QStringLiteral("AGENFA"));
    GravaDataCopia();
}

void TSel_Entrega::GravaDataCopia()
{
    const TDeclaracaoAtual& d = DeclaracaoAtual;
    try {
        Query* q = DMEntrega->Q_Copia;
        q->paramByName(QStringLiteral("dataCOPIA"))->setAsDateTime(vorta::now());
        parametrosLinha(q, d.Sistema, d.Versao, d.Chave, d.Arquivo);
        q->execSql();
        if (q->rowsAffected() == 0)
            throw EDatabaseError(QStringLiteral("A declaração %1 não está mais na fila de entrega.").arg(d.Arquivo));
    } catch (const std::exception&) {
        Panel5->hide();
        MsgErroBD(513);
        vorta::Abort();
    }
}

void TSel_Entrega::RecuperaRetornos()
{
    Query q;
    q.setDatabase(DMEntrega->DBEntrega);
    q.setSql(QStringLiteral("Select Sistema, Versao, Chave, Arquivo from Entrega where Data_Entrega is null"));
    q.open();
    struct Pendente {
        QString sistema, versao, chave, arquivo;
    };
    QList<Pendente> comRetorno;
    QStringList nomes;
    for (q.first(); !q.eof(); q.next()) {
        const QString arquivo = q.fieldByName(QStringLiteral("Arquivo"))->asString();
        nomes << arquivo;
        if (NomeArquivoSeguro(arquivo).isEmpty() || !QFileInfo::exists(arquivoRetorno(arquivo)))
            continue;
        comRetorno.append({q.fieldByName(QStringLiteral("Sistema"))->asString(),
                           q.fieldByName(QStringLiteral("Versao"))->asString(),
                           q.fieldByName(QStringLiteral("Chave"))->asString(), arquivo});
    }
    q.close();
    const TDeclaracaoAtual guardada = DeclaracaoAtual;
    for (const Pendente& p : comRetorno) {
        const QString retorno = arquivoRetorno(p.arquivo);
        // The reply names no key: with two waiting rows of one file it cannot be told whose it is.
        if (nomes.count(p.arquivo) > 1) {
            registraLog(QStringLiteral("Resposta %1 não gravada: mais de uma declaração aguarda com este arquivo")
                            .arg(retorno));
            continue;
        }
        QFile f(retorno);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QString texto = vorta::fromCp1252(f.readAll());
        f.close();
        QDateTime data;
        if (texto.startsWith(QLatin1String("200")) && LeRetornoEntrega(p.sistema, texto))
            data = DataHoraRetorno(DeclaracaoAtual.DataHora);
        if (!data.isValid()) {
            registraLog(QStringLiteral("Resposta %1 não gravada: data de entrega inválida").arg(retorno));
            continue;
        }
        try {
            if (atualizaEntrega(data, texto, DeclaracaoAtual.Protocolo, p.sistema, p.versao, p.chave, p.arquivo))
                QFile::remove(retorno);
        } catch (const std::exception& e) {
            registraLog(QStringLiteral("Resposta %1 não gravada: %2").arg(retorno, textoDe(e)));
        }
    }
    DeclaracaoAtual = guardada;
}
