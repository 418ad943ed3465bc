#include "DmValidar.h"

#include "UDM_MTC.h"
#include "Ufuncoes.h"

#include "platform/db/Field.h"

vorta::Guarded<TDm_Validar> Dm_Validar;

using namespace vorta::db;

namespace {
QString t(const QString& s)
{
    return s.trimmed();
}
} // namespace

TDm_Validar::TDm_Validar(vorta::Component* owner, Database* db) : vorta::ui::DataModule(owner)
{
    setName(QStringLiteral("Dm_Validar"));
    dbMTC = db ? db : (DM_MTC ? DM_MTC->dbMTC : nullptr);
    auto table = [this](const char* name, const char* tableName) {
        auto* tb = new Table(this);
        tb->setName(QString::fromLatin1(name));
        tb->setDatabase(dbMTC);
        tb->setTableName(QString::fromLatin1(tableName));
        return tb;
    };
    TblContribuinte = table("TblContribuinte", "Contribuinte");
    tblRespEmpresa = table("tblRespEmpresa", "RespEmpresa");
    tblResponsavel = table("tblResponsavel", "Responsavel");
    tblMunicipio = table("tblMunicipio", "Municipio");
    tblMTC = table("tblMTC", "qel_movimento");

    qryMapas = new Query(this);
    qryMapas->setName(QStringLiteral("qryMapas"));
    qryMapas->setDatabase(dbMTC);
    dsMapas = new DataSource(this);
    dsMapas->setName(QStringLiteral("dsMapas"));
    dsMapas->setDataSet(qryMapas);
    auto detail = [this](const char* name, const char* sql) {
        auto* q = new Query(this);
        q->setName(QString::fromLatin1(name));
        q->setDatabase(dbMTC);
        q->setSql(QString::fromLatin1(sql));
        q->setDataSource(dsMapas);
        return q;
    };
    qryMapasItens = detail("qryMapasItens", "select * from qel_mapas_itens where map_codigo = :map_codigo");
    QryMapasNotas = detail("QryMapasNotas", "select * from qel_NotasMapa where map_codigo = :map_codigo");
}

void TDm_Validar::erro(int code, const QVariantList& args)
{
    if (OnErro)
        OnErro(code, args);
}

void TDm_Validar::VInscricao(const QString& value)
{
    const QString ie = t(value);
    if (ie.size() != 9)
        return;
    // The hand-over of the registration under check; a prefix that is no number is
    // not 28.
    insc = ie.mid(2, 7);
    bool ok = false;
    ie2 = ie.left(2).toInt(&ok);
    if (!ok || ie2 != 28)
        erro(53);
    if (!IsNumber(ie) || !ChkINSC(insc))
        erro(54);
}

void TDm_Validar::VRazaoSocial(const QString& nome)
{
    if (t(nome).isEmpty())
        erro(37);
}

void TDm_Validar::VNomeFantasia(const QString& nome)
{
    if (t(nome).isEmpty())
        erro(38);
    else if (t(nome).size() < 3)
        erro(1420);
}

void TDm_Validar::VCNPJ(const QString& value)
{
    const QString cnpj = t(value);
    if (cnpj.isEmpty())
        erro(35);
    else if (cnpj.size() <= 14 && !ChkCNPJ(cnpj))
        erro(55);
}

void TDm_Validar::VNIRE(const QString& value)
{
    const QString nire = t(value);
    if (nire.isEmpty())
        return;
    if (nire.left(2) != QLatin1String("54") || !IsNumber(nire) || !ChkNIRE(nire))
        erro(633);
}

void TDm_Validar::VDDDObrig(const QString& ddd)
{
    if (t(ddd).isEmpty())
        erro(70);
    else if (t(ddd).size() == 1)
        erro(30);
}

void TDm_Validar::VFone(const QString& dddValue, const QString& foneValue, int semFone, int semDDD, int dddCurto,
                        int foneCurto)
{
    const QString ddd = t(dddValue), fone = t(foneValue);
    if (!ddd.isEmpty() && fone.isEmpty())
        erro(semFone);
    if (!fone.isEmpty() && ddd.isEmpty())
        erro(semDDD);
    if (ddd.size() == 1)
        erro(dddCurto);
    if (!fone.isEmpty() && fone.size() < 7)
        erro(foneCurto);
}

void TDm_Validar::VFone2(const QString& ddd, const QString& fone)
{
    if (!t(ddd).isEmpty() || !t(fone).isEmpty())
        VFone(ddd, fone, 581, 582, 625, 626);
}

void TDm_Validar::VFax(const QString& dddValue, const QString& faxValue)
{
    const QString ddd = t(dddValue), fax = t(faxValue);
    if (ddd.isEmpty() && fax.isEmpty())
        return;
    if (ddd.size() == 1)
        erro(72);
    if (ddd.isEmpty() || fax.isEmpty())
        erro(71);
    if (!fax.isEmpty() && fax.size() < 7)
        erro(73);
}

void TDm_Validar::VTipLogEstabObrig(const QString& tipo)
{
    if (t(tipo).isEmpty())
        erro(612);
}

void TDm_Validar::VLogradouroEstabObrig(const QString& logradouro)
{
    if (t(logradouro).isEmpty())
        erro(613);
}

void TDm_Validar::VNumComplEstab(const QString& numero, const QString& complemento)
{
    if (t(numero).isEmpty() && t(complemento).isEmpty())
        erro(614);
}

void TDm_Validar::VBairroEstabObrig(const QString& tipo, const QString& bairro)
{
    if (t(tipo).isEmpty())
        erro(623);
    if (t(bairro).isEmpty() && t(tipo).toUpper() != QLatin1String("CTO"))
        erro(624);
}

void TDm_Validar::VMunicipioEstab(const QString& municipio)
{
    if (t(municipio).isEmpty() || t(municipio) == QLatin1String("0"))
        erro(615);
}

void TDm_Validar::VUFEstab(const QString& uf)
{
    if (t(uf).size() <= 1)
        erro(616);
    if (!ChkUF(t(uf)))
        erro(617);
}

void TDm_Validar::faixaCEP(const QString& cep, const QString& municipio, int foraDaFaixa)
{
    if (!tblMunicipio->active())
        tblMunicipio->open();
    if (!tblMunicipio->locate(QStringLiteral("Mun_Codigo"), t(municipio).toInt()))
        return;
    const QString inicial = t(tblMunicipio->fieldByName(QStringLiteral("Mun_CEPInicial"))->asString());
    const QString final_ = t(tblMunicipio->fieldByName(QStringLiteral("Mun_CEPFinal"))->asString());
    if (inicial.isEmpty() || final_.isEmpty()) {
        erro(1407, {tblMunicipio->fieldByName(QStringLiteral("Mun_Descricao"))->asString()});
        return;
    }
    // A CEP (or a range end) that is not a number cannot lie inside the range.
    bool okCep = false, okIni = false, okFim = false;
    const qint64 n = t(cep).toLongLong(&okCep);
    const qint64 ini = inicial.toLongLong(&okIni), fim = final_.toLongLong(&okFim);
    if (!okCep || !okIni || !okFim || n < ini || n > fim)
        erro(foraDaFaixa);
}

void TDm_Validar::VCEPEstabObrig(const QString& cep, const QString& municipio)
{
    if (t(cep).isEmpty()) {
        erro(618);
        return;
    }
    if (t(cep).size() < 8)
        erro(619);
    faixaCEP(cep, municipio, 620);
}

void TDm_Validar::VEmailEstab(const QString& email)
{
    if (!t(email).isEmpty() && !ChkEmail(t(email)))
        erro(621);
}

void TDm_Validar::VUF(const QString& uf)
{
    if (t(uf).size() <= 1)
        erro(66);
    if (!ChkUF(t(uf)))
        erro(66);
}

void TDm_Validar::VCEP(const QString& cep, const QString& municipio)
{
    if (t(cep).isEmpty())
        return;
    if (t(cep).size() < 8)
        erro(68);
    faixaCEP(cep, municipio, 69);
}

void TDm_Validar::VEmail(const QString& email)
{
    if (!t(email).isEmpty() && !ChkEmail(t(email)))
        erro(32);
}

void TDm_Validar::VRespLegal(const QString&) {}

void TDm_Validar::VNome_RazaoObrig(const QString& nome)
{
    if (t(nome).isEmpty())
        erro(57);
    else if (t(nome).size() < 3)
        erro(58);
}

void TDm_Validar::VFoneObrig(const QString& fone)
{
    if (t(fone).isEmpty())
        erro(19);
    else if (t(fone).size() < 7)
        erro(31);
}

void TDm_Validar::VResponsavelObrig(const QString& cpf)
{
    if (t(cpf).isEmpty())
        erro(634);
}

void TDm_Validar::VLogradouroEstab(const QString& tipo, const QString& logradouro)
{
    if (!t(logradouro).isEmpty() && t(tipo).isEmpty())
        erro(612);
    if (!t(tipo).isEmpty() && t(logradouro).isEmpty())
        erro(613);
}

void TDm_Validar::VLogradouroObrig(const QString& logradouro)
{
    if (t(logradouro).isEmpty())
        erro(61);
}

void TDm_Validar::VLogradouro(const QString& tipo, const QString& logradouro)
{
    if (!t(logradouro).isEmpty() && t(tipo).isEmpty())
        erro(60);
    if (!t(tipo).isEmpty() && t(logradouro).isEmpty())
        erro(61);
}

void TDm_Validar::VTipLogObrig(const QString& tipo)
{
    if (t(tipo).isEmpty())
        erro(60);
}

void TDm_Validar::VNumComplObrig(const QString& numero, const QString& complemento)
{
    if (t(numero).isEmpty() && t(complemento).isEmpty())
        erro(62);
}

namespace {
bool cto(const QString& tipo)
{
    return tipo.trimmed().toUpper() == QLatin1String("CTO");
}
} // namespace

void TDm_Validar::VBairro(const QString& tipo, const QString& bairro)
{
    if (!t(bairro).isEmpty() && t(tipo).isEmpty())
        erro(63);
    if (!t(tipo).isEmpty() && t(bairro).isEmpty() && !cto(tipo))
        erro(64);
}

void TDm_Validar::VBairroEstab(const QString& tipo, const QString& bairro)
{
    if (!t(bairro).isEmpty() && t(tipo).isEmpty())
        erro(623);
    if (!t(tipo).isEmpty() && t(bairro).isEmpty() && !cto(tipo))
        erro(624);
}

void TDm_Validar::VBairroObrig(const QString& tipo, const QString& bairro)
{
    if (t(tipo).isEmpty())
        erro(63);
    if (t(bairro).isEmpty() && !cto(tipo))
        erro(64);
}

void TDm_Validar::VMunicipioEnderecoObrig(const QString& municipio)
{
    if (t(municipio).isEmpty() || t(municipio) == QLatin1String("0"))
        erro(65);
}

void TDm_Validar::VCEPEstab(const QString& cep, const QString& municipio)
{
    if (t(cep).isEmpty())
        return;
    if (t(cep).size() < 8)
        erro(619);
    faixaCEP(cep, municipio, 620);
}

void TDm_Validar::VCEPObrig(const QString& cep, const QString& municipio)
{
    if (t(cep).isEmpty()) {
        erro(67);
        return;
    }
    if (t(cep).size() < 8)
        erro(68);
    faixaCEP(cep, municipio, 69);
}

void TDm_Validar::TamanhoCampoFloat(const Field& field, double minimo, double maximo)
{
    const double v = field.asFloat();
    const QString shown = QString::number(v, 'g', 15);
    if (shown.contains(QLatin1Char('e'), Qt::CaseInsensitive) || v < minimo || v > maximo)
        erro(869, {field.displayName()});
}
