#include "ReportFixtures.h"

#include "platform/db/Database.h"
#include "platform/db/Query.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

using namespace vorta::report;
using namespace vorta::report::testing;

namespace {

class ReportOverDataSet : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const QString folder = dir.path() + "/dados";
        vorta::db::createDatabase(folder, R"SQL(
CREATE TABLE Contribuinte (Con_IECNPJCPF VARCHAR(18) NOT NULL PRIMARY KEY, Con_Nome VARCHAR(40),
  Con_TIPO VARCHAR(4), Con_Saldo FLOAT);
)SQL");
        db.setDatabaseName("DB_Relatorio");
        db.setDirectory(folder);
        db.open();
        const QList<QVariantList> rows{{"12345678000195", "Alfa Ltda", "CNPJ", 1500.5},
                                       {"12345678901", "Beto Silva", "CPF", QVariant()},
                                       {"98765432000110", "Gama S/A", "CNPJ", 2.25}};
        for (const QVariantList& r : rows)
            db.execute("INSERT INTO Contribuinte VALUES (?1, ?2, ?3, ?4)", r);
        query.setDatabaseName("DB_Relatorio");
        query.setSql("Select * from Contribuinte Order by Con_Nome");
    }

    QTemporaryDir dir;
    vorta::db::Database db;
    vorta::db::Query query;
};

} // namespace

TEST_F(ReportOverDataSet, PrintsEachRowWithTheFieldsMaskSetBeforeTheBand)
{
    query.open();
    Report report;
    report.setDataSet(&query);
    Band* detail = report.addBand(BandType::Detail, "QRBand1", 5);
    detail->addDBText("dbIE", "Con_IECNPJCPF", 0, 0);
    detail->addDBText("dbNome", "Con_Nome", 50, 0);
    // Each registration prints with the mask of its own kind.
    detail->BeforePrint = [&](Band&, bool&) {
        const bool cnpj = query.fieldByName("Con_TIPO")->asString() == "CNPJ";
        query.fieldByName("Con_IECNPJCPF")
            ->setEditMask(cnpj ? "99.999.999/9999-99;0;_" : "999.999.999-99;0;_");
    };
    ASSERT_EQ(1, report.prepare());
    EXPECT_EQ((QStringList{"12.345.678/0001-95", "Alfa Ltda", "123.456.789-01", "Beto Silva", "98.765.432/0001-10",
                           "Gama S/A"}),
              pageTexts(report.qrPrinter(), 0));
}

TEST_F(ReportOverDataSet, FieldDisplayFormatsNullsAndClosedDataSets)
{
    query.open();
    query.fieldByName("Con_Saldo")->setDisplayFormat("###,###,##0.00");
    Report report;
    report.setDataSet(&query);
    report.addBand(BandType::Detail, "Detalhe", 5)->addDBText("dbSaldo", "Con_Saldo", 0, 0);
    report.prepare();
    EXPECT_EQ((QStringList{"1.500,50", "", "2,25"}), pageTexts(report.qrPrinter(), 0));

    query.close();
    EXPECT_EQ(0, report.prepare());
    report.printIfEmpty = true;
    EXPECT_EQ(1, report.prepare());
    EXPECT_EQ(QStringList{}, pageTexts(report.qrPrinter(), 0));
}

TEST_F(ReportOverDataSet, AFreedDataSetReadsAsEmpty)
{
    auto* owned = new vorta::db::Query;
    owned->setDatabaseName("DB_Relatorio");
    owned->setSql("Select * from Contribuinte");
    owned->open();
    Report report;
    report.setDataSet(owned);
    report.addBand(BandType::Detail, "Detalhe", 5)->addDBText("dbNome", "Con_Nome", 0, 0);
    EXPECT_EQ(1, report.prepare());
    vorta::Component::free(owned);
    EXPECT_EQ(0, report.prepare());
}
