#include "platform/net/Soap.h"

#include "testing/LoopbackHttpServer.h"

#include <gtest/gtest.h>

#include <QXmlStreamReader>

using vorta::net::SoapCall;
using vorta::net::SoapClient;
using vorta::testing::LoopbackHttpServer;
using Request = LoopbackHttpServer::Request;

namespace {
const QByteArray Ns = "http://servico.exemplo/";

QByteArray envelope(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
        + body + "</soap:Body></soap:Envelope>";
}

// The arguments of the operation element, as name=value, read back from the request.
QStringList arguments(const QByteArray& xmlText, QString* operation, QString* ns)
{
    QXmlStreamReader xml(xmlText);
    QStringList out;
    int depth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (depth == 3) {
                *operation = xml.name().toString();
                *ns = xml.namespaceUri().toString();
            } else if (depth == 4) {
                const QString name = xml.name().toString();
                out << name + "=" + xml.readElementText();
                --depth;
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    return out;
}

SoapCall pesquisar(const LoopbackHttpServer& server)
{
    return {server.url(QStringLiteral("/ws.asmx")), QString::fromLatin1(Ns), QString::fromLatin1(Ns) + "/Pesquisar",
            QStringLiteral("pesquisar"),
            {{QStringLiteral("nomearq"), QStringLiteral("ZIR_0001.zip")}, {QStringLiteral("protocolo"), QStringLiteral("São & <1>")}}};
}
} // namespace

// The call is a SOAP 1.1 post: action header, XML content type, the operation in the
// service's namespace with its arguments in order (escaped); the result text comes back.
TEST(SoapClientTest, CallsTheOperationAndReadsItsResult)
{
    LoopbackHttpServer server([](const Request&) {
        return LoopbackHttpServer::response(
            200, "OK", {{"Content-Type", "text/xml; charset=utf-8"}},
            envelope("<pesquisarResponse xmlns=\"" + Ns + "\"><pesquisarResult>A;Recibo &amp; aviso</pesquisarResult>"
                     "</pesquisarResponse>"));
    });
    SoapClient client;
    EXPECT_EQ(client.call(pesquisar(server)), QStringLiteral("A;Recibo & aviso"));
    const auto seen = server.requests();
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].method, "POST");
    EXPECT_EQ(seen[0].target, "/ws.asmx");
    EXPECT_EQ(seen[0].header("SOAPAction"), "\"" + Ns + "/Pesquisar\"");
    EXPECT_EQ(seen[0].header("Content-Type"), "text/xml; charset=utf-8");
    QString op, ns;
    EXPECT_EQ(arguments(seen[0].body, &op, &ns),
              QStringList({QStringLiteral("nomearq=ZIR_0001.zip"), QStringLiteral("protocolo=São & <1>")}));
    EXPECT_EQ(op, QStringLiteral("pesquisar"));
    EXPECT_EQ(ns, QString::fromLatin1(Ns));
}

// Faults raise their text whatever the status; other answers that are not SOAP raise a
// network error that says what came.
TEST(SoapClientTest, FaultsAndNonSoapAnswersRaise)
{
    struct Case {
        int status;
        QByteArray body;
        bool fault;
        const char* text;
    } cases[] = {
        {500, envelope("<soap:Fault><faultcode>soap:Server</faultcode><faultstring>Arquivo inexistente</faultstring>"
                       "</soap:Fault>"),
         true, "Arquivo inexistente"},
        {200, envelope("<soap:Fault><faultstring>Falhou</faultstring></soap:Fault>"), true, "Falhou"},
        {404, "<html>nao ha</html>", false, "404"},
        {200, "texto solto", false, "SOAP"},
    };
    for (const Case& c : cases) {
        LoopbackHttpServer server([&c](const Request&) { return LoopbackHttpServer::response(c.status, "X", {}, c.body); });
        SoapClient client;
        try {
            client.call(pesquisar(server));
            ADD_FAILURE() << c.text;
        } catch (const vorta::net::ESoapFault& e) {
            EXPECT_TRUE(c.fault) << e.what();
            EXPECT_EQ(e.message(), QString::fromLatin1(c.text));
        } catch (const vorta::net::ENetError& e) {
            EXPECT_FALSE(c.fault) << e.what();
            EXPECT_TRUE(e.message().contains(QString::fromLatin1(c.text))) << e.what();
        }
    }
}

TEST(SoapClientTest, EndpointFromTheServiceDescription)
{
    const QByteArray wsdl = "<wsdl:definitions xmlns:wsdl=\"http://schemas.xmlsoap.org/wsdl/\" "
                            "xmlns:soap=\"http://schemas.xmlsoap.org/wsdl/soap/\"><wsdl:service name=\"s\">"
                            "<wsdl:port name=\"p\"><soap:address location=\"http://h/ws.asmx\" /></wsdl:port>"
                            "</wsdl:service></wsdl:definitions>";
    EXPECT_EQ(SoapClient::endpointFromWsdl(wsdl), QStringLiteral("http://h/ws.asmx"));
    EXPECT_EQ(SoapClient::endpointFromWsdl("<a/>"), QString());
    LoopbackHttpServer server([&wsdl](const Request& r) {
        return r.target == "/ws.asmx?WSDL" ? LoopbackHttpServer::response(200, "OK", {}, wsdl)
                                           : LoopbackHttpServer::response(404, "Not Found");
    });
    SoapClient client;
    EXPECT_EQ(client.endpointFromWsdlUrl(server.url(QStringLiteral("/ws.asmx?WSDL"))), QStringLiteral("http://h/ws.asmx"));
    EXPECT_THROW(client.endpointFromWsdlUrl(server.url(QStringLiteral("/outro"))), vorta::net::ENetError);
}
