#include "wDBCheckBox.h"

#include "ComponentsTestDb.h"
#include "testing/ScriptedDialogs.h"
#include "testing/UserInput.h"

#include "platform/core/Exceptions.h"

using namespace vorta::testing;
using vorta::db::DataSetState;

namespace {

class CheckBoxTest : public brano70::testsupport::PeopleForm {
protected:
    TwDBCheckBox* makeBox(const QString& field)
    {
        auto* box = new TwDBCheckBox(form, QStringLiteral("wDBCheckBox1"));
        box->setCaption(QStringLiteral("Ativo"));
        box->setGeometry(10, 10, 120, 24);
        box->setValueChecked(QStringLiteral("S;Sim"));
        box->setValueUnchecked(QStringLiteral("N;Não"));
        box->setDataSource(source);
        box->setDataField(field);
        auto* other = new vorta::ui::Edit(form, QStringLiteral("Edit1"));
        other->setGeometry(10, 40, 120, 24);
        pessoa->open();
        return box;
    }
    void focusBox(TwDBCheckBox* box)
    {
        user::activate(form);
        box->setFocus();
    }
};

TEST_F(CheckBoxTest, DefaultsAreTheClassLibrarysOwn)
{
    auto* box = new TwDBCheckBox(form);
    EXPECT_EQ(QStringLiteral("True"), box->valueChecked());
    EXPECT_EQ(QStringLiteral("False"), box->valueUnchecked());
    EXPECT_EQ(vorta::ui::taRightJustify, box->Alignment());
    EXPECT_FALSE(box->allowGrayed);
    EXPECT_FALSE(box->readOnly());
    EXPECT_EQ(Qt::Unchecked, box->checkState());
    EXPECT_EQ(nullptr, box->field());
    box->setAlignment(vorta::ui::taLeftJustify);
    EXPECT_EQ(Qt::RightToLeft, box->layoutDirection());
}

// Text fields by the value lists, without case; Boolean fields by their value; null
// and any other text grayed.
TEST_F(CheckBoxTest, StateFollowsTheFieldThroughTheValueLists)
{
    struct Case {
        int id;
        const char* field;
        Qt::CheckState state;
    };
    const Case cases[] = {
        {1, "Ativo", Qt::Checked},          // sim
        {2, "Ativo", Qt::Unchecked},        // N
        {3, "Ativo", Qt::PartiallyChecked}, // X
        {4, "Ativo", Qt::PartiallyChecked}, // null
        {5, "Ativo", Qt::Checked},          // S
        {1, "Casado", Qt::Checked},
        {2, "Casado", Qt::Unchecked},
        {3, "Casado", Qt::PartiallyChecked},
    };
    TwDBCheckBox* box = makeBox(QStringLiteral("Ativo"));
    for (const Case& c : cases) {
        box->setDataField(QString::fromUtf8(c.field));
        ASSERT_TRUE(pessoa->locate(QStringLiteral("Id"), c.id));
        EXPECT_EQ(c.state, box->checkState()) << c.field << " of " << c.id;
    }
    // A new value list is read against the field at once.
    box->setDataField(QStringLiteral("Ativo"));
    ASSERT_TRUE(pessoa->locate(QStringLiteral("Id"), 3));
    box->setValueChecked(QStringLiteral("S;x"));
    EXPECT_EQ(Qt::Checked, box->checkState());
}

// Space toggles in the class library's order and writes the first value of the list;
// leaving the box keeps it; the record stores it.
TEST_F(CheckBoxTest, SpaceTogglesAndWritesTheFirstValue)
{
    TwDBCheckBox* box = makeBox(QStringLiteral("Ativo"));
    ASSERT_TRUE(pessoa->locate(QStringLiteral("Id"), 2)); // N
    focusBox(box);
    user::key(Qt::Key_Space);
    EXPECT_EQ(Qt::Checked, box->checkState());
    EXPECT_EQ(DataSetState::Edit, pessoa->state());
    EXPECT_EQ(QStringLiteral("S"), current(QStringLiteral("Ativo")));
    user::key(Qt::Key_Space);
    EXPECT_EQ(QStringLiteral("N"), current(QStringLiteral("Ativo")));
    user::key(Qt::Key_Space);
    user::tab();
    pessoa->post();
    EXPECT_EQ(QStringLiteral("S"), stored(2, QStringLiteral("Ativo")));

    // With grayed allowed: unchecked, grayed (null), checked.
    box->allowGrayed = true;
    ASSERT_TRUE(pessoa->locate(QStringLiteral("Id"), 2));
    focusBox(box);
    user::key(Qt::Key_Space); // S -> N
    user::key(Qt::Key_Space); // N -> grayed
    EXPECT_EQ(Qt::PartiallyChecked, box->checkState());
    EXPECT_TRUE(pessoa->fieldByName(QStringLiteral("Ativo"))->isNull());
    user::key(Qt::Key_Space);
    EXPECT_EQ(Qt::Checked, box->checkState());
    EXPECT_EQ(QStringLiteral("S"), current(QStringLiteral("Ativo")));
}

// Backspace starts an edit without changing anything; a read-only box starts none.
TEST_F(CheckBoxTest, BackspaceStartsEditingUnlessReadOnly)
{
    TwDBCheckBox* box = makeBox(QStringLiteral("Ativo"));
    source->setAutoEdit(true);
    focusBox(box);
    user::key(Qt::Key_Backspace);
    EXPECT_EQ(DataSetState::Edit, pessoa->state());
    EXPECT_EQ(Qt::Checked, box->checkState());
    pessoa->cancel();
    box->setReadOnly(true);
    user::key(Qt::Key_Backspace);
    user::key(Qt::Key_Space);
    EXPECT_EQ(DataSetState::Browse, pessoa->state());
    EXPECT_EQ(QStringLiteral("sim"), current(QStringLiteral("Ativo")));
}

// A value the field refuses leaves the box showing the user's click; Escape shows the
// field's value again.
TEST_F(CheckBoxTest, EscapeShowsTheFieldsValueAgain)
{
    TwDBCheckBox* box = makeBox(QStringLiteral("Ativo"));
    pessoa->fieldByName(QStringLiteral("Ativo"))->OnValidate = [](vorta::db::Field& f) {
        if (f.asString() == QStringLiteral("N"))
            throw vorta::Exception(QStringLiteral("Pessoa ativa não pode ser desativada."));
    };
    ASSERT_TRUE(pessoa->locate(QStringLiteral("Id"), 1)); // sim
    focusBox(box);
    ScriptedDialogs dialogs;
    dialogs.expectMessage(vorta::ui::MessageKind::Custom, QStringLiteral("*desativada"), 1);
    user::key(Qt::Key_Space);
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_EQ(Qt::Unchecked, box->checkState());
    EXPECT_EQ(QStringLiteral("sim"), current(QStringLiteral("Ativo")));
    user::escape();
    EXPECT_EQ(Qt::Checked, box->checkState());
}

} // namespace
