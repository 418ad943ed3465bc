#include "testing/InstalledDatabase.h"

namespace vorta::testing {

void InstalledDatabase::SetUp()
{
    installation = std::make_unique<TempInstallation>();
    installation->installDatabase();
    database = std::make_unique<db::Database>();
    database->setDatabaseName(m_name);
    database->setDirectory(dataFolder());
    database->open();
}

void InstalledDatabase::TearDown()
{
    database.reset();
    installation.reset();
}

void InstalledDatabase::numberedMessages(std::initializer_list<int> numbers)
{
    db::TransactionGuard transaction(*database);
    database->execute(QStringLiteral("DELETE FROM mensagem"));
    for (int n : numbers)
        database->execute(QStringLiteral("INSERT INTO mensagem (Men_Codigo, Men_Descricao) VALUES (?1, ?2)"),
                          {n, QStringLiteral("M%1").arg(n)});
    transaction.commit();
}

} // namespace vorta::testing
