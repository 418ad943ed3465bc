#include "uAtualizacao.h"

#include "UHttpDownload.h"
#include "UWSVortaInforma.h"
#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/core/Exceptions.h"
#include "platform/ui/Dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

vorta::Guarded<TuAtualizacao> uAtualizacao;

using vorta::ui::Button;
using vorta::ui::Label;
using vorta::ui::TabSheet;

std::vector<TUpdate> LeListaDeAtualizacoes(const QString& resposta)
{
    std::vector<TUpdate> out;
    QStringList entradas = resposta.split(QChar(0x00A7));
    entradas.removeLast(); // what follows the last "§"
    for (const QString& e : entradas) {
        // Each field is what stands before its ";".
        QStringList campos = e.split(QLatin1Char(';'));
        campos.removeLast();
        while (campos.size() < 4)
            campos << QString();
        out.push_back({campos.at(0).trimmed(), campos.at(1), campos.at(2), campos.at(3)});
    }
    return out;
}

bool NomeDeAtualizacaoValido(const QString& nome)
{
    if (nome.isEmpty() || nome == QLatin1String(".") || nome == QLatin1String("..") || nome.startsWith(QLatin1Char('-')))
        return false;
    for (QChar c : nome)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.unicode() < 0x20
            || c.unicode() == 0x7f)
            return false;
    return true;
}

TuAtualizacao::TuAtualizacao(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("uAtualizacao"));
    setObjectName(QStringLiteral("uAtualizacao"));
    setCaption(QStringLiteral("Atualização \"ao vivo\""));
    setBorderStyle(vorta::ui::BorderStyle::Single);
    position = vorta::ui::FormPosition::ScreenCenter;
    setClientSize(500, 360);

    PageControl1 = new vorta::ui::PageControl(this, QStringLiteral("PageControl1"));
    PageControl1->setGeometry(8, 8, 484, 300);
    TabInicio = new TabSheet(PageControl1, QStringLiteral("Inicio"), QStringLiteral("TabInicio"));
    TabVerificando = new TabSheet(PageControl1, QStringLiteral("Verificando"), QStringLiteral("TabVerificando"));
    TabBaixando = new TabSheet(PageControl1, QStringLiteral("Baixando"), QStringLiteral("TabBaixando"));

    auto* bemVindo = new Label(TabInicio, QStringLiteral("Bem vindo à atualização ao vivo"), QStringLiteral("Label1"));
    QFont grande = bemVindo->font();
    grande.setPixelSize(18);
    grande.setBold(true);
    bemVindo->setFont(grande);
    bemVindo->setGeometry(10, 100, 460, 30);
    bemVindo->setAlignment(Qt::AlignCenter);

    auto* selecione = new Label(TabVerificando, QStringLiteral("Selecione as Atualizações desejadas:"), QStringLiteral("Label2"));
    selecione->setGeometry(8, 8, 460, 18);
    CGUpdates = new vorta::ui::CheckListBox(TabVerificando, QStringLiteral("CGUpdates"));
    CGUpdates->setGeometry(8, 30, 464, 230);
    selecione->setBuddy(CGUpdates);

    auto* info = new Label(TabBaixando, QStringLiteral("Informações sobre o Download:"), QStringLiteral("Label3"));
    info->setGeometry(8, 8, 460, 18);
    DisplayMemo = new vorta::ui::Memo(TabBaixando, QStringLiteral("DisplayMemo"));
    DisplayMemo->setReadOnly(true);
    DisplayMemo->setGeometry(8, 30, 464, 230);

    auto botao = [this](const char* nome, const char* caption, int left) {
        auto* b = new Button(this, QString::fromLatin1(nome));
        b->setCaption(QString::fromUtf8(caption));
        b->setBounds(left, 318, 156, 30);
        return b;
    };
    Button1 = botao("Button1", "Verificar Atualizações", 8);
    Button2 = botao("Button2", "Baixar Atualizações", 172);
    Button3 = botao("Button3", "Concluir", 336);
    Button2->setEnabled(false);
    Button3->setEnabled(false);
    Button1->OnClick = [this](QWidget* s) { Button1Click(s); };
    Button2->OnClick = [this](QWidget* s) { Button2Click(s); };
    Button3->OnClick = [this](QWidget* s) { Button3Click(s); };
    OnCreate = [this](Form* f) { FormCreate(f); };
    OnClose = [](Form*, vorta::ui::CloseAction& action) { action = vorta::ui::CloseAction::Free; };
}

void TuAtualizacao::FormCreate(Form*)
{
    PageControl1->setActivePage(TabInicio);
}

bool TuAtualizacao::GetProxy()
{
    const std::optional<TProxyRow> row = LeProxy();
    if (!row)
        return false;
    ProxyHost = row->Servidor.trimmed();
    ProxyPort = row->Porta;
    ProxyUser = row->Usuario.trimmed();
    ProxyPassword = row->Senha.trimmed();
    ProxyBasica = row->Autenticacao.trimmed() != AutenticacaoNTLM;
    return true;
}

void TuAtualizacao::Button1Click(QWidget*)
{
    const QString resposta = GetwsvortainformaSoap(false, QString())->carregarUpdates();
    if (resposta.left(4) == QLatin1String("ERRO")) {
        vorta::ui::showPlainMessage(resposta);
        return;
    }
    Updates = LeListaDeAtualizacoes(resposta);
    QtdUpdates = int(Updates.size());
    CGUpdates->clear();
    for (const TUpdate& u : Updates)
        CGUpdates->addItem(u.Descricao);
    Button1->setEnabled(false);
    Button3->setEnabled(false);
    Button2->setEnabled(true);
    PageControl1->setActivePage(TabVerificando);
    if (CGUpdates->count() > 0) {
        CGUpdates->setCurrentRow(0);
        CGUpdates->setFocus();
    }
}

void TuAtualizacao::Button2Click(QWidget*)
{
    PageControl1->setActivePage(TabBaixando);
    m_executados.clear();
    THttpDownload download;
    download.LogMemo = DisplayMemo;
    QList<int> marcados;
    for (int i = 0; i < CGUpdates->count() && i < QtdUpdates; ++i)
        if (CGUpdates->checked(i))
            marcados << i;
    if (marcados.isEmpty()) {
        MsgErroBD(1729);
        PageControl1->setActivePage(TabVerificando);
        return;
    }
    // A name from the list becomes a path that is run: anything but a plain name of the
    // updates folder is refused before anything is fetched.
    for (int i : marcados)
        if (!NomeDeAtualizacaoValido(Updates[size_t(i)].Arquivo))
            throw vorta::Exception(
                QStringLiteral("A atualização \"%1\" indica um nome de arquivo inválido: %2")
                    .arg(Updates[size_t(i)].Descricao, Updates[size_t(i)].Arquivo));
    const QString base = PegaURL();
    QStringList baixados;
    QDir().mkpath(DirUpd);
    for (int i : marcados) {
        const QString arquivo = Updates[size_t(i)].Arquivo;
        download.Log(QStringLiteral("Baixando o arquivo ") + arquivo);
        download.FileName = DirUpd + arquivo;
        if (GetProxy())
            download.SetProxy(true, ProxyBasica ? vorta::net::ProxyAuth::Basic : vorta::net::ProxyAuth::Ntlm, ProxyPassword,
                              ProxyUser, ProxyPort, ProxyHost);
        download.Download(base + QStringLiteral("updates/")
                          + QString::fromLatin1(QUrl::toPercentEncoding(arquivo)));
        baixados << arquivo;
    }
    bool todos = true;
    for (const QString& arquivo : baixados) {
        download.Log(QStringLiteral("Instalando o arquivo ") + arquivo);
        // Run by its own path, without a shell, and waited for.
        QProcess p;
        p.setWorkingDirectory(DirUpd);
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(QFileInfo(DirUpd + arquivo).absoluteFilePath(), {});
        const bool ok = p.waitForStarted(-1) && p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit
                     && p.exitCode() == 0;
        if (!ok)
            download.Log(QStringLiteral("A instalação do arquivo %1 não foi concluída (%2).")
                             .arg(arquivo,
                                  p.error() == QProcess::FailedToStart
                                      ? p.errorString()
                                      : QStringLiteral("código %1").arg(p.exitCode())));
        m_executados << arquivo + (ok ? QStringLiteral(" ok") : QStringLiteral(" falhou"));
        todos = todos && ok;
    }
    if (todos) {
        Button1->setEnabled(false);
        Button2->setEnabled(false);
        Button3->setEnabled(true);
    }
}

void TuAtualizacao::Button3Click(QWidget*)
{
    close();
}
