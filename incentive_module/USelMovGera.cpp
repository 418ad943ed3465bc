#include "USelMovGera.h"

#include "DialogsX.h"
#include "UDM_MTC.h"
#include "UDm_Gerar.h"
#include "UProtMTC.h"
#include "Ufuncoes.h"
#include "comum.h"
#include "uDmVortaModule.h"

#include "platform/core/Clock.h"
#include "platform/core/Exceptions.h"
#include "platform/report/ReportPrinter.h"
#include "platform/ui/Application.h"
#include "platform/zip/Zip.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QVBoxLayout>

using namespace vorta::db;
using namespace vorta::ui;

vorta::Guarded<TSelMovGera> SelMovGera;

namespace {
const char* kSqlGerar =
    "Select qel_movimento.con_iecnpjcpf, mov_codigo, Con_Nome, Mov_Ano_Referencia, Mov_Mes_Referencia, Mov_Tipo, "
    "Mov_Situacao From Contribuinte, Qel_Movimento Where contribuinte.Con_IECNPJCPF = qel_movimento.Con_IECnpjCPF "
    "and Qel_Movimento.Mov_Situacao = 'N' Order By qel_movimento.Con_IECNPJCPF, Mov_Ano_Referencia, "
    "Mov_Mes_Referencia, Mov_Tipo";

// The movement was stamped 'G' (or is being generated) and must go back to validated.
void repoeMovimento(const QString& ie, const QString& ano, const QString& mes, const QString& tipo, int codigo)
{
    Query* q = DM_MTC->QryGeral;
    q->close();
    q->setSql(QStringLiteral("Update Qel_Movimento set Mov_Situacao = 'N' Where con_IECNPJCPF = :vIEContribuinte "
                             "and mov_Ano_referencia = :vAno and mov_Mes_referencia = :vMes and mov_Tipo = :vTipo "
                             "and mov_codigo = :vCodigo"));
    q->paramByName(QStringLiteral("vIEContribuinte"))->setAsString(ie);
    q->paramByName(QStringLiteral("vAno"))->setAsInteger(ano.toInt());
    q->paramByName(QStringLiteral("vMes"))->setAsInteger(mes.toInt());
    q->paramByName(QStringLiteral("vTipo"))->setAsString(tipo);
    q->paramByName(QStringLiteral("vCodigo"))->setAsInteger(codigo);
    q->execSql();
}

// Replaces target with source, removing an older target first.
void poeNoLugar(const QString& source, const QString& target)
{
    if (QFile::rename(source, target))
        return;
    QFile::remove(target);
    if (!QFile::rename(source, target))
        throw vorta::EInOutError(QStringLiteral("Não foi possível gravar %1").arg(target));
}
} // namespace

TSelMovGera::TSelMovGera(vorta::Component* owner) : Form(owner)
{
    setObjectName(QStringLiteral("SelMovGera"));
    setName(QStringLiteral("SelMovGera"));
    setCaption(QStringLiteral("Seleção de Movimentos para Geração/Disponibilização para Entrega"));
    position = FormPosition::ScreenCenter;
    setClientSize(640, 420);

    QryGerar = new Query(this);
    QryGerar->setName(QStringLiteral("QryGerar"));
    QryGerar->setDatabase(DM_MTC->dbMTC);
    QryGerar->setSql(QString::fromLatin1(kSqlGerar));
    QryGerar->addField(QStringLiteral("con_iecnpjcpf"), FieldType::String, 18);
    QryGerar->addField(QStringLiteral("Con_Nome"), FieldType::String, 40);
    QryGerar->addField(QStringLiteral("Mov_Ano_Referencia"), FieldType::Integer);
    QryGerar->addField(QStringLiteral("Mov_Mes_Referencia"), FieldType::Integer);
    QryGerar->addField(QStringLiteral("mov_codigo"), FieldType::Integer);
    QryGerar->addField(QStringLiteral("Mov_Tipo"), FieldType::String, 1);
    QryGerar->addField(QStringLiteral("Mov_Situacao"), FieldType::String, 1);
    QryGerar->addField(QStringLiteral("str_situacao"), FieldType::String, 20, FieldKind::Calculated);
    QryGerar->OnCalcFields = [this](DataSet& ds) { QryGerarCalcFields(ds); };
    dsGerar = new DataSource(this);
    dsGerar->setName(QStringLiteral("dsGerar"));
    dsGerar->setDataSet(QryGerar);
    Checksum = new TChecksum(this);
    Checksum->setName(QStringLiteral("Checksum"));

    auto* layout = new QVBoxLayout(this);
    auto* busca = new Panel(this, QStringLiteral("PanelBusca"));
    auto* buscaLayout = new QHBoxLayout(busca);
    RadioGroup_Contribuinte = new RadioGroup(busca, QStringLiteral("RadioGroup_Contribuinte"));
    RadioGroup_Contribuinte->setCaption(QStringLiteral(" Busca por "));
    RadioGroup_Contribuinte->setItems({QStringLiteral("Por Inscrição"), QStringLiteral("Por Razão Social")});
    RadioGroup_Contribuinte->setItemIndex(1);
    RadioGroup_Contribuinte->setMinimumSize(170, 70);
    Edit_Busca = new Edit(busca, QStringLiteral("Edit_Busca"));
    Edit_Busca->OnKeyDown = [this](QWidget*, int& key, Qt::KeyboardModifiers) { Edit_BuscaKeyDown(key); };
    buscaLayout->addWidget(RadioGroup_Contribuinte);
    buscaLayout->addWidget(Edit_Busca, 1);
    layout->addWidget(busca);

    dbgMovimento = new DBGrid(this, QStringLiteral("dbgMovimento"));
    dbgMovimento->setOptions(DBGrid::dgTitles | DBGrid::dgIndicator | DBGrid::dgColumnResize | DBGrid::dgColLines
                             | DBGrid::dgRowLines | DBGrid::dgRowSelect | DBGrid::dgAlwaysShowSelection
                             | DBGrid::dgMultiSelect);
    dbgMovimento->setReadOnly(true);
    dbgMovimento->setDataSource(dsGerar);
    dbgMovimento->addColumn(QStringLiteral("con_iecnpjcpf"), QStringLiteral("Inscrição"), 90);
    dbgMovimento->addColumn(QStringLiteral("Con_Nome"), QStringLiteral("Nome / Razão Social"), 220);
    dbgMovimento->addColumn(QStringLiteral("Mov_Mes_Referencia"), QStringLiteral("Mês"), 40);
    dbgMovimento->addColumn(QStringLiteral("Mov_Ano_Referencia"), QStringLiteral("Ano"), 50);
    dbgMovimento->addColumn(QStringLiteral("Mov_Tipo"), QStringLiteral("Tipo"), 40);
    dbgMovimento->addColumn(QStringLiteral("str_situacao"), QStringLiteral("Situacao"), 100);
    layout->addWidget(dbgMovimento, 1);

    auto* botoes = new Panel(this, QStringLiteral("PanelBotoes"));
    auto* botoesLayout = new QHBoxLayout(botoes);
    auto speed = [&](const char* name, const char* caption) {
        auto* b = new SpeedButton(botoes, QString::fromLatin1(name));
        b->setCaption(QString::fromUtf8(caption));
        botoesLayout->addWidget(b);
        return b;
    };
    btPrimeiro = speed("btPrimeiro", "|<");
    btAnterior = speed("btAnterior", "<");
    btProximo = speed("btProximo", ">");
    btUltimo = speed("btUltimo", ">|");
    botoesLayout->addStretch(1);
    BtGerar = new Button(botoes, QStringLiteral("BtGerar"));
    BtGerar->setCaption(QStringLiteral("&Gerar Arquivo"));
    btSair = new Button(botoes, QStringLiteral("btSair"));
    btSair->setCaption(QStringLiteral("&Retornar"));
    botoesLayout->addWidget(BtGerar);
    botoesLayout->addWidget(btSair);
    SpeedButton1 = speed("SpeedButton1", "&Sair");
    layout->addWidget(botoes);
    msgStatus = new StatusBar(this);
    msgStatus->addPanel({QString(), 400});
    layout->addWidget(msgStatus);

    btPrimeiro->OnClick = [this](QWidget*) { btPrimeiroClick(); };
    btAnterior->OnClick = [this](QWidget*) { btAnteriorClick(); };
    btProximo->OnClick = [this](QWidget*) { btProximoClick(); };
    btUltimo->OnClick = [this](QWidget*) { btUltimoClick(); };
    BtGerar->OnClick = [this](QWidget*) { BtGerarClick(); };
    btSair->OnClick = [this](QWidget*) { btSairClick(); };
    SpeedButton1->OnClick = [this](QWidget*) { SpeedButton1Click(); };
    OnShow = [this](Form*) { FormShow(); };
}

void TSelMovGera::QryGerarCalcFields(DataSet& ds)
{
    const QString s = ds.fieldByName(QStringLiteral("Mov_Situacao"))->asString();
    QString text;
    if (s == QLatin1String("?"))
        text = QStringLiteral("? - Pendente");
    else if (s == QLatin1String("N"))
        text = QStringLiteral("N - Validado");
    else if (s == QLatin1String("G"))
        text = QStringLiteral("G - Gerado");
    ds.fieldByName(QStringLiteral("str_situacao"))->setAsString(text);
}

void TSelMovGera::FormShow()
{
    QryGerar->close();
    QryGerar->open();
}

void TSelMovGera::habilitaNavegacao(bool first, bool prior, bool next, bool last)
{
    msgStatus->setPanelText(0, GetErrorMessage(91));
    btPrimeiro->setEnabled(first);
    btAnterior->setEnabled(prior);
    btProximo->setEnabled(next);
    btUltimo->setEnabled(last);
}

void TSelMovGera::btPrimeiroClick()
{
    QryGerar->first();
    habilitaNavegacao(false, false, true, true);
}

void TSelMovGera::btAnteriorClick()
{
    QryGerar->prior();
    habilitaNavegacao(true, true, true, true);
}

void TSelMovGera::btProximoClick()
{
    QryGerar->next();
    habilitaNavegacao(true, true, true, true);
}

void TSelMovGera::btUltimoClick()
{
    QryGerar->last();
    habilitaNavegacao(true, true, false, false);
}

void TSelMovGera::Edit_BuscaKeyDown(int& key)
{
    if (key != 13)
        return;
    const QString field = RadioGroup_Contribuinte->itemIndex() == 0 ? QStringLiteral("Con_IECNPJCPF")
                                                                     : QStringLiteral("Con_Nome");
    const QString text = Edit_Busca->text();
    QryGerar->setFilter(field + QStringLiteral("='") + text + QStringLiteral("*'"));
    if (!QryGerar->locate(field, text, loPartialKey))
        QryGerar->setFilter(QString());
}

void TSelMovGera::btSairClick() { close(); }

void TSelMovGera::SpeedButton1Click()
{
    if (MsgSimNaoBD(86) == 6)
        vorta::Application::instance()->terminate();
}

double TSelMovGera::StringToFloat(const QString& text)
{
    const QChar decimal = QLocale().decimalPoint().at(0);
    QString kept;
    bool decimalSeen = false;
    for (int i = int(text.size()) - 1; i >= 0; --i) {
        const QChar c = text.at(i);
        if (c.isDigit())
            kept.prepend(c);
        else if (c == decimal && !decimalSeen) {
            kept.prepend(QLatin1Char('.'));
            decimalSeen = true;
        } else if (i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+')))
            kept.prepend(c);
    }
    return kept.toDouble();
}

QString TSelMovGera::NomeDeclaracao(const QString& inscricao, int ano, int mes, const QString& tipo)
{
    const QString ano2 = QString::number(ano).right(2).rightJustified(2, QLatin1Char('0'));
    return QStringLiteral("ZIR") + tipo + inscricao.mid(2, 6) + QLatin1Char('.')
        + QString::number(mes, 16).toUpper().left(1) + ano2;
}

QByteArray TSelMovGera::ComentarioZip(const QString& crc, const QString& versao)
{
    return (crc + QStringLiteral("\r\nVorta") + RemoveMascara(versao).left(3)).toLatin1();
}

void TSelMovGera::CriaNomeArqProt(const QString& tipo)
{
    NomeArquivo = NomeDeclaracao(Inscricao, Ano.toInt(), Mes.toInt(), tipo);
    QFile::remove(DirTemp + NomeArquivo);
}

QString TSelMovGera::zipTemporario() const { return DirArquivos + NomeArquivo + QStringLiteral(".novo"); }
QString TSelMovGera::imagemTemporaria() const { return DirArquivos + QStringLiteral("ProtZIR001.emf"); }

void TSelMovGera::descartaTemporarios()
{
    QFile::remove(DirTemp + NomeArquivo);
    QFile::remove(zipTemporario());
    QFile::remove(imagemTemporaria());
}

void TSelMovGera::CompactarArquivo()
{
    // Zipped under a temporary name: the live file changes only once everything worked.
    QFile::remove(zipTemporario());
    vorta::Application::instance()->processMessages();
    bool ok = true;
    try {
        vorta::zip::writeZip(zipTemporario(), {{DirTemp + NomeArquivo, NomeArquivo}}, 9,
                             ComentarioZip(CRC, Versao));
        ok = QFile::exists(zipTemporario());
    } catch (const vorta::zip::EZipError&) {
        ok = false;
    }
    QFile::remove(DirTemp + NomeArquivo);
    if (!ok) {
        MsgErroBD(8);
        vorta::Abort();
    }
}

void TSelMovGera::CriaProtocolo()
{
    auto owner = TFormAutoDestroyer::Create();
    TProtMTC* prot = owner->CreateForm(ProtMTC, nullptr);
    prot->Preenche(Codigo);
    prot->prepare();
    // A page left from an earlier export must not pass for this one.
    QFile::remove(imagemTemporaria());
    const QStringList pages = prot->exportToEmf(DirArquivos + QStringLiteral("ProtZIR.emf"));
    vorta::Application::instance()->processMessages();
    for (int i = 1; i < pages.size(); ++i)
        QFile::remove(pages[i]);
    owner.reset();
    ProtMTC = nullptr;
}

void TSelMovGera::gravaEntrega(const QString& versao)
{
    const QString chave = Inscricao + Ano + Mes + Tipo + StrZero(QString::number(Codigo), 5);
    Table* t = Dm_Gerar->TEntrega;
    // The base module changes these rows through its own connection.
    t->close();
    t->open();
    if (t->locate(QStringLiteral("Sistema;Versao;Chave"), {QStringLiteral("ZIR"), versao, chave}, loCaseInsensitive)) {
        if (!t->fieldByName(QStringLiteral("Data_Entrega"))->isNull())
            return;
        t->edit();
        for (const char* c : {"Data_Copia", "Data_Entrega", "Dados_Entrega", "Protocolo", "ResultadoProcessamento",
                              "ResultadoTipo"})
            t->fieldByName(QString::fromLatin1(c))->clear();
        t->fieldByName(QStringLiteral("CRC"))->setAsString(CRC);
    } else {
        t->insert();
        t->fieldByName(QStringLiteral("Sistema"))->setAsString(QStringLiteral("ZIR"));
        t->fieldByName(QStringLiteral("Versao"))->setAsString(versao);
        t->fieldByName(QStringLiteral("Arquivo"))->setAsString(NomeArquivo);
        t->fieldByName(QStringLiteral("Chave"))->setAsString(chave);
        t->fieldByName(QStringLiteral("CRC"))->setAsString(CRC);
        t->fieldByName(QStringLiteral("Data_Geracao"))->setAsDateTime(vorta::now());
        t->fieldByName(QStringLiteral("Inscricao"))->setAsString(Inscricao);
        t->fieldByName(QStringLiteral("Referencia"))->setAsString(Ano + QStringLiteral(" - ") + Mes);
        t->fieldByName(QStringLiteral("Motivo"))->setAsString(Tipo);
        t->fieldByName(QStringLiteral("Nome"))->setAsString(
            Dm_Gerar->QryContribuinte->fieldByName(QStringLiteral("Con_Nome"))->asString());
    }
    if (t->state() == DataSetState::Edit || t->state() == DataSetState::Insert)
        t->post();
}

void TSelMovGera::LinhasArquivo()
{
    Versao = GetVersionExe(QCoreApplication::applicationFilePath());
    VersaoTres = RemoveMascara(Versao).left(3);
    Inscricao = QryGerar->fieldByName(QStringLiteral("con_iecnpjcpf"))->asString();
    Ano = QString::number(QryGerar->fieldByName(QStringLiteral("Mov_Ano_Referencia"))->asInteger());
    Mes = QString::number(QryGerar->fieldByName(QStringLiteral("Mov_Mes_Referencia"))->asInteger());
    Tipo = QryGerar->fieldByName(QStringLiteral("Mov_Tipo"))->asString();
    Codigo = int(QryGerar->fieldByName(QStringLiteral("mov_codigo"))->asInteger());
    NomeArquivo.clear();

    Database* db = DM_MTC->dbMTC;
    db->startTransaction();
    try {
        Query* q = DM_MTC->QryGeral;
        q->close();
        q->setSql(QStringLiteral("Update Qel_Movimento set mov_situacao = :vSituacao, mov_dt_hr_geracao = "
                                 ":vDataGeracao, mov_versao = :vVersaoGeracao where con_iecnpjcpf = :vIEContribuinte "
                                 "and mov_ano_referencia = :vano and mov_Mes_referencia = :vMes and mov_Tipo = :vTipo "
                                 "and mov_codigo = :vCodigo"));
        q->paramByName(QStringLiteral("vSituacao"))->setAsString(QStringLiteral("G"));
        q->paramByName(QStringLiteral("vDataGeracao"))->setAsDateTime(vorta::now());
        q->paramByName(QStringLiteral("vVersaoGeracao"))->setAsString(Versao);
        q->paramByName(QStringLiteral("vIEContribuinte"))->setAsString(Inscricao);
        q->paramByName(QStringLiteral("vano"))->setAsInteger(Ano.toInt());
        q->paramByName(QStringLiteral("vMes"))->setAsInteger(Mes.toInt());
        q->paramByName(QStringLiteral("vTipo"))->setAsString(Tipo);
        q->paramByName(QStringLiteral("vCodigo"))->setAsInteger(Codigo);
        q->execSql();

        Dm_Gerar->AbreMovimento(Codigo, Ano.toInt(), Mes.toInt());
        Query* mov = Dm_Gerar->qryMovimento;
        const int mes = int(mov->fieldByName(QStringLiteral("Mov_Mes_Referencia"))->asInteger());
        MesHex = QString::number(mes, 16).toUpper();
        CriaNomeArqProt(mov->fieldByName(QStringLiteral("Mov_Tipo"))->asString());
        const QString versao = mov->fieldByName(QStringLiteral("Mov_Versao"))->asString();
        const QString chave = Inscricao + Ano + Mes + Tipo + StrZero(QString::number(Codigo), 5);

        // Another movement's file still waiting for delivery would be overwritten.
        Query* outro = DM_MTC->qryaux;
        outro->close();
        outro->setSql(QStringLiteral("select Chave from Entrega where Sistema = 'ZIR' and Arquivo = :vArquivo and "
                                     "Chave <> :vChave and Data_Entrega is null"));
        outro->paramByName(QStringLiteral("vArquivo"))->setAsString(NomeArquivo);
        outro->paramByName(QStringLiteral("vChave"))->setAsString(chave);
        outro->open();
        const bool ocupado = !outro->isEmpty();
        outro->close();
        if (ocupado)
            throw vorta::Exception(QStringLiteral("O arquivo %1 de outro movimento aguarda entrega e não pode ser "
                                                  "substituído.")
                                       .arg(NomeArquivo));

        Dm_Gerar->SalvaPacote(DirTemp + NomeArquivo);
        if (!QFile::exists(DirTemp + NomeArquivo)) {
            MsgErroBD(504);
            vorta::Abort();
        }
        CRC = Checksum->CRCFile(DirTemp + NomeArquivo);
        if (CRC == Checksum->ErrorResult) {
            MsgErroBD(504);
            vorta::Abort();
        }
        CompactarArquivo();
        CriaProtocolo();
        if (!QFile::exists(zipTemporario()) || !QFile::exists(imagemTemporaria())) {
            MsgErroBD(504);
            vorta::Abort();
        }
        poeNoLugar(zipTemporario(), DirArquivos + NomeArquivo);
        poeNoLugar(imagemTemporaria(), DirArquivos + QStringLiteral("P") + NomeArquivo.left(14));
        gravaEntrega(versao);
        db->commit(true);
    } catch (...) {
        // Every failure shows its text, but the silent abort: its message was shown.
        try {
            throw;
        } catch (const vorta::EAbort&) {
        } catch (const vorta::Exception& e) {
            MessageDlg(e.message(), mtInformation, TMsgDlgButtons{mbOK}, 0);
        } catch (const std::exception& e) {
            MessageDlg(QString::fromLocal8Bit(e.what()), mtInformation, TMsgDlgButtons{mbOK}, 0);
        }
        if (db->inTransaction())
            db->rollback();
        descartaTemporarios();
        throw;
    }
}

void TSelMovGera::BtGerarClick()
{
    Impressora = vorta::report::anyPrinterInstalled();
    if (!Impressora) {
        MsgErroBD(1414);
        return;
    }
    BtGerar->setEnabled(false);
    vorta::Screen::instance().setCursor(vorta::Screen::Cursor::HourGlass);
    QryGerar->disableControls();
    auto restaura = [&] {
        QryGerar->enableControls();
        vorta::Screen::instance().setCursor(vorta::Screen::Cursor::Default);
        BtGerar->setEnabled(true);
        if (Dm_Gerar->qryMovimento->active()) {
            Dm_Gerar->qryMovimento->close();
            Dm_Gerar->qryMovimento->open();
        }
    };
    try {
        const QList<Bookmark> rows = dbgMovimento->selectedRows();
        if (rows.isEmpty()) {
            restaura();
            MsgErroBD(1674);
            return;
        }
        for (const Bookmark& b : rows) {
            QryGerar->gotoBookmark(b);
            try {
                LinhasArquivo();
            } catch (...) {
                repoeMovimento(Inscricao, Ano, Mes, Tipo, Codigo);
                restaura();
                MsgErroBD(1565);
                QryGerar->close();
                QryGerar->open();
                return;
            }
        }
    } catch (...) {
        restaura();
        throw;
    }
    restaura();
    // Generated movements leave the list.
    dbgMovimento->clearSelectedRows();
    QryGerar->close();
    QryGerar->open();
    MsgInfoBD(485);
}

void MostraSelMovGera()
{
    auto owner = TFormAutoDestroyer::Create();
    owner->CreateForm(SelMovGera, vorta::Application::instance())->showModal();
}
