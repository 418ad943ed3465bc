#include "uRepararBaseVorta.h"

#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/core/Clock.h"
#include "platform/core/Exceptions.h"
#include "platform/os/FileSearch.h"
#include "platform/ui/Application.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <optional>

vorta::Guarded<TRepararBaseVorta> RepararBaseVorta;

using vorta::ui::Button;
using vorta::ui::Label;
using vorta::ui::ProgressBar;

TRepararBaseVorta::TRepararBaseVorta(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("RepararBaseVorta"));
    setObjectName(QStringLiteral("RepararBaseVorta"));
    setCaption(QStringLiteral("Reparar banco de dados do Vorta"));
    setBorderStyle(vorta::ui::BorderStyle::Single);
    position = vorta::ui::FormPosition::ScreenCenter;
    setClientSize(520, 400);

    REPAIR = new vorta::db::Database(this);
    REPAIR->setName(QStringLiteral("REPAIR"));
    REPAIR->setDatabaseName(QStringLiteral("REPAIR"));
    Table = new vorta::db::Table(this);
    Table->setName(QStringLiteral("Table"));
    Table->setDatabase(REPAIR);
    Q_Index = new vorta::db::Query(this);
    Q_Index->setName(QStringLiteral("Q_Index"));
    Q_Index->setDatabase(REPAIR);

    auto linha = [this](Label*& l, ProgressBar*& p, const char* nome, const char* caption, const char* barra, int top) {
        l = new Label(this, QString::fromUtf8(caption), QString::fromLatin1(nome));
        l->setGeometry(10, top, 120, 18);
        p = new ProgressBar(this, QString::fromLatin1(barra));
        p->setGeometry(130, top, 380, 18);
        p->setMax(100);
    };
    linha(lbVerificando, pbVerify, "lbVerificando", "Verificando...", "pbVerify", 10);
    linha(lbReparando, pbRepair, "lbReparando", "Reparando...", "pbRepair", 36);
    linha(lbIndices, ProgressBar1, "lbIndices", "Criando Indices", "ProgressBar1", 62);

    Memo1 = new vorta::ui::Memo(this, QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setGeometry(10, 90, 500, 260);

    auto botao = [this](const char* nome, const char* caption, int left, int width) {
        auto* b = new Button(this, QString::fromLatin1(nome));
        b->setCaption(QString::fromUtf8(caption));
        b->setBounds(left, 362, width, 28);
        return b;
    };
    btVerificaRepara = botao("btVerificaRepara", "   &Verificar / Reparar", 10, 180);
    btRetornar = botao("btRetornar", "&Retornar", 330, 85);
    btSair = botao("btSair", "&Sair", 425, 85);

    Table->OnVerifyLog = [this](vorta::db::Table& t, const QString& l) { TableVerifyLog(t, l); };
    Table->OnRepairLog = [this](vorta::db::Table& t, const QString& l) { TableVerifyLog(t, l); };
    Table->OnVerifyProgress = [this](vorta::db::Table& t, int p, bool& s) { TableVerifyProgress(t, p, s); };
    Table->OnRepairProgress = [this](vorta::db::Table& t, int p, bool& s) { TableRepairProgress(t, p, s); };
    btVerificaRepara->OnClick = [this](QWidget* s) { btVerificaReparaClick(s); };
    btRetornar->OnClick = [this](QWidget*) { close(); };
    btSair->OnClick = [](QWidget*) {
        if (MsgSimNaoBD(86) == vorta::ui::mrYes)
            vorta::Application::instance()->terminate();
    };
    OnClose = [](Form*, vorta::ui::CloseAction& action) { action = vorta::ui::CloseAction::Free; };
}

void TRepararBaseVorta::habilita(bool on)
{
    for (Button* b : {btVerificaRepara, btRetornar, btSair})
        b->setEnabled(on);
}

QStringList TRepararBaseVorta::scripts(const QString& pasta)
{
    QStringList out;
    for (const vorta::os::SearchRec& r : vorta::os::findEntries(pasta + QStringLiteral("*.Conf"), 0))
        if (r.name.compare(QStringLiteral("Backup.Conf"), Qt::CaseInsensitive) != 0)
            out << pasta + r.name;
    return out;
}

bool TRepararBaseVorta::guardaCopia()
{
    if (!m_copia.isEmpty())
        return true;
    const QString nome = DirBackup + QStringLiteral("Reparo")
                       + vorta::now().toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral(".db");
    try {
        QDir().mkpath(DirBackup);
        REPAIR->backupTo(nome);
        QFile::setPermissions(nome, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        m_copia = nome;
        Memo1->addLine(QStringLiteral("Cópia do banco de dados guardada em %1").arg(nome));
        return true;
    } catch (const vorta::Exception& e) {
        Memo1->addLine(QStringLiteral("Não foi possível guardar uma cópia do banco de dados (%1); "
                                      "nenhuma tabela foi reparada.")
                           .arg(e.message()));
        return false;
    }
}

void TRepararBaseVorta::btVerificaReparaClick(QWidget*)
{
    habilita(false);
    struct Reabilita {
        TRepararBaseVorta* f;
        ~Reabilita() { f->habilita(true); }
    } reabilita{this};
    m_reparadas = 0;
    m_danificadas = 0;
    m_copia.clear();
    InicializarVariaveisGlobais();
    REPAIR->close();
    REPAIR->setDirectory(DirDados);
    // Repairing rewrites tables that another program may be reading or writing.
    if (vorta::db::databaseInUseByOthers(DirDados)) {
        Memo1->addLine(QStringLiteral("O banco de dados está em uso por outro programa; feche os demais módulos "
                                      "do sistema e tente novamente. Nada foi verificado."));
        return;
    }
    REPAIR->open();
    bool podeReparar = true;
    for (const QString& nome : REPAIR->tableNames()) {
        Table->close();
        Table->setTableName(nome);
        pbVerify->setPosition(0);
        pbRepair->setPosition(0);
        bool precisa = false;
        try {
            precisa = !Table->verifyTable();
        } catch (const vorta::Exception& e) {
            Memo1->addLine(e.message());
            precisa = true;
        }
        if (precisa) {
            podeReparar = podeReparar && guardaCopia();
            if (podeReparar) {
                try {
                    Table->repairTable();
                    ++m_reparadas;
                } catch (const vorta::Exception& e) {
                    Memo1->addLine(e.message());
                }
            }
        }
        bool sa = false;
        try {
            sa = Table->verifyTable();
        } catch (const vorta::Exception& e) {
            Memo1->addLine(e.message());
        }
        if (!sa)
            ++m_danificadas;
    }
    Table->close();
    try {
        CriaIndex();
    } catch (const vorta::Exception& e) {
        Memo1->addLine(e.message());
    }
    if (m_reparadas + m_danificadas == 0)
        MsgInfoBD(1424);
    else if (m_danificadas > 0)
        MsgInfoBD(1426);
    else
        MsgInfoBD(1425);
}

void TRepararBaseVorta::CriaIndex()
{
    const QStringList lista = scripts(DirDados);
    // Each script's lines, none for a script that cannot be read.
    QList<std::optional<QStringList>> linhas;
    int total = 0;
    for (const QString& s : lista) {
        QFile f(s);
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
            linhas << std::nullopt;
            continue;
        }
        QStringList l;
        QTextStream in(&f);
        while (!in.atEnd())
            l << in.readLine();
        total += int(l.size());
        linhas << l;
    }
    ProgressBar1->setMax(qMax(total, 1));
    ProgressBar1->setPosition(0);
    for (int i = 0; i < lista.size(); ++i) {
        const QString& script = lista.at(i);
        if (!linhas.at(i)) {
            MsgErroBD(11);
            continue;
        }
        for (const QString& linha : *linhas.at(i)) {
            ProgressBar1->stepAndRepaint(1);
            if (linha.trimmed().isEmpty())
                continue;
            Memo1->addLine(QStringLiteral("Criando INDEX tabela: ") + script);
            Q_Index->close();
            Q_Index->setSql(linha);
            try {
                Q_Index->execSql();
            } catch (const vorta::Exception& e) {
                // The rest of the script builds on this line: it stops here.
                Memo1->addLine(QStringLiteral("Linha não executada: %1 - %2").arg(linha, e.message()));
                break;
            }
        }
    }
}

void TRepararBaseVorta::TableVerifyLog(vorta::db::Table&, const QString& line)
{
    Memo1->addLine(line);
}

void TRepararBaseVorta::TableVerifyProgress(vorta::db::Table&, int percent, bool&)
{
    pbVerify->setPosition(percent);
    pbVerify->repaint();
}

void TRepararBaseVorta::TableRepairProgress(vorta::db::Table&, int percent, bool&)
{
    pbRepair->setPosition(percent);
    pbRepair->repaint();
}
