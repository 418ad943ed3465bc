#include "UDMEntrega.h"

#include "platform/db/Field.h"

using namespace vorta::db;

vorta::Guarded<TDMEntrega> DMEntrega;

namespace {

// A row is identified by its kind, version, key and file; an empty text may be stored as
// null or as empty, and either matches an empty parameter.
const char* kCondicaoLinha = " WHERE coalesce(Sistema, '') = coalesce(:Sist, '')"
                             " and coalesce(Versao, '') = coalesce(:Ver, '')"
                             " and coalesce(Chave, '') = coalesce(:Chav, '')"
                             " and coalesce(Arquivo, '') = coalesce(:Arqui, '')";

Query* consulta(TDMEntrega* dm, const char* name, const QString& sql)
{
    auto* q = new Query(dm);
    q->setName(QString::fromLatin1(name));
    q->setDatabase(dm->DBEntrega);
    q->setSql(sql);
    return q;
}

DataSource* fonte(TDMEntrega* dm, const char* name, DataSet* ds)
{
    auto* s = new DataSource(dm);
    s->setName(QString::fromLatin1(name));
    s->setDataSet(ds);
    return s;
}

} // namespace

TDMEntrega::TDMEntrega(vorta::Component* owner) : TDmVortaModule(owner), HttpCli1(new vorta::net::HttpClient)
{
    setName(QStringLiteral("DMEntrega"));
    DBEntrega = new Database(this);
    DBEntrega->setName(QStringLiteral("DBEntrega"));
    DBEntrega->setDatabaseName(QStringLiteral("DBEntrega"));
    DBEntrega->BeforeConnect = [this](Database& db) { DBEntregaBeforeConnect(db); };

    Q_Pendente = consulta(this, "Q_Pendente",
                          QStringLiteral("Select * from Entrega where Data_Entrega is null and Data_Copia is null "
                                         "order by Inscricao, Referencia"));
    Q_Disquete = consulta(this, "Q_Disquete",
                          QStringLiteral("Select * from Entrega where Data_Copia is not null and Data_Entrega is null "
                                         "order by Inscricao, Data_Copia desc, Referencia"));
    Q_Entregue = consulta(this, "Q_Entregue",
                          QStringLiteral("Select * from Entrega where Data_Entrega is not null "
                                         "order by Inscricao, Data_Entrega desc, Referencia"));
    for (Query* q : {Q_Disquete, Q_Entregue})
        q->addField(QStringLiteral("CalcResultado"), FieldType::String, 20, FieldKind::Calculated);
    Q_Disquete->OnCalcFields = [this](DataSet& ds) { Q_DisqueteCalcFields(ds); };
    Q_Entregue->OnCalcFields = [this](DataSet& ds) { Q_EntregueCalcFields(ds); };
    Ds_Pendente = fonte(this, "Ds_Pendente", Q_Pendente);
    Ds_Disquete = fonte(this, "Ds_Disquete", Q_Disquete);
    DS_Entregue = fonte(this, "DS_Entregue", Q_Entregue);

    Q_Copia = consulta(this, "Q_Copia",
                       QStringLiteral("UPDATE Entrega SET Data_Copia = :dataCOPIA") + QLatin1String(kCondicaoLinha));
    Q_Entrega = consulta(this, "Q_Entrega",
                         QStringLiteral("UPDATE Entrega SET Data_Entrega = :dataEntrega, Dados_Entrega = :dadosEntrega, "
                                        "Protocolo = :ProtocoloEntrega")
                             + QLatin1String(kCondicaoLinha));
    // Its text is set before each use by the processing-result query.
    Q_Processamento = consulta(this, "Q_Processamento", QString());
    qProxy = consulta(this, "qProxy", QStringLiteral("Select * from Proxy"));

    IdHTTPVerConec = std::make_unique<vorta::net::HttpClient>();
    IdHTTPVerConec->limits.stallSeconds = 30;

    TEntrega = new Table(this);
    TEntrega->setName(QStringLiteral("TEntrega"));
    TEntrega->setDatabase(DBEntrega);
    TEntrega->setTableName(QStringLiteral("Entrega"));
}

TDMEntrega::~TDMEntrega() = default;

void TDMEntrega::DBEntregaBeforeConnect(Database& db)
{
    InicializarVariaveisGlobais();
    db.setDirectory(DirDados);
}

// The result grids draw the type as its image.
void TDMEntrega::Q_DisqueteCalcFields(DataSet& ds)
{
    ds.fieldByName(QStringLiteral("CalcResultado"))->setAsString(ds.fieldByName(QStringLiteral("ResultadoTipo"))->asString());
}

void TDMEntrega::Q_EntregueCalcFields(DataSet& ds)
{
    Q_DisqueteCalcFields(ds);
}

int TDMEntrega::PostArquivo(const QString& url, const QByteArray& body, QByteArray& reply)
{
    const THttpCliSettings& s = HttpCli1Settings;
    vorta::net::HttpRequest request;
    request.method = "POST";
    request.url = url;
    request.http10 = s.http10;
    request.userAgent = s.agent;
    request.followLocation = s.followRelocation;
    request.maxRedirects = s.locationChangeMaxCount;
    request.headers << vorta::net::Header{"Accept", s.accept} << vorta::net::Header{"Content-Type", s.contentType};
    if (s.noCache)
        request.headers << vorta::net::Header{"Pragma", "no-cache"};
    request.body = body;
    if (HttpCli1->proxy.used() && HttpCli1->proxy.port.trimmed().isEmpty())
        HttpCli1->proxy.port = s.proxyPort;
    try {
        const vorta::net::HttpResponse response = HttpCli1->send(request);
        reply = response.body;
        return response.status;
    } catch (const vorta::Exception&) {
        reply.clear();
        return -1;
    }
}
