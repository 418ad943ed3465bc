#include "platform/core/Exceptions.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbControls.h"
#include "platform/ui/Form.h"
#include "platform/ui/Memo.h"
#include "platform/ui/Menu.h"
#include "testing/QtMessages.h"
#include "testing/UserInput.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace vorta;
using namespace vorta::ui;

namespace {

// A form with three edits in tab order and a speed button.
class FormKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = new Form(nullptr);
        form->resize(300, 200);
        for (int i = 0; i < 3; ++i) {
            edits[i] = new Edit(form, QStringLiteral("Edit%1").arg(i + 1));
            edits[i]->setGeometry(10, 10 + 30 * i, 120, 22);
        }
        button = new SpeedButton(form, QStringLiteral("btIncluir"));
        button->setCaption(QStringLiteral("&Incluir"));
        button->setBounds(150, 10, 80, 25);
        button->OnClick = [this](QWidget*) { ++clicks; };
        form->show();
        QApplication::setActiveWindow(form);
        edits[0]->setFocus();
    }
    void TearDown() override
    {
        setModalHook(nullptr);
        Component::free(form);
    }
    Form* form = nullptr;
    Edit* edits[3] = {};
    SpeedButton* button = nullptr;
    int clicks = 0;
};

TEST_F(FormKeys, EnterTurnedIntoTabByThePreviewMovesToTheNextControl)
{
    form->keyPreview = true;
    form->OnKeyDown = [](Form*, int& key, Qt::KeyboardModifiers) {
        if (key == VK_RETURN)
            key = VK_TAB;
    };
    QTest::keyClick(edits[0], Qt::Key_Return);
    EXPECT_EQ(edits[1], form->activeControl());
    QTest::keyClick(edits[1], Qt::Key_Return);
    EXPECT_EQ(edits[2], form->activeControl());
    // A disabled control is passed over; the chain wraps around.
    edits[0]->setEnabled(false);
    QTest::keyClick(edits[2], Qt::Key_Return);
    EXPECT_EQ(edits[1], form->activeControl());
    QTest::keyClick(edits[1], Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(edits[2], form->activeControl());
}

TEST_F(FormKeys, WithoutPreviewTheFormDoesNotSeeTheControlsKeys)
{
    int seen = 0;
    form->OnKeyDown = [&](Form*, int&, Qt::KeyboardModifiers) { ++seen; };
    QTest::keyClicks(edits[0], QStringLiteral("ab"));
    EXPECT_EQ(0, seen);
    EXPECT_EQ(QStringLiteral("ab"), edits[0]->text());
    form->keyPreview = true;
    QTest::keyClicks(edits[0], QStringLiteral("c"));
    EXPECT_EQ(1, seen);
    EXPECT_EQ(QStringLiteral("abc"), edits[0]->text());
}

TEST_F(FormKeys, HandlersConsumeOrChangeKeysInTheClassLibrarysOrder)
{
    form->keyPreview = true;
    QStringList order;
    form->OnKeyDown = [&](Form*, int&, Qt::KeyboardModifiers) { order << "form down"; };
    form->OnKeyPress = [&](Form*, QChar& key) {
        order << "form press";
        if (key == QLatin1Char('x'))
            key = QChar();
        if (key == QLatin1Char('a'))
            key = QLatin1Char('b');
    };
    edits[0]->OnKeyDown = [&](QWidget*, int&, Qt::KeyboardModifiers) { order << "edit down"; };
    edits[0]->OnKeyPress = [&](QWidget*, QChar&) { order << "edit press"; };
    edits[0]->OnKeyUp = [&](QWidget*, int&, Qt::KeyboardModifiers) { order << "edit up"; };
    QTest::keyClick(edits[0], Qt::Key_X);
    EXPECT_EQ((QStringList{"form down", "edit down", "form press", "edit up"}), order);
    EXPECT_EQ(QString(), edits[0]->text());
    QTest::keyClick(edits[0], Qt::Key_A);
    EXPECT_EQ(QStringLiteral("b"), edits[0]->text());
}

TEST_F(FormKeys, AKeyPressHandlerThatMovesTheFocusIsNotFollowedByASecondMove)
{
    form->keyPreview = true;
    form->OnKeyDown = [](Form*, int& key, Qt::KeyboardModifiers) {
        if (key == VK_RETURN)
            key = VK_TAB;
    };
    form->OnKeyPress = [this](Form* f, QChar& key) {
        if (key == QChar(13)) {
            key = QChar();
            f->selectNext(f->activeControl());
        }
    };
    QTest::keyClick(edits[0], Qt::Key_Return);
    EXPECT_EQ(edits[1], form->activeControl());
}

TEST_F(FormKeys, SpeedButtonsLeaveTheFocusAndAnswerTheirAltLetter)
{
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(1, clicks);
    EXPECT_EQ(edits[0], form->activeControl());
    QTest::keyClick(form, Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(2, clicks);
    button->setEnabled(false);
    QTest::keyClick(form, Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(2, clicks);
    // Click from code runs the handler as the class library does.
    button->click();
    EXPECT_EQ(3, clicks);
}

TEST_F(FormKeys, EnterAndExitRunWhenTheFocusMovesBetweenControls)
{
    QStringList events;
    edits[0]->OnExit = [&](QWidget*) { events << "exit 1"; };
    edits[1]->OnEnter = [&](QWidget*) { events << "enter 2"; };
    form->selectNext();
    EXPECT_EQ((QStringList{"exit 1", "enter 2"}), events);
}

// Modal showing with the close step of the class library.
TEST(FormModal, CloseRefusedBySilentAbortKeepsTheModalFormOpen)
{
    auto* form = new Form(nullptr);
    Guarded<Form> guard(form);
    bool allow = false;
    int closes = 0;
    form->OnClose = [&](Form*, CloseAction& action) {
        ++closes;
        if (!allow)
            Abort();
        action = CloseAction::Free;
    };
    int stillOpen = -1;
    setModalHook([&](Form& f) {
        f.close();
        stillOpen = f.modalResult();
        allow = true;
        f.setModalResult(mrOk);
        return int(mrNone);
    });
    EXPECT_EQ(mrOk, form->showModal());
    setModalHook(nullptr);
    EXPECT_EQ(mrNone, stillOpen);
    EXPECT_EQ(2, closes);
    EXPECT_FALSE(form->isVisible());
    // Freed once the events run, like the class library's Release.
    QCoreApplication::processEvents();
    EXPECT_TRUE(guard.isNull());
}

TEST(FormModal, AHookAnswerWithoutClosingIsTheResult)
{
    Form form(nullptr);
    int closes = 0;
    form.OnClose = [&](Form*, CloseAction&) { ++closes; };
    setModalHook([](Form&) { return int(mrYes); });
    EXPECT_EQ(mrYes, form.showModal());
    setModalHook(nullptr);
    EXPECT_EQ(1, closes);
    EXPECT_FALSE(form.isModal());
}

TEST(FormModal, TheResultThatClosedTheFormStandsAgainstALaterClose)
{
    Form form(nullptr);
    setModalHook([](Form& f) {
        // A key handler sets OK and a later handler of the same key closes.
        f.setModalResult(mrOk);
        f.close();
        return int(mrNone);
    });
    EXPECT_EQ(mrOk, form.showModal());
    setModalHook(nullptr);
}

// A box with an edit, a default OK button and a cancel button, shown modally; each
// case is one way of leaving it.
struct DialogButtonCase {
    const char* way;
    std::function<void(Edit*, Button* ok, Button* cancel)> act;
    int result;
    int okClicks;
};

TEST(FormButtons, DefaultAndCancelButtonsAnswerEnterEscapeAndClicks)
{
    const DialogButtonCase cases[] = {
        {"Enter in the edit", [](Edit* e, Button*, Button*) { QTest::keyClick(e, Qt::Key_Return); }, mrOk, 1},
        {"Escape in the edit", [](Edit* e, Button*, Button*) { QTest::keyClick(e, Qt::Key_Escape); }, mrCancel, 0},
        {"Alt+O, the accelerator of OK", [](Edit* e, Button*, Button*) { QTest::keyClick(e, Qt::Key_O, Qt::AltModifier); },
         mrOk, 1},
        {"click on OK", [](Edit*, Button* ok, Button*) { QTest::mouseClick(ok, Qt::LeftButton); }, mrOk, 1},
        {"click on Cancel", [](Edit*, Button*, Button* c) { QTest::mouseClick(c, Qt::LeftButton); }, mrCancel, 0},
        {"Enter on the focused Cancel",
         [](Edit*, Button*, Button* c) {
             c->setFocus();
             QTest::keyClick(c, Qt::Key_Return);
         },
         mrCancel, 0},
        {"Enter while OK is disabled, then Escape",
         [](Edit* e, Button* ok, Button*) {
             ok->setEnabled(false);
             QTest::keyClick(e, Qt::Key_Return);
             QTest::keyClick(e, Qt::Key_Escape);
         },
         mrCancel, 0},
        {"Enter in a memo stays there",
         [](Edit* e, Button*, Button*) {
             auto* memo = new DBMemo(e->parentWidget(), QStringLiteral("Memo1"));
             memo->show();
             memo->setFocus();
             QTest::keyClick(memo, Qt::Key_Return);
             QTest::keyClick(memo, Qt::Key_Escape);
         },
         mrCancel, 0},
        {"Alt+Enter is not the default button",
         [](Edit* e, Button*, Button*) {
             QTest::keyClick(e, Qt::Key_Return, Qt::AltModifier);
             QTest::keyClick(e, Qt::Key_Escape);
         },
         mrCancel, 0},
    };
    for (const DialogButtonCase& c : cases) {
        Form form(nullptr);
        form.resize(240, 100);
        auto* edit = new Edit(&form, QStringLiteral("Edit1"));
        edit->setGeometry(10, 10, 120, 22);
        auto* ok = new Button(&form, QStringLiteral("OK"));
        ok->setCaption(QStringLiteral("&OK"));
        ok->setDefault(true);
        ok->modalResult = mrOk;
        ok->setBounds(10, 50, 80, 26);
        auto* cancel = new Button(&form, QStringLiteral("Cancel"));
        cancel->setCaption(QStringLiteral("Cancelar"));
        cancel->cancel = true;
        cancel->modalResult = mrCancel;
        cancel->setBounds(100, 50, 80, 26);
        int okClicks = 0;
        QString textAtClick;
        ok->OnClick = [&](QWidget*) {
            ++okClicks;
            textAtClick = edit->text();
        };
        setModalHook([&](Form& f) {
            QApplication::setActiveWindow(&f);
            edit->setFocus();
            QTest::keyClicks(edit, QStringLiteral("abc"));
            c.act(edit, ok, cancel);
            return int(mrNone);
        });
        EXPECT_EQ(c.result, form.showModal()) << c.way;
        setModalHook(nullptr);
        EXPECT_EQ(c.okClicks, okClicks) << c.way;
        if (okClicks) {
            EXPECT_EQ(QStringLiteral("abc"), textAtClick) << c.way;
        }
    }
}

TEST(FormButtons, AnOnClickThatAbortsKeepsTheFormOpen)
{
    Form form(nullptr);
    auto* ok = new Button(&form, QStringLiteral("OK"));
    ok->modalResult = mrOk;
    bool refuse = true;
    ok->OnClick = [&](QWidget*) {
        if (refuse)
            Abort();
    };
    int afterRefusal = -1;
    setModalHook([&](Form& f) {
        QApplication::setActiveWindow(&f);
        QTest::mouseClick(ok, Qt::LeftButton);
        afterRefusal = f.modalResult();
        refuse = false;
        QTest::mouseClick(ok, Qt::LeftButton);
        return int(mrNone);
    });
    EXPECT_EQ(mrOk, form.showModal());
    setModalHook(nullptr);
    EXPECT_EQ(mrNone, afterRefusal);
}

TEST(PageControlTabs, HiddenTabsLeaveTheirPagesUsable)
{
    Form form(nullptr);
    auto* pages = new PageControl(&form);
    auto* a = new TabSheet(pages, QStringLiteral("Endereço"));
    auto* b = new TabSheet(pages, QStringLiteral("Especificações"));
    auto* c = new TabSheet(pages, QStringLiteral("Responsáveis"));
    EXPECT_EQ(a, pages->activePage());
    EXPECT_EQ((QStringList{"Endereço", "Especificações", "Responsáveis"}), pages->visibleTabs());
    a->setTabVisible(false);
    c->setTabVisible(false);
    pages->setActivePage(a);
    EXPECT_EQ(a, pages->activePage());
    EXPECT_EQ(QStringList{"Especificações"}, pages->visibleTabs());
    EXPECT_EQ(1, pages->tabBar()->count());
    pages->setActivePage(b);
    EXPECT_EQ(0, pages->tabBar()->currentIndex());
    b->setTabVisible(false);
    EXPECT_TRUE(pages->tabBar()->isHidden());
    EXPECT_EQ(b, pages->activePage());
}

TEST(PageControlTabs, TheTabRowFollowsCaptionsHiddenTabsAndThePageShown)
{
    Form form(nullptr);
    auto* pages = new PageControl(&form);
    TabSheet* sheet[3] = {new TabSheet(pages, QStringLiteral("Animais")), new TabSheet(pages, QStringLiteral("Resumo")),
                          new TabSheet(pages, QStringLiteral("Notas"))};
    form.show();
    auto tabRow = [&] {
        QStringList out;
        for (int t = 0; t < pages->tabBar()->count(); ++t)
            out << pages->tabBar()->tabText(t);
        return out;
    };
    struct Step {
        std::function<void()> act;
        QStringList tabs;
        int currentTab;
        int shownPage;
    };
    const Step steps[] = {
        {[] {}, {"Animais", "Resumo", "Notas"}, 0, 0},
        {[&] { pages->setActivePage(sheet[2]); }, {"Animais", "Resumo", "Notas"}, 2, 2},
        {[&] { pages->setActivePage(sheet[2]); }, {"Animais", "Resumo", "Notas"}, 2, 2},
        {[&] { sheet[1]->setCaption(QStringLiteral("Resumo do mapa")); }, {"Animais", "Resumo do mapa", "Notas"}, 2, 2},
        {[&] { sheet[0]->setTabVisible(false); }, {"Resumo do mapa", "Notas"}, 1, 2},
        {[&] { pages->setActivePage(sheet[1]); }, {"Resumo do mapa", "Notas"}, 0, 1},
        // The active page without a tab still shows; the first tab stands current.
        {[&] { pages->setActivePage(sheet[0]); }, {"Resumo do mapa", "Notas"}, 0, 0},
        {[&] { pages->setActivePage(sheet[2]); }, {"Resumo do mapa", "Notas"}, 1, 2},
        {[&] { pages->setActivePage(sheet[0]); }, {"Resumo do mapa", "Notas"}, 0, 0},
        {[&] { sheet[0]->setTabVisible(true); }, {"Animais", "Resumo do mapa", "Notas"}, 0, 0},
        {[&] { sheet[2]->setCaption(QStringLiteral("Notas")); }, {"Animais", "Resumo do mapa", "Notas"}, 0, 0},
        {[&] { pages->setActivePage(sheet[1]); }, {"Animais", "Resumo do mapa", "Notas"}, 1, 1},
        {[&] { sheet[1]->setTabVisible(false); }, {"Animais", "Notas"}, 0, 1},
        {[&] { sheet[2]->setTabVisible(false); }, {"Animais"}, 0, 1},
        {[&] { sheet[0]->setTabVisible(false); }, {}, -1, 1},
        {[&] { sheet[2]->setTabVisible(true); }, {"Notas"}, 0, 1},
    };
    int n = 0;
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(s.tabs, tabRow()) << "step " << n;
        EXPECT_EQ(s.currentTab, pages->tabBar()->currentIndex()) << "step " << n;
        EXPECT_EQ(s.tabs.isEmpty(), pages->tabBar()->isHidden()) << "step " << n;
        EXPECT_TRUE(sheet[s.shownPage]->isVisible()) << "step " << n;
        ++n;
    }
}

TEST(Alignment, TopBottomAndClientShareTheContainer)
{
    Panel panel(nullptr);
    panel.setBevel(Panel::Bevel::None);
    panel.resize(200, 100);
    auto* top = new Panel(&panel);
    top->resize(10, 20);
    top->setAlign(Align::Top);
    auto* bottom = new Panel(&panel);
    bottom->resize(10, 15);
    bottom->setAlign(Align::Bottom);
    auto* client = new Panel(&panel);
    client->setAlign(Align::Client);
    EXPECT_EQ(QRect(0, 0, 200, 20), top->geometry());
    EXPECT_EQ(QRect(0, 85, 200, 15), bottom->geometry());
    EXPECT_EQ(QRect(0, 20, 200, 65), client->geometry());
    top->hide();
    EXPECT_EQ(QRect(0, 0, 200, 85), client->geometry());
}

TEST(Alignment, ChangedAndClearedAlignmentsLayOutAgain)
{
    Panel panel(nullptr);
    panel.setBevel(Panel::Bevel::None);
    panel.resize(200, 100);
    Panel* w[3];
    const int heights[3] = {20, 15, 30};
    for (int i = 0; i < 3; ++i) {
        w[i] = new Panel(&panel);
        w[i]->resize(50, heights[i]);
    }
    struct Step {
        int widget;
        Align align;
        QRect expected[3];
    };
    // A cleared control stays where it was last placed and leaves the layout.
    const Step steps[] = {
        {0, Align::Top, {{0, 0, 200, 20}, {0, 0, 50, 15}, {0, 0, 50, 30}}},
        {1, Align::Bottom, {{0, 0, 200, 20}, {0, 85, 200, 15}, {0, 0, 50, 30}}},
        {2, Align::Client, {{0, 0, 200, 20}, {0, 85, 200, 15}, {0, 20, 200, 65}}},
        {0, Align::Bottom, {{0, 80, 200, 20}, {0, 65, 200, 15}, {0, 0, 200, 65}}},
        {1, Align::None, {{0, 80, 200, 20}, {0, 65, 200, 15}, {0, 0, 200, 80}}},
        {0, Align::Right, {{0, 0, 200, 100}, {0, 65, 200, 15}, {0, 0, 0, 100}}},
        {0, Align::None, {{0, 0, 200, 100}, {0, 65, 200, 15}, {0, 0, 200, 100}}},
        {2, Align::Left, {{0, 0, 200, 100}, {0, 65, 200, 15}, {0, 0, 200, 100}}},
        {0, Align::Top, {{0, 0, 200, 100}, {0, 65, 200, 15}, {0, 100, 200, 0}}},
        {2, Align::Client, {{0, 0, 200, 100}, {0, 65, 200, 15}, {0, 100, 200, 0}}},
        {0, Align::None, {{0, 0, 200, 100}, {0, 65, 200, 15}, {0, 0, 200, 100}}},
        {2, Align::None, {{0, 0, 200, 100}, {0, 65, 200, 15}, {0, 0, 200, 100}}},
        {1, Align::Top, {{0, 0, 200, 100}, {0, 0, 200, 15}, {0, 0, 200, 100}}},
    };
    for (const Step& s : steps) {
        w[s.widget]->setAlign(s.align);
        EXPECT_EQ(s.align, w[s.widget]->align());
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(s.expected[i], w[i]->geometry()) << "control " << i << " after setting " << s.widget;
    }
    // Showing and hiding a cleared control no longer moves the others.
    w[2]->setAlign(Align::Client);
    w[0]->hide();
    w[0]->show();
    EXPECT_EQ(QRect(0, 15, 200, 85), w[2]->geometry());
}

TEST(Alignment, AControlMadeWhereAnAlignedOneWasStartsUnaligned)
{
    Panel panel(nullptr);
    panel.resize(200, 100);
    for (int round = 0; round < 50; ++round) {
        auto* gone = new Panel(&panel);
        gone->setAlign(Align::Client);
        delete gone;
        auto* fresh = new Panel(&panel);
        fresh->setGeometry(5, 5, 10, 10);
        EXPECT_EQ(Align::None, fresh->align());
        panel.resize(200 + round, 100);
        EXPECT_EQ(QRect(5, 5, 10, 10), fresh->geometry());
        delete fresh;
    }
}

TEST(Alignment, AScrollBoxNeedsTheRoomOfItsControlsNotTheRoomItGaveThem)
{
    ScrollBox box(nullptr);
    box.resize(400, 300);
    QWidget* inside = box.contents();
    auto* top = new Panel(inside);
    top->resize(10, 40);
    top->setAlign(Align::Top);
    // A list that scrolls itself, and a detail panel of pages with a field on one.
    auto* list = new Memo(inside);
    list->setAlign(Align::Client);
    auto* detail = new Panel(inside);
    detail->setAlign(Align::Client);
    auto* pages = new PageControl(detail);
    pages->setAlign(Align::Client);
    auto* sheet = new TabSheet(pages, QStringLiteral("A"));
    auto* field = new Edit(sheet);
    field->setGeometry(10, 100, 80, 21);
    box.show();
    box.updateExtent();
    const QSize needed = inside->minimumSize();
    EXPECT_LT(needed.height(), 300);
    // Hiding and showing the top panel lends its room to the client controls and takes it back.
    for (int i = 0; i < 3; ++i) {
        top->hide();
        top->show();
    }
    EXPECT_EQ(needed, inside->minimumSize());
    // A field below the box makes the scroll bars reach it.
    field->move(10, 400);
    box.updateExtent();
    EXPECT_GT(inside->minimumSize().height(), 40 + 421);
}

} // namespace

namespace {

TEST(FormPlacement, ACentredFormSitsInTheMiddleOfItsOwnerForm)
{
    Form owner(nullptr);
    owner.setGeometry(100, 100, 600, 400);
    owner.show();
    auto* child = new Form(&owner);
    child->position = FormPosition::OwnerFormCenter;
    child->setBorderStyle(BorderStyle::Single);
    child->setClientSize(200, 100);
    child->show();
    EXPECT_EQ(QSize(200, 100), child->size());
    // Within a pixel of the owner's centre each way.
    EXPECT_LE((owner.frameGeometry().center() - child->geometry().center()).manhattanLength(), 2);
    child->hide();
}

} // namespace

TEST(QtGuard, HandlersThatFailKeepTheirExceptionsOutOfQt)
{
    struct Gesture {
        const char* name;
        // Builds the control on the form, binding fail to its handler, and returns the
        // user's gesture on it, which answers whether Qt saw its mouse events accepted.
        std::function<std::function<bool()>(Form&, std::function<void()> fail)> build;
    };
    const Gesture gestures[] = {
        {"speed button click",
         [](Form& f, std::function<void()> fail) {
             auto* b = new SpeedButton(&f, QStringLiteral("sb"));
             b->setGeometry(10, 10, 60, 24);
             b->OnClick = [fail](QWidget*) { fail(); };
             return std::function<bool()>([b] { return vorta::testing::user::clickAccepted(b, b->rect().center()); });
         }},
        {"button click",
         [](Form& f, std::function<void()> fail) {
             auto* b = new Button(&f, QStringLiteral("bt"));
             b->setGeometry(10, 10, 60, 24);
             b->OnClick = [fail](QWidget*) { fail(); };
             return std::function<bool()>([b] { return vorta::testing::user::clickAccepted(b, b->rect().center()); });
         }},
        {"label click",
         [](Form& f, std::function<void()> fail) {
             auto* l = new Label(&f, QStringLiteral("Incluir -"), QStringLiteral("lb"));
             l->setGeometry(10, 10, 60, 24);
             l->OnClick = [fail](QWidget*) { fail(); };
             return std::function<bool()>([l] {
                 // A label leaves its mouse events to its parent.
                 vorta::testing::user::clickAccepted(l, l->rect().center());
                 return true;
             });
         }},
        {"radio group choice",
         [](Form& f, std::function<void()> fail) {
             auto* g = new RadioGroup(&f, QStringLiteral("rg"));
             g->setGeometry(10, 10, 200, 60);
             g->setItems({QStringLiteral("Por CPF"), QStringLiteral("Por nome")});
             g->setItemIndex(0);
             g->OnClick = [fail](QWidget*) { fail(); };
             return std::function<bool()>([g] {
                 QRadioButton* b = g->button(1);
                 return vorta::testing::user::clickAccepted(b, QPoint(6, b->height() / 2));
             });
         }},
        {"key handler",
         [](Form& f, std::function<void()> fail) {
             auto* e = new Edit(&f, QStringLiteral("ed"));
             e->setGeometry(10, 10, 100, 22);
             e->OnKeyDown = [fail](QWidget*, int&, Qt::KeyboardModifiers) { fail(); };
             return std::function<bool()>([e] {
                 e->setFocus();
                 vorta::testing::user::type(QStringLiteral("a"));
                 return true;
             });
         }},
        {"entering a control",
         [](Form& f, std::function<void()> fail) {
             auto* first = new Edit(&f, QStringLiteral("first"));
             auto* e = new Edit(&f, QStringLiteral("second"));
             e->setGeometry(10, 40, 100, 22);
             e->OnEnter = [fail](QWidget*) { fail(); };
             return std::function<bool()>([first] {
                 first->setFocus();
                 vorta::testing::user::tab();
                 return true;
             });
         }},
    };
    struct Failure {
        const char* name;
        std::function<void()> raise;
        QStringList reported;
    };
    const Failure failures[] = {
        {"silent abort", [] { Abort(); }, {}},
        {"error", [] { throw Exception(QStringLiteral("falhou")); }, {QStringLiteral("falhou")}},
    };
    Application* app = Application::instance();
    const auto savedHandler = app->exceptionHandler;
    const auto savedOnException = app->onException;
    app->onException = nullptr;
    for (const Gesture& g : gestures) {
        for (const Failure& fl : failures) {
            SCOPED_TRACE(std::string(g.name) + ", " + fl.name);
            QStringList reported;
            app->exceptionHandler = [&](const std::exception& e) {
                const auto* ve = dynamic_cast<const Exception*>(&e);
                reported << (ve ? ve->message() : QString::fromUtf8(e.what()));
            };
            Form form(nullptr);
            form.resize(300, 120);
            const std::function<bool()> gesture = g.build(form, fl.raise);
            form.show();
            vorta::testing::user::activate(&form);
            vorta::testing::QtMessages qt;
            EXPECT_TRUE(gesture());
            EXPECT_EQ(fl.reported, reported);
            EXPECT_EQ(QStringList(), qt.messages());
        }
    }
    app->exceptionHandler = savedHandler;
    app->onException = savedOnException;
}

TEST_F(FormKeys, TheMenuBarIsReachedFromAFocusedEditAndGivesTheFocusBack)
{
    auto* menu = new MainMenu(form);
    struct Entry {
        const char* caption;
        std::vector<const char*> commands;
    };
    const Entry entries[] = {{"Arquivo", {"Abrir", "Fechar"}}, {"Sair", {"Sair do Sistema"}}};
    QStringList ran;
    for (const Entry& e : entries) {
        auto* top = new MenuItem(nullptr);
        top->caption = e.caption;
        menu->items()->add(top);
        for (const char* c : e.commands) {
            auto* item = new MenuItem(nullptr);
            item->caption = c;
            item->OnClick = [&ran](MenuItem* i) { ran << i->caption; };
            top->add(item);
        }
    }
    form->setMainMenu(menu);
    namespace user = vorta::testing::user;
    user::activate(form);
    edits[1]->setFocus();
    struct Case {
        bool f10;
        std::vector<Qt::Key> keys;
        QString runs;
    } cases[] = {
        {true, {Qt::Key_Return}, "Abrir"},
        {true, {Qt::Key_Down, Qt::Key_Return}, "Fechar"},
        {true, {Qt::Key_Right, Qt::Key_Return}, "Sair do Sistema"},
        {false, {Qt::Key_Right, Qt::Key_Down, Qt::Key_Return}, "Sair do Sistema"},
        {false, {Qt::Key_Return, Qt::Key_Up, Qt::Key_Return}, "Fechar"},
        {false, {Qt::Key_Escape}, QString()},
    };
    for (const Case& c : cases) {
        ran.clear();
        c.f10 ? user::f10() : user::altAlone();
        for (Qt::Key k : c.keys)
            user::key(k);
        EXPECT_EQ(ran, c.runs.isEmpty() ? QStringList() : QStringList{c.runs}) << c.runs.toStdString();
        EXPECT_EQ(user::focused(), edits[1]) << c.runs.toStdString();
    }
    // A key the edit takes is not a menu key.
    user::type("ab");
    EXPECT_EQ(edits[1]->text(), "ab");
}
