#include "uAbout.h"

#include "Ufuncoes.h"
#include "uRel.h"
#include "uDmVortaModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QScrollBar>
#include <QVBoxLayout>

vorta::Guarded<TAboutBox> AboutBox;

TAboutBox::TAboutBox(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("AboutBox"));
    setObjectName(QStringLiteral("AboutBox"));
    setCaption(QStringLiteral("Vorta"));
    helpContext = 12500;
    setBorderStyle(vorta::ui::BorderStyle::Dialog);
    position = vorta::ui::FormPosition::ScreenCenter;
    setClientSize(420, 360);

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("ProgramIcon"));
    logo->setPixmap(QPixmap::fromImage(TRel::logotipo()).scaledToHeight(56, Qt::SmoothTransformation));
    logo->setGeometry(8, 8, 60, 60);
    Version = new vorta::ui::Label(this, QString(), QStringLiteral("Version"));
    Version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Version->setGeometry(200, 8, 212, 18);
    ProductName = new QPlainTextEdit(QStringLiteral("Vorta - Sistema de Declarações Eletrônicas"), this);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    ProductName->setReadOnly(true);
    ProductName->setGeometry(76, 30, 336, 40);

    ScrollBox1 = new vorta::ui::ScrollBox(this, QStringLiteral("ScrollBox1"));
    ScrollBox1->setGeometry(8, 78, 404, 110);
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* creditos = new QVBoxLayout(ScrollBox1->contents());
    Memo2 = new QPlainTextEdit(QStringLiteral("Equipe de desenvolvimento"), ScrollBox1->contents());
    Memo3 = new QPlainTextEdit(QStringLiteral("Secretaria da Fazenda"), ScrollBox1->contents());
    for (QPlainTextEdit* m : {Memo2, Memo3}) {
        m->setReadOnly(true);
        m->setFixedHeight(120);
        creditos->addWidget(m);
    }
    // Room for both memos and the layout's margins and spacing, so neither covers the other.
    creditos->setContentsMargins(0, 0, 0, 0);
    creditos->setSpacing(8);
    ScrollBox1->contents()->resize(390, 248);

    Memo1 = new QPlainTextEdit(QStringLiteral("Módulos Instalados:"), this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setGeometry(8, 196, 404, 24);
    // The memos read as text on the form.
    for (QPlainTextEdit* m : {ProductName, Memo1, Memo2, Memo3}) {
        m->setFrameShape(QFrame::NoFrame);
        m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m->setBackgroundVisible(false);
        m->viewport()->setAutoFillBackground(false);
    }
    SG1 = new vorta::ui::StringGrid(this, QStringLiteral("SG1"));
    SG1->setColumnCount(2);
    SG1->setGeometry(8, 222, 404, 130);

    Timer1 = new QTimer(this);
    Timer1->setInterval(30);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    OnShow = [this](Form* f) { FormShow(f); };
    OnClose = [this](Form* f, vorta::ui::CloseAction& a) { FormClose(f, a); };
}

QStringList TAboutBox::programas(const QString& pasta)
{
    // Programs carry no ".exe" here: every executable file of the folder counts too.
    QStringList out;
    const QFileInfoList arquivos = QDir(pasta).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& f : arquivos)
        if (f.suffix().compare(QLatin1String("exe"), Qt::CaseInsensitive) == 0
            || (f.isExecutable() && f.suffix().isEmpty()))
            out << f.absoluteFilePath();
    return out;
}

void TAboutBox::FormShow(Form*)
{
    m_contador = 0;
    m_subindo = true;
    Timer1->start();
    Version->setCaption(GetVersionExe(QCoreApplication::applicationFilePath()));

    const QStringList lista = programas(DirModulos);
    SG1->setRowCount(std::max<int>(1, int(lista.size())));
    SG1->setColumnWidth(0, 90);
    SG1->setColumnWidth(1, 90);
    for (int r = 0; r < std::min(2, SG1->rowCount()); ++r)
        SG1->setRowHeight(r, 18);
    for (int i = 0; i < lista.size(); ++i) {
        const QString versao = GetVersionExe(lista.at(i));
        if (versao.isEmpty())
            continue;
        QString nome = QFileInfo(lista.at(i)).fileName();
        if (nome.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
            nome.chop(4);
        if (nome.compare(QLatin1String("Vorta_Mod"), Qt::CaseInsensitive) == 0)
            continue;
        SG1->setCells(0, i, nome);
        SG1->setCells(1, i, versao);
    }
}

void TAboutBox::FormClose(Form*, vorta::ui::CloseAction& action)
{
    Timer1->stop();
    action = vorta::ui::CloseAction::Free;
}

void TAboutBox::Timer1Timer()
{
    if (m_contador < ScrollBox1->viewport()->height()) {
        QScrollBar* barra = ScrollBox1->verticalScrollBar();
        barra->setValue(barra->value() + (m_subindo ? 1 : -1));
        ++m_contador;
    } else {
        m_contador = 0;
        m_subindo = !m_subindo;
    }
}
