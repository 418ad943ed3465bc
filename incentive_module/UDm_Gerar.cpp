#include "UDm_Gerar.h"

#include "UDM_MTC.h"

#include "platform/db/DataPacket.h"

#include <QSaveFile>

using namespace vorta::db;

vorta::Guarded<TDm_Gerar> Dm_Gerar;

TDm_Gerar::TDm_Gerar(vorta::Component* owner) : vorta::ui::DataModule(owner)
{
    setName(QStringLiteral("Dm_Gerar"));
    auto query = [this](const char* name, const char* sql, DataSource* master) {
        auto* q = new Query(this);
        q->setName(QString::fromLatin1(name));
        q->setDatabase(DM_MTC->dbMTC);
        q->setSql(QString::fromLatin1(sql));
        if (master)
            q->setDataSource(master);
        return q;
    };
    auto source = [this](const char* name, DataSet* dataSet) {
        auto* s = new DataSource(this);
        s->setName(QString::fromLatin1(name));
        s->setDataSet(dataSet);
        return s;
    };
    qryMovimento = query("qryMovimento", "Select * from qel_movimento where mov_codigo= :vcodigo", nullptr);
    dsMovimento = source("dsMovimento", qryMovimento);
    QryContribuinte = query("QryContribuinte", "Select * From Contribuinte where con_iecnpjcpf = :con_iecnpjcpf",
                            dsMovimento);
    dsContribuinte = source("dsContribuinte", QryContribuinte);
    qryMapas = query("qryMapas", "", dsContribuinte);
    qryMapas->setSql(SqlMapas());
    dsMapas = source("dsMapas", qryMapas);
    QryMapasItens = query("QryMapasItens", "Select * From Qel_Mapas_Itens where map_codigo = :map_codigo", dsMapas);
    QryMapasResumo = query("QryMapasResumo", "Select * From Qel_Mapas_Resumo where map_codigo = :map_codigo", dsMapas);
    QryTecnico = query("QryTecnico", "Select * From Qel_Tecnico where tec_codigo = :tec_codigo", dsMapas);
    QryProdutor = query("QryProdutor", "Select * From Contribuinte where con_iecnpjcpf = :ie_pecuarista", dsMapas);
    dsProdutor = source("dsProdutor", QryProdutor);
    qMunicipioEndereco = query("qMunicipioEndereco", "Select * From Municipio where mun_codigo = :mun_endereco",
                               dsProdutor);
    qMunicipioPropriedade = query("qMunicipioPropriedade",
                                  "Select * From Municipio where mun_codigo = :mun_propriedade", dsProdutor);
    QryNotas = query("QryNotas", "Select * From Qel_NotasMapa where map_codigo = :map_codigo", dsMapas);
    QryContribuinteComplemento =
        query("QryContribuinteComplemento",
              "Select * From Qel_Contribuinte_Complemento where con_iecnpjcpf = :con_iecnpjcpf", dsContribuinte);
    qMunicipioContribuinteEndereco = query("qMunicipioContribuinteEndereco",
                                           "Select * From Municipio where mun_codigo = :mun_endereco", dsContribuinte);
    qMunicipioContribuintePropr = query("qMunicipioContribuintePropr",
                                        "Select * From Municipio where mun_codigo = :mun_propriedade", dsContribuinte);
    qMunicipioTecnico = query("qMunicipioTecnico", "Select * From Municipio where mun_codigo = :mun_codigo",
                              DM_MTC->dsTecnicos);
    TEntrega = new Table(this);
    TEntrega->setName(QStringLiteral("TEntrega"));
    TEntrega->setDatabase(DM_MTC->dbMTC);
    TEntrega->setTableName(QStringLiteral("Entrega"));
}

QString TDm_Gerar::SqlMapas()
{
    return QStringLiteral("Select * from qel_mapas where con_iecnpjcpf = :con_iecnpjcpf and "
                          "EXTRACT(MONTH FROM map_data) = :vmes and EXTRACT(YEAR FROM map_data) = :vANO");
}

std::vector<Query*> TDm_Gerar::QueriesDoPacote() const
{
    return {QryContribuinte, qryMapas, QryMapasItens, QryMapasResumo, QryTecnico, QryProdutor,
            qMunicipioEndereco, qMunicipioPropriedade, QryNotas, QryContribuinteComplemento,
            qMunicipioContribuinteEndereco, qMunicipioContribuintePropr};
}

void TDm_Gerar::AbreMovimento(int codigo, int ano, int mes)
{
    for (Query* q : QueriesDoPacote())
        q->close();
    qryMovimento->close();
    qryMovimento->paramByName(QStringLiteral("vcodigo"))->setAsInteger(codigo);
    qryMovimento->open();
    QryContribuinte->open();
    qryMapas->setSql(SqlMapas());
    qryMapas->paramByName(QStringLiteral("vmes"))->setAsInteger(mes);
    qryMapas->paramByName(QStringLiteral("vANO"))->setAsInteger(ano);
    for (Query* q : QueriesDoPacote())
        if (!q->active())
            q->open();
}

QByteArray TDm_Gerar::PacoteMovimento()
{
    return writeDataPacket(packetSourceTree(qryMovimento, QueriesDoPacote()));
}

void TDm_Gerar::SalvaPacote(const QString& fileName)
{
    const QByteArray bytes = PacoteMovimento();
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw EDataPacketError(QStringLiteral("Cannot write %1: %2").arg(fileName, f.errorString()));
}
