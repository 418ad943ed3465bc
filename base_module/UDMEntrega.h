#pragma once

#include "uDmVortaModule.h"

#include "platform/db/DataSource.h"
#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/net/Http.h"

#include <QByteArray>
#include <QString>

#include <memory>

// The upload client's fixed settings.
struct THttpCliSettings {
    bool http10 = true;
    QByteArray agent = "Mozilla/4.0 (compatible; ICS)";
    QByteArray accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    QByteArray contentType = "application/x-www-form-urlencoded";
    bool followRelocation = true;
    int locationChangeMaxCount = 5;
    bool noCache = false;
    QString proxyPort = QStringLiteral("80");
};

// The delivery queue (table Entrega) and the upload of one declaration file; lives for
// one opening of the delivery form.
class TDMEntrega : public TDmVortaModule {
public:
    explicit TDMEntrega(vorta::Component* owner = nullptr);
    ~TDMEntrega() override;

    vorta::db::Database* DBEntrega;
    vorta::db::Query* Q_Pendente;
    vorta::db::Query* Q_Disquete;
    vorta::db::Query* Q_Entregue;
    vorta::db::DataSource* Ds_Pendente;
    vorta::db::DataSource* Ds_Disquete;
    vorta::db::DataSource* DS_Entregue;
    vorta::db::Query* Q_Copia;
    vorta::db::Query* Q_Entrega;
    vorta::db::Query* Q_Processamento;
    vorta::db::Query* qProxy;
    vorta::db::Table* TEntrega;

    // The upload client and its settings.
    std::unique_ptr<vorta::net::HttpClient> HttpCli1;
    THttpCliSettings HttpCli1Settings;
    // The reachability check of the processing-result service's description.
    std::unique_ptr<vorta::net::HttpClient> IdHTTPVerConec;

    // Posts body to the address (used whole) and puts the answer's body into reply;
    // the HTTP status, or -1 when the post failed (no answer, time-out, refused).
    int PostArquivo(const QString& url, const QByteArray& body, QByteArray& reply);

    void DBEntregaBeforeConnect(vorta::db::Database& db);
    void Q_DisqueteCalcFields(vorta::db::DataSet& ds);
    void Q_EntregueCalcFields(vorta::db::DataSet& ds);

    // Never registered as a module package: no identity of its own.
    QString GetModuleVersion() override { return QString(); }
    QString GetModuleID() override { return QString(); }
};

extern vorta::Guarded<TDMEntrega> DMEntrega;
