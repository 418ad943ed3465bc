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

} // namespace
