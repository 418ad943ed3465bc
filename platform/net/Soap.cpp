#include "Soap.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace vorta::net {

namespace {
const QString EnvelopeNs = QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");

// Reads the text of the current element, including that of any child elements.
QString elementText(QXmlStreamReader& xml)
{
    return xml.readElementText(QXmlStreamReader::IncludeChildElements);
}
} // namespace

QByteArray SoapClient::envelope(const SoapCall& call)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.writeStartDocument();
    xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"), QStringLiteral("xsi"));
    xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema"), QStringLiteral("xsd"));
    xml.writeNamespace(EnvelopeNs, QStringLiteral("soap"));
    xml.writeStartElement(EnvelopeNs, QStringLiteral("Envelope"));
    xml.writeStartElement(EnvelopeNs, QStringLiteral("Body"));
    xml.writeDefaultNamespace(call.nameSpace);
    xml.writeStartElement(call.nameSpace, call.operation);
    for (const auto& [name, value] : call.arguments)
        xml.writeTextElement(call.nameSpace, name, value);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

bool SoapClient::parseResponse(const QByteArray& data, QString* result, bool* fault)
{
    QXmlStreamReader xml(data);
    *fault = false;
    bool inBody = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (!inBody) {
            if (xml.namespaceUri() == EnvelopeNs && xml.name() == QLatin1String("Body"))
                inBody = true;
            continue;
        }
        // The first element of the body: a fault or the operation's response.
        if (xml.namespaceUri() == EnvelopeNs && xml.name() == QLatin1String("Fault")) {
            *fault = true;
            QString text;
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("faultstring"))
                    text = elementText(xml);
                else
                    xml.skipCurrentElement();
            }
            *result = text;
            return !xml.hasError();
        }
        // Its first child holds the result; a response without one has an empty result.
        *result = xml.readNextStartElement() ? elementText(xml) : QString();
        return !xml.hasError();
    }
    return false;
}

QString SoapClient::call(const SoapCall& c)
{
    HttpRequest request;
    request.method = "POST";
    request.url = c.endpoint;
    request.body = envelope(c);
    request.headers = {{"Content-Type", "text/xml; charset=utf-8"},
                       {"SOAPAction", '"' + c.action.toUtf8() + '"'}};
    const HttpResponse response = http.send(request);
    QString result;
    bool fault = false;
    const bool soap = parseResponse(response.body, &result, &fault);
    if (soap && fault)
        throw ESoapFault(result);
    if (response.status != 200)
        throw ENetError(QStringLiteral("O serviço %1 respondeu com o código HTTP %2.")
                            .arg(displayUrl(c.endpoint))
                            .arg(response.status));
    if (!soap)
        throw ENetError(QStringLiteral("A resposta do serviço %1 não é uma mensagem SOAP.").arg(displayUrl(c.endpoint)));
    return result;
}

QString SoapClient::endpointFromWsdl(const QByteArray& wsdl)
{
    QXmlStreamReader xml(wsdl);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("address")
            && xml.namespaceUri().startsWith(QLatin1String("http://schemas.xmlsoap.org/wsdl/soap")))
            return xml.attributes().value(QLatin1String("location")).toString();
    }
    return {};
}

QString SoapClient::endpointFromWsdlUrl(const QString& url)
{
    HttpRequest request;
    request.url = url;
    const HttpResponse response = http.send(request);
    if (response.status != 200)
        throw ENetError(QStringLiteral("A descrição do serviço %1 respondeu com o código HTTP %2.")
                            .arg(displayUrl(url))
                            .arg(response.status));
    const QString endpoint = endpointFromWsdl(response.body);
    if (endpoint.isEmpty())
        throw ENetError(QStringLiteral("A descrição do serviço %1 não indica o endereço.").arg(displayUrl(url)));
    return endpoint;
}

} // namespace vorta::net
