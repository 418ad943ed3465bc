#include "uProxy.h"

#include "uDmVortaModule.h"

#include "platform/db/Database.h"
#include "platform/db/Field.h"
#include "platform/db/Query.h"

const QString AutenticacaoBasica = QStringLiteral("httpoNoNTLMAuth");
const QString AutenticacaoNTLM = QStringLiteral("httpoNoBasicAuth");

std::optional<TProxyRow> LeProxy()
{
    InicializarVariaveisGlobais();
    vorta::db::Database db;
    db.setDatabaseName(QStringLiteral("DB_Proxy"));
    db.setDirectory(DirDados);
    vorta::db::Query q;
    q.setDatabase(&db);
    q.setSql(QStringLiteral("Select * from Proxy"));
    q.open();
    if (q.isEmpty())
        return std::nullopt;
    TProxyRow row;
    row.Servidor = q.fieldByName(QStringLiteral("Servidor"))->asString();
    row.Porta = static_cast<int>(q.fieldByName(QStringLiteral("Porta"))->asInteger());
    row.Usuario = q.fieldByName(QStringLiteral("Usuario"))->asString();
    row.Senha = q.fieldByName(QStringLiteral("Senha"))->asString();
    row.Autenticacao = q.fieldByName(QStringLiteral("Autenticacao"))->asString();
    return row;
}

vorta::net::Proxy ProxyPara(TUsoProxy uso, const TProxyRow& row)
{
    using vorta::net::ProxyAuth;
    vorta::net::Proxy p;
    const QString porta = QString::number(row.Porta);
    switch (uso) {
    case TUsoProxy::Entrega:
    case TUsoProxy::Downloads:
        p.host = row.Servidor.trimmed();
        p.port = porta;
        p.user = row.Usuario.trimmed();
        p.password = row.Senha.trimmed();
        p.auth = row.Autenticacao.trimmed() == AutenticacaoNTLM ? ProxyAuth::Ntlm : ProxyAuth::Basic;
        break;
    case TUsoProxy::Resultado:
        p.host = row.Servidor.trimmed() + QLatin1Char(':') + porta;
        p.user = row.Usuario.trimmed();
        p.password = row.Senha.trimmed();
        break;
    case TUsoProxy::ListaAtualizacoes:
        // The server name is trimmed like the other clients' (blanks would make the
        // address unusable); user and password go as stored.
        p.host = row.Servidor.trimmed() + QLatin1Char(':') + porta;
        p.user = row.Usuario;
        p.password = row.Senha;
        break;
    }
    return p;
}

bool ConfiguraProxy(vorta::net::HttpClient& http, TUsoProxy uso)
{
    const std::optional<TProxyRow> row = LeProxy();
    if (!row)
        return false;
    http.proxy = ProxyPara(uso, *row);
    return true;
}
