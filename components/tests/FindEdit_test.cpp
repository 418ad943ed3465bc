#include "EditEx.h"
#include "FindEdit.h"

#include "ComponentsTestDb.h"
#include "testing/UserInput.h"

using namespace vorta::testing;

namespace {

class FindEditTest : public brano70::testsupport::PeopleForm {
protected:
    vorta::db::Table* newTable()
    {
        auto* t = new vorta::db::Table(form);
        t->setDatabaseName(QStringLiteral("DB_Brano"));
        t->setTableName(QStringLiteral("Pessoa"));
        t->setIndexName(QStringLiteral("Id_Nome"));
        t->open();
        return t;
    }
};

// The table that joins the form after the edit is the one it searches: each letter
// typed moves it to the nearest name, after OnChange has run.
TEST_F(FindEditTest, TypingMovesTheTableToTheNearestKey)
{
    auto* edit = new TFindEdit(form, QStringLiteral("FindEdit1"));
    edit->setGeometry(10, 10, 200, 24);
    // The fixture's table was there before the edit.
    EXPECT_EQ(nullptr, edit->Tabela());
    vorta::db::Table* nomes = newTable();
    EXPECT_EQ(nomes, edit->Tabela());
    newTable();
    EXPECT_EQ(nomes, edit->Tabela());

    QStringList seen;
    edit->OnChange = [&](QWidget*) {
        seen << edit->text() + QLatin1Char('=') + nomes->fieldByName(QStringLiteral("Nome"))->asString();
    };
    user::activate(form);
    edit->setFocus();
    struct Step {
        QString typed;
        QString current;
    };
    const Step steps[] = {{QStringLiteral("C"), QStringLiteral("Caio")},
                          {QStringLiteral("a"), QStringLiteral("Caio")},
                          {QStringLiteral("r"), QStringLiteral("Carla")},
                          {QStringLiteral("z"), QStringLiteral("Davi")}};
    for (const Step& s : steps) {
        user::type(s.typed);
        EXPECT_EQ(s.current, nomes->fieldByName(QStringLiteral("Nome"))->asString()) << qPrintable(edit->text());
    }
    // OnChange saw the table where the previous letter had left it.
    EXPECT_EQ(QStringList({QStringLiteral("C=Ana"), QStringLiteral("Ca=Caio"), QStringLiteral("Car=Caio"),
                           QStringLiteral("Carz=Carla")}),
              seen);
    user::key(Qt::Key_Backspace);
    user::key(Qt::Key_Backspace);
    user::key(Qt::Key_Backspace);
    EXPECT_EQ(QStringLiteral("C"), edit->text());
    EXPECT_EQ(QStringLiteral("Caio"), nomes->fieldByName(QStringLiteral("Nome"))->asString());
}

// A table set by hand stays; a table that goes away leaves a plain edit box, and the
// next table to join is taken.
TEST_F(FindEditTest, TheTableGoesWithItsComponent)
{
    auto* edit = new TFindEdit(form);
    edit->setTabela(pessoa);
    pessoa->setIndexName(QStringLiteral("Id_Nome"));
    pessoa->open();
    newTable();
    EXPECT_EQ(pessoa, edit->Tabela());
    vorta::Component::free(pessoa);
    EXPECT_EQ(nullptr, edit->Tabela());
    user::activate(form);
    edit->setFocus();
    user::type(QStringLiteral("Davi"));
    EXPECT_EQ(QStringLiteral("Davi"), edit->text());
    vorta::db::Table* later = newTable();
    EXPECT_EQ(later, edit->Tabela());
    user::type(QStringLiteral("d"));
    EXPECT_EQ(QStringLiteral("Davi"), later->fieldByName(QStringLiteral("Nome"))->asString());
}

// Without a table it is a plain edit; a table that cannot search (closed) refuses,
// and the refusal reaches whoever changed the text.
TEST_F(FindEditTest, WithoutATableItIsAPlainEditAndSearchErrorsPassOn)
{
    auto* edit = new TFindEdit(form);
    int changes = 0;
    edit->OnChange = [&](QWidget*) { ++changes; };
    user::activate(form);
    edit->setFocus();
    user::type(QStringLiteral("Ana"));
    EXPECT_EQ(QStringLiteral("Ana"), edit->text());
    EXPECT_EQ(3, changes);

    edit->setTabela(pessoa);
    EXPECT_THROW(edit->Change(), vorta::db::EDatabaseError);
}

TEST_F(FindEditTest, EditExAlignsItsText)
{
    struct Case {
        TAlignment alignment;
        Qt::Alignment shown;
    };
    auto* edit = new TEditEx(form, QStringLiteral("EditEx1"));
    EXPECT_EQ(taLeftJustify, edit->Alignment());
    EXPECT_EQ(Qt::AlignLeft, edit->alignment() & Qt::AlignHorizontal_Mask);
    for (const Case c : {Case{taRightJustify, Qt::AlignRight}, Case{taCenter, Qt::AlignHCenter},
                         Case{taLeftJustify, Qt::AlignLeft}}) {
        edit->setAlignment(c.alignment);
        EXPECT_EQ(c.alignment, edit->Alignment());
        EXPECT_EQ(c.shown, edit->alignment() & Qt::AlignHorizontal_Mask);
    }
    edit->setAlignment(taRightJustify);
    user::activate(form);
    edit->setFocus();
    user::type(QStringLiteral("1.234,50"));
    EXPECT_EQ(QStringLiteral("1.234,50"), edit->text());
}

} // namespace
