#include "uBackup.h"

#include "Ufuncoes.h"
#include "comum.h"
#include "uDmVortaModule.h"

#include "platform/core/Clock.h"
#include "platform/core/Exceptions.h"
#include "platform/db/Database.h"
#include "platform/db/Field.h"
#include "platform/db/Table.h"
#include "platform/os/Drives.h"
#include "platform/os/FileSearch.h"
#include "platform/ui/Application.h"
#include "platform/zip/UnZip.h"
#include "platform/zip/Zip.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

vorta::Guarded<TBackup> Backup;

using vorta::ui::Button;
using vorta::ui::Label;

QString NomeDoBackup(const QDate& data)
{
    return QStringLiteral("BakVorta") + data.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".zip");
}

namespace {

const QString PastaDados = QStringLiteral("Dados");
const QString PastaArquivos = QStringLiteral("Arquivos");

bool arquivoDoBanco(const QString& nome)
{
    const QString banco = QString::fromLatin1(vorta::db::kDatabaseFileName);
    return nome == banco || nome == banco + QStringLiteral("-wal") || nome == banco + QStringLiteral("-shm")
        || nome == banco + QStringLiteral("-journal");
}

bool semCompactar(const QString& entrada, const QStringList& mascaras)
{
    const QString nome = QFileInfo(entrada).fileName();
    for (QString m : mascaras) {
        m.replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (vorta::os::matchesFileMask(m.contains(QLatin1Char('/')) ? entrada : nome, m))
            return true;
    }
    return false;
}

// Every file under pasta (its sub-folders too), as entries prefixo + "/" + relative path.
void adiciona(std::vector<vorta::zip::ZipInput>& entradas, const QString& pasta, const QString& prefixo,
              const QStringList& mascaras, bool pulaBanco)
{
    const QDir raiz(pasta);
    QDirIterator it(pasta, QDir::Files | QDir::NoSymLinks, QDirIterator::Subdirectories);
    QStringList relativos;
    while (it.hasNext())
        relativos << raiz.relativeFilePath(it.next());
    relativos.sort();
    for (const QString& rel : relativos) {
        if (pulaBanco && arquivoDoBanco(rel))
            continue;
        const QString entrada = prefixo + QLatin1Char('/') + rel;
        entradas.push_back({raiz.filePath(rel), entrada, semCompactar(entrada, mascaras)});
    }
}

// The sub-folder of pasta whose name is nome in any case, or "".
QString subpasta(const QString& pasta, const QString& nome)
{
    for (const QString& s : QDir(pasta).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (s.compare(nome, Qt::CaseInsensitive) == 0)
            return QDir(pasta).filePath(s) + QLatin1Char('/');
    return QString();
}

bool comecaCom(const QString& entrada, const QString& pasta)
{
    return entrada.startsWith(pasta + QLatin1Char('/'), Qt::CaseInsensitive);
}

// Versions compare as (major, minor) in order, never by their sum: 1.5 is older than 2.0.
bool maisAntiga(int major, int minor, int outroMajor, int outroMinor)
{
    return major < outroMajor || (major == outroMajor && minor < outroMinor);
}

} // namespace

void GravaBackup(const QString& destino, const QStringList& semSerCompactados, const TAcompanhamento& a)
{
    InicializarVariaveisGlobais();
    const QFileInfo alvo(destino);
    QTemporaryDir copia(QDir(DirTemp).exists() ? DirTemp + QStringLiteral("BakVortaXXXXXX") : QString());
    if (!copia.isValid())
        throw vorta::Exception(QStringLiteral("Não foi possível criar a pasta temporária: %1").arg(copia.errorString()));
    // The database as it stands at one moment, while other programs may go on writing.
    const QString banco = copia.filePath(QString::fromLatin1(vorta::db::kDatabaseFileName));
    {
        vorta::db::Database db;
        db.setDatabaseName(QStringLiteral("DB_CopiaSeguranca"));
        db.setDirectory(DirDados);
        db.backupTo(banco);
    }
    std::vector<vorta::zip::ZipInput> entradas;
    adiciona(entradas, DirDados, PastaDados, semSerCompactados, true);
    const QString entradaBanco = PastaDados + QLatin1Char('/') + QString::fromLatin1(vorta::db::kDatabaseFileName);
    entradas.push_back({banco, entradaBanco, semCompactar(entradaBanco, semSerCompactados)});
    if (QDir(DirArquivos).exists())
        adiciona(entradas, DirArquivos, PastaArquivos, semSerCompactados, false);

    const QString novo = alvo.absolutePath() + QStringLiteral("/.") + alvo.fileName() + QStringLiteral(".novo");
    struct Remove {
        QString nome;
        ~Remove() { QFile::remove(nome); }
    } removeNovo{novo};
    vorta::zip::ZipMonitor monitor;
    if (a.progresso)
        monitor.progress = [&](double feito) { a.progresso(int(feito * 100)); };
    monitor.cancel = a.cancelado;
    vorta::zip::writeZip(novo, entradas, 9, {}, monitor);
    QFile::setPermissions(novo, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // Read back whole before it takes the place of an older copy.
    {
        vorta::zip::UnZip u;
        u.open(novo);
        const QStringList nomes = u.entries();
        if (nomes.size() != int(entradas.size()))
            throw vorta::Exception(QStringLiteral("A cópia %1 não contém todos os arquivos.").arg(destino));
        for (int i = 0; i < nomes.size(); ++i)
            if (!u.testEntry(i))
                throw vorta::Exception(QStringLiteral("A cópia %1 não pôde ser lida de volta (%2).").arg(destino, nomes.at(i)));
    }
    if (std::rename(QFile::encodeName(novo).constData(), QFile::encodeName(destino).constData()) != 0)
        throw vorta::Exception(QStringLiteral("Não foi possível gravar %1.").arg(destino));
}

void RestauraBackup(const QString& arquivo, const TAcompanhamento& a)
{
    InicializarVariaveisGlobais();
    auto situacao = [&](const QString& t) {
        if (a.situacao)
            a.situacao(t);
    };
    auto registra = [&](const QString& t) {
        if (a.registro)
            a.registro(t);
    };
    QDir().mkpath(DirBackup);
    // A work folder of this restore alone, removed whatever happens.
    QTemporaryDir trabalho(DirBackup + QStringLiteral("RestauraXXXXXX"));
    if (!trabalho.isValid())
        throw vorta::Exception(QStringLiteral("Não foi possível criar a pasta de trabalho: %1").arg(trabalho.errorString()));
    const QString pasta = trabalho.path() + QLatin1Char('/');
    situacao(QStringLiteral("Descompactando arquivos..."));
    {
        vorta::zip::UnZip u;
        u.open(arquivo);
        try {
            u.extractTree(
                pasta,
                [](const QString& nome) { return comecaCom(nome, PastaDados) || comecaCom(nome, PastaArquivos); },
                [&](double feito) {
                    if (a.progresso)
                        a.progresso(int(feito * 100));
                },
                a.cancelado);
        } catch (const vorta::EAbort&) {
            MsgErroBD(10);
            throw;
        }
    }
    const QString dados = subpasta(pasta, PastaDados);
    if (dados.isEmpty() || !QFile::exists(dados + QString::fromLatin1(vorta::db::kDatabaseFileName)))
        throw vorta::Exception(QStringLiteral("O arquivo %1 não contém o banco de dados.").arg(arquivo));

    vorta::db::Database bak;
    bak.setDatabaseName(QStringLiteral("DB_Backup"));
    bak.setDirectory(dados);
    bak.open();
    vorta::db::Database inst;
    inst.setDatabaseName(QStringLiteral("DB_Restauracao"));
    inst.setDirectory(DirDados);
    inst.open();

    // Every table's version first: nothing is imported from a copy of a newer system.
    QStringList importar;
    for (const QString& nome : bak.tableNames()) {
        situacao(QStringLiteral("Obtendo versão da Tabela ") + nome + QStringLiteral("..."));
        vorta::db::Table tb;
        tb.setDatabase(&bak);
        tb.setTableName(nome);
        const int bMajor = tb.userMajorVersion(), bMinor = tb.userMinorVersion();
        if (!inst.tableExists(nome))
            continue;
        vorta::db::Table ti;
        ti.setDatabase(&inst);
        ti.setTableName(nome);
        if (maisAntiga(ti.userMajorVersion(), ti.userMinorVersion(), bMajor, bMinor)) {
            MsgErroBD(1417);
            vorta::Abort();
        }
        importar << nome;
    }

    {
        // All tables or none: a failure half-way leaves the installed data as it was.
        vorta::db::TransactionGuard transacao(inst);
        for (const QString& nome : importar) {
            vorta::db::Table tb;
            tb.setDatabase(&bak);
            tb.setTableName(nome);
            try {
                tb.open();
            } catch (const vorta::Exception&) {
                MsgErroBD(1312, {nome});
                continue;
            }
            vorta::db::Table ti;
            ti.setDatabase(&inst);
            ti.setTableName(nome);
            ti.open();
            if (tb.isEmpty())
                continue;
            QVector<QPair<vorta::db::Field*, vorta::db::Field*>> campos;
            for (int i = 0; i < ti.fieldCount(); ++i)
                if (vorta::db::Field* b = tb.findField(ti.fields(i)->fieldName()))
                    campos << qMakePair(ti.fields(i), b);
            auto copiaLinha = [&] {
                for (const auto& [i, b] : campos)
                    i->setValue(b->value());
                ti.post();
            };
            const QStringList chave = ti.primaryIndexFields();
            situacao(QStringLiteral("Importando dados da tabela: ") + nome);
            if (chave.isEmpty()) {
                // A table without a key holds settings (the proxy row, the programme's
                // parameters): the copy's rows take the place of the installed ones.
                ti.emptyTable();
                for (tb.first(); !tb.eof(); tb.next()) {
                    ti.append();
                    copiaLinha();
                }
                continue;
            }
            ti.setIndexFieldNames(chave.join(QLatin1Char(';')));
            // A delivery the authority has received is never undone by an older copy.
            const bool entrega = nome.compare(QStringLiteral("Entrega"), Qt::CaseInsensitive) == 0;
            vorta::db::Field* entregueInst = entrega ? ti.findField(QStringLiteral("Data_Entrega")) : nullptr;
            vorta::db::Field* entregueBak = entrega ? tb.findField(QStringLiteral("Data_Entrega")) : nullptr;
            for (tb.first(); !tb.eof(); tb.next()) {
                QVariantList valores;
                for (const QString& c : chave) {
                    vorta::db::Field* b = tb.findField(c);
                    valores << (b ? b->value() : QVariant());
                }
                if (ti.findKey(valores)) {
                    if (entregueInst && !entregueInst->isNull() && (!entregueBak || entregueBak->isNull())) {
                        QStringList k;
                        for (const QVariant& v : valores)
                            k << v.toString();
                        registra(QStringLiteral("Entrega %1 mantida: já foi entregue em %2 e a cópia de segurança "
                                                "não a tem como entregue.")
                                     .arg(k.join(QLatin1Char('/')), entregueInst->asString()));
                        continue;
                    }
                    ti.edit();
                } else {
                    ti.append();
                }
                copiaLinha();
            }
        }
        transacao.commit();
    }

    const QString arquivos = subpasta(pasta, PastaArquivos);
    if (!arquivos.isEmpty()) {
        QDir().mkpath(DirArquivos);
        for (const QString& n : QDir(arquivos).entryList(QDir::Files)) {
            const QString alvo = DirArquivos + n;
            if (!QFile::exists(alvo) && !QFile::copy(arquivos + n, alvo))
                throw vorta::Exception(QStringLiteral("Não foi possível copiar %1 para %2.").arg(n, DirArquivos));
        }
    }
}

TBackup::TBackup(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("Backup"));
    setObjectName(QStringLiteral("Backup"));
    setCaption(QStringLiteral("Cópia de Segurança"));
    setBorderStyle(vorta::ui::BorderStyle::Single);
    position = vorta::ui::FormPosition::ScreenCenter;
    setClientSize(520, 420);

    PageControl1 = new vorta::ui::PageControl(this, QStringLiteral("PageControl1"));
    PageControl1->setGeometry(8, 8, 504, 330);
    TabCopiar = new vorta::ui::TabSheet(PageControl1, QStringLiteral("&Copiar"), QStringLiteral("TabCopiar"));
    TabRestaurar = new vorta::ui::TabSheet(PageControl1, QStringLiteral("R&estaurar"), QStringLiteral("TabRestaurar"));

    auto rotulo = [](QWidget* pai, const char* texto, const char* nome, int x, int y, int w) {
        auto* l = new Label(pai, QString::fromUtf8(texto), QString::fromLatin1(nome));
        l->setGeometry(x, y, w, 18);
        return l;
    };
    auto botao = [](QWidget* pai, const char* nome, const char* caption, int x, int y) {
        auto* b = new Button(pai, QString::fromLatin1(nome));
        b->setCaption(QString::fromUtf8(caption));
        b->setBounds(x, y, 100, 28);
        return b;
    };
    Label* aviso = rotulo(TabCopiar, "Aviso:", "Label1", 10, 8, 60);
    QFont forte = aviso->font();
    forte.setBold(true);
    aviso->setFont(forte);
    rotulo(TabCopiar, "Para fazer uma cópia de segurança selecione um local  seguro.", "Label2", 70, 8, 420);
    rotulo(TabCopiar, "Selecione o destino:", "Label3", 10, 34, 300);
    rotulo(TabRestaurar, "Favor selecionar o arquivo a ser restaurado:", "Label4", 10, 8, 480);
    rotulo(TabRestaurar, "Selecione a origem:", "Label5", 10, 34, 300);
    // A drive box over a folder list with the folder's path beside it, on each page.
    auto escolha = [&](vorta::ui::TabSheet* aba, const char* sufixo, int largura, vorta::ui::DriveComboBox*& drive,
                       vorta::ui::DirectoryListBox*& pastas, Label*& caminho) {
        const QString s = QString::fromLatin1(sufixo);
        drive = new vorta::ui::DriveComboBox(aba, QStringLiteral("Drive") + s);
        drive->setGeometry(10, 56, 120, 24);
        caminho = rotulo(aba, "", ("LbDir" + QByteArray(sufixo)).constData(), 140, 58, 350);
        pastas = new vorta::ui::DirectoryListBox(aba, QStringLiteral("Dir") + s);
        pastas->setGeometry(10, 84, largura, 170);
        pastas->dirLabel = caminho;
        drive->dirList = pastas;
    };
    escolha(TabCopiar, "Copia", 480, DriveCopia, DirCopia, LbDirCopia);
    escolha(TabRestaurar, "Restaura", 235, DriveRestaura, DirRestaura, LbDirRestaura);
    btCopiar = botao(TabCopiar, "btCopiar", " Cop&iar", 280, 262);
    btCancelar = botao(TabCopiar, "btCancelar", " C&ancelar", 390, 262);
    FileRestaura = new vorta::ui::FileListBox(TabRestaurar, QStringLiteral("FileRestaura"));
    FileRestaura->mask = QStringLiteral("*.zip*");
    FileRestaura->setGeometry(255, 84, 235, 170);
    DirRestaura->fileList = FileRestaura;
    LbImportar = rotulo(TabRestaurar, "", "LbImportar", 10, 266, 260);
    LbImportar->hide();
    BitBtn3 = botao(TabRestaurar, "BitBtn3", "R&estaurar", 280, 262);
    BitBtn4 = botao(TabRestaurar, "BitBtn4", "C&ancelar", 390, 262);

    btSair = botao(this, "btSair", "&Sair", 302, 346);
    btRetornar = botao(this, "btRetornar", "&Retornar", 412, 346);
    ProgressBar1 = new vorta::ui::ProgressBar(this, QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(8, 390, 504, 20);
    ProgressBar1->setMax(100);

    btCopiar->OnClick = [this](QWidget* s) { btCopiarClick(s); };
    btCancelar->OnClick = [this](QWidget* s) { btCancelarClick(s); };
    BitBtn3->OnClick = [this](QWidget* s) { BitBtn3Click(s); };
    BitBtn4->OnClick = [this](QWidget* s) { btCancelarClick(s); };
    btRetornar->OnClick = [this](QWidget*) { close(); };
    btSair->OnClick = [](QWidget*) {
        if (MsgSimNaoBD(86) == vorta::ui::mrYes)
            vorta::Application::instance()->terminate();
    };
    OnCreate = [this](Form* f) { FormCreate(f); };
    OnShow = [this](Form* f) { FormShow(f); };
    OnClose = [](Form*, vorta::ui::CloseAction& action) { action = vorta::ui::CloseAction::Free; };
}

void TBackup::FormCreate(Form*)
{
    InicializarVariaveisGlobais();
    Raiz = DirVorta;
    if (!Raiz.isEmpty() && !Raiz.endsWith(QLatin1Char('/')))
        Raiz += QLatin1Char('/');
    PastaBackup = !DirVorta.isEmpty() && QDir().mkpath(DirBackup) ? DirBackup : vorta::os::drivePath(QLatin1Char('C'));
}

void TBackup::FormShow(Form*)
{
    for (auto [drive, lista] : {std::pair{DriveCopia, DirCopia}, std::pair{DriveRestaura, DirRestaura}}) {
        lista->setDirectory(PastaBackup);
        drive->setDrive(vorta::ui::DriveComboBox::driveOf(PastaBackup));
    }
    PageControl1->setActivePage(TabCopiar);
}

TAcompanhamento TBackup::acompanhamento()
{
    m_cancelar = false;
    TAcompanhamento a;
    a.progresso = [this](int p) {
        ProgressBar1->setPosition(p);
        // The cancel buttons are clicked while the archive is being worked on.
        QCoreApplication::processEvents();
    };
    a.cancelado = [this] { return m_cancelar; };
    a.situacao = [this](const QString& t) {
        LbImportar->setCaption(t);
        LbImportar->repaint();
    };
    a.registro = [this](const QString& t) {
        m_registro << t;
        AppendLog(DirBackup + QStringLiteral("Restauracao.log"), t);
    };
    return a;
}

bool TBackup::VerificaArquivosAbertos()
{
    return vorta::db::databaseInUseByOthers(DirDados);
}

QStringList TBackup::LeArquivoParametros()
{
    QFile f(DirDados + QStringLiteral("Backup.Conf"));
    if (!f.exists())
        return {};
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        throw vorta::Exception(QStringLiteral("Não foi possível ler %1: %2").arg(f.fileName(), f.errorString()));
    QStringList linhas;
    QTextStream in(&f);
    while (!in.atEnd()) {
        const QString l = in.readLine().trimmed();
        if (!l.isEmpty())
            linhas << l;
    }
    return linhas;
}

void TBackup::btCopiarClick(QWidget*)
{
    if (VerificaArquivosAbertos()) {
        MsgErroBD(523);
        return;
    }
    MsgInfoBD(486);
    const QString nome = NomeDoBackup(vorta::today());
    QStringList mascaras;
    try {
        mascaras = LeArquivoParametros();
    } catch (const vorta::Exception&) {
        MsgErroBD(11);
        return;
    }
    const QChar drive = DriveCopia->drive();
    if ((drive == QLatin1Char('A') || drive == QLatin1Char('B')) && MsgOkCancelaBD(7) != vorta::ui::mrOk)
        return;
    vorta::CursorGuard ampulheta;
    const QString destino = DirCopia->directory() + nome;
    // The old copy stays until the new one is complete.
    if (QFile::exists(destino) && MsgSimNaoBD(462, {destino}) != vorta::ui::mrYes)
        return;
    btCopiar->setEnabled(false);
    try {
        GravaBackup(destino, mascaras, acompanhamento());
        btCopiar->setEnabled(true);
        ProgressBar1->setPosition(0);
        MsgInfoBD(9);
    } catch (const vorta::Exception&) {
        btCopiar->setEnabled(true);
        ProgressBar1->setPosition(0);
        MsgErroBD(8);
    }
}

void TBackup::btCancelarClick(QWidget*)
{
    m_cancelar = true;
}

void TBackup::BitBtn3Click(QWidget*)
{
    const QString arquivo = FileRestaura->fileName().trimmed();
    if (arquivo.isEmpty()) {
        MsgInfoBD(525);
        return;
    }
    if (MsgSimNaoBD(12) != vorta::ui::mrYes)
        return;
    m_registro.clear();
    struct Fim {
        TBackup* f;
        ~Fim()
        {
            f->LbImportar->hide();
            f->ProgressBar1->setPosition(0);
            f->BitBtn3->setEnabled(true);
        }
    };
    vorta::CursorGuard ampulheta;
    LbImportar->show();
    BitBtn3->setEnabled(false);
    Fim fim{this};
    try {
        RestauraBackup(arquivo, acompanhamento());
    } catch (const vorta::EAbort&) {
        throw;
    } catch (const std::exception&) {
        MsgErroBD(14);
        return;
    }
    MsgInfoBD(13);
}
