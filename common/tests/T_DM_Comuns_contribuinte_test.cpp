// The before-post rules of the taxpayer register, under each program's title.
#include "T_DM_Comuns.h"

#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Database.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"

#include <gtest/gtest.h>

#include <functional>

using vorta::db::DataSet;
using vorta::db::DataSetState;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;

namespace {

const int kMensagens[] = {15,  19,  22,  23,  30,  31,  32,  34,  35,  37,  38,  53,  54,   55,   56,   57,  58,
                          59,  60,  61,  62,  63,  64,  65,  66,  67,  68,  69,  70,  71,   72,   73,   74,  75,
                          306, 495, 496, 497, 581, 582, 593, 612, 613, 614, 615, 616, 618,  619,  620,  621, 622,
                          623, 624, 625, 626, 627, 628, 629, 630, 631, 633, 634, 635, 676, 1103, 1105, 1255, 1258,
                          1410, 1420, 1421, 1422};

QString textoDe(int n)
{
    if (n == 1407)
        return QStringLiteral("1407 - M1407 RIO CLARO/RIO CLARO");
    return QStringLiteral("%1 - M%1").arg(n);
}

// A state registration with its check digit: the prefix and the first six digits given.
QString ie(const QString& oito)
{
    for (char d = '0'; d <= '9'; ++d) {
        const QString v = oito + QLatin1Char(d);
        if (ChkINSC(v.mid(2)))
            return v;
    }
    return {};
}

QString nire(const QString& dez)
{
    for (char d = '0'; d <= '9'; ++d)
        if (ChkNIRE(dez + QLatin1Char(d)))
            return dez + QLatin1Char(d);
    return {};
}

QString cnpj(const QString& doze)
{
    for (int d = 0; d < 100; ++d) {
        const QString v = doze + QStringLiteral("%1").arg(d, 2, 10, QLatin1Char('0'));
        if (ChkCNPJ(v))
            return v;
    }
    return {};
}

const QString kRural = ie(QStringLiteral("28612345"));
const QString kComercio = ie(QStringLiteral("28112345"));
const QString kCNPJ = QStringLiteral("11222333000181");
const QString kCPF = QStringLiteral("11144477735");

using Preenche = std::function<void(DataSet&)>;

void set(DataSet& ds, const char* field, const QVariant& value)
{
    ds.fieldByName(QString::fromLatin1(field))->setValue(value);
}

QString get(DataSet& ds, const char* field)
{
    return ds.fieldByName(QString::fromLatin1(field))->asString();
}

// A taxpayer that every rule set of its title accepts.
void produtor(DataSet& d)
{
    set(d, "Con_Tipo", QStringLiteral("IE"));
    set(d, "Con_IECNPJCPF", kRural);
    set(d, "Con_Nome", QStringLiteral("JOAO PRODUTOR"));
    set(d, "Con_NomePropr", QStringLiteral("FAZENDA BOA"));
    set(d, "Con_NumeroCPR", QStringLiteral("12345"));
    set(d, "Con_DDDFone", QStringLiteral("63"));
    set(d, "Con_Fone", QStringLiteral("32151234"));
    set(d, "TipLog_Codigo", QStringLiteral("R"));
    set(d, "Con_Logradouro", QStringLiteral("DAS FLORES"));
    set(d, "Con_Numero", QStringLiteral("10"));
    set(d, "TipBai_Codigo", QStringLiteral("B"));
    set(d, "Con_Bairro", QStringLiteral("CENTRO"));
    set(d, "Mun_Endereco", 1001);
    set(d, "Con_UF", QStringLiteral("QX"));
    set(d, "Con_CEP", QStringLiteral("77000100"));
    set(d, "Mun_Propriedade", 1001);
    set(d, "Age_Codigo", QStringLiteral("10001"));
}

void empresa(DataSet& d)
{
    set(d, "Con_Tipo", QStringLiteral("IE"));
    set(d, "Con_IECNPJCPF", kComercio);
    set(d, "Con_Nome", QStringLiteral("EMPRESA TESTE"));
    set(d, "End_CPF", kCNPJ);
    set(d, "Con_DDDFone", QStringLiteral("63"));
    set(d, "Con_Fone", QStringLiteral("32151234"));
    set(d, "TipLog_CodigoEstab", QStringLiteral("AV"));
    set(d, "Con_LogradouroEstab", QStringLiteral("CENTRAL"));
    set(d, "Con_NumeroEstab", QStringLiteral("100"));
    set(d, "Tip_Bai_CodigoEstab", QStringLiteral("SET"));
    set(d, "Con_BairroEstab", QStringLiteral("NORTE"));
    set(d, "Mun_Propriedade", 1002);
    set(d, "Con_UFEstab", QStringLiteral("QX"));
    set(d, "Con_CEPEstab", QStringLiteral("77300100"));
    set(d, "Con_FormaEntrega", 1);
    set(d, "Con_RegICMS", 1);
    set(d, "Con_EscritaFiscal", QStringLiteral("S"));
    set(d, "Con_OutraEmpresa", QStringLiteral("N"));
    set(d, "Resp_CPF", kCPF);
}

struct Caso {
    const char* nome;
    Preenche altera;
    int mensagem;         // 0: accepted
    const char* foco;     // "page/field"; nullptr: no focus
    int pergunta = 0;     // a Yes/No question answered No before (or, accepted, Yes)
};

class Contribuintes : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDirDados = DirDados;
        m_title = vorta::Application::instance()->title();
        m_inst.installDatabase();
        QStringList linhas;
        for (int n : kMensagens)
            linhas << QStringLiteral("(%1, 'M%1')").arg(n);
        linhas << QStringLiteral("(1407, 'M1407 %s/%s')");
        vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")),
                                 QStringLiteral("DELETE FROM mensagem;INSERT INTO mensagem (Men_Codigo, Men_Descricao) "
                                                "VALUES ")
                                     + linhas.join(QLatin1Char(',')));
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
        vorta::Application::instance()->setTitle(m_title);
    }

    void titulo(const char* t) { vorta::Application::instance()->setTitle(QString::fromLatin1(t)); }
    void sql(const QString& text, const QVariantList& params = {}) { dm->DB_Comuns->execute(text, params); }
    int count(const QString& what)
    {
        vorta::db::Query q;
        q.setDatabase(dm->DB_Comuns);
        q.setSql(QStringLiteral("select count(*) from ") + what);
        q.open();
        return int(q.fields(0)->asInteger());
    }

    DataSet& novo(const Preenche& base, const Preenche& change = {})
    {
        DataSet& ds = *dm->Tb_Contribuinte;
        ds.open();
        ds.append();
        base(ds);
        if (change)
            change(ds);
        return ds;
    }

    // Posts the row: refused with the message and focus, the row left in its state; or
    // accepted and written.
    void confere(const Caso& c)
    {
        DataSet& ds = *dm->Tb_Contribuinte;
        const DataSetState antes = ds.state();
        focos.clear();
        ScriptedDialogs dialogs;
        if (c.pergunta)
            dialogs.expectMessage(MessageKind::Confirmation, textoDe(c.pergunta),
                                  c.mensagem ? vorta::ui::mrNo : vorta::ui::mrYes);
        if (c.mensagem) {
            if (c.mensagem != -1)
                dialogs.expectMessage(MessageKind::Error, textoDe(c.mensagem), 1);
            EXPECT_THROW(ds.post(), vorta::EAbort);
            EXPECT_EQ(ds.state(), antes);
            if (c.foco)
                EXPECT_EQ(focos, QStringList{QString::fromLatin1(c.foco)});
            else
                EXPECT_TRUE(focos.isEmpty()) << focos.join(QLatin1Char(',')).toStdString();
        } else {
            EXPECT_NO_THROW(ds.post());
            EXPECT_EQ(ds.state(), DataSetState::Browse);
        }
    }

    void roda(const Preenche& base, std::initializer_list<Caso> casos)
    {
        for (const Caso& c : casos) {
            SCOPED_TRACE(c.nome);
            novo(base, c.altera);
            confere(c);
            DataSet& ds = *dm->Tb_Contribuinte;
            if (ds.state() != DataSetState::Browse)
                ds.cancel();
            else
                sql(QStringLiteral("DELETE FROM Contribuinte"));
            ds.close();
        }
    }

    vorta::testing::TempInstallation m_inst;
    TDM_Comuns* dm = nullptr;
    QStringList focos;

private:
    QString m_savedDirDados;
    QString m_title;
};

TEST_F(Contribuintes, IdentityChecksRunUnderEveryTitle)
{
    sql(QStringLiteral("INSERT INTO Contribuinte (Con_IECNPJCPF, Con_Tipo, Con_Nome) VALUES (?1, 'CPF', 'JA EXISTE')"),
        {QStringLiteral("00000000191")});
    const auto pessoa = [](DataSet& d) {
        set(d, "Con_Tipo", QStringLiteral("CPF"));
        set(d, "Con_IECNPJCPF", kCPF);
        set(d, "Con_Nome", QStringLiteral("MARIA"));
    };
    for (const char* t : {"ZIR", "Vorta_Mod", "TUV", "KOB"}) {
        SCOPED_TRACE(t);
        titulo(t);
        roda(pessoa, {
            {"no kind", [](DataSet& d) { set(d, "Con_Tipo", QString()); }, 497, "/Con_Tipo"},
            {"duplicate", [](DataSet& d) { set(d, "Con_IECNPJCPF", QStringLiteral("00000000191")); }, 22,
             "/Con_IECNPJCPF"},
            {"duplicate once padded", [](DataSet& d) { set(d, "Con_IECNPJCPF", QStringLiteral("191")); }, 22,
             "/Con_IECNPJCPF"},
            {"blank IE",
             [](DataSet& d) {
                 set(d, "Con_Tipo", QStringLiteral("IE"));
                 set(d, "Con_IECNPJCPF", QStringLiteral(" "));
             },
             34, "/Con_IECNPJCPF"},
            {"blank CNPJ",
             [](DataSet& d) {
                 set(d, "Con_Tipo", QStringLiteral("CNPJ"));
                 set(d, "Con_IECNPJCPF", QString());
             },
             35, "/Con_IECNPJCPF"},
            {"blank CPF", [](DataSet& d) { set(d, "Con_IECNPJCPF", QString()); }, 15, "/Con_IECNPJCPF"},
            {"blank other",
             [](DataSet& d) {
                 set(d, "Con_Tipo", QStringLiteral("OI"));
                 set(d, "Con_IECNPJCPF", QString());
             },
             495, "/Con_IECNPJCPF"},
            {"blank of an unknown kind: silent",
             [](DataSet& d) {
                 set(d, "Con_Tipo", QStringLiteral("XX"));
                 set(d, "Con_IECNPJCPF", QString());
             },
             -1, "/Con_IECNPJCPF"},
            {"wrong CPF", [](DataSet& d) { set(d, "Con_IECNPJCPF", QStringLiteral("11144477734")); }, 23,
             "/Con_IECNPJCPF"},
            {"short CPF with a blank", [](DataSet& d) { set(d, "Con_IECNPJCPF", QStringLiteral("1 2")); }, 23,
             "/Con_IECNPJCPF"},
            {"blank name", [](DataSet& d) { set(d, "Con_Nome", QStringLiteral("  ")); }, 37, "/Con_Nome"},
            {"short name", [](DataSet& d) { set(d, "Con_Nome", QStringLiteral("AB")); }, 56, "/Con_Nome"},
        });
    }
}

TEST_F(Contribuintes, CommonChecksOnlyUnderAnyOtherTitle)
{
    titulo("ZIR");
    const auto minimo = [](DataSet& d) {
        set(d, "Con_Tipo", QStringLiteral("IE"));
        set(d, "Con_IECNPJCPF", kComercio);
        set(d, "Con_Nome", QStringLiteral("EMPRESA"));
    };
    roda(minimo, {
        {"IE beginning with 27", [](DataSet& d) { set(d, "Con_IECNPJCPF", QStringLiteral("271234567")); }, 53,
         "/Con_IECNPJCPF"},
        {"IE with a letter in its prefix", [](DataSet& d) { set(d, "Con_IECNPJCPF", QStringLiteral("2A1234567")); },
         53, "/Con_IECNPJCPF"},
        {"IE with a wrong digit",
         [](DataSet& d) {
             QString v = kComercio;
             v[8] = QLatin1Char(v[8] == QLatin1Char('0') ? '1' : '0');
             set(d, "Con_IECNPJCPF", v);
         },
         54, "/Con_IECNPJCPF"},
        {"IE of 8 characters is not checked", [](DataSet& d) { set(d, "Con_IECNPJCPF", QStringLiteral("28000000")); },
         0, nullptr},
        {"CNPJ of 1 character is not checked",
         [](DataSet& d) {
             set(d, "Con_Tipo", QStringLiteral("CNPJ"));
             set(d, "Con_IECNPJCPF", QStringLiteral("5"));
         },
         0, nullptr},
        {"wrong CNPJ",
         [](DataSet& d) {
             set(d, "Con_Tipo", QStringLiteral("CNPJ"));
             set(d, "Con_IECNPJCPF", QStringLiteral("11222333000180"));
         },
         55, "/Con_IECNPJCPF"},
        {"short CNPJ with a letter",
         [](DataSet& d) {
             set(d, "Con_Tipo", QStringLiteral("CNPJ"));
             set(d, "Con_IECNPJCPF", QStringLiteral("12A45"));
         },
         55, "/Con_IECNPJCPF"},
        {"other registration in the home state",
         [](DataSet& d) {
             set(d, "Con_Tipo", QStringLiteral("OI"));
             set(d, "Con_IECNPJCPF", QStringLiteral("ABC123"));
             set(d, "Con_UF", QStringLiteral("QX"));
         },
         496, nullptr},
        {"other registration elsewhere",
         [](DataSet& d) {
             set(d, "Con_Tipo", QStringLiteral("OI"));
             set(d, "Con_IECNPJCPF", QStringLiteral("ABC123"));
             set(d, "Con_UF", QStringLiteral("SP"));
         },
         0, nullptr},
        // Rules of the other titles do not run.
        {"no address at all", [](DataSet& d) { set(d, "Con_Fone", QStringLiteral("123")); }, 0, nullptr},
    });

    // A CNPJ of 12 digits is stored padded to 14 before its digits are checked.
    DataSet& ds = novo(minimo, [](DataSet& d) {
        set(d, "Con_Tipo", QStringLiteral("CNPJ"));
        set(d, "Con_IECNPJCPF", QStringLiteral("192"));
    });
    ScriptedDialogs dialogs;
    dialogs.expectMessage(MessageKind::Error, textoDe(55), 1);
    EXPECT_THROW(ds.post(), vorta::EAbort);
    EXPECT_EQ(get(ds, "Con_IECNPJCPF"), "00000000000192");
    set(ds, "Con_IECNPJCPF", QStringLiteral("191"));
    ds.post();
    EXPECT_EQ(count(QStringLiteral("Contribuinte where Con_IECNPJCPF = '00000000000191'")), 1);
    EXPECT_EQ(insc, kComercio.mid(2)); // left by the last 9-character IE checked
    EXPECT_EQ(ie2, 28);
}

TEST_F(Contribuintes, EmptyKindCopiesTheAddressIntoBlankEstablishmentFieldsOnly)
{
    titulo("Vorta_Mod");
    DataSet& ds = novo(produtor, [](DataSet& d) {
        set(d, "Con_Tipo", QString());
        set(d, "Mun_Propriedade", QVariant());
        set(d, "Mun_Endereco", QVariant());
        set(d, "Con_LogradouroEstab", QStringLiteral("ESTRADA VELHA"));
    });
    focos.clear();
    ScriptedDialogs dialogs;
    dialogs.expectMessage(MessageKind::Error, textoDe(497), 1);
    EXPECT_THROW(ds.post(), vorta::EAbort);
    EXPECT_EQ(get(ds, "Con_LogradouroEstab"), "ESTRADA VELHA");
    EXPECT_EQ(get(ds, "TipLog_CodigoEstab"), "R");
    EXPECT_EQ(get(ds, "Con_CEPEstab"), "77000100");
    EXPECT_EQ(get(ds, "Con_UFEstab"), "QX");
    EXPECT_TRUE(ds.fieldByName(QStringLiteral("Mun_Propriedade"))->isNull());
    EXPECT_EQ(ds.state(), DataSetState::Insert);
}

TEST_F(Contribuintes, ProducerModulesAdmitOnlyARuralStateRegistration)
{
    for (const char* t : {"KOB", "DUX"}) {
        SCOPED_TRACE(t);
        titulo(t);
        roda(produtor, {
            {"accepted", nullptr, 0, nullptr},
            {"CPF kind",
             [](DataSet& d) {
                 set(d, "Con_Tipo", QStringLiteral("CPF"));
                 set(d, "Con_IECNPJCPF", kCPF);
             },
             306, "/Con_Tipo"},
            {"IE at the top of the rural range", [](DataSet& d) { set(d, "Con_IECNPJCPF", ie(QStringLiteral("28999999"))); },
             0, nullptr},
            {"IE of 10 digits", [](DataSet& d) { set(d, "Con_IECNPJCPF", QStringLiteral("2860000000")); }, 306,
             "/Con_Tipo"},
            {"IE with a letter", [](DataSet& d) { set(d, "Con_IECNPJCPF", QStringLiteral("2860000A")); }, 306,
             "/Con_Tipo"},
            {"commerce IE", [](DataSet& d) { set(d, "Con_IECNPJCPF", kComercio); }, 306, "/Con_Tipo"},
            {"no property name", [](DataSet& d) { set(d, "Con_NomePropr", QString()); }, 57, "/Con_NomePropr"},
            {"short property name", [](DataSet& d) { set(d, "Con_NomePropr", QStringLiteral("FA")); }, 58,
             "/Con_NomePropr"},
            {"bad producer CPF", [](DataSet& d) { set(d, "End_CPF", QStringLiteral("11144477734")); }, 59,
             "/End_CPF"},
            {"short producer CPF", [](DataSet& d) { set(d, "End_CPF", QStringLiteral("1234")); }, 23, "/End_CPF"},
            {"short CPR", [](DataSet& d) { set(d, "Con_NumeroCPR", QStringLiteral("1234")); }, 1258,
             "/Con_NumeroCPR"},
            {"no area code", [](DataSet& d) { set(d, "Con_DDDFone", QString()); }, 70, "/Con_DDDFone"},
            {"short area code", [](DataSet& d) { set(d, "Con_DDDFone", QStringLiteral("6")); }, 30, "/Con_DDDFone"},
            {"no phone", [](DataSet& d) { set(d, "Con_Fone", QString()); }, 19, "/Con_Fone"},
            {"short phone", [](DataSet& d) { set(d, "Con_Fone", QStringLiteral("321512")); }, 31, "/Con_Fone"},
            {"second area code without number", [](DataSet& d) { set(d, "Con_DDD2", QStringLiteral("63")); }, 581,
             "/Con_Fone2"},
            {"second number without area code", [](DataSet& d) { set(d, "Con_Fone2", QStringLiteral("99998888")); },
             582, "/Con_DDD2"},
            {"fax without area code", [](DataSet& d) { set(d, "Con_FAX", QStringLiteral("32151234")); }, 71,
             "/Con_DDDFax"},
            {"fax area code without fax", [](DataSet& d) { set(d, "Con_DDDFax", QStringLiteral("63")); }, 71,
             "/Con_DDDFax"},
            {"short fax area code", [](DataSet& d) { set(d, "Con_DDDFax", QStringLiteral("6")); }, 72, "/Con_DDDFax"},
            {"no street type", [](DataSet& d) { set(d, "TipLog_Codigo", QString()); }, 60,
             "TBSCorrespondencia/TipLog_Codigo"},
            {"no street", [](DataSet& d) { set(d, "Con_Logradouro", QString()); }, 61,
             "TBSCorrespondencia/Con_Logradouro"},
            {"no number nor complement", [](DataSet& d) { set(d, "Con_Numero", QString()); }, 62,
             "TBSCorrespondencia/Con_Numero"},
            {"no district type", [](DataSet& d) { set(d, "TipBai_Codigo", QString()); }, 63,
             "TBSCorrespondencia/TipBai_Codigo"},
            {"no district", [](DataSet& d) { set(d, "Con_Bairro", QString()); }, 64,
             "TBSCorrespondencia/Con_Bairro"},
            {"CTO needs no district",
             [](DataSet& d) {
                 set(d, "TipBai_Codigo", QStringLiteral("CTO"));
                 set(d, "Con_Bairro", QString());
             },
             0, nullptr},
            {"no property municipality", [](DataSet& d) { set(d, "Mun_Propriedade", QVariant()); }, 74,
             "TBSEstabelecimento/Mun_Propriedade"},
            {"bad UF", [](DataSet& d) { set(d, "Con_UF", QStringLiteral("XY")); }, 66, "TBSCorrespondencia/Con_UF"},
            {"no CEP", [](DataSet& d) { set(d, "Con_CEP", QString()); }, 67, "TBSCorrespondencia/Con_CEP"},
            {"short CEP", [](DataSet& d) { set(d, "Con_CEP", QStringLiteral("7700010")); }, 68,
             "TBSCorrespondencia/Con_CEP"},
            {"CEP past the range", [](DataSet& d) { set(d, "Con_CEP", QStringLiteral("77300000")); }, 69,
             "TBSCorrespondencia/Con_CEP"},
            {"CEP at the range's end", [](DataSet& d) { set(d, "Con_CEP", QStringLiteral("77299999")); }, 0, nullptr},
            {"bad e-mail", [](DataSet& d) { set(d, "Con_Email", QStringLiteral("joao")); }, 32,
             "TBSCorrespondencia/Con_Email"},
            {"no agency", [](DataSet& d) { set(d, "Age_Codigo", QString()); }, 75, "TBSEstabelecimento/Age_Codigo"},
        });
    }
}

TEST_F(Contribuintes, PostalCodeAgainstTheMunicipalityRange)
{
    titulo("KOB");
    sql(QStringLiteral("UPDATE Municipio SET Mun_CEPFinal = NULL WHERE Mun_Codigo = 1004"));
    roda(produtor, {
        {"range without an end names the municipality twice", [](DataSet& d) { set(d, "Mun_Endereco", 1004); },
         1407, "TBSCorrespondencia/Con_CEP"},
        {"CEP not a number", [](DataSet& d) { set(d, "Con_CEP", QStringLiteral("7700A100")); }, 69,
         "TBSCorrespondencia/Con_CEP"},
        {"unknown municipality: only the length counts", [](DataSet& d) { set(d, "Mun_Endereco", 4242); }, 0,
         nullptr},
        {"CEP at the range's start", [](DataSet& d) { set(d, "Con_CEP", QStringLiteral("77000000")); }, 0, nullptr},
    });
}

TEST_F(Contribuintes, TuvRequiresTheEstablishmentPeriodicityAndTaxRegime)
{
    titulo("TUV");
    roda(empresa, {
        {"accepted", nullptr, 0, nullptr},
        {"no CNPJ", [](DataSet& d) { set(d, "End_CPF", QString()); }, 35, "/End_CPF"},
        {"wrong CNPJ", [](DataSet& d) { set(d, "End_CPF", QStringLiteral("11222333000180")); }, 55, "/End_CPF"},
        {"no street type", [](DataSet& d) { set(d, "TipLog_CodigoEstab", QString()); }, 612,
         "TBSEstabelecimento/TipLog_CodigoEstab"},
        {"no street", [](DataSet& d) { set(d, "Con_LogradouroEstab", QString()); }, 613,
         "TBSEstabelecimento/Con_LogradouroEstab"},
        {"no number nor complement", [](DataSet& d) { set(d, "Con_NumeroEstab", QString()); }, 614,
         "TBSEstabelecimento/Con_NumeroEstab"},
        {"no district type", [](DataSet& d) { set(d, "Tip_Bai_CodigoEstab", QString()); }, 623,
         "TBSEstabelecimento/Tip_Bai_CodigoEstab"},
        {"no district", [](DataSet& d) { set(d, "Con_BairroEstab", QString()); }, 624,
         "TBSEstabelecimento/Con_BairroEstab"},
        {"no municipality", [](DataSet& d) { set(d, "Mun_Propriedade", QVariant()); }, 615,
         "TBSEstabelecimento/Mun_Propriedade"},
        {"no UF", [](DataSet& d) { set(d, "Con_UFEstab", QString()); }, 616, "TBSEstabelecimento/Con_UFEstab"},
        {"unknown UF", [](DataSet& d) { set(d, "Con_UFEstab", QStringLiteral("XY")); }, 676,
         "TBSEstabelecimento/Con_UFEstab"},
        {"no CEP", [](DataSet& d) { set(d, "Con_CEPEstab", QString()); }, 618, "TBSEstabelecimento/Con_CEPEstab"},
        {"short CEP", [](DataSet& d) { set(d, "Con_CEPEstab", QStringLiteral("773")); }, 619,
         "TBSEstabelecimento/Con_CEPEstab"},
        {"CEP outside", [](DataSet& d) { set(d, "Con_CEPEstab", QStringLiteral("77350000")); }, 620,
         "TBSEstabelecimento/Con_CEPEstab"},
        {"bad e-mail", [](DataSet& d) { set(d, "Con_EmailEstab", QStringLiteral("a@b")); }, 621,
         "TBSEstabelecimento/Con_EmailEstab"},
        {"no periodicity", [](DataSet& d) { set(d, "Con_FormaEntrega", QVariant()); }, 627,
         "TbSEspecificacao/Con_FormaEntrega"},
        {"quarterly refused", [](DataSet& d) { set(d, "Con_FormaEntrega", 2); }, -1,
         "TbSEspecificacao/Con_FormaEntrega", 1103},
        {"no regime", [](DataSet& d) { set(d, "Con_RegICMS", QVariant()); }, 593, "TbSEspecificacao/Con_RegICMS"},
        {"no bookkeeping", [](DataSet& d) { set(d, "Con_EscritaFiscal", QString()); }, 635,
         "TbSEspecificacao/Con_EscritaFiscal"},
        {"head office missing",
         [](DataSet& d) { set(d, "Con_EscritaFiscal", QStringLiteral("D")); }, 1105,
         "TbSEspecificacao/Con_IEMatriz"},
        {"head office short",
         [](DataSet& d) {
             set(d, "Con_EscritaFiscal", QStringLiteral("D"));
             set(d, "Con_IEMatriz", QStringLiteral("2812"));
         },
         54, "TbSEspecificacao/Con_IEMatriz"},
        {"head office of another state",
         [](DataSet& d) {
             set(d, "Con_EscritaFiscal", QStringLiteral("D"));
             set(d, "Con_IEMatriz", QStringLiteral("271234567"));
         },
         53, "TbSEspecificacao/Con_IEMatriz"},
        {"no centraliser answer", [](DataSet& d) { set(d, "Con_OutraEmpresa", QString()); }, 629,
         "TbSEspecificacao/Con_OutraEmpresa"},
        {"centraliser missing", [](DataSet& d) { set(d, "Con_OutraEmpresa", QStringLiteral("S")); }, 630,
         "TbSEspecificacao/Con_InscOutra"},
        {"centraliser with a wrong digit",
         [](DataSet& d) {
             set(d, "Con_OutraEmpresa", QStringLiteral("S"));
             QString v = kComercio;
             v[8] = QLatin1Char(v[8] == QLatin1Char('0') ? '1' : '0');
             set(d, "Con_InscOutra", v);
         },
         54, "TbSEspecificacao/Con_InscOutra"},
        {"no accountant", [](DataSet& d) { set(d, "Resp_CPF", QString()); }, 634, "tbSResponsavel/ResEmp_CPF"},
        {"bad NIRE", [](DataSet& d) { set(d, "Con_NIRE", QStringLiteral("12345678901")); }, 633, "/Con_NIRE"},
        {"NIRE with the registration", [](DataSet& d) { set(d, "Con_NIRE", QStringLiteral("00") + kComercio); }, 0,
         nullptr},
        {"NIRE of the board", [](DataSet& d) { set(d, "Con_NIRE", nire(QStringLiteral("5412345678"))); }, 0, nullptr},
    });
}

TEST_F(Contribuintes, TuvAsksTwiceAboutAQuarterlyDeliveryThenRefusesItsRegime)
{
    titulo("TUV");
    DataSet& ds = novo(empresa, [](DataSet& d) {
        set(d, "Con_FormaEntrega", 2);
        set(d, "Con_RegICMS", 2);
        set(d, "End_CPF", QString());
    });
    ScriptedDialogs dialogs;
    dialogs.expectMessage(MessageKind::Error, textoDe(35), 1);
    EXPECT_THROW(ds.post(), vorta::EAbort);
    // The kind of End_CPF follows it: cleared for none, CNPJ for one given.
    EXPECT_EQ(get(ds, "Con_TipoCPFCNPJ"), "");
    set(ds, "End_CPF", kCNPJ);
    set(ds, "Con_EscritaFiscal", QStringLiteral("N"));
    set(ds, "Con_IEMatriz", kComercio);
    set(ds, "Con_InscOutra", kComercio);
    dialogs.expectMessage(MessageKind::Confirmation, textoDe(1103), vorta::ui::mrYes)
        .expectMessage(MessageKind::Confirmation, textoDe(1103), vorta::ui::mrYes)
        .expectMessage(MessageKind::Error, textoDe(628), 1);
    EXPECT_THROW(ds.post(), vorta::EAbort);
    EXPECT_EQ(get(ds, "Con_TipoCPFCNPJ"), "CNPJ");
    set(ds, "Con_RegICMS", 1);
    dialogs.expectMessage(MessageKind::Confirmation, textoDe(1103), vorta::ui::mrYes)
        .expectMessage(MessageKind::Confirmation, textoDe(1103), vorta::ui::mrYes);
    ds.post();
    // Bookkeeping other than "D" and no centraliser empty their registrations.
    EXPECT_EQ(get(ds, "Con_IEMatriz"), "");
    EXPECT_EQ(get(ds, "Con_InscOutra"), "");
}

TEST_F(Contribuintes, BaseModuleChecksWhatIsGivenAndTheRangesAsText)
{
    titulo("Vorta_Mod");
    const auto comercio = [](DataSet& d) {
        set(d, "Con_Tipo", QStringLiteral("IE"));
        set(d, "Con_IECNPJCPF", kComercio);
        set(d, "Con_Nome", QStringLiteral("EMPRESA"));
        set(d, "Mun_Propriedade", 1001);
    };
    roda(comercio, {
        {"accepted", nullptr, 0, nullptr},
        {"bad establishment CNPJ", [](DataSet& d) { set(d, "End_CPF", QStringLiteral("11222333000180")); }, 55,
         "/End_CPF"},
        {"short CPR", [](DataSet& d) { set(d, "Con_NumeroCPR", QStringLiteral("12")); }, 1258, "/Con_NumeroCPR"},
        {"NIRE not of the board", [](DataSet& d) { set(d, "Con_NIRE", QStringLiteral("99123")); }, 633, "/Con_NIRE"},
        {"area code without phone", [](DataSet& d) { set(d, "Con_DDDFone", QStringLiteral("63")); }, 19,
         "/Con_Fone"},
        {"phone without area code: focus unchanged",
         [](DataSet& d) { set(d, "Con_Fone", QStringLiteral("32151234")); }, 70, nullptr},
        {"short second phone",
         [](DataSet& d) {
             set(d, "Con_DDD2", QStringLiteral("63"));
             set(d, "Con_Fone2", QStringLiteral("9999"));
         },
         626, "/Con_Fone2"},
        {"short second area code",
         [](DataSet& d) {
             set(d, "Con_DDD2", QStringLiteral("6"));
             set(d, "Con_Fone2", QStringLiteral("99998888"));
         },
         625, "/Con_DDD2"},
        {"short fax",
         [](DataSet& d) {
             set(d, "Con_DDDFax", QStringLiteral("63"));
             set(d, "Con_FAX", QStringLiteral("3215"));
         },
         73, "/Con_FAX"},
        {"street without type", [](DataSet& d) { set(d, "Con_Logradouro", QStringLiteral("A")); }, 60,
         "TBSCorrespondencia/TipLog_Codigo"},
        {"type without street", [](DataSet& d) { set(d, "TipLog_Codigo", QStringLiteral("R")); }, 61,
         "TBSCorrespondencia/Con_Logradouro"},
        {"district without type", [](DataSet& d) { set(d, "Con_Bairro", QStringLiteral("A")); }, 63,
         "TBSCorrespondencia/TipBai_Codigo"},
        {"commerce needs no address municipality", [](DataSet& d) { set(d, "Mun_Endereco", QVariant()); }, 0,
         nullptr},
        {"CEP outside", [](DataSet& d) {
             set(d, "Mun_Endereco", 1001);
             set(d, "Con_CEP", QStringLiteral("77300000"));
         }, 69, "TBSCorrespondencia/Con_CEP"},
        {"bad e-mail", [](DataSet& d) { set(d, "Con_Email", QStringLiteral("x")); }, 32,
         "TBSCorrespondencia/Con_Email"},
        {"establishment street without type", [](DataSet& d) { set(d, "Con_LogradouroEstab", QStringLiteral("A")); },
         612, "TBSEstabelecimento/TipLog_CodigoEstab"},
        {"establishment type without district",
         [](DataSet& d) { set(d, "Tip_Bai_CodigoEstab", QStringLiteral("B")); }, 624,
         "TBSEstabelecimento/Con_BairroEstab"},
        {"no establishment municipality", [](DataSet& d) { set(d, "Mun_Propriedade", QVariant()); }, 615,
         "TBSEstabelecimento/Mun_Propriedade"},
        {"establishment CEP outside", [](DataSet& d) { set(d, "Con_CEPEstab", QStringLiteral("77300000")); }, 620,
         "TBSEstabelecimento/Con_CEPEstab"},
        {"bad establishment e-mail", [](DataSet& d) { set(d, "Con_EmailEstab", QStringLiteral("x")); }, 621,
         "TBSEstabelecimento/Con_EmailEstab"},
        {"quarterly refused", [](DataSet& d) { set(d, "Con_FormaEntrega", 2); }, -1,
         "TbSEspecificacao/Con_FormaEntrega", 1103},
        {"quarterly accepted", [](DataSet& d) { set(d, "Con_FormaEntrega", 2); }, 0, nullptr, 1103},
        {"no answer on a centraliser passes", [](DataSet& d) { set(d, "Con_OutraEmpresa", QString()); }, 0, nullptr},
        {"centraliser missing", [](DataSet& d) { set(d, "Con_OutraEmpresa", QStringLiteral("S")); }, 630,
         "TbSEspecificacao/Con_InscOutra"},
        // 14 digits beginning with 281 lie inside the commerce range as text.
        {"CNPJ kind in the commerce range as text",
         [](DataSet& d) {
             set(d, "Con_Tipo", QStringLiteral("CNPJ"));
             set(d, "Con_IECNPJCPF", cnpj(QStringLiteral("281000000001")));
             set(d, "Mun_Endereco", 1001);
             set(d, "Mun_Propriedade", QVariant());
         },
         615, "TBSEstabelecimento/Mun_Propriedade"},
        {"person needs the address municipality",
         [](DataSet& d) {
             set(d, "Con_Tipo", QStringLiteral("CPF"));
             set(d, "Con_IECNPJCPF", kCPF);
         },
         65, "TBSCorrespondencia/Mun_Endereco"},
        {"rural producer needs the address municipality",
         [](DataSet& d) { set(d, "Con_IECNPJCPF", kRural); }, 65, "TBSCorrespondencia/Mun_Endereco"},
    });
}

TEST_F(Contribuintes, ProducerCpfKeepsItsAddressRow)
{
    titulo("KOB");
    const auto rural = [](DataSet& d) {
        produtor(d);
        set(d, "Con_TipoCPFCNPJ", QStringLiteral("CPF"));
        set(d, "End_CPF", kCPF);
        set(d, "Mun_Endereco", QVariant());
    };
    DataSet& ds = novo(rural);
    ds.post();
    ASSERT_EQ(count(QStringLiteral("Endereco")), 1);
    EXPECT_EQ(count(QStringLiteral("Endereco where End_CPF = '11144477735' and End_Logradouro = 'DAS FLORES'"
                                   " and End_Fone = '32151234' and Mun_Codigo is null")),
              1);

    // A later refusal leaves no address row in edit, and the next save updates it.
    ds.edit();
    set(ds, "Con_Logradouro", QStringLiteral("NOVA"));
    set(ds, "Con_Email", QStringLiteral("ruim"));
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Error, textoDe(32), 1);
        EXPECT_THROW(ds.post(), vorta::EAbort);
    }
    EXPECT_EQ(dm->Tb_Endereco->state(), DataSetState::Browse);
    set(ds, "Con_Email", QString());
    set(ds, "Mun_Endereco", 1001);
    ds.post();
    EXPECT_EQ(count(QStringLiteral("Endereco")), 1);
    EXPECT_EQ(count(QStringLiteral("Endereco where End_Logradouro = 'NOVA' and Mun_Codigo = 1001")), 1);

    // A new producer whose post is refused leaves no stub row.
    DataSet& outro = novo(rural, [](DataSet& d) {
        set(d, "Con_IECNPJCPF", ie(QStringLiteral("28700001")));
        set(d, "End_CPF", QStringLiteral("52998224725"));
        set(d, "Con_Email", QStringLiteral("ruim"));
    });
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Error, textoDe(32), 1);
        EXPECT_THROW(outro.post(), vorta::EAbort);
    }
    outro.cancel();
    EXPECT_EQ(count(QStringLiteral("Endereco")), 1);
}

TEST_F(Contribuintes, UndeliveredDeclarationIsMentionedAndTheSaveGoesOn)
{
    titulo("ZIR");
    const auto pessoa = [](DataSet& d) {
        set(d, "Con_Tipo", QStringLiteral("CPF"));
        set(d, "Con_IECNPJCPF", kCPF);
        set(d, "Con_Nome", QStringLiteral("MARIA"));
    };
    // The delivered row comes first: every row of the registration is looked at.
    sql(QStringLiteral("INSERT INTO Entrega (Sistema, Versao, Chave, Inscricao, Data_Entrega) VALUES"
                       " ('ZIR', '1', 'a', ?1, '2026-01-01T00:00:00'), ('ZIR', '1', 'b', ?1, NULL)"),
        {kCPF});
    DataSet& ds = novo(pessoa);
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Information, textoDe(1410), 1);
        ds.post();
    }
    EXPECT_EQ(count(QStringLiteral("Contribuinte")), 1);
    sql(QStringLiteral("UPDATE Entrega SET Data_Entrega = '2026-01-02T00:00:00'"));
    ds.edit();
    ScriptedDialogs dialogs;
    ds.post();
}

TEST_F(Contribuintes, DuxRetypesTheInvoicesOfAnEditedKind)
{
    titulo("DUX");
    sql(QStringLiteral("CREATE TABLE nota (NF_Numero INTEGER, Con_Remetente VARCHAR(18), Con_Destinatario "
                       "VARCHAR(18), Con_tipo VARCHAR(4), NF_Digitou VARCHAR(1))"));
    sql(QStringLiteral("INSERT INTO nota VALUES (1, ?1, NULL, 'CPF', 'D')"), {kRural});
    DataSet& ds = novo(produtor, [](DataSet& d) { set(d, "Con_Tipo", QStringLiteral("IE")); });
    ds.post();
    EXPECT_EQ(count(QStringLiteral("nota where Con_tipo = 'CPF'")), 1);
    ds.edit();
    set(ds, "Con_Tipo", QStringLiteral("CPF"));
    set(ds, "Con_Tipo", QStringLiteral("IE"));
    ds.post();
    EXPECT_EQ(count(QStringLiteral("nota where Con_tipo = 'IE'")), 1);
}

} // namespace
