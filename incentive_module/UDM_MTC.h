#pragma once

#include "platform/core/Component.h"
#include "platform/db/DataSource.h"
#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/db/StampedMemo.h"
#include "platform/db/Table.h"
#include "platform/ui/DataModule.h"
#include "platform/core/Money.h"

#include <QDate>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>

namespace vorta::ui {
class TabSheet;
}

// True while a stored map is being altered in the map form; the same-day check is off
// then, since the map itself is already one of the stored maps of its day.
extern bool AlterandoMapa;

// The data module of the incentive programme: its own connection to the data folder,
// every table and query of the programme and of the shared registers it reads, and
// the rules of a carcass-typing map.
class TDM_MTC : public vorta::ui::DataModule {
public:
    explicit TDM_MTC(vorta::Component* owner = nullptr);

    vorta::db::Database* dbMTC;

    // Programme tables.
    vorta::db::Table* TblMapas;
    vorta::db::Table* TblMapasItens;
    vorta::db::Table* TblMapasResumo;
    vorta::db::Table* TblMTC;
    vorta::db::Table* TblTecnicos;
    vorta::db::Table* TblContribuinteComplemento;
    vorta::db::Table* TblContribuinteComplementoMapas;
    // Lookup tables of the animals' codes.
    vorta::db::Table* TblMaturidade;
    vorta::db::Table* TblConformacao;
    vorta::db::Table* TblAcabamento;
    vorta::db::Table* TblTipificacao;
    // Shared registers.
    vorta::db::Table* TblContribuinte;
    vorta::db::Table* TblContribuinteMTC;
    vorta::db::Table* TblResp;
    vorta::db::Table* TblRespEmpresa;
    vorta::db::Table* TblTipoLogr;
    vorta::db::Table* TblTipoBairr;
    vorta::db::Table* TblMunicipio;
    vorta::db::Table* TblEntrega;

    vorta::db::Query* QryContribuinte;
    vorta::db::Query* QryGeral;
    vorta::db::Query* qryaux;
    vorta::db::Query* QryParametros;
    vorta::db::Query* QryParametrosMensais;
    vorta::db::Query* qRelMapas;
    vorta::db::Query* qRelMapasItens;

    vorta::db::DataSource* DsContribuinte;
    vorta::db::DataSource* DsQryContribuinte;
    vorta::db::DataSource* DsResp;
    vorta::db::DataSource* DsRespEmpresa;
    vorta::db::DataSource* DsTipoLogr;
    vorta::db::DataSource* DsTipoBairr;
    vorta::db::DataSource* DsContribuinteMTC;
    vorta::db::DataSource* dsMTC;
    vorta::db::DataSource* dsMapas;
    vorta::db::DataSource* dsItensMapas;
    vorta::db::DataSource* dsTecnicos;
    vorta::db::DataSource* DsMunicipio;
    vorta::db::DataSource* dsRelMapas;
    vorta::db::DataSource* dsContribuinteComplemento;
    vorta::db::DataSource* dsContribuinteComplementoMapas;
    vorta::db::DataSource* dsGeral;

    // Tec_Codigo of the row current when the technicians' register last closed; none
    // when it had no technician.
    std::optional<int> TecnicoSelecionado;

    // Approved: no animal rejected, or no more rejected than classified.
    bool MapaAprovado(int mapCode);
    // Two stored maps of this raiser, day and sex already exist (and no map is being
    // altered). raiser is the registration as stored, without its mask.
    bool VerificaMapaDia(const QString& raiser, const QString& sex, const QDate& date);

    // Each occurrence of the searched character replaced (replacement may be empty).
    static void BuscaTroca(const QString& text, const QString& searched, QString& result,
                           const QString& replacement);

    // What the animal events need of the open map form: the maturity pick list of its
    // animal grid, and whether its sex box may change. Unset while no form is open.
    std::function<void(const QStringList&)> SetListaMaturidade;
    std::function<void(bool)> SetSexoHabilitado;

    // The movement form's pages "Contribuinte" and "Resumo Movimento"; set by that form
    // while it is open, and gone with it.
    QPointer<vorta::ui::TabSheet> TabSheetContribuinte;
    QPointer<vorta::ui::TabSheet> TabSheetLeitura;
    // Only the declarant's page shows, usable; the summary page is hidden.
    void DesabilitaTabSheet();
    // Both pages show.
    void HabilitaTabSheet();

    // The maturity codes of a sex, in pick-list order; empty for any other sex.
    static const QStringList& MaturidadesDoSexo(const QString& sex);
    // Whether code is one of the codes, as QStringList::contains says, for the short
    // lists asked of every animal.
    static bool CodigoNaLista(const QStringList& codigos, QStringView codigo);
    // The list's own text of the code, or null when it is not one of them; the second
    // upper-cases the code first, as QString::toUpper does.
    static const QString* CodigoDaLista(const QStringList& codigos, QStringView codigo);
    static const QString* MaiusculoDaLista(const QStringList& codigos, QStringView codigo);
    // "S" or "N" for an animal's codes and weight; see TblMapasItensBeforePost.
    static QString Classifica(const QString& maturity, const QString& finish, const QString& conformation,
                              const QString& typing, double weight);
    // The print's text of a conformation code.
    static QString DescricaoConformacao(const QString& conformation);

    // Dataset events.
    void TblMTCNewRecord(vorta::db::DataSet& dataSet);
    void TblMTCPostError(vorta::db::DataSet& dataSet, vorta::db::EDatabaseError& error, vorta::db::DataAction& action);
    void TblMapasNewRecord(vorta::db::DataSet& dataSet);
    void TblMapasCalcFields(vorta::db::DataSet& dataSet);
    void TblMapasItensNewRecord(vorta::db::DataSet& dataSet);
    void TblMapasItensBeforeInsert(vorta::db::DataSet& dataSet);
    void TblMapasItensBeforePost(vorta::db::DataSet& dataSet);
    void TblMapasItensAfterPost(vorta::db::DataSet& dataSet);
    void TblMapasItensAfterDelete(vorta::db::DataSet& dataSet);
    void TblMapasItenstip_codigoValidate(vorta::db::Field& field);
    void TblMapasItensaca_codigoValidate(vorta::db::Field& field);
    void TblMapasItensmat_codigoValidate(vorta::db::Field& field);
    void TblMapasItenscon_codigoValidate(vorta::db::Field& field);
    void qRelMapasItensCalcFields(vorta::db::DataSet& dataSet);
    // The map's animals and those classified, as the caller counted them on the stored
    // rows while their stamp was counted: the list figures take them without counting
    // again, unless the animals were written since.
    void contagem(int mapCode, int animals, int classified, const vorta::db::ContentStamp& counted);

private:
    void DataModuleCreate();
    void DataModuleDestroy();
    void declareFields();
    // The column's maximum plus 1, or 1 when there is none; read just before an insert.
    int proximoCodigo(const QString& sql, const QVariantList& params = {});
    // The declared field when ds is its dataset, else ds's field of that name.
    static vorta::db::Field* campo(vorta::db::DataSet& ds, vorta::db::Field* declared, const char* name);
    void atualizaSexo();

    bool m_inserindoMapa = false;
    std::unordered_map<QString, std::unique_ptr<vorta::db::Query>> m_proximos;

    // Asked before every animal and for every listed map: kept while the tables read
    // are unchanged.
    struct FigurasMapa {
        vorta::Money total;
        int animais = 0;
        int classificados = 0;
    };
    struct ChaveMapaDia {
        QString pecuarista;
        QString sexo;
        QDate dia;
        bool operator==(const ChaveMapaDia&) const = default;
        friend size_t qHash(const ChaveMapaDia& k, size_t seed = 0)
        {
            return qHashMulti(seed, k.pecuarista, k.sexo, k.dia);
        }
    };
    vorta::db::StampedMemo<ChaveMapaDia, int> m_mapasDoDia{{QStringLiteral("qel_mapas")}};
    // Fields the animal events read for every animal.
    struct CamposMapa {
        vorta::db::Field* codigo;
        vorta::db::Field* sexo;
        vorta::db::Field* pecuarista;
        vorta::db::Field* data;
    } m_mapa{};
    struct CamposItem {
        vorta::db::Field* numero;
        vorta::db::Field* maturidade;
        vorta::db::Field* acabamento;
        vorta::db::Field* conformacao;
        vorta::db::Field* tipificacao;
        vorta::db::Field* peso;
        vorta::db::Field* classificado;
        vorta::db::Field* mapa;
    } m_item{};
    // The next animal number of a map, as the database answered it or as this module's
    // own insert moved it on: kept while no other row of that map was written.
    struct ProximoAnimal {
        qint64 mapa = -1;
        int proximo = 1;
        vorta::db::ContentStamp stamp;
        bool inserindo = false; // the post under way inserts
    } m_proximoAnimal;
    vorta::db::ContentStamp carimboDosAnimais(qint64 map);
    // By map: saving one map leaves the figures of the others kept.
    vorta::db::StampedMemo<int, FigurasMapa> m_figuras{
        {QStringLiteral("qel_mapas_resumo"), QStringLiteral("qel_mapas_itens")}, QStringLiteral("map_codigo")};
};

extern vorta::Guarded<TDM_MTC> DM_MTC;
