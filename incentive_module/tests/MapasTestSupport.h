#pragma once

#include "UDM_MTC.h"
#include "UResumoMapa.h"

#include "platform/core/Clock.h"
#include "platform/ui/Form.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QRegularExpression>

#include <memory>
#include <utility>
#include <vector>

namespace zir_test {

inline const QString kFrigorifico = QStringLiteral("281234567");
inline const QString kOutroFrigorifico = QStringLiteral("282000001");
inline const QString kPecuarista = QStringLiteral("285000001");
inline const QDate kDia(2026, 12, 10);

// An installed database with two slaughterhouses, a raiser with his programme number,
// a technician, the programme parameters, December 2026's reference values and a
// movement of the first slaughterhouse for that month; DM_MTC created on it.
class MapasFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        install.installDatabase();
        vorta::setClock([] { return QDateTime(QDate(2026, 12, 10), QTime(9, 30, 15, 678)); });
        vorta::ui::createForm(DM_MTC);
        ASSERT_TRUE(DM_MTC);
        ASSERT_TRUE(DM_MTC->dbMTC->connected());
        dm = DM_MTC;
        // The numbered messages the rules show, in case the catalogue lacks them.
        for (int code : {33, 1669, 1677, 1722, 1723, 1725})
            exec("insert or ignore into mensagem (Men_Codigo, Men_Descricao) values (?1, 'Mensagem')", {code});
        exec("insert into Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) values (1, 'Palmas', 'TO')");
        for (const QString& ie : {kFrigorifico, kOutroFrigorifico})
            exec("insert into Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Mun_Endereco) "
                 "values (?1, ?2, 'Frigo', 'IE', 1)",
                 {ie, "Frigorifico " + ie});
        exec("insert into Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Mun_Endereco) "
             "values (?1, 'Pecuarista', 'Fazenda Boa', 'IE', 1)",
             {kPecuarista});
        exec("insert into Qel_Contribuinte_Complemento (con_iecnpjcpf, cco_num_sif, cco_num_cad_pradel) "
             "values (?1, '123', '4567')",
             {kPecuarista});
        exec("insert into Qel_Tecnico (Tec_Codigo, Tec_Nome) values (1, 'Dra. Vet')");
        setParametros(67, 50, 33, 12);
        exec("insert into qel_parametros_mensais (pam_ano, pam_mes, pam_vlr_arr_macho, pam_vlr_arr_femea) "
             "values (2026, 12, 90, 80)");
        exec("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia, "
             "mov_tipo, mov_situacao) values (1, ?1, 2026, 12, 'N', '?')",
             {kFrigorifico});
        dm->QryContribuinte->open();
        ASSERT_TRUE(dm->QryContribuinte->locate(QStringLiteral("Con_IECNPJCPF"), kFrigorifico));
        for (auto* t : {dm->TblContribuinte, dm->TblMapas, dm->TblMapasItens, dm->TblTecnicos,
                        dm->TblContribuinteComplementoMapas})
            t->open();
    }
    void TearDown() override
    {
        if (dm && dm->dbMTC->inTransaction())
            dm->dbMTC->rollback();
        vorta::Component::free(DM_MTC);
        AlterandoMapa = false;
        vorta::setClock({});
    }

public:
    void exec(const QString& sql, const QVariantList& params = {}) { dm->dbMTC->execute(sql, params); }
    void exec(const char* sql, const QVariantList& params = {}) { exec(QString::fromUtf8(sql), params); }
    QVariant scalar(const QString& sql, const QVariantList& params = {})
    {
        vorta::db::Query q;
        q.setDatabase(dm->dbMTC);
        // Positional "?N" as the query's named parameters.
        q.setSql(QString(sql).replace(QRegularExpression(QStringLiteral("\\?(\\d+)")), QStringLiteral(":p\\1")));
        for (int i = 0; i < params.size(); ++i)
            q.params(i)->setValue(params[i]);
        q.open();
        return q.isEmpty() ? QVariant() : q.fields(0)->value();
    }
    int count(const QString& sql, const QVariantList& params = {}) { return scalar(sql, params).toInt(); }

    void setParametros(double dl, double d2, double d4, double icms)
    {
        exec("delete from Qel_Parametros");
        exec("insert into Qel_Parametros values (?1, ?2, ?3, ?4)", {dl, d2, d4, icms});
    }

    // A new map of the current slaughterhouse inside a transaction, as the include does.
    void novoMapa(const QString& sex, const QString& raiser = kPecuarista, const QDate& day = kDia)
    {
        dm->dbMTC->startTransaction();
        dm->TblMapas->insert();
        dm->TblMapas->fieldByName(QStringLiteral("map_num_lote"))->setAsString(QStringLiteral("00/00"));
        dm->TblMapas->fieldByName(QStringLiteral("map_data"))->setAsDateTime(QDateTime(day, QTime(0, 0)));
        dm->TblMapas->fieldByName(QStringLiteral("Aprovado"))->setAsString(sex);
        dm->TblMapas->fieldByName(QStringLiteral("ie_pecuarista"))->setAsString(raiser);
        dm->TblMapas->fieldByName(QStringLiteral("Tec_Codigo"))->setAsInteger(1);
    }
    // One animal typed into the grid and posted.
    void animal(const QString& maturity, double weight, const QString& finish = QStringLiteral("3"),
                const QString& conformation = QStringLiteral("C"), const QString& typing = QStringLiteral("B"))
    {
        auto* items = dm->TblMapasItens;
        items->append();
        items->fieldByName(QStringLiteral("mat_codigo"))->setAsString(maturity);
        if (!conformation.isEmpty())
            items->fieldByName(QStringLiteral("con_codigo"))->setAsString(conformation);
        items->fieldByName(QStringLiteral("aca_codigo"))->setAsString(finish);
        items->fieldByName(QStringLiteral("itm_peso"))->setAsFloat(weight);
        items->fieldByName(QStringLiteral("tip_codigo"))->setAsString(typing);
        items->post();
    }
    // A map typed through the data module as the map form does (practised values 100 for
    // males, 90 for females) and saved with its summary.
    void mapaDigitado(const QString& sex, const std::vector<std::pair<const char*, double>>& animals,
                      const QDate& day = kDia)
    {
        TResumoMapa resumo(dm);
        novoMapa(sex, kPecuarista, day);
        resumo.CarregaParametros();
        resumo.dbEdit_VlrArrobaMacho = vorta::Money::fromUnits(100);
        resumo.dbEdit_VlrArrobaFemea = vorta::Money::fromUnits(90);
        dm->TblContribuinteComplementoMapas->refresh();
        for (const auto& [maturity, weight] : animals)
            animal(QString::fromLatin1(maturity), weight);
        resumo.Gravar();
    }
    // A stored map of the given sex and day, with no animals, outside any transaction.
    void mapaGravado(int code, const QString& sex, const QString& raiser = kPecuarista, const QDate& day = kDia)
    {
        exec("insert into qel_mapas (map_codigo, con_iecnpjcpf, map_data, ie_pecuarista, Aprovado, map_num_lote) "
             "values (?1, ?2, ?3, ?4, ?5, '01/01')",
             {code, kFrigorifico, QDateTime(day, QTime(0, 0)), raiser, sex});
    }

    vorta::testing::TempInstallation install;
    vorta::testing::ScriptedDialogs dialogs;
    TDM_MTC* dm = nullptr;
};

} // namespace zir_test
