#pragma once

#include "platform/net/Soap.h"

#include <QString>

#include <memory>

// The update service: its list of the update programs published for the suite.
class wsvortainformaSoap {
public:
    virtual ~wsvortainformaSoap() = default;
    virtual QString HelloWorld() = 0;
    virtual QString carregarUpdates() = 0;
};

// The service at the update base address (registry "LiveUpdate"). UseWSDL: the endpoint
// is read from the description (Addr, or the default description address); else Addr,
// or the default endpoint. The proxy row, when there is one, is applied to the client.
std::shared_ptr<wsvortainformaSoap> GetwsvortainformaSoap(bool UseWSDL = false, const QString& Addr = QString(),
                                                         std::shared_ptr<vorta::net::SoapClient> HTTPRIO = {});
