#include "UWSVortaInforma.h"

#include "Ufuncoes.h"
#include "uProxy.h"

namespace {

class ServicoAtualizacoes : public wsvortainformaSoap {
public:
    ServicoAtualizacoes(std::shared_ptr<vorta::net::SoapClient> client, const QString& base, const QString& endpoint)
        : m_client(std::move(client)), m_base(base), m_endpoint(endpoint)
    {
    }
    QString HelloWorld() override { return chama(QStringLiteral("HelloWorld")); }
    QString carregarUpdates() override { return chama(QStringLiteral("carregarUpdates")); }

private:
    QString chama(const QString& operacao)
    {
        vorta::net::SoapCall c;
        c.endpoint = m_endpoint;
        c.nameSpace = m_base;
        c.action = m_base + operacao;
        c.operation = operacao;
        return m_client->call(c);
    }
    std::shared_ptr<vorta::net::SoapClient> m_client;
    QString m_base;
    QString m_endpoint;
};

} // namespace

std::shared_ptr<wsvortainformaSoap> GetwsvortainformaSoap(bool UseWSDL, const QString& Addr,
                                                         std::shared_ptr<vorta::net::SoapClient> HTTPRIO)
{
    const QString base = PegaURL();
    const QString defWSDL = base + QStringLiteral("wsvortainforma.asmx?WSDL");
    const QString defURL = base + QStringLiteral("wsvortainforma.asmx");
    if (!HTTPRIO)
        HTTPRIO = std::make_shared<vorta::net::SoapClient>();
    if (const std::optional<TProxyRow> row = LeProxy())
        HTTPRIO->http.proxy = ProxyPara(TUsoProxy::ListaAtualizacoes, *row);
    QString endpoint;
    if (UseWSDL)
        endpoint = HTTPRIO->endpointFromWsdlUrl(Addr.isEmpty() ? defWSDL : Addr);
    else
        endpoint = Addr.isEmpty() ? defURL : Addr;
    return std::make_shared<ServicoAtualizacoes>(HTTPRIO, base, endpoint);
}
