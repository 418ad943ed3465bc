#pragma once

#include "platform/core/Component.h"
#include "platform/db/DataSource.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/ui/DataModule.h"

#include <QString>

#include <vector>

// The generation's data module: the movement with everything that belongs to it as
// master and detail queries on DM_MTC's database, the delivery table, and the data
// packet written from them.
class TDm_Gerar : public vorta::ui::DataModule {
public:
    explicit TDm_Gerar(vorta::Component* owner = nullptr);

    vorta::db::Query* qryMovimento;
    vorta::db::Query* QryContribuinte;
    vorta::db::Query* qryMapas;
    vorta::db::Query* QryMapasItens;
    vorta::db::Query* QryMapasResumo;
    vorta::db::Query* QryTecnico;
    vorta::db::Query* QryProdutor;
    vorta::db::Query* qMunicipioEndereco;
    vorta::db::Query* qMunicipioPropriedade;
    vorta::db::Query* QryNotas;
    vorta::db::Query* QryContribuinteComplemento;
    vorta::db::Query* qMunicipioContribuinteEndereco;
    vorta::db::Query* qMunicipioContribuintePropr;
    // Hangs from DM_MTC's technicians; not part of the packet.
    vorta::db::Query* qMunicipioTecnico;

    vorta::db::DataSource* dsMovimento;
    vorta::db::DataSource* dsContribuinte;
    vorta::db::DataSource* dsMapas;
    vorta::db::DataSource* dsProdutor;

    vorta::db::Table* TEntrega;

    // The text of qryMapas: the declarant's maps of the reference month.
    static QString SqlMapas();
    // Opens the movement and its details for the code, month and year.
    void AbreMovimento(int codigo, int ano, int mes);
    // The movement with its details as one binary data packet (cdsMTCMovimento).
    QByteArray PacoteMovimento();
    void SalvaPacote(const QString& fileName);
    // Every query that travels in the packet, in the order of the module.
    std::vector<vorta::db::Query*> QueriesDoPacote() const;
};

extern vorta::Guarded<TDm_Gerar> Dm_Gerar;
