// The field checks that other modules call with their own values and fields: the
// message of each refusal, the control that takes the focus, and what passes.
#include "T_DM_Comuns.h"

#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Database.h"
#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbControls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <functional>
#include <map>

using vorta::db::Field;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;

namespace {

const int kMensagens[] = {19,  22,  30,  31,  32,  35,  37,  38,  53,  54,  55,  57,  58,  60,  61,  62,
                          63,  64,  65,  66,  67,  68,  69,  70,  71,  72,  73,  581, 582, 612, 613, 614,
                          615, 616, 618, 619, 620, 621, 623, 624, 625, 626, 633, 634, 676, 1420};

QString textoDe(int n)
{
    if (n == 1407)
        return QStringLiteral("1407 - M1407 SEM FAIXA/SEM FAIXA");
    return QStringLiteral("%1 - M%1").arg(n);
}

QString nire(const QString& dez)
{
    for (char d = '0'; d <= '9'; ++d)
        if (ChkNIRE(dez + QLatin1Char(d)))
            return dez + QLatin1Char(d);
    return {};
}

// The fields a caller hands over, by name.
using Campo = std::function<Field&(const char*)>;

struct Caso {
    const char* nome;
    std::function<void(TDM_Comuns&, const Campo&)> chama;
    int mensagem;      // 0: the values pass
    const char* foco;  // the field whose control takes the focus; nullptr: the focus stays
};

// The municipality 1001 spans 77000000 to 77299999; 999020 has no range; 4242 does not exist.
const Caso kCasos[] = {
    {"VDigitoIE accepts a state registration", [](TDM_Comuns& dm, const Campo& f) { dm.VDigitoIE(QStringLiteral("281111111"), f("Con_IECNPJCPF")); }, 0, nullptr},
    {"VDigitoIE refuses another state's prefix", [](TDM_Comuns& dm, const Campo& f) { dm.VDigitoIE(QStringLiteral("271111111"), f("Con_IECNPJCPF")); }, 53, "Con_IECNPJCPF"},
    {"VDigitoIE refuses a wrong check digit", [](TDM_Comuns& dm, const Campo& f) { dm.VDigitoIE(QStringLiteral("281111112"), f("Con_IECNPJCPF")); }, 54, "Con_IECNPJCPF"},
    {"VDigitoIE refuses a letter among the digits", [](TDM_Comuns& dm, const Campo& f) { dm.VDigitoIE(QStringLiteral("2811A1111"), f("Con_IECNPJCPF")); }, 54, "Con_IECNPJCPF"},
    {"VDigitoIE refuses a letter in the prefix", [](TDM_Comuns& dm, const Campo& f) { dm.VDigitoIE(QStringLiteral("2A1111111"), f("Con_IECNPJCPF")); }, 53, "Con_IECNPJCPF"},
    {"VDigitoIE leaves another length alone", [](TDM_Comuns& dm, const Campo& f) { dm.VDigitoIE(QStringLiteral("27111111"), f("Con_IECNPJCPF")); }, 0, nullptr},

    {"VCon_FAX accepts a fax", [](TDM_Comuns& dm, const Campo& f) { dm.VCon_FAX(QStringLiteral("63"), QStringLiteral("32151234"), f("Con_DDDFax"), f("Con_FAX")); }, 0, nullptr},
    {"VCon_FAX accepts no fax", [](TDM_Comuns& dm, const Campo& f) { dm.VCon_FAX(QString(), QString(), f("Con_DDDFax"), f("Con_FAX")); }, 0, nullptr},
    {"VCon_FAX refuses a one-digit area code", [](TDM_Comuns& dm, const Campo& f) { dm.VCon_FAX(QStringLiteral("6"), QStringLiteral("32151234"), f("Con_DDDFax"), f("Con_FAX")); }, 72, "Con_DDDFax"},
    {"VCon_FAX refuses a number without area code", [](TDM_Comuns& dm, const Campo& f) { dm.VCon_FAX(QString(), QStringLiteral("32151234"), f("Con_DDDFax"), f("Con_FAX")); }, 71, "Con_DDDFax"},
    {"VCon_FAX refuses an area code without number", [](TDM_Comuns& dm, const Campo& f) { dm.VCon_FAX(QStringLiteral("63"), QString(), f("Con_DDDFax"), f("Con_FAX")); }, 71, "Con_FAX"},
    {"VCon_FAX refuses a short number", [](TDM_Comuns& dm, const Campo& f) { dm.VCon_FAX(QStringLiteral("63"), QStringLiteral("123456"), f("Con_DDDFax"), f("Con_FAX")); }, 73, "Con_FAX"},

    {"VNome_RazaoObrig accepts three letters", [](TDM_Comuns& dm, const Campo& f) { dm.VNome_RazaoObrig(QStringLiteral("ABC"), f("Con_NomePropr")); }, 0, nullptr},
    {"VNome_RazaoObrig refuses a blank", [](TDM_Comuns& dm, const Campo& f) { dm.VNome_RazaoObrig(QStringLiteral("  "), f("Con_NomePropr")); }, 57, "Con_NomePropr"},
    {"VNome_RazaoObrig refuses two letters", [](TDM_Comuns& dm, const Campo& f) { dm.VNome_RazaoObrig(QStringLiteral(" AB "), f("Con_NomePropr")); }, 58, "Con_NomePropr"},
    {"VNome_RazaoEstabObrig accepts any length", [](TDM_Comuns& dm, const Campo& f) { dm.VNome_RazaoEstabObrig(QStringLiteral("AB"), f("Con_Nome")); }, 0, nullptr},
    {"VNome_RazaoEstabObrig refuses a blank", [](TDM_Comuns& dm, const Campo& f) { dm.VNome_RazaoEstabObrig(QStringLiteral(" "), f("Con_Nome")); }, 37, "Con_Nome"},
    {"VNomeFantasiaObrig accepts a name", [](TDM_Comuns& dm, const Campo& f) { dm.VNomeFantasiaObrig(QStringLiteral("LOJA"), f("Con_NomePropr")); }, 0, nullptr},
    {"VNomeFantasiaObrig refuses a blank", [](TDM_Comuns& dm, const Campo& f) { dm.VNomeFantasiaObrig(QString(), f("Con_NomePropr")); }, 38, "Con_NomePropr"},
    {"VNomeFantasiaObrig refuses two letters", [](TDM_Comuns& dm, const Campo& f) { dm.VNomeFantasiaObrig(QStringLiteral("AB"), f("Con_NomePropr")); }, 1420, "Con_NomePropr"},

    {"VCNPJObrig accepts a CNPJ", [](TDM_Comuns& dm, const Campo& f) { dm.VCNPJObrig(QStringLiteral("11222333000181"), f("End_CPF")); }, 0, nullptr},
    {"VCNPJObrig refuses a blank", [](TDM_Comuns& dm, const Campo& f) { dm.VCNPJObrig(QString(), f("End_CPF")); }, 35, "End_CPF"},
    {"VCNPJObrig refuses a wrong check digit", [](TDM_Comuns& dm, const Campo& f) { dm.VCNPJObrig(QStringLiteral("11222333000180"), f("End_CPF")); }, 55, "End_CPF"},
    {"VCNPJObrig checks a single character", [](TDM_Comuns& dm, const Campo& f) { dm.VCNPJObrig(QStringLiteral("1"), f("End_CPF")); }, 55, "End_CPF"},
    {"VCNPJObrig refuses a letter", [](TDM_Comuns& dm, const Campo& f) { dm.VCNPJObrig(QStringLiteral("1122233300018A"), f("End_CPF")); }, 55, "End_CPF"},

    {"VCon_DDDObrig accepts an area code", [](TDM_Comuns& dm, const Campo& f) { dm.VCon_DDDObrig(QStringLiteral("63"), f("Con_DDDFone")); }, 0, nullptr},
    {"VCon_DDDObrig refuses a blank", [](TDM_Comuns& dm, const Campo& f) { dm.VCon_DDDObrig(QString(), f("Con_DDDFone")); }, 70, "Con_DDDFone"},
    {"VCon_DDDObrig refuses one digit", [](TDM_Comuns& dm, const Campo& f) { dm.VCon_DDDObrig(QStringLiteral("6"), f("Con_DDDFone")); }, 30, "Con_DDDFone"},

    {"VFoneDDD accepts a phone", [](TDM_Comuns& dm, const Campo& f) { dm.VFoneDDD(QStringLiteral("63"), QStringLiteral("3215123"), f("Con_DDDFone"), f("Con_Fone")); }, 0, nullptr},
    {"VFoneDDD accepts no phone", [](TDM_Comuns& dm, const Campo& f) { dm.VFoneDDD(QString(), QString(), f("Con_DDDFone"), f("Con_Fone")); }, 0, nullptr},
    {"VFoneDDD refuses an area code without number", [](TDM_Comuns& dm, const Campo& f) { dm.VFoneDDD(QStringLiteral("63"), QString(), f("Con_DDDFone"), f("Con_Fone")); }, 19, "Con_Fone"},
    {"VFoneDDD refuses a number without area code", [](TDM_Comuns& dm, const Campo& f) { dm.VFoneDDD(QString(), QStringLiteral("32151234"), f("Con_DDDFone"), f("Con_Fone")); }, 70, "Con_DDDFone"},
    {"VFoneDDD refuses a one-digit area code", [](TDM_Comuns& dm, const Campo& f) { dm.VFoneDDD(QStringLiteral("6"), QStringLiteral("32151234"), f("Con_DDDFone"), f("Con_Fone")); }, 30, "Con_DDDFone"},
    {"VFoneDDD refuses a short number", [](TDM_Comuns& dm, const Campo& f) { dm.VFoneDDD(QStringLiteral("63"), QStringLiteral("123456"), f("Con_DDDFone"), f("Con_Fone")); }, 31, "Con_Fone"},
    {"VFoneDDD2 accepts a phone", [](TDM_Comuns& dm, const Campo& f) { dm.VFoneDDD2(QStringLiteral("63"), QStringLiteral("99998888"), f("Con_DDD2"), f("Con_Fone2")); }, 0, nullptr},
    {"VFoneDDD2 refuses an area code without number", [](TDM_Comuns& dm, const Campo& f) { dm.VFoneDDD2(QStringLiteral("63"), QString(), f("Con_DDD2"), f("Con_Fone2")); }, 581, "Con_Fone2"},
    {"VFoneDDD2 refuses a number without area code", [](TDM_Comuns& dm, const Campo& f) { dm.VFoneDDD2(QString(), QStringLiteral("99998888"), f("Con_DDD2"), f("Con_Fone2")); }, 582, "Con_DDD2"},
    {"VFoneDDD2 refuses a one-digit area code", [](TDM_Comuns& dm, const Campo& f) { dm.VFoneDDD2(QStringLiteral("6"), QStringLiteral("99998888"), f("Con_DDD2"), f("Con_Fone2")); }, 625, "Con_DDD2"},
    {"VFoneDDD2 refuses a short number", [](TDM_Comuns& dm, const Campo& f) { dm.VFoneDDD2(QStringLiteral("63"), QStringLiteral("9"), f("Con_DDD2"), f("Con_Fone2")); }, 626, "Con_Fone2"},
    {"VFoneObrig accepts seven digits", [](TDM_Comuns& dm, const Campo& f) { dm.VFoneObrig(QStringLiteral("3215123"), f("Con_Fone")); }, 0, nullptr},
    {"VFoneObrig refuses a blank", [](TDM_Comuns& dm, const Campo& f) { dm.VFoneObrig(QString(), f("Con_Fone")); }, 19, "Con_Fone"},
    {"VFoneObrig refuses six digits", [](TDM_Comuns& dm, const Campo& f) { dm.VFoneObrig(QStringLiteral("321512"), f("Con_Fone")); }, 31, "Con_Fone"},

    {"VResponsavelObrig accepts an accountant", [](TDM_Comuns& dm, const Campo& f) { dm.VResponsavelObrig(QStringLiteral("11144477735"), f("Resp_CPF")); }, 0, nullptr},
    {"VResponsavelObrig refuses a blank", [](TDM_Comuns& dm, const Campo& f) { dm.VResponsavelObrig(QString(), f("Resp_CPF")); }, 634, "Resp_CPF"},

    {"VTipLogEstabObrig accepts a type", [](TDM_Comuns& dm, const Campo& f) { dm.VTipLogEstabObrig(QStringLiteral("AV"), f("TipLog_CodigoEstab")); }, 0, nullptr},
    {"VTipLogEstabObrig refuses a blank", [](TDM_Comuns& dm, const Campo& f) { dm.VTipLogEstabObrig(QString(), f("TipLog_CodigoEstab")); }, 612, "TipLog_CodigoEstab"},
    {"VLogradouroEstab accepts a street and its type", [](TDM_Comuns& dm, const Campo& f) { dm.VLogradouroEstab(QStringLiteral("CENTRAL"), QStringLiteral("AV"), f("Con_LogradouroEstab"), f("TipLog_CodigoEstab")); }, 0, nullptr},
    {"VLogradouroEstab accepts neither", [](TDM_Comuns& dm, const Campo& f) { dm.VLogradouroEstab(QString(), QString(), f("Con_LogradouroEstab"), f("TipLog_CodigoEstab")); }, 0, nullptr},
    {"VLogradouroEstab refuses a street without type, at the type", [](TDM_Comuns& dm, const Campo& f) { dm.VLogradouroEstab(QStringLiteral("CENTRAL"), QString(), f("Con_LogradouroEstab"), f("TipLog_CodigoEstab")); }, 612, "TipLog_CodigoEstab"},
    {"VLogradouroEstab refuses a type without street, at the street", [](TDM_Comuns& dm, const Campo& f) { dm.VLogradouroEstab(QString(), QStringLiteral("AV"), f("Con_LogradouroEstab"), f("TipLog_CodigoEstab")); }, 613, "Con_LogradouroEstab"},
    {"VLogEstabObrig accepts a street", [](TDM_Comuns& dm, const Campo& f) { dm.VLogEstabObrig(QStringLiteral("CENTRAL"), f("Con_LogradouroEstab")); }, 0, nullptr},
    {"VLogEstabObrig refuses a blank", [](TDM_Comuns& dm, const Campo& f) { dm.VLogEstabObrig(QString(), f("Con_LogradouroEstab")); }, 613, "Con_LogradouroEstab"},
    {"VLogradouroObrig accepts a street", [](TDM_Comuns& dm, const Campo& f) { dm.VLogradouroObrig(QStringLiteral("DAS FLORES"), f("Con_Logradouro")); }, 0, nullptr},
    {"VLogradouroObrig refuses a blank", [](TDM_Comuns& dm, const Campo& f) { dm.VLogradouroObrig(QString(), f("Con_Logradouro")); }, 61, "Con_Logradouro"},
    {"VLogradouro accepts a street and its type", [](TDM_Comuns& dm, const Campo& f) { dm.VLogradouro(QStringLiteral("DAS FLORES"), QStringLiteral("R"), f("Con_Logradouro"), f("TipLog_Codigo")); }, 0, nullptr},
    {"VLogradouro refuses a street without type, at the type", [](TDM_Comuns& dm, const Campo& f) { dm.VLogradouro(QStringLiteral("DAS FLORES"), QString(), f("Con_Logradouro"), f("TipLog_Codigo")); }, 60, "TipLog_Codigo"},
    {"VLogradouro refuses a type without street, at the street", [](TDM_Comuns& dm, const Campo& f) { dm.VLogradouro(QString(), QStringLiteral("R"), f("Con_Logradouro"), f("TipLog_Codigo")); }, 61, "Con_Logradouro"},
    {"VTipLogObrig accepts a type", [](TDM_Comuns& dm, const Campo& f) { dm.VTipLogObrig(QStringLiteral("R"), f("TipLog_Codigo")); }, 0, nullptr},
    {"VTipLogObrig refuses a blank", [](TDM_Comuns& dm, const Campo& f) { dm.VTipLogObrig(QString(), f("TipLog_Codigo")); }, 60, "TipLog_Codigo"},

    {"VNumComplEstabObrig accepts a complement alone", [](TDM_Comuns& dm, const Campo& f) { dm.VNumComplEstabObrig(QString(), QStringLiteral("FUNDOS"), f("Con_NumeroEstab")); }, 0, nullptr},
    {"VNumComplEstabObrig refuses neither", [](TDM_Comuns& dm, const Campo& f) { dm.VNumComplEstabObrig(QStringLiteral(" "), QString(), f("Con_NumeroEstab")); }, 614, "Con_NumeroEstab"},
    {"VNumComplObrig accepts a number alone", [](TDM_Comuns& dm, const Campo& f) { dm.VNumComplObrig(QStringLiteral("10"), QString(), f("Con_Numero")); }, 0, nullptr},
    {"VNumComplObrig refuses neither", [](TDM_Comuns& dm, const Campo& f) { dm.VNumComplObrig(QString(), QString(), f("Con_Numero")); }, 62, "Con_Numero"},

    {"VBairro accepts a district and its type", [](TDM_Comuns& dm, const Campo& f) { dm.VBairro(QStringLiteral("CENTRO"), QStringLiteral("B"), f("Con_Bairro"), f("TipBai_Codigo")); }, 0, nullptr},
    {"VBairro accepts the type CTO alone", [](TDM_Comuns& dm, const Campo& f) { dm.VBairro(QString(), QStringLiteral("CTO"), f("Con_Bairro"), f("TipBai_Codigo")); }, 0, nullptr},
    {"VBairro refuses a district without type", [](TDM_Comuns& dm, const Campo& f) { dm.VBairro(QStringLiteral("CENTRO"), QString(), f("Con_Bairro"), f("TipBai_Codigo")); }, 63, "TipBai_Codigo"},
    {"VBairro refuses a type without district", [](TDM_Comuns& dm, const Campo& f) { dm.VBairro(QString(), QStringLiteral("B"), f("Con_Bairro"), f("TipBai_Codigo")); }, 64, "Con_Bairro"},
    {"VBairroEstab accepts neither", [](TDM_Comuns& dm, const Campo& f) { dm.VBairroEstab(QString(), QString(), f("Con_BairroEstab"), f("Tip_Bai_CodigoEstab")); }, 0, nullptr},
    {"VBairroEstab accepts a padded CTO alone", [](TDM_Comuns& dm, const Campo& f) { dm.VBairroEstab(QString(), QStringLiteral(" CTO "), f("Con_BairroEstab"), f("Tip_Bai_CodigoEstab")); }, 0, nullptr},
    {"VBairroEstab refuses a district without type", [](TDM_Comuns& dm, const Campo& f) { dm.VBairroEstab(QStringLiteral("NORTE"), QString(), f("Con_BairroEstab"), f("Tip_Bai_CodigoEstab")); }, 623, "Tip_Bai_CodigoEstab"},
    {"VBairroEstab refuses a type without district", [](TDM_Comuns& dm, const Campo& f) { dm.VBairroEstab(QString(), QStringLiteral("SET"), f("Con_BairroEstab"), f("Tip_Bai_CodigoEstab")); }, 624, "Con_BairroEstab"},
    {"VBairroEstabObrig accepts the type CTO alone", [](TDM_Comuns& dm, const Campo& f) { dm.VBairroEstabObrig(QString(), QStringLiteral("CTO"), f("Con_BairroEstab"), f("Tip_Bai_CodigoEstab")); }, 0, nullptr},
    {"VBairroEstabObrig refuses neither", [](TDM_Comuns& dm, const Campo& f) { dm.VBairroEstabObrig(QString(), QString(), f("Con_BairroEstab"), f("Tip_Bai_CodigoEstab")); }, 623, "Tip_Bai_CodigoEstab"},
    {"VBairroEstabObrig refuses a type without district", [](TDM_Comuns& dm, const Campo& f) { dm.VBairroEstabObrig(QString(), QStringLiteral("SET"), f("Con_BairroEstab"), f("Tip_Bai_CodigoEstab")); }, 624, "Con_BairroEstab"},
    {"VBairroObrig accepts a district and its type", [](TDM_Comuns& dm, const Campo& f) { dm.VBairroObrig(QStringLiteral("CENTRO"), QStringLiteral("B"), f("Con_Bairro"), f("TipBai_Codigo")); }, 0, nullptr},
    {"VBairroObrig refuses a district without type", [](TDM_Comuns& dm, const Campo& f) { dm.VBairroObrig(QStringLiteral("CENTRO"), QString(), f("Con_Bairro"), f("TipBai_Codigo")); }, 63, "TipBai_Codigo"},
    {"VBairroObrig refuses a type without district", [](TDM_Comuns& dm, const Campo& f) { dm.VBairroObrig(QString(), QStringLiteral("B"), f("Con_Bairro"), f("TipBai_Codigo")); }, 64, "Con_Bairro"},

    {"VMunicipoPropriedadeObrig accepts a municipality", [](TDM_Comuns& dm, const Campo& f) { dm.VMunicipoPropriedadeObrig(QStringLiteral("1001"), f("Mun_Propriedade")); }, 0, nullptr},
    {"VMunicipoPropriedadeObrig refuses a blank", [](TDM_Comuns& dm, const Campo& f) { dm.VMunicipoPropriedadeObrig(QString(), f("Mun_Propriedade")); }, 615, "Mun_Propriedade"},
    {"VMunicipioEnderecoObrig accepts a municipality", [](TDM_Comuns& dm, const Campo& f) { dm.VMunicipioEnderecoObrig(QStringLiteral("1001"), f("Mun_Endereco")); }, 0, nullptr},
    {"VMunicipioEnderecoObrig refuses a blank", [](TDM_Comuns& dm, const Campo& f) { dm.VMunicipioEnderecoObrig(QString(), f("Mun_Endereco")); }, 65, "Mun_Endereco"},
    {"VUFEstabObrig accepts a state", [](TDM_Comuns& dm, const Campo& f) { dm.VUFEstabObrig(QStringLiteral("QX"), f("Con_UFEstab")); }, 0, nullptr},
    {"VUFEstabObrig refuses a blank", [](TDM_Comuns& dm, const Campo& f) { dm.VUFEstabObrig(QString(), f("Con_UFEstab")); }, 616, "Con_UFEstab"},
    {"VUFEstabObrig refuses one letter", [](TDM_Comuns& dm, const Campo& f) { dm.VUFEstabObrig(QStringLiteral("Q"), f("Con_UFEstab")); }, 616, "Con_UFEstab"},
    {"VUFEstabObrig refuses an unknown state", [](TDM_Comuns& dm, const Campo& f) { dm.VUFEstabObrig(QStringLiteral("XX"), f("Con_UFEstab")); }, 676, "Con_UFEstab"},
    {"VUFObrig accepts a state", [](TDM_Comuns& dm, const Campo& f) { dm.VUFObrig(QStringLiteral("MG"), f("Con_UF")); }, 0, nullptr},
    {"VUFObrig refuses a blank", [](TDM_Comuns& dm, const Campo& f) { dm.VUFObrig(QString(), f("Con_UF")); }, 66, "Con_UF"},
    {"VUFObrig refuses an unknown state", [](TDM_Comuns& dm, const Campo& f) { dm.VUFObrig(QStringLiteral("XX"), f("Con_UF")); }, 66, "Con_UF"},

    {"VCEP accepts no postal code", [](TDM_Comuns& dm, const Campo& f) { dm.VCEP(QString(), 1001, f("Con_CEP")); }, 0, nullptr},
    {"VCEP accepts the first postal code of the range", [](TDM_Comuns& dm, const Campo& f) { dm.VCEP(QStringLiteral("77000000"), 1001, f("Con_CEP")); }, 0, nullptr},
    {"VCEP accepts the last postal code of the range", [](TDM_Comuns& dm, const Campo& f) { dm.VCEP(QStringLiteral("77299999"), 1001, f("Con_CEP")); }, 0, nullptr},
    {"VCEP refuses a short postal code", [](TDM_Comuns& dm, const Campo& f) { dm.VCEP(QStringLiteral("7700010"), 1001, f("Con_CEP")); }, 68, "Con_CEP"},
    {"VCEP refuses a municipality without range", [](TDM_Comuns& dm, const Campo& f) { dm.VCEP(QStringLiteral("77000100"), 999020, f("Con_CEP")); }, 1407, "Con_CEP"},
    {"VCEP refuses a postal code outside the range", [](TDM_Comuns& dm, const Campo& f) { dm.VCEP(QStringLiteral("77300000"), 1001, f("Con_CEP")); }, 69, "Con_CEP"},
    {"VCEP refuses a postal code that is no number", [](TDM_Comuns& dm, const Campo& f) { dm.VCEP(QStringLiteral("77A00100"), 1001, f("Con_CEP")); }, 69, "Con_CEP"},
    {"VCEP checks only the length for an unknown municipality", [](TDM_Comuns& dm, const Campo& f) { dm.VCEP(QStringLiteral("12345678"), 4242, f("Con_CEP")); }, 0, nullptr},
    {"VCEPEstab accepts no postal code", [](TDM_Comuns& dm, const Campo& f) { dm.VCEPEstab(QString(), 1001, f("Con_CEPEstab")); }, 0, nullptr},
    {"VCEPEstab refuses a short postal code", [](TDM_Comuns& dm, const Campo& f) { dm.VCEPEstab(QStringLiteral("7700"), 1001, f("Con_CEPEstab")); }, 619, "Con_CEPEstab"},
    {"VCEPEstab refuses a municipality without range", [](TDM_Comuns& dm, const Campo& f) { dm.VCEPEstab(QStringLiteral("77000100"), 999020, f("Con_CEPEstab")); }, 1407, "Con_CEPEstab"},
    {"VCEPEstab refuses a postal code outside the range", [](TDM_Comuns& dm, const Campo& f) { dm.VCEPEstab(QStringLiteral("76999999"), 1001, f("Con_CEPEstab")); }, 620, "Con_CEPEstab"},
    {"VCEPEstabObrig accepts a postal code of the range", [](TDM_Comuns& dm, const Campo& f) { dm.VCEPEstabObrig(QStringLiteral("77100000"), 1001, f("Con_CEPEstab")); }, 0, nullptr},
    {"VCEPEstabObrig refuses no postal code", [](TDM_Comuns& dm, const Campo& f) { dm.VCEPEstabObrig(QStringLiteral("  "), 1001, f("Con_CEPEstab")); }, 618, "Con_CEPEstab"},
    {"VCEPEstabObrig refuses a short postal code", [](TDM_Comuns& dm, const Campo& f) { dm.VCEPEstabObrig(QStringLiteral("770001"), 1001, f("Con_CEPEstab")); }, 619, "Con_CEPEstab"},
    {"VCEPEstabObrig refuses a postal code outside the range", [](TDM_Comuns& dm, const Campo& f) { dm.VCEPEstabObrig(QStringLiteral("77300000"), 1001, f("Con_CEPEstab")); }, 620, "Con_CEPEstab"},
    {"VCEPObrig accepts a postal code of the range", [](TDM_Comuns& dm, const Campo& f) { dm.VCEPObrig(QStringLiteral("77000100"), 1001, f("Con_CEP")); }, 0, nullptr},
    {"VCEPObrig refuses no postal code", [](TDM_Comuns& dm, const Campo& f) { dm.VCEPObrig(QString(), 1001, f("Con_CEP")); }, 67, "Con_CEP"},
    {"VCEPObrig refuses a short postal code", [](TDM_Comuns& dm, const Campo& f) { dm.VCEPObrig(QStringLiteral("7700010"), 1001, f("Con_CEP")); }, 68, "Con_CEP"},
    {"VCEPObrig refuses a postal code outside the range", [](TDM_Comuns& dm, const Campo& f) { dm.VCEPObrig(QStringLiteral("77300000"), 1001, f("Con_CEP")); }, 69, "Con_CEP"},

    {"VNIRE accepts a NIRE with its check digit", [](TDM_Comuns& dm, const Campo& f) { dm.VNIRE(nire(QStringLiteral("5412345678")), f("Con_NIRE")); }, 0, nullptr},
    {"VNIRE refuses an empty NIRE", [](TDM_Comuns& dm, const Campo& f) { dm.VNIRE(QString(), f("Con_NIRE")); }, 633, "Con_NIRE"},
    {"VNIRE refuses 00 and the registration", [](TDM_Comuns& dm, const Campo& f) { dm.VNIRE(QStringLiteral("00281111111"), f("Con_NIRE")); }, 633, "Con_NIRE"},
    {"VNIRE refuses a wrong check digit", [](TDM_Comuns& dm, const Campo& f) { dm.VNIRE(nire(QStringLiteral("5412345678")).chopped(1) + QLatin1Char('x'), f("Con_NIRE")); }, 633, "Con_NIRE"},
    {"VEmail accepts an address", [](TDM_Comuns& dm, const Campo& f) { dm.VEmail(QStringLiteral("jose@exemplo.com.br"), f("Con_Email")); }, 0, nullptr},
    {"VEmail accepts none", [](TDM_Comuns& dm, const Campo& f) { dm.VEmail(QString(), f("Con_Email")); }, 0, nullptr},
    {"VEmail refuses a text that is no address", [](TDM_Comuns& dm, const Campo& f) { dm.VEmail(QStringLiteral("jose.exemplo"), f("Con_Email")); }, 32, "Con_Email"},
    {"VEmailEstab accepts an address", [](TDM_Comuns& dm, const Campo& f) { dm.VEmailEstab(QStringLiteral("loja@exemplo.com"), f("Con_EmailEstab")); }, 0, nullptr},
    {"VEmailEstab refuses a text that is no address", [](TDM_Comuns& dm, const Campo& f) { dm.VEmailEstab(QStringLiteral("loja@"), f("Con_EmailEstab")); }, 621, "Con_EmailEstab"},
    {"VExisteContrib accepts a new registration", [](TDM_Comuns& dm, const Campo& f) { dm.VExisteContrib(QStringLiteral("282222227"), f("Con_IECNPJCPF")); }, 0, nullptr},
    {"VExisteContrib refuses a registration already there", [](TDM_Comuns& dm, const Campo& f) { dm.VExisteContrib(QStringLiteral("281234566"), f("Con_IECNPJCPF")); }, 22, "Con_IECNPJCPF"},
};

// A caller's form: one edit per field of the taxpayer table, and one of its own where
// the user was typing.
class CamposExportados : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDirDados = DirDados;
        m_inst.installDatabase();
        QStringList linhas;
        for (int n : kMensagens)
            linhas << QStringLiteral("(%1, 'M%1')").arg(n);
        linhas << QStringLiteral("(1407, 'M1407 %s/%s')");
        sql(QStringLiteral("DELETE FROM mensagem;INSERT INTO mensagem (Men_Codigo, Men_Descricao) VALUES ")
            + linhas.join(QLatin1Char(',')));
        sql(QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) VALUES (999020, 'SEM FAIXA', 'QX');"
                           "INSERT INTO Contribuinte (Con_IECNPJCPF, Con_Nome, Con_Tipo) VALUES ('281234566', 'BAZAR', 'IE')"));
        vorta::ui::createForm(DM_Comuns);
        ASSERT_TRUE(DM_Comuns);
        dm = DM_Comuns;
        dm->Tb_Contribuinte->open();

        form = new vorta::ui::Form(nullptr);
        form->resize(700, 500);
        fonte = new vorta::db::DataSource(form);
        fonte->setDataSet(dm->Tb_Contribuinte);
        digitando = new vorta::ui::Edit(form, QStringLiteral("digitando"));
        digitando->setGeometry(4, 4, 100, 21);
        int i = 0;
        for (int n = 0; n < dm->Tb_Contribuinte->fieldCount(); ++n) {
            Field* f = dm->Tb_Contribuinte->fields(n);
            if (f->fieldKind() != vorta::db::FieldKind::Data)
                continue;
            auto* e = new vorta::ui::DBEdit(form, f->fieldName());
            e->setGeometry(4 + (i % 5) * 136, 30 + (i / 5) * 24, 130, 21);
            e->setDataSource(fonte);
            e->setDataField(f->fieldName());
            edits[f->fieldName()] = e;
            ++i;
        }
        form->show();
        QApplication::setActiveWindow(form);
    }
    void TearDown() override
    {
        vorta::Component::free(form);
        vorta::Component::free(DM_Comuns);
        DirDados = m_savedDirDados;
    }
    void sql(const QString& text) { vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), text); }
    Campo campo()
    {
        return [this](const char* nome) -> Field& {
            Field* f = dm->Tb_Contribuinte->findField(QString::fromLatin1(nome));
            if (!f)
                throw std::runtime_error(nome);
            return *f;
        };
    }
    // Runs a check: refused with its message and the silent abort, or passed quietly.
    void confere(int mensagem, const std::function<void()>& chama)
    {
        ScriptedDialogs dialogs;
        if (mensagem)
            dialogs.expectMessage(MessageKind::Error, textoDe(mensagem), 1);
        bool abortou = false;
        try {
            chama();
        } catch (const vorta::EAbort&) {
            abortou = true;
        }
        EXPECT_EQ(mensagem != 0, abortou);
    }

    TDM_Comuns* dm = nullptr;
    vorta::ui::Form* form = nullptr;
    vorta::db::DataSource* fonte = nullptr;
    vorta::ui::Edit* digitando = nullptr;
    std::map<QString, vorta::ui::DBEdit*> edits;
    vorta::testing::TempInstallation m_inst;

private:
    QString m_savedDirDados;
};

TEST_F(CamposExportados, EachMemberRefusesWithItsMessageAndFocusesTheFieldAtFault)
{
    for (const Caso& c : kCasos) {
        SCOPED_TRACE(c.nome);
        digitando->setFocus();
        ASSERT_EQ(digitando, QApplication::focusWidget());
        confere(c.mensagem, [&] { c.chama(*dm, campo()); });
        QWidget* esperado = c.foco ? static_cast<QWidget*>(edits.at(QString::fromLatin1(c.foco))) : digitando;
        EXPECT_EQ(esperado, QApplication::focusWidget())
            << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "none");
    }
}

TEST_F(CamposExportados, TheStateRegistrationCheckHandsItsPartsOver)
{
    insc = QStringLiteral("antes");
    ie2 = 11;
    confere(0, [&] { dm->VDigitoIE(QStringLiteral("28111111"), campo()("Con_IECNPJCPF")); });
    EXPECT_EQ(QStringLiteral("antes"), insc) << "eight characters are not looked at";
    EXPECT_EQ(11, ie2);
    confere(0, [&] { dm->VDigitoIE(QStringLiteral("281111111"), campo()("Con_IECNPJCPF")); });
    EXPECT_EQ(QStringLiteral("1111111"), insc);
    EXPECT_EQ(28, ie2);
    confere(53, [&] { dm->VDigitoIE(QStringLiteral("291111111"), campo()("Con_IECNPJCPF")); });
    EXPECT_EQ(QStringLiteral("1111111"), insc);
    EXPECT_EQ(29, ie2);
}

TEST_F(CamposExportados, ARefusalSwitchesNoPageAndLeavesTheFocusWhenNoControlCanTakeIt)
{
    // The caller's postal code sits on a page not shown; its phone edit is disabled.
    auto* paginas = new vorta::ui::PageControl(form, QStringLiteral("paginas"));
    paginas->setGeometry(4, 340, 400, 120);
    auto* primeira = new vorta::ui::TabSheet(paginas, QStringLiteral("Primeira"), QStringLiteral("primeira"));
    auto* segunda = new vorta::ui::TabSheet(paginas, QStringLiteral("Segunda"), QStringLiteral("segunda"));
    edits.at(QStringLiteral("Con_CEP"))->setParent(segunda);
    edits.at(QStringLiteral("Con_CEP"))->move(4, 4);
    paginas->setActivePage(primeira);
    paginas->show();
    edits.at(QStringLiteral("Con_Fone"))->setEnabled(false);

    digitando->setFocus();
    confere(67, [&] { dm->VCEPObrig(QString(), 1001, campo()("Con_CEP")); });
    EXPECT_EQ(primeira, paginas->activePage());
    EXPECT_EQ(digitando, QApplication::focusWidget());
    confere(19, [&] { dm->VFoneObrig(QString(), campo()("Con_Fone")); });
    EXPECT_EQ(digitando, QApplication::focusWidget());
    // The question of the registration probe is closed before the message.
    confere(22, [&] { dm->VExisteContrib(QStringLiteral("281234566"), campo()("Con_IECNPJCPF")); });
    EXPECT_FALSE(dm->Q_Geral->active());
}

} // namespace
