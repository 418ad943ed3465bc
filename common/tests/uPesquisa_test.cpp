#include "uPesquisa.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using vorta::ui::mrCancel;
using vorta::ui::mrOk;

struct AskCase {
    const char* way;
    const char* mask;
    const char* typed;
    Qt::Key closingKey; // 0: the Cancelar button
    int result;
    const char* texto;
};

// The caller sets the label and the mask, shows the box and reads TextoPesquisa on OK.
TEST(Pesquisa, AsksOneMaskedValueAndHandsItOverOnlyOnOk)
{
    const AskCase cases[] = {
        {"Enter with literals left out", "000.000.000;0;_", "123456789", Qt::Key_Return, mrOk, "123456789"},
        {"Enter with literals kept", "99/99/9999;1;_", "01022026", Qt::Key_Return, mrOk, "01/02/2026"},
        {"Enter without a mask", "", "ABC", Qt::Key_Return, mrOk, "ABC"},
        {"Escape", "000.000.000;0;_", "123", Qt::Key_Escape, mrCancel, ""},
        {"Cancelar", "", "ABC", Qt::Key(0), mrCancel, ""},
    };
    for (const AskCase& c : cases) {
        auto* f = vorta::createInto<TfPesquisa>(fPesquisa, vorta::Application::instance());
        EXPECT_EQ(QStringLiteral("Pesquisa"), f->caption());
        EXPECT_EQ(vorta::ui::BorderStyle::None, f->borderStyle());
        f->Label1->setCaption(QStringLiteral("Informe a inscrição"));
        f->MaskEdit1->setEditMask(QString::fromLatin1(c.mask));
        vorta::Guarded<TfPesquisa> guard(f);
        bool focused = false;
        vorta::ui::setModalHook([&](vorta::ui::Form& shown) {
            QApplication::setActiveWindow(&shown);
            focused = f->activeControl() == f->MaskEdit1;
            QTest::keyClicks(f->MaskEdit1, QString::fromLatin1(c.typed));
            if (c.closingKey)
                QTest::keyClick(f->MaskEdit1, c.closingKey);
            else
                QTest::mouseClick(f->BitBtn2, Qt::LeftButton);
            return int(vorta::ui::mrNone);
        });
        EXPECT_EQ(c.result, f->showModal()) << c.way;
        vorta::ui::setModalHook(nullptr);
        EXPECT_TRUE(focused) << c.way;
        EXPECT_EQ(QString::fromLatin1(c.texto), f->TextoPesquisa) << c.way;
        vorta::Component::free(f);
        EXPECT_TRUE(guard.isNull());
    }
}

} // namespace
