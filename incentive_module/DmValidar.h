#pragma once

#include "platform/db/DataSource.h"
#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/ui/DataModule.h"

#include <QString>
#include <QVariantList>

#include <functional>

// The validation's data module: the declarant's register tables and the movement's
// maps on the module's database, the movement under check, and the field rules. Each
// rule that finds a fault hands its message number (and arguments) to OnErro.
class TDm_Validar : public vorta::ui::DataModule {
public:
    // db: the module's database (DM_MTC's when not given).
    explicit TDm_Validar(vorta::Component* owner = nullptr, vorta::db::Database* db = nullptr);

    vorta::db::Database* dbMTC;
    vorta::db::Table* TblContribuinte;
    vorta::db::Table* tblRespEmpresa;
    vorta::db::Table* tblResponsavel;
    vorta::db::Table* tblMunicipio;
    vorta::db::Table* tblMTC;
    vorta::db::Query* qryMapas;
    vorta::db::Query* qryMapasItens;
    vorta::db::Query* QryMapasNotas;
    vorta::db::DataSource* dsMapas;

    // The movement under check, filled by the caller.
    int MovCodigo = 0;
    QString MovInscricao, MovAno, MovMes, MovTipo;

    std::function<void(int code, const QVariantList& args)> OnErro;

    // Rules of the register check, in the check's order.
    void VInscricao(const QString& ie);
    void VRazaoSocial(const QString& nome);
    void VNomeFantasia(const QString& nome);
    void VCNPJ(const QString& cnpj);
    void VNIRE(const QString& nire);
    void VDDDObrig(const QString& ddd);
    // Area code and phone: phone empty with area code, phone without area code,
    // area code of one character, phone shorter than 7.
    void VFone(const QString& ddd, const QString& fone, int semFone = 19, int semDDD = 70, int dddCurto = 30,
               int foneCurto = 31);
    void VFone2(const QString& ddd, const QString& fone);
    void VFax(const QString& ddd, const QString& fax);
    void VTipLogEstabObrig(const QString& tipo);
    void VLogradouroEstabObrig(const QString& logradouro);
    void VNumComplEstab(const QString& numero, const QString& complemento);
    void VBairroEstabObrig(const QString& tipo, const QString& bairro);
    void VMunicipioEstab(const QString& municipio);
    void VUFEstab(const QString& uf);
    void VCEPEstabObrig(const QString& cep, const QString& municipio);
    void VEmailEstab(const QString& email);
    void VUF(const QString& uf);
    void VCEP(const QString& cep, const QString& municipio);
    void VEmail(const QString& email);
    // The legal representative is read, not checked.
    void VRespLegal(const QString& cpf);

    // Rules of the same family that the check does not call.
    void VNome_RazaoObrig(const QString& nome);
    void VFoneObrig(const QString& fone);
    void VResponsavelObrig(const QString& cpf);
    void VLogradouroEstab(const QString& tipo, const QString& logradouro);
    void VLogradouroObrig(const QString& logradouro);
    void VLogradouro(const QString& tipo, const QString& logradouro);
    void VTipLogObrig(const QString& tipo);
    void VNumComplObrig(const QString& numero, const QString& complemento);
    void VBairro(const QString& tipo, const QString& bairro);
    void VBairroEstab(const QString& tipo, const QString& bairro);
    void VBairroObrig(const QString& tipo, const QString& bairro);
    void VMunicipioEnderecoObrig(const QString& municipio);
    void VCEPEstab(const QString& cep, const QString& municipio);
    void VCEPObrig(const QString& cep, const QString& municipio);
    // A real number shown with an exponent, or outside [minimo, maximo]: 869.
    void TamanhoCampoFloat(const vorta::db::Field& field, double minimo, double maximo);

private:
    void erro(int code, const QVariantList& args = {});
    // A filled CEP against its municipality's range: 1407 without a range, else
    // foraDaFaixa outside it.
    void faixaCEP(const QString& cep, const QString& municipio, int foraDaFaixa);
};

extern vorta::Guarded<TDm_Validar> Dm_Validar;
