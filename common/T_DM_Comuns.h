#pragma once

#include "platform/core/Component.h"
#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/ui/DataModule.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

// The common registers' data module: the connection to the data folder, the tables and
// queries of the registers and their reference tables, and the dataset events that
// give new rows their defaults, mask registrations, refuse deletions that would leave
// references behind and mark other modules' declarations after a taxpayer changes.
class TDM_Comuns : public vorta::ui::DataModule {
public:
    explicit TDM_Comuns(vorta::Component* owner = nullptr);

    using DataSet = vorta::db::DataSet;
    using Database = vorta::db::Database;
    using Table = vorta::db::Table;
    using Query = vorta::db::Query;
    using DataSource = vorta::db::DataSource;

    Database* DB_Comuns;
    Database* DB_Backup;

    Table* Tb_Agenfa;
    Table* Tb_Municipio;
    Table* Tb_MunicipioPro;
    Table* Tb_C_Municipio;
    Table* Tb_Logradouro;
    Table* Tb_LogradouroEstab;
    Table* Tb_Bairro;
    Table* Tb_BairroEstab;
    Table* Tb_Responsavel;
    Table* Tb_C_Responsavel;
    Table* Tb_Produto;
    Table* Tb_ProdutoAg;
    Table* Tb_ProdutosOA;
    Table* Tb_Grupo;
    Table* Tb_Endereco;
    Table* Tb_Contribuinte;
    Table* Tb_RemDest;
    Table* Tb_NatOpeTodas;
    Table* Tb_NatOpeEntrada;
    Table* Tb_NatOpeSaida;
    Table* Tb_TipoResp;
    Table* Tb_RespEmpresa;
    Table* Tb_Parametros;
    Table* Tb_RegICMS;
    Table* Tb_FormaEntr;
    Table* Tb_CFOP;
    Table* Tb_Entrega;
    Table* Tb_Dados;
    Table* Tb_Backup;
    Query* Q_Geral;
    Query* Q_Contribuinte;
    Query* Q_Parametros;

    DataSource* Ds_Agenfa;
    DataSource* Ds_Municipio;
    DataSource* Ds_Logradouro;
    DataSource* Ds_Bairro;
    DataSource* Ds_Produto;
    DataSource* Ds_Responsavel;
    DataSource* Ds_Endereco;
    DataSource* Ds_Contribuinte;
    DataSource* Ds_MunicipioPro;
    DataSource* Ds_Grupo;
    DataSource* Ds_C_Responsavel;
    DataSource* Ds_C_Municipio;
    DataSource* Ds_NatOpeTodas;
    DataSource* dS_NatOpeEntrada;
    DataSource* Ds_NatOpeSaida;
    DataSource* Ds_ProdutoAg;
    DataSource* DS_Q_Contribuinte;
    DataSource* ds_RespEmpresa;
    DataSource* Ds_LogradouroEstab;
    DataSource* Ds_BairroEstab;
    DataSource* Ds_ProdutosOA;

    // The registration kind of the row being edited was changed during an edit (not an
    // insert); kept after the post, so the next edit still sees it.
    bool TipoAlterado = false;
    // Registration a caller presets for the next new taxpayer or sender/recipient row;
    // cleared after the next post of either table.
    QString InscricaoPadrao;

    // Hooks the register forms fill; the module knows no form class.
    // A refused field: switch the register form to the page (empty: the upper area)
    // and focus the control of the field.
    std::function<void(const QString& pagina, const QString& campo)> FocaCampo;
    // The municipality register form while it exists; its controls are reached by name.
    QPointer<QWidget> FormMunicipio;

    void DataModuleCreate();
    void DataModuleDestroy();

    // Shows or hides the data-aware edits, radio groups and lookup lists of the form by
    // the Parametros column named Column for the register named Table; a label then
    // takes the visibility of its buddy (its focus control).
    void HabilitaDesabilitaControles(QWidget* Form, const QString& Column, const QString& Table);
    // Rewrites the registration kind of one party in its invoices (table nota, when
    // the invoice module's table is there).
    void AtualizarConTipoNotas(const QString& Registration, const QString& Kind);
    // The failure step of a field check: message, page and focus through FocaCampo,
    // then the silent abort.
    [[noreturn]] void RecusaCampo(int mensagem, const QString& pagina, const QString& campo);

    // Dataset events.
    void Tb_MunicipioBeforePost(DataSet& ds);
    void Tb_MunicipioBeforeDelete(DataSet& ds);
    void Tb_MunicipioNewRecord(DataSet& ds);
    void Tb_MunicipioPostError(DataSet& ds, vorta::db::EDatabaseError& e, vorta::db::DataAction& action);
    void Tb_MunicipioMun_UFChange(vorta::db::Field& field);
    void Tb_MunicipioProBeforePost(DataSet& ds);
    void Tb_MunicipioProAfterPost(DataSet& ds);
    void Tb_MunicipioProBeforeDelete(DataSet& ds);
    void Tb_MunicipioProNewRecord(DataSet& ds);
    void Tb_MunicipioProPostError(DataSet& ds, vorta::db::EDatabaseError& e, vorta::db::DataAction& action);
    void Tb_ResponsavelBeforePost(DataSet& ds);
    void Tb_ResponsavelAfterPost(DataSet& ds);
    void Tb_ResponsavelBeforeDelete(DataSet& ds);
    void Tb_ResponsavelPostError(DataSet& ds, vorta::db::EDatabaseError& e, vorta::db::DataAction& action);
    void Tb_ContribuinteBeforePost(DataSet& ds);
    void Tb_ContribuinteAfterPost(DataSet& ds);
    void Tb_ContribuinteBeforeDelete(DataSet& ds);
    void Tb_ContribuinteAfterScroll(DataSet& ds);
    void Tb_ContribuinteCalcFields(DataSet& ds);
    void Tb_ContribuinteNewRecord(DataSet& ds);
    void Tb_ContribuintePostError(DataSet& ds, vorta::db::EDatabaseError& e, vorta::db::DataAction& action);
    void Tb_RemDestBeforePost(DataSet& ds);
    void Tb_RemDestAfterPost(DataSet& ds);
    void Tb_RemDestBeforeDelete(DataSet& ds);
    void Tb_RemDestAfterScroll(DataSet& ds);
    void Tb_RemDestCalcFields(DataSet& ds);
    void Tb_RemDestNewRecord(DataSet& ds);
    void Tb_RemDestPostError(DataSet& ds, vorta::db::EDatabaseError& e, vorta::db::DataAction& action);
    void Tb_RemDestCon_TipoChange(vorta::db::Field& field);
    void Tb_RespEmpresaBeforePost(DataSet& ds);
    void Q_ContribuinteCalcFields(DataSet& ds);

private:
    void declareFields();
    void bindEvents();
    // Code of a new municipality: the largest code plus one, never below the first
    // code the users number (999002).
    void numeraNovoMunicipio(DataSet& ds);
    void recusaExclusaoMunicipio(DataSet& ds);
    // The reference probes of a taxpayer or sender/recipient row.
    void recusaExclusaoContribuinte(DataSet& ds);
    // Runs one probe on Q_Geral: a row found shows the message and aborts the delete.
    void sonda(const QStringList& linhas, const QString& parametro, const QVariant& valor, int mensagem);
    bool tabelaExiste(const QString& arquivo);
    // Whether a probe on Q_Geral finds a row; the query is closed again either way.
    bool existeLinha(const QStringList& linhas, const QString& parametro, const QVariant& valor);
    // The CPF rules shared by the accountant and the legal representative.
    void validaCPF(DataSet& ds, const char* campo, int vazio);
    // The rules of both municipality tables.
    void validaMunicipio(DataSet& ds);
    void mostraErroGravacao(const vorta::db::EDatabaseError& e, vorta::db::DataAction& action);
};

extern vorta::Guarded<TDM_Comuns> DM_Comuns;
// The registration a register form saved last; empty after a cancel.
extern QString CancelaContrib;
