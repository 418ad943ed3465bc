#pragma once

#include "platform/db/Database.h"
#include "testing/TempInstallation.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

namespace vorta::testing {

// A temporary installation with its installed database (tables and reference rows),
// open through a database component named databaseName.
class InstalledDatabase : public ::testing::Test {
protected:
    explicit InstalledDatabase(const QString& databaseName = QStringLiteral("DB_Teste")) : m_name(databaseName) {}
    void SetUp() override;
    void TearDown() override;

    QString dataFolder() const { return installation->folder(QStringLiteral("dados")); }
    // Replaces the message catalogue with the given rows, each text "M" + its number,
    // so a test sees which message was shown.
    void numberedMessages(std::initializer_list<int> numbers);

    std::unique_ptr<TempInstallation> installation;
    std::unique_ptr<db::Database> database;

private:
    QString m_name;
};

} // namespace vorta::testing
