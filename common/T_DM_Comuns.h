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
#include <optional>

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
    [[noreturn]] void RecusaCampo(int mensagem, const QString& pagina, const QString& campo,
                                  const QVariantList& args = {});

    // ---- Taxpayer rules --------------------------------------------------------------
    // One refusal of a field check: the message, its arguments, and which of the checked
    // values is at fault (0 the first, 1 the second, -1 none).
    struct Recusa {
        int mensagem = 0;
        int foco = 0;
        QVariantList args = {};
    };
    using Checagem = std::optional<Recusa>;

    // The checks on values, shared by the rules below and by any caller that validates
    // other data against the same conditions.
    static Checagem ChecaObrig(const QString& valor, int vazio);
    // Blank: vazio; shorter than 3: curto.
    static Checagem ChecaNome(const QString& valor, int vazio, int curto);
    // Writes insc and ie2; a length other than 9 is not checked.
    static Checagem ChecaDigitoIE(const QString& valor);
    // Another establishment's state registration (head office, centraliser); writes insc.
    static Checagem ChecaOutraIE(const QString& valor, int tamanho, int prefixo, int digito);
    static Checagem ChecaDDDObrig(const QString& ddd);
    static Checagem ChecaFoneObrig(const QString& fone);
    // Area code and number, first value the area code: the number missing (semFone), the
    // area code missing (semDDD), a one-digit area code, a number of 1 to 6 digits.
    static Checagem ChecaFone(const QString& ddd, const QString& fone, int semFone, int semDDD, int dddCurto,
                              int foneCurto);
    // Fax: a one-digit area code (72), one of the pair missing (71, at fault the missing
    // one), a number of 1 to 6 digits (73).
    static Checagem ChecaFax(const QString& ddd, const QString& fax);
    // Street name and type, first value the name: a name without type, a type without name.
    static Checagem ChecaLogradouro(const QString& nome, const QString& tipo, int semTipo, int semNome);
    // District and type, first value the district; the type "CTO" needs no district name.
    static Checagem ChecaBairro(const QString& bairro, const QString& tipo, int semTipo, int semNome,
                                bool obrigatorio);
    static Checagem ChecaNumComplObrig(const QString& numero, const QString& complemento, int mensagem);
    static Checagem ChecaUF(const QString& uf, int vazia, int invalida);
    static Checagem ChecaEmail(const QString& email, int mensagem);
    // Empty passes; "54" with its check digit, or "00" followed by the registration.
    static Checagem ChecaNIRE(const QString& nire, const QString& inscricao);
    // "54" with its check digit, nothing else.
    static Checagem ChecaNIREDigito(const QString& nire);
    // A CNPJ of 14 digits, or of menorChecado to 13 checked as it is.
    static Checagem ChecaCNPJObrig(const QString& cnpj, int menorChecado = 2);
    // The postal code against the range of the municipality; when no municipality has
    // the code only the length is checked.
    Checagem ChecaCEP(const QString& cep, const QVariant& municipio, int curto, int foraDaFaixa);
    // The same on a postal code given; a blank one refuses with vazio, or passes when
    // vazio is 0.
    Checagem ChecaCEPInformado(const QString& cep, const QVariant& municipio, int vazio, int curto, int foraDaFaixa);
    // Whether a taxpayer row with this registration exists.
    bool ExisteContribuinte(const QString& inscricao);

    // The rules on the current record of Tb_Contribuinte: each refuses with the failure
    // step (message, page of the taxpayer register, field's control, silent abort).
    void VerRegistroExiste();
    void VerificaIECNPJCPFPreenchido();
    void ValidaDigitoIE();
    void ValidaDigitoCNPJ();
    void ValidaDigitoCPF();
    void ValidaNomePropriedadeObrig();
    void ValidaNomeFantasiaObrig();
    void ValidaCPRObrig();
    void ValidaCPR();
    void ValidaCon_NIREObrig();
    void ValidaCon_NIRE();
    void ValidaCPFCNPJ();
    void ValidaCNPJObrig();
    void ValidaCNPJRevendaProdutor();
    void ValidaSalvaEndereco();
    void ValidaCon_DDDFoneObrig();
    void ValidaCon_FoneObrig();
    void ValidaCon_Fone();
    void ValidaCon_Fone2();
    void ValidaCon_FAX();
    void ValidaTipLog_CodigoObrig();
    void ValidaCon_LogradouroObrig();
    void ValidaNumeroComplementoPreenchidoObrig();
    void ValidaCon_BairroObrig();
    void ValidaCon_Logradouro();
    void ValidaCon_Bairro();
    void ValidaMun_EnderecoObrig();
    void ValidaCon_UFObrig();
    void ValidaCon_CEPObrig();
    void ValidaCon_CEP();
    void ValidaCon_Email();
    void ValidaTipLog_CodigoEstabObrig();
    void ValidaCon_LogradouroEstabObrig();
    void ValidaNumeroComplementoPreenchidoEstabObrig();
    void ValidaCon_BairroEstabObrig();
    void ValidaCon_LogradouroEstab();
    void ValidaCon_BairroEstab();
    void ValidaMun_EnderecoEstabObrig();
    void ValidaMun_EstabelecimentoObrig();
    void ValidaMun_PropriedadeObrig();
    void ValidaAge_CodigoObrig();
    void ValidaCon_UFEstabObrig();
    void ValidaCon_CEPEstabObrig();
    void ValidaCon_CEPEstab();
    void ValidaCon_EmailEstab();
    void ValidaCon_EmailEstabObrig();
    void ValidaViadeAcessoPreenchidoObrig();
    void ValidaCon_FormaEntregaObrig();
    void ValidaCon_FormaEntregaAnual();
    void ValidaCon_RegICMSObrig();
    void ValidaCon_EscritaFiscalObrig();
    void ValidaCon_OutraEmpresaObrig();
    void ValidaCon_OutraEmpresa();
    void ValidaResp_CPFObrig();
    // Copies the correspondence address into the blank establishment fields.
    void GravaEstabelecimento();

    // ---- The same checks on values a caller hands over ---------------------------------
    // Each refuses with its message, moves the focus to a control showing the field at
    // fault (when one can take it) and aborts silently; two fields follow the order of
    // the two values. No page is switched and no question asked.
    using Field = vorta::db::Field;
    void VDigitoIE(const QString& valor, Field& campo);
    void VCon_FAX(const QString& ddd, const QString& fax, Field& campoDDD, Field& campoFax);
    void VNome_RazaoObrig(const QString& valor, Field& campo);
    void VNome_RazaoEstabObrig(const QString& valor, Field& campo);
    void VNomeFantasiaObrig(const QString& valor, Field& campo);
    void VCNPJObrig(const QString& valor, Field& campo);
    void VCon_DDDObrig(const QString& valor, Field& campo);
    void VFoneDDD(const QString& ddd, const QString& fone, Field& campoDDD, Field& campoFone);
    void VFoneDDD2(const QString& ddd, const QString& fone, Field& campoDDD, Field& campoFone);
    void VFoneObrig(const QString& valor, Field& campo);
    void VResponsavelObrig(const QString& valor, Field& campo);
    void VTipLogEstabObrig(const QString& valor, Field& campo);
    void VLogradouroEstab(const QString& nome, const QString& tipo, Field& campoNome, Field& campoTipo);
    void VLogEstabObrig(const QString& valor, Field& campo);
    void VLogradouroObrig(const QString& valor, Field& campo);
    void VLogradouro(const QString& nome, const QString& tipo, Field& campoNome, Field& campoTipo);
    void VTipLogObrig(const QString& valor, Field& campo);
    void VNumComplEstabObrig(const QString& numero, const QString& complemento, Field& campo);
    void VNumComplObrig(const QString& numero, const QString& complemento, Field& campo);
    void VBairro(const QString& bairro, const QString& tipo, Field& campoBairro, Field& campoTipo);
    void VBairroEstab(const QString& bairro, const QString& tipo, Field& campoBairro, Field& campoTipo);
    void VBairroEstabObrig(const QString& bairro, const QString& tipo, Field& campoBairro, Field& campoTipo);
    void VBairroObrig(const QString& bairro, const QString& tipo, Field& campoBairro, Field& campoTipo);
    void VMunicipoPropriedadeObrig(const QString& valor, Field& campo);
    void VMunicipioEnderecoObrig(const QString& valor, Field& campo);
    void VUFEstabObrig(const QString& valor, Field& campo);
    void VUFObrig(const QString& valor, Field& campo);
    // The postal code against the range of the municipality with that code.
    void VCEP(const QString& cep, int municipio, Field& campo);
    void VCEPEstab(const QString& cep, int municipio, Field& campo);
    void VCEPEstabObrig(const QString& cep, int municipio, Field& campo);
    void VCEPObrig(const QString& cep, int municipio, Field& campo);
    void VNIRE(const QString& valor, Field& campo);
    void VEmail(const QString& valor, Field& campo);
    void VEmailEstab(const QString& valor, Field& campo);
    void VExisteContrib(const QString& inscricao, Field& campo);
    // The modes of the taxpayer register that ValidaCNPJRevendaProdutor reads; the form
    // keeps them here while it is open.
    bool ModoRevenda = false;
    bool ModoProdutorRural = false;

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
    // The taxpayer rule sets of the programs that add their own.
    void regrasProdutor();
    void regrasTUV();
    void regrasVortaMod();
    void tipoCPFCNPJDoEndCPF();
};

extern vorta::Guarded<TDM_Comuns> DM_Comuns;
// The registration a register form saved last; empty after a cancel.
extern QString CancelaContrib;
