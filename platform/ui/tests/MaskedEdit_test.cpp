#include "platform/ui/MaskedEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

using vorta::ui::MaskedEdit;

namespace {

class MaskedEditTest : public ::testing::Test {
protected:
    void SetUp() override { edit.setEditMask(QStringLiteral("99999\\-999;0;_")); }
    MaskedEdit edit;
};

TEST_F(MaskedEditTest, TypingFillsPositionsPassingOverLiteralsAndRefusedKeys)
{
    EXPECT_EQ(edit.text(), QStringLiteral("_____-___"));
    QTest::keyClicks(&edit, QStringLiteral("77a0x15012"));
    EXPECT_EQ(edit.text(), QStringLiteral("77015-012"));
    EXPECT_EQ(edit.value(), QStringLiteral("77015012"));
    EXPECT_TRUE(edit.isComplete());
    // The mask is full: further keys change nothing.
    QTest::keyClicks(&edit, QStringLiteral("9"));
    EXPECT_EQ(edit.text(), QStringLiteral("77015-012"));
}

TEST_F(MaskedEditTest, BackspaceAndDeleteEmptyPositions)
{
    edit.setValue(QStringLiteral("77015012"));
    edit.setCursorPosition(6); // just after the literal
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), QStringLiteral("7701_-012"));
    EXPECT_EQ(edit.cursorPosition(), 4);
    edit.setCursorPosition(0);
    QTest::keyClick(&edit, Qt::Key_Delete);
    EXPECT_EQ(edit.text(), QStringLiteral("_701_-012"));
    EXPECT_EQ(edit.cursorPosition(), 0);
    EXPECT_EQ(edit.value(), QStringLiteral(" 701 012"));
}

TEST_F(MaskedEditTest, TypingOverASelectionEmptiesItFirst)
{
    edit.setValue(QStringLiteral("77015012"));
    edit.setSelection(3, 4); // "15-0"
    QTest::keyClicks(&edit, QStringLiteral("9"));
    EXPECT_EQ(edit.text(), QStringLiteral("7709_-_12"));
}

TEST_F(MaskedEditTest, PasteTypesTheClipboard)
{
    QApplication::clipboard()->setText(QStringLiteral("77.015-012"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("77015-012"));
}

TEST_F(MaskedEditTest, NewMaskKeepsTheValue)
{
    edit.setValue(QStringLiteral("77015012"));
    edit.setEditMask(QStringLiteral("!99.999-999;0; "));
    EXPECT_EQ(edit.text(), QStringLiteral("77.015-012"));
    edit.setEditMask(QString());
    EXPECT_EQ(edit.text(), QStringLiteral("77015012"));
    QTest::keyClicks(&edit, QStringLiteral("ab"));
    EXPECT_EQ(edit.text(), QStringLiteral("77015012ab"));
}

TEST_F(MaskedEditTest, ReadOnlyTakesNoKeys)
{
    edit.setReadOnly(true);
    QTest::keyClicks(&edit, QStringLiteral("12"));
    EXPECT_EQ(edit.text(), QStringLiteral("_____-___"));
}

TEST(MaskedEdit, MaskedTextOfAnEmptyDateEdit)
{
    MaskedEdit edit;
    edit.setEditMask(QStringLiteral("!99/99/9999;1;_"));
    EXPECT_EQ(edit.maskedText(), QStringLiteral("  /  /    "));
    EXPECT_EQ(edit.value(), QString());
    QTest::keyClicks(&edit, QStringLiteral("29022004"));
    EXPECT_EQ(edit.value(), QStringLiteral("29/02/2004"));
}

TEST(MaskedEdit, TypingIntoTheMasksOfTheRegisters)
{
    struct Case {
        const char* mask;
        const char* keys;
        const char* shown;
        const char* stored;
    };
    const Case cases[] = {
        // Blank as the empty position: typing and the stored value work the same.
        {"999.999.999-99;0; ", "11144477735", "111.444.777-35", "11144477735"},
        {"999.999.999-99;0; ", "111444", "111.444.   -  ", "111444"},
        {"99.999.999/9999-99;0; ", "11.222.333/0001-81", "11.222.333/0001-81", "11222333000181"},
        {"99.999.999-9;0; ", "28x1000000", "28.100.000-0", "281000000"},
        {"99.9.9999999-9;0; ", "28300000018", "28.3.0000001-8", "28300000018"},
        {"!99.999-999;0; ", "77015012", "77.015-012", "77015012"},
        // Letters where the mask asks for them, digits refused there.
        {"ll-999999/l-9;0;_", "SP123456O5", "SP-123456/O-5", "SP123456O5"},
        {"ll-999999/l-9;0;_", "1S2P3", "SP-3_____/_-_", "SP3"},
        {"aaaaaaaaaaaaaaaaaa;0; ", "AB-12 c", "AB12c             ", "AB12c"},
        {"!99/99/9999;1;_", "29022004", "29/02/2004", "29/02/2004"},
    };
    for (const Case& c : cases) {
        MaskedEdit edit;
        edit.setEditMask(QString::fromUtf8(c.mask));
        QTest::keyClicks(&edit, QString::fromUtf8(c.keys));
        EXPECT_EQ(edit.text(), QString::fromUtf8(c.shown)) << c.mask << " " << c.keys;
        EXPECT_EQ(edit.value(), QString::fromUtf8(c.stored)) << c.mask << " " << c.keys;
    }
}

TEST_F(MaskedEditTest, TextArrivingOtherwiseThanByKeysIsTypedIntoTheMask)
{
    // What the context menu, a drop or a program does to the text, keys not involved.
    enum class Op { Insert, Cut, Delete, Paste, SetText };
    struct Case {
        const char* value;   // stored value before
        int start, length;   // selection; length 0: only the cursor at start
        Op op;
        const char* text;    // inserted, pasted or set
        const char* shown;   // display after
        const char* stored;  // value after
    };
    const Case cases[] = {
        {"", 0, 0, Op::Insert, "77015012", "77015-012", "77015012"},
        {"", 0, 0, Op::Insert, "7a7", "77___-___", "77"},
        {"", 0, 9, Op::Paste, "77.015-012", "77015-012", "77015012"},
        {"77015012", 3, 4, Op::Cut, "", "770__-_12", "770   12"},
        {"77015012", 3, 4, Op::Delete, "", "770__-_12", "770   12"},
        {"77015012", 3, 1, Op::Insert, "9", "77095-012", "77095012"},
        {"77015012", 0, 9, Op::Insert, "1", "1____-___", "1"},
        {"77015012", 0, 0, Op::SetText, "12345678", "12345-678", "12345678"},
        {"77015012", 0, 0, Op::SetText, "", "_____-___", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.value) + " " + c.text + " " + std::to_string(int(c.op)));
        edit.setValue(QString::fromUtf8(c.value));
        if (c.length > 0)
            edit.setSelection(c.start, c.length);
        else
            edit.setCursorPosition(c.start);
        const QString text = QString::fromUtf8(c.text);
        switch (c.op) {
        case Op::Insert: edit.insert(text); break;
        case Op::Cut: edit.cut(); break;
        case Op::Delete: edit.del(); break;
        case Op::Paste:
            QApplication::clipboard()->setText(text);
            edit.paste();
            break;
        case Op::SetText: edit.setText(text); break;
        }
        EXPECT_EQ(edit.text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(edit.value(), QString::fromUtf8(c.stored));
    }
}

} // namespace
