#include "installation/InstallMessages.h"

#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Format.h"
#include "platform/db/Database.h"
#include "platform/db/Field.h"
#include "platform/db/Query.h"
#include "testing/TempInstallation.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace vorta::installation;

namespace {

QMap<int, QString> builtIn()
{
    QMap<int, QString> rows;
    for (const CatalogueMessage& m : parseMessages(messagesTsv()))
        rows.insert(m.code, m.text);
    return rows;
}

// The repository's root, from where this file lies.
QString sourceRoot()
{
    return QDir::cleanPath(QStringLiteral(VORTA_SOURCE_DIR));
}

TEST(MessageCatalogueFile, ParsesNumbersAndTexts)
{
    const QString tsv = QStringLiteral("# comment line\r\n"
                                       "\n"
                                       "86\tDeseja sair?\r\n"
                                       "9\tCópia 100%% concluída.\n"
                                       "462\tO arquivo %s já existe.\tDeseja substituí-lo?\n");
    const QList<CatalogueMessage> rows = parseMessages(tsv);
    ASSERT_EQ(3, rows.size());
    EXPECT_EQ(86, rows.at(0).code);
    EXPECT_EQ(QStringLiteral("Deseja sair?"), rows.at(0).text);
    EXPECT_EQ(QStringLiteral("Cópia 100%% concluída."), rows.at(1).text);
    // Only the first tab separates.
    EXPECT_EQ(QStringLiteral("O arquivo %s já existe.\tDeseja substituí-lo?"), rows.at(2).text);
}

TEST(MessageCatalogueFile, RefusesMalformedLinesNamingThem)
{
    struct Case {
        const char* tsv;
        const char* fragment;
    };
    const Case cases[] = {
        {"86 Deseja sair?\n", "line 1: no tab"},
        {"# c\nx86\tTexto\n", "line 2: 'x86' is not a message number"},
        {"0\tTexto\n", "'0' is not a message number"},
        {"-5\tTexto\n", "'-5' is not a message number"},
        {"86\t   \n", "message 86 has no text"},
        {"86\tUm\n87\tDois\n86\tTrês\n", "line 3: message 86 appears twice"},
    };
    for (const Case& c : cases) {
        try {
            parseMessages(QString::fromUtf8(c.tsv));
            ADD_FAILURE() << "accepted: " << c.tsv;
        } catch (const vorta::Exception& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.fragment))) << e.message().toStdString();
        }
    }
}

TEST(MessageCatalogueFile, EveryTextFormatsAndFitsTheCodePage)
{
    const QMap<int, QString> rows = builtIn();
    ASSERT_GT(rows.size(), 200);
    const QRegularExpression placeholder(QStringLiteral("%(%|s|d)"));
    for (auto it = rows.cbegin(); it != rows.cend(); ++it) {
        SCOPED_TRACE(it.key());
        const QString text = it.value();
        // Arguments of the kinds the placeholders ask for, as callers pass them.
        QVariantList args;
        QString stripped = text;
        for (auto m = placeholder.globalMatch(text); m.hasNext();) {
            const QString kind = m.next().captured(1);
            if (kind == QLatin1String("s"))
                args << QStringLiteral("X");
            else if (kind == QLatin1String("d"))
                args << 1;
        }
        stripped.remove(placeholder);
        EXPECT_FALSE(stripped.contains(QLatin1Char('%'))) << "a lone percent sign: " << text.toStdString();
        EXPECT_NO_THROW(vorta::Format(QString::number(it.key()) + QStringLiteral(" - ") + text, args))
            << text.toStdString();
        EXPECT_EQ(text, vorta::fromCp1252(vorta::toCp1252(text))) << text.toStdString();
        EXPECT_EQ(text.trimmed(), text);
    }
}

TEST(MessageCatalogueFile, ArgumentsWhereCallersPassThem)
{
    // Callers pass these values in this order; the texts must take exactly them.
    struct Case {
        int code;
        QVariantList args;
    };
    const Case cases[] = {
        {462, {QStringLiteral("/backup/BakVorta20261210.zip")}},
        {505, {QStringLiteral("a entrega"), QStringLiteral("a entrega"), QStringLiteral("ZIR")}},
        {506, {QStringLiteral("impresso")}},
        {508, {QStringLiteral("entrega")}},
        {509, {12}},
        {515, {QStringLiteral("Connection refused")}},
        {517, {QStringLiteral("ZIRN0123456.C26")}},
        {869, {QStringLiteral("map_peso")}},
        {1312, {QStringLiteral("Contribuinte")}},
        {1407, {QStringLiteral("CIDADE"), QStringLiteral("CIDADE")}},
        {1428, {2}},
        {1724, {QStringLiteral("Porta do Servidor Proxy:")}},
    };
    const QMap<int, QString> rows = builtIn();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_TRUE(rows.contains(c.code));
        const QString shown = vorta::Format(rows.value(c.code), c.args);
        for (const QVariant& a : c.args)
            EXPECT_TRUE(shown.contains(a.toString())) << shown.toStdString();
        // One argument fewer is missing one.
        QVariantList fewer = c.args;
        fewer.removeLast();
        EXPECT_THROW(vorta::Format(rows.value(c.code), fewer), vorta::EConvertError);
    }
}

// The top-level arguments of the call whose "(" is at open; empty when unbalanced.
QStringList callArguments(const QString& text, qsizetype open)
{
    QStringList args;
    int depth = 0;
    qsizetype from = open + 1;
    for (qsizetype i = open; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            // Skip a string literal, so parentheses and commas inside it do not count.
            for (++i; i < text.size() && text.at(i) != QLatin1Char('"'); ++i)
                if (text.at(i) == QLatin1Char('\\'))
                    ++i;
            continue;
        }
        if (c == QLatin1Char('(') || c == QLatin1Char('{') || c == QLatin1Char('[')) {
            ++depth;
        } else if (c == QLatin1Char(')') || c == QLatin1Char('}') || c == QLatin1Char(']')) {
            if (--depth == 0) {
                args << text.mid(from, i - from).trimmed();
                return args;
            }
        } else if (c == QLatin1Char(',') && depth == 1) {
            args << text.mid(from, i - from).trimmed();
            from = i + 1;
        }
    }
    return {};
}

// The message numbers an argument names: a literal, or either branch of a choice
// between literals ("editing ? 440 : 86").
QList<int> messageNumbers(const QString& argument)
{
    static const QRegularExpression literal(QStringLiteral("^(\\d+)$"));
    static const QRegularExpression choice(QStringLiteral("^[^?]+\\?\\s*(\\d+)\\s*:\\s*(\\d+)$"));
    if (const auto m = literal.match(argument); m.hasMatch())
        return {m.captured(1).toInt()};
    if (const auto m = choice.match(argument); m.hasMatch())
        return {m.captured(1).toInt(), m.captured(2).toInt()};
    return {};
}

TEST(MessageCatalogueFile, FindsNumbersInCallsAndChoices)
{
    const QString text = QStringLiteral("MsgSimNaoBD(editando ? 440 : 86); sonda(linhas, \"a(b,c)\", v, 22);");
    EXPECT_EQ(QList<int>({440, 86}), messageNumbers(callArguments(text, text.indexOf(QLatin1Char('('))).value(0)));
    const QStringList sonda = callArguments(text, text.indexOf(QStringLiteral("sonda(")) + 5);
    ASSERT_EQ(4, sonda.size());
    EXPECT_EQ(QList<int>{22}, messageNumbers(sonda.at(3)));
    EXPECT_TRUE(messageNumbers(QStringLiteral("codigo")).isEmpty());
}

// Every message number the programs use has its row: numbers passed to the
// message functions, and to any function of ours whose parameter "mensagem"
// carries one on to them.
TEST(MessageCatalogueFile, CoversEveryNumberTheCodeUses)
{
    const QMap<int, QString> rows = builtIn();
    const QString root = sourceRoot();
    ASSERT_TRUE(QFileInfo::exists(root + QStringLiteral("/installation/mensagens.tsv"))) << root.toStdString();

    QMap<QString, QString> sources;
    for (const char* folder : {"components", "common", "base_module", "incentive_module", "tools", "platform"}) {
        QDirIterator files(root + QLatin1Char('/') + QString::fromLatin1(folder), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                           QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            // Tests fill catalogues of their own.
            if (path.mid(root.size()).contains(QLatin1String("/tests/")))
                continue;
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
            sources.insert(path, QString::fromUtf8(f.readAll()));
        }
    }

    // Which argument of each function is the message number.
    QMap<QString, int> numberArgument;
    for (const char* f : {"GetErrorMessage", "MsgErroBD", "MsgInfoBD", "MsgSimNaoBD", "MsgSimNaoCancelaBD",
                          "MsgOkCancelaBD", "ConfirmaSimNaoBD"})
        numberArgument.insert(QString::fromLatin1(f), 0);
    const QRegularExpression helper(QStringLiteral("\\b(\\w+)\\s*(?:=\\s*\\[[^\\]]*\\]\\s*)?\\(([^()]*\\bint\\s+mensagem\\b[^()]*)\\)"));
    for (const QString& text : sources)
        for (auto m = helper.globalMatch(text); m.hasNext();) {
            const auto match = m.next();
            const QStringList params = match.captured(2).split(QLatin1Char(','));
            for (int i = 0; i < params.size(); ++i)
                if (params.at(i).contains(QRegularExpression(QStringLiteral("\\bint\\s+mensagem\\b"))))
                    numberArgument.insert(match.captured(1), i);
        }
    EXPECT_GT(numberArgument.size(), 7) << "no helper taking a message number was found";

    QSet<int> seen;
    for (auto src = sources.cbegin(); src != sources.cend(); ++src) {
        const QString& text = src.value();
        for (auto fn = numberArgument.cbegin(); fn != numberArgument.cend(); ++fn) {
            const QRegularExpression call(QStringLiteral("\\b%1\\s*\\(").arg(fn.key()));
            for (auto m = call.globalMatch(text); m.hasNext();) {
                const auto match = m.next();
                const QStringList args = callArguments(text, match.capturedEnd() - 1);
                for (int code : messageNumbers(args.value(fn.value()))) {
                    seen.insert(code);
                    EXPECT_TRUE(rows.contains(code)) << "message " << code << " passed to " << fn.key().toStdString()
                                                     << " in " << src.key().toStdString()
                                                     << " has no row in mensagens.tsv";
                }
            }
        }
    }
    // Numbers reached through a helper are found as well as direct ones.
    EXPECT_TRUE(seen.contains(86));
}

class InstalledCatalogue : public ::testing::Test {
protected:
    void SetUp() override { m_inst.installDatabase(); }
    QString dados() const { return m_inst.folder(QStringLiteral("dados")); }

    std::map<int, QString> readBack() const
    {
        struct Free {
            void operator()(vorta::db::Query* q) const { vorta::Component::free(q); }
        };
        std::unique_ptr<vorta::db::Query, Free> q(new vorta::db::Query(nullptr));
        q->setDatabaseName(dados());
        q->setSql(QStringLiteral("select Men_Codigo, Men_Descricao from mensagem order by Men_Codigo"));
        q->open();
        std::map<int, QString> rows;
        for (q->first(); !q->eof(); q->next())
            rows[static_cast<int>(q->fieldByName(QStringLiteral("Men_Codigo"))->asInteger())] =
                q->fieldByName(QStringLiteral("Men_Descricao"))->asString();
        return rows;
    }

    vorta::testing::TempInstallation m_inst;
};

TEST_F(InstalledCatalogue, LoadsEveryRowAndReplacesOnASecondRun)
{
    vorta::db::executeScript(dados(), QStringLiteral("DELETE FROM mensagem; INSERT INTO mensagem VALUES (99999, 'antiga')"));
    installMessages(dados());
    installMessages(dados());
    const std::map<int, QString> rows = readBack();
    const QMap<int, QString> expected = builtIn();
    ASSERT_EQ(static_cast<size_t>(expected.size()), rows.size());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        ASSERT_EQ(1u, rows.count(it.key())) << it.key();
        EXPECT_EQ(it.value(), rows.at(it.key()));
    }
    EXPECT_EQ(0u, rows.count(99999));
}

TEST_F(InstalledCatalogue, AFailedLoadKeepsTheRowsThatWereThere)
{
    installMessages(dados(), {{1, QStringLiteral("um")}});
    // A repeated number breaks the key in the middle of the load.
    EXPECT_THROW(installMessages(dados(), {{2, QStringLiteral("dois")}, {2, QStringLiteral("de novo")}}), vorta::Exception);
    const std::map<int, QString> rows = readBack();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(QStringLiteral("um"), rows.at(1));
}

TEST(InstallMessages, MissingTableIsAnError)
{
    vorta::testing::TempInstallation inst;
    inst.installDatabase();
    const QString dados = inst.folder(QStringLiteral("dados"));
    vorta::db::executeScript(dados, QStringLiteral("DROP TABLE mensagem"));
    EXPECT_THROW(installMessages(dados), vorta::Exception);
}

} // namespace
