#pragma once

#include "Http.h"

#include <QList>
#include <QPair>
#include <QString>

namespace vorta::net {

// The service answered with a SOAP fault; the message is the fault's text.
VORTA_EXCEPTION_CLASS(ESoapFault, ENetError)

// One document/literal SOAP 1.1 operation call.
struct SoapCall {
    QString endpoint;
    QString nameSpace;
    QString action;    // the SOAPAction header's value
    QString operation; // the body's element name
    QList<QPair<QString, QString>> arguments; // in order, as child elements
};

// SOAP 1.1 over HttpClient: the envelope is written and read with Qt's XML stream classes.
class SoapClient {
public:
    // Proxy, limits, certificates and the cancel hook of the calls.
    HttpClient http;

    // The text of the operation's result element. Raises ESoapFault for a fault,
    // ENetError for no answer, a status other than 200 or an answer that is not SOAP.
    QString call(const SoapCall& call);

    // The endpoint a service description names (its soap:address location), or "".
    static QString endpointFromWsdl(const QByteArray& wsdl);
    // The description at url, read over http; its endpoint, or ENetError.
    QString endpointFromWsdlUrl(const QString& url);

    static QByteArray envelope(const SoapCall& call);
    // The result text, or the fault's text in *fault (true); false when not SOAP.
    static bool parseResponse(const QByteArray& xml, QString* result, bool* fault);
};

} // namespace vorta::net
