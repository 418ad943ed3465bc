#include "installation/InstallParametros.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "testing/TempInstallation.h"

#include <QSet>

#include <gtest/gtest.h>

using vorta::installation::installParametros;
using vorta::installation::parametrosText;
using vorta::installation::parseParametros;

namespace {

TEST(InstallParametros, ReadsTheHeaderAndOneBooleanPerColumn)
{
    const auto data = parseParametros(QStringLiteral("# comment\n\n"
                                                     "Campo   Tabelas  KOB VORTA_MOD\n"
                                                     "Con_Nome Contribuinte S N\n"
                                                     "  # indented comment\n"
                                                     "Mun_UF  Municipio   N   S  \n"));
    EXPECT_EQ(data.colunas, QStringList({"KOB", "VORTA_MOD"}));
    ASSERT_EQ(data.linhas.size(), 2);
    EXPECT_EQ(data.linhas[0].campo, "Con_Nome");
    EXPECT_EQ(data.linhas[0].tabelas, "Contribuinte");
    EXPECT_EQ(data.linhas[0].valores, QVector<bool>({true, false}));
    EXPECT_EQ(data.linhas[1].valores, QVector<bool>({false, true}));
}

class ParametrosFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        inst.installDatabase();
        db.setDirectory(inst.folder(QStringLiteral("dados")));
        db.open();
    }
    QString rows()
    {
        vorta::db::Query q;
        q.setDatabase(&db);
        q.setSql(QStringLiteral("select group_concat(Campo || '/' || Tabelas || '/' || coalesce(KOB, '-') || "
                                "coalesce(VORTA_MOD, '-') || coalesce(TUV, '-'), ' ') from "
                                "(select * from Parametros order by Campo, Tabelas)"));
        q.open();
        return q.fields(0)->asString();
    }
    vorta::testing::TempInstallation inst;
    vorta::db::Database db;
};

TEST_F(ParametrosFolder, InstallReplacesTheRowsOfTheTable)
{
    db.execute(QStringLiteral("INSERT INTO Parametros (Campo, Tabelas, KOB) VALUES ('Velho', 'Contribuinte', 1)"));
    installParametros(inst.folder(QStringLiteral("dados")),
                      parseParametros(QStringLiteral("Campo Tabelas KOB VORTA_MOD\n"
                                                     "Con_Nome Contribuinte S N\n"
                                                     "Mun_UF Municipio N S\n")));
    EXPECT_EQ(rows(), "Con_Nome/Contribuinte/10- Mun_UF/Municipio/01-");
}

TEST_F(ParametrosFolder, AColumnTheTableLacksLeavesTheRowsAsTheyWere)
{
    installParametros(inst.folder(QStringLiteral("dados")),
                      parseParametros(QStringLiteral("Campo Tabelas KOB\nCon_Nome Contribuinte S\n")));
    EXPECT_THROW(installParametros(inst.folder(QStringLiteral("dados")),
                                   parseParametros(QStringLiteral("Campo Tabelas KOB ZIR\nMun_UF Municipio S S\n"))),
                 vorta::Exception);
    EXPECT_EQ(rows(), "Con_Nome/Contribuinte/1--");
}

TEST(InstallParametros, RefusesMalformedFilesNamingTheLine)
{
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"", "parametros: no header line"},
        {"Tabelas Campo KOB\n", "parametros line 1: the header must be Campo Tabelas and the columns"},
        {"Campo Tabelas\n", "parametros line 1: the header must be Campo Tabelas and the columns"},
        {"Campo Tabelas KOB DUX\nCon_Nome Contribuinte S\n", "parametros line 2: 1 values for 2 columns"},
        {"Campo Tabelas KOB\nCon_Nome Contribuinte S N\n", "parametros line 2: 2 values for 1 columns"},
        {"Campo Tabelas KOB\n\nCon_Nome Contribuinte x\n", "parametros line 3: 'x' is neither S nor N"},
        {"Campo Tabelas KOB\nCon_Nome Contri'buinte S\n", "parametros line 2: 'Contri'buinte' is not a name"},
        {"Campo Tabelas K-OB\n", "parametros line 1: 'K-OB' is not a name"},
        {"Campo Tabelas KOB\nCon_Nome Contribuinte S\ncon_nome CONTRIBUINTE N\n",
         "parametros line 3: con_nome of CONTRIBUINTE given twice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            parseParametros(QString::fromUtf8(c.text));
            ADD_FAILURE() << "accepted";
        } catch (const vorta::Exception& e) {
            EXPECT_EQ(e.message().toStdString(), c.error);
        }
    }
}

// The built-in rows: installed with the database, every field a column of its table,
// every visibility column filled, and each register's fields present.
TEST(InstallParametros, InstalledRowsNameRealFieldsOfEachRegister)
{
    vorta::testing::TempInstallation inst;
    inst.installDatabase();
    installParametros(inst.folder(QStringLiteral("dados")));
    vorta::db::Database db;
    db.setDirectory(inst.folder(QStringLiteral("dados")));
    db.open();

    const auto data = parseParametros(parametrosText());
    vorta::db::Query q;
    q.setDatabase(&db);
    q.setSql(QStringLiteral("select count(*) from Parametros"));
    q.open();
    EXPECT_EQ(q.fields(0)->asInteger(), data.linhas.size());
    q.close();

    vorta::db::Table parametros;
    parametros.setDatabase(&db);
    parametros.setTableName(QStringLiteral("Parametros"));
    parametros.open();
    QSet<QString> columnsSeen;
    for (int i = 0; i < parametros.fieldCount(); ++i)
        columnsSeen << parametros.fields(i)->fieldName().toUpper();
    for (const QString& c : data.colunas)
        EXPECT_TRUE(columnsSeen.contains(c.toUpper())) << c.toStdString();
    EXPECT_EQ(data.colunas.size() + 2, parametros.fieldCount()) << "every column of the table is given";

    QHash<QString, QSet<QString>> fieldsOf;
    for (const auto& row : data.linhas) {
        vorta::db::Table t;
        t.setDatabase(&db);
        t.setTableName(row.tabelas);
        t.open();
        EXPECT_NE(t.findField(row.campo), nullptr) << row.tabelas.toStdString() << "." << row.campo.toStdString();
        fieldsOf[row.tabelas] << row.campo;
    }
    // The fields each register form shows.
    const QStringList taxpayer = {
        "Con_Tipo", "Con_IECNPJCPF", "Con_Nome", "Con_NomePropr", "End_CPF", "Con_TipoCPFCNPJ", "Con_NumeroCPR",
        "Con_NIRE", "Con_DDDFone", "Con_Fone", "Con_DDD2", "Con_Fone2", "Con_DDDFax", "Con_FAX",
        "CTs_RevendaEmissora", "TipLog_Codigo", "Con_Logradouro", "Con_Numero", "Con_Complemento",
        "TipBai_Codigo", "Con_Bairro", "Mun_Endereco", "Con_UF", "Con_CEP", "Con_Email", "Con_CxPostal",
        "Age_Codigo", "TipLog_CodigoEstab", "Con_LogradouroEstab", "Con_NumeroEstab", "Con_ComplementoEstab",
        "Tip_Bai_CodigoEstab", "Con_BairroEstab", "Mun_Propriedade", "Con_UFEstab", "Con_CEPEstab",
        "Con_EmailEstab", "Con_CxPostalEstab", "Con_FormaEntrega", "Con_RegICMS", "Con_EscritaFiscal",
        "Con_OutraEmpresa", "Con_InscOutra", "Con_IEMatriz", "ResEmp_CPF", "Resp_CPF"};
    const QStringList others[][2] = {
        {{"Municipio"}, {"Mun_Codigo", "Mun_Descricao", "Mun_CEPInicial", "Mun_CEPFinal", "Mun_UF"}},
        {{"RespEmpresa"}, {"ResEmp_CPF", "ResEmp_Nome", "ResEmp_Cargo"}},
        {{"Responsavel"},
         {"Resp_CPF", "Resp_CRC", "Resp_Nome", "TipLog_Codigo", "Resp_Logradouro", "Resp_Numero", "Resp_Complemento",
          "TipBai_Codigo", "Resp_Bairro", "Mun_Endereco", "Resp_UF", "Resp_CEP", "Resp_DDDFone", "Resp_Fone",
          "Resp_Email", "Resp_DDDFAX", "Resp_FAX", "Resp_CRC_Empresa", "Resp_TipoCRCEmpresa",
          "Resp_NomeEscritorio"}},
    };
    for (const QString& f : taxpayer)
        EXPECT_TRUE(fieldsOf[QStringLiteral("Contribuinte")].contains(f)) << f.toStdString();
    for (const auto& [table, fields] : others)
        for (const QString& f : fields)
            EXPECT_TRUE(fieldsOf[table.first()].contains(f)) << table.first().toStdString() << "." << f.toStdString();
    // The sender/recipient register shows exactly its short record.
    const int destRem = int(data.colunas.indexOf(QStringLiteral("DestRem")));
    ASSERT_GE(destRem, 0);
    QStringList shownToSenders;
    for (const auto& row : data.linhas)
        if (row.tabelas == QLatin1String("Contribuinte") && row.valores[destRem])
            shownToSenders << row.campo;
    shownToSenders.sort();
    EXPECT_EQ(shownToSenders, QStringList({"Con_IECNPJCPF", "Con_Nome", "Con_Tipo", "Con_UF", "Mun_Endereco"}));
}

} // namespace
