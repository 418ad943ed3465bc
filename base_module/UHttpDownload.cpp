#include "UHttpDownload.h"

#include "platform/core/Exceptions.h"

#include <QFileInfo>
#include <QSaveFile>

THttpDownload::THttpDownload(vorta::Component* owner) : Component(owner) {}

void THttpDownload::Log(const QString& text)
{
    if (LogMemo)
        LogMemo->addLine(text);
}

void THttpDownload::SetProxy(bool use, vorta::net::ProxyAuth options, const QString& password, const QString& userName,
                             int port, const QString& host)
{
    if (!use)
        return;
    HttpCli.proxy.auth = options;
    HttpCli.proxy.host = host;
    HttpCli.proxy.port = QString::number(port);
    HttpCli.proxy.user = userName;
    HttpCli.proxy.password = password;
}

void THttpDownload::Download(const QString& URL)
{
    Log(QStringLiteral("Conectando ao servidor"));
    vorta::net::HttpRequest request;
    request.url = URL;
    const vorta::net::HttpResponse response = HttpCli.send(request);
    const QString nome = QFileInfo(FileName).fileName();
    if (response.status != 200)
        throw vorta::Exception(QStringLiteral("O servidor não entregou o arquivo %1 (código HTTP %2).")
                                   .arg(nome)
                                   .arg(response.status));
    // A connection that ends early without the client noticing still shows here.
    const QByteArray declared = response.header("Content-Length");
    bool ok = false;
    const qint64 expected = declared.trimmed().toLongLong(&ok);
    if (!declared.isEmpty() && (!ok || expected != response.body.size()))
        throw vorta::Exception(QStringLiteral("O arquivo %1 chegou incompleto (%2 de %3 bytes).")
                                   .arg(nome)
                                   .arg(response.body.size())
                                   .arg(QString::fromLatin1(declared.trimmed())));
    QSaveFile out(FileName);
    if (!out.open(QIODevice::WriteOnly) || out.write(response.body) != response.body.size() || !out.commit())
        throw vorta::Exception(QStringLiteral("Não foi possível gravar %1: %2").arg(FileName, out.errorString()));
    // Update programs are run once they are here.
    QFile::setPermissions(FileName, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
