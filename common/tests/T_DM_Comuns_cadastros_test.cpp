// The before-post rules of the accountant, municipality, legal-representative and
// sender/recipient registers.
#include "T_DM_Comuns.h"

#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/ui/DataModule.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Database.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using vorta::db::DataSet;
using vorta::db::DataSetState;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;

namespace {

const int kMensagens[] = {15,  17,  19,  22,  23,  24,  25,  26,  27,  28,  29,  30,  31,  32,  34,  35,  37,
                          53,  54,  55,  56,  60,  61,  63,  64,  65,  66,  68,  69,  76,  77,  78,  79,  80,
                          81,  82,  83,  133, 495, 496, 497, 606, 607, 608, 609, 610, 611, 622, 1342, 1650};

QString textoDe(int n)
{
    return QStringLiteral("%1 - M%1").arg(n);
}

using Preenche = std::function<void(DataSet&)>;

void set(DataSet& ds, const char* field, const QVariant& value)
{
    ds.fieldByName(QString::fromLatin1(field))->setValue(value);
}

QString get(DataSet& ds, const char* field)
{
    return ds.fieldByName(QString::fromLatin1(field))->asString();
}

class Cadastros : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDirDados = DirDados;
        m_inst.installDatabase();
        QString sql = QStringLiteral("DELETE FROM mensagem;INSERT INTO mensagem (Men_Codigo, Men_Descricao) VALUES ");
        QStringList linhas;
        for (int n : kMensagens)
            linhas << QStringLiteral("(%1, 'M%1')").arg(n);
        vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), sql + linhas.join(QLatin1Char(',')));
        vorta::ui::createForm(DM_Comuns);
        ASSERT_TRUE(DM_Comuns);
        dm = DM_Comuns;
        dm->FocaCampo = [this](const QString& pagina, const QString& campo) {
            focos << pagina + QLatin1Char('/') + campo;
        };
    }
    void TearDown() override
    {
        vorta::Component::free(DM_Comuns);
        DirDados = m_savedDirDados;
    }

    void sql(const QString& text, const QVariantList& params = {}) { dm->DB_Comuns->execute(text, params); }
    int count(const QString& where)
    {
        vorta::db::Query q;
        q.setDatabase(dm->DB_Comuns);
        q.setSql(QStringLiteral("select count(*) from ") + where);
        q.open();
        return int(q.fields(0)->asInteger());
    }

    // Appends a row filled by base and then by change.
    void novo(DataSet& ds, const Preenche& base, const Preenche& change)
    {
        ds.open();
        ds.append();
        base(ds);
        if (change)
            change(ds);
    }

    // The post is refused with the message and the focus (none: nullptr), and the row
    // stays in its editing state.
    void recusado(DataSet& ds, int mensagem, const char* campo, int aviso = 0)
    {
        const DataSetState antes = ds.state();
        focos.clear();
        {
            ScriptedDialogs dialogs;
            if (aviso)
                dialogs.expectMessage(MessageKind::Error, textoDe(aviso), 1);
            dialogs.expectMessage(MessageKind::Error, textoDe(mensagem), 1);
            EXPECT_THROW(ds.post(), vorta::EAbort);
        }
        EXPECT_EQ(ds.state(), antes);
        if (campo)
            EXPECT_EQ(focos, QStringList{QLatin1Char('/') + QString::fromLatin1(campo)});
        else
            EXPECT_TRUE(focos.isEmpty()) << focos.join(QLatin1Char(',')).toStdString();
    }

    vorta::testing::TempInstallation m_inst;
    TDM_Comuns* dm = nullptr;
    QStringList focos;

private:
    QString m_savedDirDados;
};

// ---- Accountants ------------------------------------------------------------------

void contador(DataSet& ds)
{
    set(ds, "Resp_CPF", QStringLiteral("11144477735"));
    set(ds, "Resp_CRC", QStringLiteral("SP123456O5"));
    set(ds, "Resp_Nome", QStringLiteral("CONTADOR"));
    set(ds, "Resp_Email", QStringLiteral("contador@exemplo.com.br"));
}

struct CasoRecusa {
    const char* nome;
    Preenche altera;
    int mensagem;
    const char* campo;
    int aviso = 0; // a warning shown before the refusal
};

TEST_F(Cadastros, AccountantRulesRefuseInOrderWithTheirMessageAndField)
{
    sql(QStringLiteral("INSERT INTO Responsavel (Resp_CPF, Resp_Nome) VALUES ('52998224725', 'OUTRO'),"
                       " ('00000000191', 'CURTO')"));
    const CasoRecusa casos[] = {
        {"duplicate", [](DataSet& d) { set(d, "Resp_CPF", QStringLiteral("52998224725")); }, 1342, nullptr},
        {"duplicate once padded", [](DataSet& d) { set(d, "Resp_CPF", QStringLiteral("191")); }, 1342, nullptr},
        {"empty CPF", [](DataSet& d) { set(d, "Resp_CPF", QString()); }, 15, "Resp_CPF"},
        {"zero CPF", [](DataSet& d) { set(d, "Resp_CPF", QStringLiteral("00000000000")); }, 23, "Resp_CPF"},
        {"wrong CPF", [](DataSet& d) { set(d, "Resp_CPF", QStringLiteral("11144477734")); }, 23, "Resp_CPF"},
        {"short wrong CPF", [](DataSet& d) { set(d, "Resp_CPF", QStringLiteral("123")); }, 23, "Resp_CPF"},
        {"empty CRC", [](DataSet& d) { set(d, "Resp_CRC", QString()); }, 24, "Resp_CRC"},
        {"short CRC", [](DataSet& d) { set(d, "Resp_CRC", QStringLiteral("SP123456O")); }, 25, "Resp_CRC"},
        {"empty name", [](DataSet& d) { set(d, "Resp_Nome", QStringLiteral("  ")); }, 17, "Resp_Nome"},
        {"short name", [](DataSet& d) { set(d, "Resp_Nome", QStringLiteral("AB")); }, 28, "Resp_Nome"},
        {"street without type", [](DataSet& d) { set(d, "Resp_Logradouro", QStringLiteral("DAS FLORES")); }, 60,
         "LK_Logradouro"},
        {"type without street", [](DataSet& d) { set(d, "TipLog_Codigo", QStringLiteral("R")); }, 61,
         "Resp_Logradouro"},
        {"district without type", [](DataSet& d) { set(d, "Resp_Bairro", QStringLiteral("CENTRO")); }, 63,
         "Lk_Bairro"},
        {"type without district", [](DataSet& d) { set(d, "TipBai_Codigo", QStringLiteral("JD")); }, 64,
         "Resp_Bairro"},
        {"CEP without municipality", [](DataSet& d) { set(d, "Resp_CEP", QStringLiteral("77000100")); }, 65,
         "LK_Municipio"},
        {"short CEP",
         [](DataSet& d) {
             set(d, "Mun_Endereco", 1001);
             set(d, "Resp_CEP", QStringLiteral("7700010"));
         },
         68, "Resp_CEP"},
        {"CEP below the range",
         [](DataSet& d) {
             set(d, "Mun_Endereco", 1002);
             set(d, "Resp_CEP", QStringLiteral("77299999"));
         },
         69, "Resp_CEP"},
        {"CEP above the range",
         [](DataSet& d) {
             set(d, "Mun_Endereco", 1002);
             set(d, "Resp_CEP", QStringLiteral("77350000"));
         },
         69, "Resp_CEP"},
        {"CEP not a number",
         [](DataSet& d) {
             set(d, "Mun_Endereco", 1001);
             set(d, "Resp_CEP", QStringLiteral("7700A100"));
         },
         69, "Resp_CEP"},
        {"municipality without a range",
         [](DataSet& d) {
             set(d, "Mun_Endereco", 999010);
             set(d, "Resp_CEP", QStringLiteral("77000100"));
         },
         69, "Resp_CEP"},
        {"DDD without phone", [](DataSet& d) { set(d, "Resp_DDDFone", QStringLiteral("63")); }, 19, "Resp_Fone"},
        {"phone without DDD", [](DataSet& d) { set(d, "Resp_Fone", QStringLiteral("32151234")); }, 29,
         "Resp_DDDFone"},
        {"short DDD",
         [](DataSet& d) {
             set(d, "Resp_DDDFone", QStringLiteral("6"));
             set(d, "Resp_Fone", QStringLiteral("32151234"));
         },
         30, "Resp_DDDFone"},
        {"short phone",
         [](DataSet& d) {
             set(d, "Resp_DDDFone", QStringLiteral("63"));
             set(d, "Resp_Fone", QStringLiteral("321512"));
         },
         31, "Resp_Fone"},
        {"fax DDD without fax", [](DataSet& d) { set(d, "Resp_DDDFAX", QStringLiteral("63")); }, 19, "Resp_FAX"},
        {"fax without DDD", [](DataSet& d) { set(d, "Resp_FAX", QStringLiteral("32151234")); }, 29, "Resp_DDDFAX"},
        {"short fax DDD",
         [](DataSet& d) {
             set(d, "Resp_DDDFAX", QStringLiteral("6"));
             set(d, "Resp_FAX", QStringLiteral("32151234"));
         },
         30, "Resp_DDDFAX"},
        {"short fax",
         [](DataSet& d) {
             set(d, "Resp_DDDFAX", QStringLiteral("63"));
             set(d, "Resp_FAX", QStringLiteral("321512"));
         },
         31, "Resp_FAX"},
        {"bad e-mail", [](DataSet& d) { set(d, "Resp_Email", QStringLiteral("contador")); }, 32, "Resp_Email"},
        {"office name without registration",
         [](DataSet& d) { set(d, "Resp_NomeEscritorio", QStringLiteral("ESCRITORIO")); }, 609, "Resp_CRC_Empresa"},
        {"short office registration",
         [](DataSet& d) {
             set(d, "Resp_NomeEscritorio", QStringLiteral("ESCRITORIO"));
             set(d, "Resp_CRC_Empresa", QStringLiteral("RJ004321T"));
         },
         610, "Resp_CRC_Empresa"},
        {"office without type",
         [](DataSet& d) {
             set(d, "Resp_NomeEscritorio", QStringLiteral("ESCRITORIO"));
             set(d, "Resp_CRC_Empresa", QStringLiteral("AC111111O3"));
             set(d, "Resp_TipoCRCEmpresa", 1);
         },
         // Refused for the missing type alone: no check-digit warning comes before it.
         608, "Resp_TipoCRCEmpresa"},
        {"office without any type",
         [](DataSet& d) {
             set(d, "Resp_NomeEscritorio", QStringLiteral("ESCRITORIO"));
             set(d, "Resp_CRC_Empresa", QStringLiteral("RJ004321T3"));
         },
         608, "Resp_TipoCRCEmpresa"},
        {"office without name",
         [](DataSet& d) {
             set(d, "Resp_CRC_Empresa", QStringLiteral("AC111111O3"));
             set(d, "Resp_TipoCRCEmpresa", 3);
         },
         607, "Resp_NomeEscritorio"},
    };
    sql(QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) VALUES (999010, 'LONGE', 'EX')"));
    for (const CasoRecusa& c : casos) {
        SCOPED_TRACE(c.nome);
        novo(*dm->Tb_Responsavel, contador, c.altera);
        recusado(*dm->Tb_Responsavel, c.mensagem, c.campo, c.aviso);
        dm->Tb_Responsavel->cancel();
    }
    EXPECT_EQ(count(QStringLiteral("Responsavel")), 2);
}

TEST_F(Cadastros, AccountantIsSavedWithItsCorrections)
{
    struct Caso {
        const char* nome;
        Preenche altera;
        const char* cpf;
        QString tipoEmpresa;
    };
    const Caso casos[] = {
        {"plain", nullptr, "11144477735", QString()},
        {"short CPF padded", [](DataSet& d) { set(d, "Resp_CPF", QStringLiteral("272")); }, "00000000272", QString()},
        {"office type 1 alone is dropped", [](DataSet& d) { set(d, "Resp_TipoCRCEmpresa", 1); }, "11144477735",
         QString()},
        {"office of type 3",
         [](DataSet& d) {
             set(d, "Resp_NomeEscritorio", QStringLiteral("ESCRITORIO"));
             set(d, "Resp_CRC_Empresa", QStringLiteral("AC111111O3"));
             set(d, "Resp_TipoCRCEmpresa", 3);
         },
         "11144477735", QStringLiteral("3")},
        {"address with CEP in the range",
         [](DataSet& d) {
             set(d, "TipLog_Codigo", QStringLiteral("R"));
             set(d, "Resp_Logradouro", QStringLiteral("DAS FLORES"));
             set(d, "TipBai_Codigo", QStringLiteral("CTO"));
             set(d, "Mun_Endereco", 1002);
             set(d, "Resp_CEP", QStringLiteral("77349999"));
             set(d, "Resp_DDDFone", QStringLiteral("63"));
             set(d, "Resp_Fone", QStringLiteral("3215123"));
         },
         "11144477735", QString()},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        sql(QStringLiteral("DELETE FROM Responsavel"));
        DataSet& ds = *dm->Tb_Responsavel;
        novo(ds, contador, c.altera);
        {
            ScriptedDialogs dialogs;
            ds.post();
        }
        EXPECT_EQ(ds.state(), DataSetState::Browse);
        ASSERT_EQ(count(QStringLiteral("Responsavel where Resp_CPF = '%1' and Resp_TipoCRC = 1")
                            .arg(QString::fromLatin1(c.cpf))),
                  1);
        ASSERT_TRUE(ds.locate(QStringLiteral("Resp_CPF"), QString::fromLatin1(c.cpf)));
        EXPECT_EQ(get(ds, "Resp_TipoCRCEmpresa"), c.tipoEmpresa);
        ds.close();
    }
}

TEST_F(Cadastros, AccountantCheckDigitWarningsStillSave)
{
    DataSet& ds = *dm->Tb_Responsavel;
    novo(ds, contador, [](DataSet& d) {
        set(d, "Resp_CRC", QStringLiteral("SP123456O4"));
        set(d, "Resp_NomeEscritorio", QStringLiteral("ESCRITORIO"));
        set(d, "Resp_CRC_Empresa", QStringLiteral("RJ004321T3"));
        set(d, "Resp_TipoCRCEmpresa", 2);
    });
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Error, textoDe(26), 1);
        dialogs.expectMessage(MessageKind::Error, textoDe(611), 1);
        ds.post();
    }
    EXPECT_TRUE(focos.isEmpty());
    EXPECT_EQ(count(QStringLiteral("Responsavel where Resp_CRC = 'SP123456O4'")), 1);
}

TEST_F(Cadastros, AccountantWithoutEmailIsSavedOnlyOnYes)
{
    DataSet& ds = *dm->Tb_Responsavel;
    novo(ds, contador, [](DataSet& d) { set(d, "Resp_Email", QString()); });
    for (int resposta : {int(vorta::ui::mrNo), 2 /* closed */}) {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, textoDe(622), resposta);
        EXPECT_THROW(ds.post(), vorta::EAbort);
        EXPECT_EQ(ds.state(), DataSetState::Insert);
    }
    EXPECT_TRUE(focos.isEmpty());
    EXPECT_EQ(count(QStringLiteral("Responsavel")), 0);
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, textoDe(622), vorta::ui::mrYes);
        ds.post();
    }
    EXPECT_EQ(count(QStringLiteral("Responsavel")), 1);
}

TEST_F(Cadastros, RefusedShortCpfStaysPaddedAndAnEditIsNotADuplicate)
{
    DataSet& ds = *dm->Tb_Responsavel;
    novo(ds, contador, [](DataSet& d) { set(d, "Resp_CPF", QStringLiteral("123")); });
    recusado(ds, 23, "Resp_CPF");
    EXPECT_EQ(get(ds, "Resp_CPF"), QStringLiteral("00000000123"));
    set(ds, "Resp_CPF", QStringLiteral("11144477735"));
    {
        ScriptedDialogs dialogs;
        ds.post();
    }
    ds.edit();
    set(ds, "Resp_Nome", QStringLiteral("CONTADOR NOVO"));
    {
        ScriptedDialogs dialogs;
        ds.post();
    }
    EXPECT_EQ(count(QStringLiteral("Responsavel where Resp_Nome = 'CONTADOR NOVO'")), 1);
}

TEST_F(Cadastros, AccountantCepFollowsTheRecordsMunicipalityNotTheTablePosition)
{
    dm->Tb_Municipio->open();
    ASSERT_TRUE(dm->Tb_Municipio->locate(QStringLiteral("Mun_Codigo"), 1001));
    DataSet& ds = *dm->Tb_Responsavel;
    novo(ds, contador, [](DataSet& d) {
        set(d, "Mun_Endereco", 1004);
        set(d, "Resp_CEP", QStringLiteral("77400000"));
    });
    {
        ScriptedDialogs dialogs;
        ds.post();
    }
    EXPECT_EQ(count(QStringLiteral("Responsavel where Resp_CEP = '77400000'")), 1);
}

// ---- Municipalities --------------------------------------------------------------------

void municipio(DataSet& ds)
{
    set(ds, "Mun_Descricao", QStringLiteral("NOVA CIDADE"));
    set(ds, "Mun_UF", QStringLiteral("QX"));
    set(ds, "Mun_CEPInicial", QStringLiteral("77500000"));
    set(ds, "Mun_CEPFinal", QStringLiteral("77509999"));
}

TEST_F(Cadastros, MunicipalityRulesRefuseOnBothTables)
{
    const CasoRecusa casos[] = {
        {"code in use", [](DataSet& d) { set(d, "Mun_Codigo", 1001); }, 22, nullptr},
        {"name and UF in use under another code",
         [](DataSet& d) { set(d, "Mun_Descricao", QStringLiteral("RIO CLARO")); }, 22, nullptr},
        {"no code", [](DataSet& d) { set(d, "Mun_Codigo", QVariant()); }, 76, "Mun_Codigo"},
        {"no name", [](DataSet& d) { set(d, "Mun_Descricao", QString()); }, 77, "Mun_Descricao"},
        {"no UF", [](DataSet& d) { set(d, "Mun_UF", QString()); }, 66, "Mun_UF"},
        {"short UF", [](DataSet& d) { set(d, "Mun_UF", QStringLiteral("Q")); }, 66, "Mun_UF"},
        {"unknown UF", [](DataSet& d) { set(d, "Mun_UF", QStringLiteral("XX")); }, 83, "Mun_UF"},
        {"no initial CEP", [](DataSet& d) { set(d, "Mun_CEPInicial", QString()); }, 78, "Mun_CEPInicial"},
        {"short initial CEP", [](DataSet& d) { set(d, "Mun_CEPInicial", QStringLiteral("7750000")); }, 79,
         "Mun_CEPInicial"},
        {"no final CEP", [](DataSet& d) { set(d, "Mun_CEPFinal", QString()); }, 80, "Mun_CEPFinal"},
        {"short final CEP", [](DataSet& d) { set(d, "Mun_CEPFinal", QStringLiteral("7750999")); }, 81,
         "Mun_CEPFinal"},
        {"final before initial", [](DataSet& d) { set(d, "Mun_CEPFinal", QStringLiteral("77499999")); }, 82,
         "Mun_CEPFinal"},
        {"abroad with only an initial CEP",
         [](DataSet& d) {
             set(d, "Mun_UF", QStringLiteral("EX"));
             set(d, "Mun_CEPFinal", QString());
         },
         82, "Mun_CEPFinal"},
    };
    for (DataSet* ds : {static_cast<DataSet*>(dm->Tb_Municipio), static_cast<DataSet*>(dm->Tb_MunicipioPro)}) {
        SCOPED_TRACE(ds->name().toStdString());
        for (const CasoRecusa& c : casos) {
            SCOPED_TRACE(c.nome);
            novo(*ds, municipio, c.altera);
            recusado(*ds, c.mensagem, c.campo);
            ds->cancel();
        }
    }
    EXPECT_EQ(count(QStringLiteral("Municipio")), 5);
}

TEST_F(Cadastros, MunicipalitiesAccepted)
{
    struct Caso {
        const char* nome;
        Preenche altera;
    };
    const Caso casos[] = {
        {"home state", nullptr},
        {"same name in another UF",
         [](DataSet& d) {
             set(d, "Mun_Descricao", QStringLiteral("RIO CLARO"));
             set(d, "Mun_UF", QStringLiteral("SP"));
         }},
        {"abroad without CEPs",
         [](DataSet& d) {
             set(d, "Mun_UF", QStringLiteral("EX"));
             set(d, "Mun_CEPInicial", QString());
             set(d, "Mun_CEPFinal", QString());
         }},
        {"one CEP", [](DataSet& d) { set(d, "Mun_CEPFinal", QStringLiteral("77500000")); }},
    };
    DataSet& ds = *dm->Tb_Municipio;
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        novo(ds, municipio, c.altera);
        ds.post();
        EXPECT_EQ(ds.state(), DataSetState::Browse);
        const qint64 codigo = ds.fieldByName(QStringLiteral("Mun_Codigo"))->asInteger();
        EXPECT_EQ(count(QStringLiteral("Municipio where Mun_Codigo = %1").arg(codigo)), 1);
        sql(QStringLiteral("DELETE FROM Municipio where Mun_Codigo = ?1"), {codigo});
        ds.close();
    }
    // An existing row keeps its name and code on edit: no duplicate probe then.
    ds.open();
    ASSERT_TRUE(ds.locate(QStringLiteral("Mun_Codigo"), 1004));
    ds.edit();
    set(ds, "Mun_CEPFinal", QStringLiteral("77400009"));
    ds.post();
    EXPECT_EQ(count(QStringLiteral("Municipio where Mun_CEPFinal = '77400009'")), 1);
}

// ---- Legal representatives --------------------------------------------------------------

void representante(DataSet& ds)
{
    set(ds, "ResEmp_CPF", QStringLiteral("11144477735"));
    set(ds, "ResEmp_Nome", QStringLiteral("REPRESENTANTE"));
    set(ds, "ResEmp_Cargo", QStringLiteral("DIRETOR"));
}

TEST_F(Cadastros, LegalRepresentativeRules)
{
    sql(QStringLiteral("INSERT INTO RespEmpresa (ResEmp_CPF, ResEmp_Nome) VALUES ('00000000191', 'CURTO')"));
    const CasoRecusa casos[] = {
        {"duplicate once padded", [](DataSet& d) { set(d, "ResEmp_CPF", QStringLiteral("191")); }, 22, nullptr},
        {"duplicate", [](DataSet& d) { set(d, "ResEmp_CPF", QStringLiteral("00000000191")); }, 22, nullptr},
        {"empty CPF", [](DataSet& d) { set(d, "ResEmp_CPF", QString()); }, 15, "ResEmp_CPF"},
        {"zero CPF", [](DataSet& d) { set(d, "ResEmp_CPF", QStringLiteral("00000000000")); }, 23, "ResEmp_CPF"},
        {"wrong CPF", [](DataSet& d) { set(d, "ResEmp_CPF", QStringLiteral("11144477725")); }, 23, "ResEmp_CPF"},
        {"short wrong CPF", [](DataSet& d) { set(d, "ResEmp_CPF", QStringLiteral("123")); }, 23, "ResEmp_CPF"},
        {"empty name", [](DataSet& d) { set(d, "ResEmp_Nome", QString()); }, 27, "ResEmp_Nome"},
        {"short name", [](DataSet& d) { set(d, "ResEmp_Nome", QStringLiteral("AB ")); }, 28, "ResEmp_Nome"},
        {"no position", [](DataSet& d) { set(d, "ResEmp_Cargo", QString()); }, 606, "ResEmp_Cargo"},
    };
    DataSet& ds = *dm->Tb_RespEmpresa;
    for (const CasoRecusa& c : casos) {
        SCOPED_TRACE(c.nome);
        novo(ds, representante, c.altera);
        recusado(ds, c.mensagem, c.campo);
        ds.cancel();
    }
    novo(ds, representante, [](DataSet& d) { set(d, "ResEmp_CPF", QStringLiteral("272")); });
    ds.post();
    EXPECT_EQ(count(QStringLiteral("RespEmpresa where ResEmp_CPF = '00000000272'")), 1);
}

// ---- Senders and recipients --------------------------------------------------------------

void remetente(DataSet& ds)
{
    set(ds, "Con_Tipo", QStringLiteral("CNPJ"));
    set(ds, "Con_IECNPJCPF", QStringLiteral("11222333000181"));
    set(ds, "Con_Nome", QStringLiteral("EMPRESA"));
    set(ds, "Mun_Endereco", 1001);
    set(ds, "Con_UF", QStringLiteral("SP"));
}

TEST_F(Cadastros, SenderRecipientRulesRefuseWithoutMovingTheFocus)
{
    sql(QStringLiteral("INSERT INTO Contribuinte (Con_IECNPJCPF, Con_Nome, Con_Tipo) VALUES"
                       " ('00000000000191', 'CURTO', 'CNPJ')"));
    auto tipo = [](const char* t, const char* inscricao) {
        return [t, inscricao](DataSet& d) {
            set(d, "Con_Tipo", QString::fromLatin1(t));
            set(d, "Con_IECNPJCPF", QString::fromLatin1(inscricao));
        };
    };
    const CasoRecusa casos[] = {
        {"no kind", tipo("", "11222333000181"), 497, nullptr},
        {"duplicate once padded", tipo("CNPJ", "191"), 22, nullptr},
        {"IE empty", tipo("IE", ""), 34, nullptr},
        {"CNPJ empty", tipo("CNPJ", ""), 35, nullptr},
        {"CPF empty", tipo("CPF", ""), 15, nullptr},
        {"OI empty", tipo("OI", ""), 495, nullptr},
        {"IE of another prefix", tipo("IE", "291234566"), 53, nullptr},
        {"IE prefix not a number", tipo("IE", "AB1234566"), 53, nullptr},
        {"IE wrong digit", tipo("IE", "281234567"), 54, nullptr},
        {"CNPJ wrong digit", tipo("CNPJ", "11222333000182"), 55, nullptr},
        {"short CNPJ wrong digit", tipo("CNPJ", "1222333000129"), 55, nullptr},
        {"CPF zero", tipo("CPF", "00000000000"), 23, nullptr},
        {"CPF wrong digit", tipo("CPF", "11144477734"), 23, nullptr},
        {"short CPF wrong digit", tipo("CPF", "123"), 23, nullptr},
        {"no name", [](DataSet& d) { set(d, "Con_Nome", QString()); }, 37, nullptr},
        {"another kind passes without registration",
         [](DataSet& d) {
             set(d, "Con_Tipo", QStringLiteral("EXT"));
             set(d, "Con_IECNPJCPF", QString());
             set(d, "Con_Nome", QString());
         },
         37, nullptr},
        {"short name", [](DataSet& d) { set(d, "Con_Nome", QStringLiteral("AB")); }, 56, nullptr},
        {"no municipality", [](DataSet& d) { set(d, "Mun_Endereco", QVariant()); }, 133, nullptr},
        {"IE of another state", tipo("IE", "281234566"), 1650, nullptr},
        {"OI of the home state",
         [](DataSet& d) {
             set(d, "Con_Tipo", QStringLiteral("OI"));
             set(d, "Con_IECNPJCPF", QStringLiteral("ABC123"));
             set(d, "Con_UF", QStringLiteral("QX"));
         },
         496, nullptr},
    };
    DataSet& ds = *dm->Tb_RemDest;
    for (const CasoRecusa& c : casos) {
        SCOPED_TRACE(c.nome);
        novo(ds, remetente, c.altera);
        recusado(ds, c.mensagem, c.campo);
        ds.cancel();
    }
    EXPECT_EQ(count(QStringLiteral("Contribuinte")), 1);
}

TEST_F(Cadastros, SenderRecipientsSavedWithTheirCorrections)
{
    struct Caso {
        const char* nome;
        Preenche altera;
        const char* inscricao;
        int propriedade; // 0: none
        const char* ufEstab;
    };
    const Caso casos[] = {
        {"short CNPJ padded to 14", [](DataSet& d) { set(d, "Con_IECNPJCPF", QStringLiteral("1222333000128")); },
         "01222333000128", 0, ""},
        {"short CPF padded to 11",
         [](DataSet& d) {
             set(d, "Con_Tipo", QStringLiteral("CPF"));
             set(d, "Con_IECNPJCPF", QStringLiteral("272"));
         },
         "00000000272", 0, ""},
        {"commerce IE",
         [](DataSet& d) {
             set(d, "Con_Tipo", QStringLiteral("IE"));
             set(d, "Con_IECNPJCPF", QStringLiteral("281234566"));
             set(d, "Con_UF", QStringLiteral("QX"));
         },
         "281234566", 0, ""},
        {"rural producer: property is the address",
         [](DataSet& d) {
             set(d, "Con_Tipo", QStringLiteral("IE"));
             set(d, "Con_IECNPJCPF", QStringLiteral("286000008"));
             set(d, "Con_UF", QStringLiteral("QX"));
         },
         "286000008", 1001, "QX"},
        {"IE of another length passes unchecked",
         [](DataSet& d) {
             set(d, "Con_Tipo", QStringLiteral("IE"));
             set(d, "Con_IECNPJCPF", QStringLiteral("12345"));
             set(d, "Con_UF", QStringLiteral("QX"));
         },
         "12345", 0, ""},
    };
    DataSet& ds = *dm->Tb_RemDest;
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        sql(QStringLiteral("DELETE FROM Contribuinte"));
        novo(ds, remetente, c.altera);
        ds.post();
        EXPECT_EQ(ds.state(), DataSetState::Browse);
        EXPECT_EQ(get(ds, "Con_IECNPJCPF"), QString::fromLatin1(c.inscricao));
        EXPECT_EQ(get(ds, "Mun_Propriedade"), c.propriedade ? QString::number(c.propriedade) : QString());
        EXPECT_EQ(get(ds, "Con_UFEstab"), QString::fromLatin1(c.ufEstab));
        EXPECT_EQ(count(QStringLiteral("Contribuinte")), 1);
        ds.close();
    }
}

// A key filled with zeros stays filled when a later rule refuses the row.
TEST_F(Cadastros, PaddedKeysStayPaddedAfterALaterRefusal)
{
    struct Caso {
        const char* nome;
        DataSet* ds;
        Preenche base;
        Preenche altera;
        const char* campo;
        const char* gravado;
        int mensagem;
        const char* foco;
    };
    const Caso casos[] = {
        {"accountant", dm->Tb_Responsavel, contador,
         [](DataSet& d) {
             set(d, "Resp_CPF", QStringLiteral("272"));
             set(d, "Resp_CRC", QString());
         },
         "Resp_CPF", "00000000272", 24, "Resp_CRC"},
        {"legal representative", dm->Tb_RespEmpresa, representante,
         [](DataSet& d) {
             set(d, "ResEmp_CPF", QStringLiteral("272"));
             set(d, "ResEmp_Nome", QString());
         },
         "ResEmp_CPF", "00000000272", 27, "ResEmp_Nome"},
        {"sender with a CNPJ", dm->Tb_RemDest, remetente,
         [](DataSet& d) {
             set(d, "Con_IECNPJCPF", QStringLiteral("1222333000128"));
             set(d, "Con_Nome", QString());
         },
         "Con_IECNPJCPF", "01222333000128", 37, nullptr},
        {"sender with a CPF", dm->Tb_RemDest, remetente,
         [](DataSet& d) {
             set(d, "Con_Tipo", QStringLiteral("CPF"));
             set(d, "Con_IECNPJCPF", QStringLiteral("272"));
             set(d, "Mun_Endereco", QVariant());
         },
         "Con_IECNPJCPF", "00000000272", 133, nullptr},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        novo(*c.ds, c.base, c.altera);
        recusado(*c.ds, c.mensagem, c.foco);
        EXPECT_EQ(get(*c.ds, c.campo), QString::fromLatin1(c.gravado));
        c.ds->cancel();
        c.ds->close();
    }
}

} // namespace
