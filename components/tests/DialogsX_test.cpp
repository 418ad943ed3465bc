#include "DialogsX.h"

#include "platform/ui/Application.h"
#include "platform/core/Exceptions.h"
#include "platform/ui/Dialogs.h"
#include "testing/ScriptedDialogs.h"
#include "testing/VirtualXServer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;

namespace {

int mulDiv(int n, int num, int den)
{
    const long long p = static_cast<long long>(n) * num;
    return static_cast<int>(p >= 0 ? (p + den / 2) / den : (p - den / 2) / den);
}

struct Units {
    int w;
    int h;
};

Units unitsOf(const QFont& font)
{
    const QFontMetrics fm(font);
    return {fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52,
            fm.height()};
}

QRect screenRect()
{
    return QGuiApplication::primaryScreen()->geometry();
}

// A known font and an empty button-width cache for every test; the title too.
class DialogsXTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_font = QApplication::font();
        m_title = vorta::Application::instance()->title();
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(13);
        QApplication::setFont(font);
        ResetMessageButtonWidths();
        vorta::Application::instance()->setTitle(QStringLiteral("Vorta_Mod"));
    }
    void TearDown() override
    {
        QApplication::setFont(m_font);
        vorta::Application::instance()->setTitle(m_title);
        ResetMessageButtonWidths();
        vorta::ui::setModalHook(nullptr);
    }

private:
    QFont m_font;
    QString m_title;
};

// Runs the real laid-out widget; the hook plays the user.
class RealWidgets {
public:
    explicit RealWidgets(std::function<int(vorta::ui::Form&)> user)
    {
        vorta::ui::setDialogService(&m_service);
        vorta::ui::setModalHook(std::move(user));
    }
    ~RealWidgets()
    {
        vorta::ui::setModalHook(nullptr);
        vorta::ui::setDialogService(nullptr);
    }

private:
    vorta::ui::InteractiveDialogService m_service;
};

struct Owned {
    TMessageForm* form;
    explicit Owned(TMessageForm* f) : form(f) {}
    ~Owned() { vorta::Component::free(form); }
    TMessageForm* operator->() const { return form; }
};

TEST_F(DialogsXTest, ButtonsCarryTheirNamesCaptionsAndResults)
{
    struct Row {
        TMsgDlgBtn button;
        const char* name;
        const char* caption;
        int result;
    };
    const Row rows[] = {
        {mbYes, "Yes", "&Sim", 6},          {mbNo, "No", "&Não", 7},
        {mbOK, "OK", "&OK", 1},             {mbCancel, "Cancel", "&Cancelar", 2},
        {mbAbort, "Abort", "&Abortar", 3},  {mbRetry, "Retry", "&Tentar", 4},
        {mbIgnore, "Ignore", "&Ignorar", 5}, {mbAll, "All", "Todos", 8},
        {mbNoToAll, "NoToAll", "Não para todos", 9}, {mbYesToAll, "YesToAll", "Sim para todos", 10},
        {mbHelp, "Help", "Ajuda", 0},
    };
    const TMsgDlgButtons all{mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp};
    Owned dlg(CreateMessageDialog(QStringLiteral("Todos os botões"), mtConfirmation, all));
    ASSERT_EQ(11, dlg->buttons().size());

    ScriptedDialogs dialogs;
    dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("Todos os botões"),
                          QList<int>{6, 7, 1, 2, 3, 4, 5, 8, 9, 10, 0}, 6);
    EXPECT_EQ(6, MessageDlg(QStringLiteral("Todos os botões"), mtConfirmation, all, 0));
    const vorta::ui::MessageRequest& request = dialogs.messages.at(0);

    int i = 0;
    int previousRight = -1;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QPushButton* b = dlg->buttons().at(i);
        EXPECT_EQ(QString::fromUtf8(row.name), b->objectName());
        EXPECT_EQ(QString::fromUtf8(row.caption), b->text());
        EXPECT_EQ(QString::fromUtf8(row.name), request.buttons.at(i).name);
        EXPECT_EQ(QString::fromUtf8(row.caption), request.buttons.at(i).caption);
        EXPECT_EQ(row.result, request.buttons.at(i).modalResult);
        EXPECT_EQ(row.result, MsgDlgModalResult(row.button));
        // Left to right in the order of the enumeration.
        EXPECT_GT(b->x(), previousRight);
        previousRight = b->x() + b->width() - 1;
        ++i;
    }
}

TEST_F(DialogsXTest, EachTypeHasItsCaptionIconAndKind)
{
    struct Row {
        TMsgDlgType type;
        const char* caption;
        std::optional<QStyle::StandardPixmap> icon;
        MessageKind kind;
    };
    const Row rows[] = {
        {mtWarning, "Atenção", QStyle::SP_MessageBoxWarning, MessageKind::Warning},
        {mtError, "Erro", QStyle::SP_MessageBoxCritical, MessageKind::Error},
        {mtInformation, "Informação", QStyle::SP_MessageBoxInformation, MessageKind::Information},
        {mtConfirmation, "Confirmação", QStyle::SP_MessageBoxQuestion, MessageKind::Confirmation},
        {mtCustom, "Vorta_Mod", std::nullopt, MessageKind::Custom},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caption);
        Owned dlg(CreateMessageDialog(QStringLiteral("Texto"), row.type, {mbOK}));
        EXPECT_EQ(QString::fromUtf8(row.caption), dlg->caption());
        auto* image = dlg->findChild<QLabel*>(QStringLiteral("Image"));
        if (row.icon) {
            ASSERT_NE(nullptr, image);
            EXPECT_EQ(QRect(dlg->image()->x(), dlg->image()->y(), 32, 32), image->geometry());
            const QImage expected = dlg->style()->standardIcon(*row.icon).pixmap(32, 32).toImage();
            EXPECT_EQ(expected, image->pixmap().toImage());
        } else {
            EXPECT_EQ(nullptr, image);
        }

        ScriptedDialogs dialogs;
        dialogs.expectMessage(row.kind, QStringLiteral("Texto"), 1);
        MessageDlg(QStringLiteral("Texto"), row.type, {mbOK}, 0);
        EXPECT_EQ(QString::fromUtf8(row.caption), dialogs.messages.at(0).caption);
    }
}

TEST_F(DialogsXTest, DefaultAndEscapeButtonsFollowTheSet)
{
    struct Row {
        const char* what;
        TMsgDlgButtons buttons;
        const char* defaultName; // "" = none
        const char* cancelName;
        int defaultResult;
        int cancelResult;
    };
    const Row rows[] = {
        {"yes/no", {mbYes, mbNo}, "Yes", "No", 6, 7},
        {"abort/retry/ignore", {mbAbort, mbRetry, mbIgnore}, "Retry", "", 4, 2},
        {"ok", {mbOK}, "OK", "OK", 1, 1},
        {"yes/no/cancel", {mbYes, mbNo, mbCancel}, "Yes", "Cancel", 6, 2},
        {"ok/cancel", {mbOK, mbCancel}, "OK", "Cancel", 1, 2},
        {"ok beats yes", {mbYes, mbOK}, "OK", "OK", 1, 1},
        {"no alone", {mbNo}, "", "No", 2, 7},
        {"help alone", {mbHelp}, "", "", 2, 2},
        {"none", {}, "", "", 2, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Owned dlg(CreateMessageDialog(QStringLiteral("Pergunta"), mtConfirmation, row.buttons));
        EXPECT_EQ(QString::fromUtf8(row.defaultName),
                  dlg->defaultButton() ? dlg->defaultButton()->objectName() : QString());
        EXPECT_EQ(QString::fromUtf8(row.cancelName), dlg->cancelButton() ? dlg->cancelButton()->objectName() : QString());
        for (QPushButton* b : dlg->buttons())
            EXPECT_EQ(b == dlg->defaultButton(), b->isDefault()) << b->objectName().toStdString();

        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("Pergunta"), 0);
        MessageDlg(QStringLiteral("Pergunta"), mtConfirmation, row.buttons, 0);
        EXPECT_EQ(row.defaultResult, dialogs.messages.at(0).defaultResult);
        EXPECT_EQ(row.cancelResult, dialogs.messages.at(0).cancelResult);
    }
}

TEST_F(DialogsXTest, LayoutFollowsTheDialogUnits)
{
    const QString text = QStringLiteral("Deseja realmente sair do sistema?");
    Owned dlg(CreateMessageDialog(text, mtConfirmation, {mbYes, mbNo}));
    const Units u = unitsOf(dlg->font());
    ASSERT_GT(u.w, 0);
    const QFontMetrics fm(dlg->font());
    const QRect textRect = fm.boundingRect(QRect(0, 0, screenRect().width() / 2, 0),
                                           Qt::TextWordWrap | Qt::TextExpandTabs, text);
    const int textW = textRect.right() + 1;
    const int textH = textRect.bottom() + 1;

    const int hm = mulDiv(8, u.w, 4), vm = mulDiv(8, u.h, 8), hs = mulDiv(10, u.w, 4), vs = mulDiv(10, u.h, 8);
    const int bw = mulDiv(50, u.w, 4), bh = mulDiv(14, u.h, 8), bs = mulDiv(4, u.w, 4);
    const int iconTextW = textW + 32 + hs;
    const int iconTextH = std::max(textH, 32);
    const int groupW = 2 * bw + bs;
    const int clientW = std::max(iconTextW, groupW) + 2 * hm;
    const int clientH = iconTextH + bh + vs + 2 * vm;

    EXPECT_EQ(QSize(clientW, clientH), dlg->size());
    EXPECT_EQ(screenRect().width() / 2 - clientW / 2, dlg->x());
    EXPECT_EQ(screenRect().height() / 2 - clientH / 2, dlg->y());
    EXPECT_EQ(QRect(hm, vm, 32, 32), dlg->image()->geometry());
    EXPECT_EQ(QRect(iconTextW - textW + hm, vm, textW, textH), dlg->messageLabel()->geometry());
    EXPECT_EQ(text, dlg->messageLabel()->text());
    ASSERT_EQ(2, dlg->buttons().size());
    const int top = iconTextH + vm + vs;
    EXPECT_EQ(QRect((clientW - groupW) / 2, top, bw, bh), dlg->buttons().at(0)->geometry());
    EXPECT_EQ(QRect((clientW - groupW) / 2 + bw + bs, top, bw, bh), dlg->buttons().at(1)->geometry());
}

// Sizes worked out by hand from given dialog units; MulDiv rounds halves up
// (10 * 7 / 4 = 17.5 gives 18, 14 * 15 / 8 = 26.25 gives 26).
TEST(MessageDialogLayoutTest, SizesFromGivenDialogUnits)
{
    struct Row {
        const char* what;
        MessageDialogUnits units;
        QSize text;
        QList<int> captionWidths;
        bool icon;
        bool rightToLeft;
        QSize client;
        QRect image;
        QRect message;
        QList<QRect> buttons;
    };
    const Row rows[] = {
        {"icon and two buttons", {7, 15}, {200, 15}, {30, 35}, true, false, {278, 107}, {14, 15, 32, 32},
         {64, 15, 200, 15}, {{47, 66, 88, 26}, {142, 66, 88, 26}}},
        {"mirrored text", {7, 15}, {200, 15}, {30, 35}, true, true, {278, 107}, {14, 15, 32, 32},
         {14, 15, 200, 15}, {{47, 66, 88, 26}, {142, 66, 88, 26}}},
        {"no icon, no buttons: width from the text", {6, 13}, {300, 26}, {}, false, false, {324, 91}, {},
         {12, 13, 300, 26}, {}},
        {"a wide caption widens every button", {5, 16}, {100, 16}, {60, 110, 40}, true, false, {360, 112},
         {10, 16, 32, 32}, {55, 16, 100, 16}, {{10, 68, 110, 28}, {125, 68, 110, 28}, {240, 68, 110, 28}}},
        {"a tall text sets the height", {8, 16}, {120, 80}, {10}, true, false, {204, 160}, {16, 16, 32, 32},
         {68, 16, 120, 80}, {{52, 116, 100, 28}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const MessageDialogLayout layout =
            LayoutMessageDialog(row.units, row.text, row.captionWidths, row.icon, row.rightToLeft);
        EXPECT_EQ(row.client, layout.client);
        EXPECT_EQ(row.image, layout.image);
        EXPECT_EQ(row.message, layout.message);
        EXPECT_EQ(row.buttons, layout.buttons);
    }
}

TEST_F(DialogsXTest, WideCaptionWidensEveryButtonOfTheDialog)
{
    Owned dlg(CreateMessageDialog(QStringLiteral("x"), mtCustom, {mbYes, mbYesToAll}));
    const Units u = unitsOf(dlg->font());
    const int measured = QFontMetrics(dlg->font()).boundingRect(QStringLiteral("Sim para todos")).width() + 8;
    EXPECT_EQ(measured, CachedMessageButtonWidth(mbYesToAll));
    const int expected = std::max(mulDiv(50, u.w, 4), measured);
    for (QPushButton* b : dlg->buttons())
        EXPECT_EQ(expected, b->width()) << b->objectName().toStdString();
    // The accelerator mark is not measured.
    EXPECT_EQ(QFontMetrics(dlg->font()).boundingRect(QStringLiteral("Sim")).width() + 8, CachedMessageButtonWidth(mbYes));
}

TEST_F(DialogsXTest, ButtonWidthsStayAsMeasuredWithTheFirstFont)
{
    QFont big(QStringLiteral("DejaVu Sans"));
    big.setPixelSize(40);
    QApplication::setFont(big);
    int firstWidth = 0;
    {
        Owned dlg(CreateMessageDialog(QStringLiteral("Primeiro"), mtCustom, {mbYesToAll}));
        firstWidth = dlg->buttons().at(0)->width();
    }
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(9);
    QApplication::setFont(small);
    Owned second(CreateMessageDialog(QStringLiteral("Segundo"), mtCustom, {mbYesToAll}));
    const int freshlyMeasured = QFontMetrics(small).boundingRect(QStringLiteral("Sim para todos")).width() + 8;
    ASSERT_GT(firstWidth, freshlyMeasured);
    ASSERT_GT(firstWidth, mulDiv(50, unitsOf(small).w, 4));
    EXPECT_EQ(firstWidth, second->buttons().at(0)->width());
    EXPECT_EQ(firstWidth, CachedMessageButtonWidth(mbYesToAll));
}

TEST_F(DialogsXTest, LongTextWrapsAtHalfTheScreen)
{
    QString text;
    for (int i = 0; i < 60; ++i)
        text += QStringLiteral("palavra%1 ").arg(i);
    Owned dlg(CreateMessageDialog(text, mtError, {mbOK}));
    const int half = screenRect().width() / 2;
    const int lineHeight = QFontMetrics(dlg->font()).height();
    QLabel* label = dlg->messageLabel();
    EXPECT_LE(label->width(), half);
    EXPECT_GT(label->width(), half / 2);
    EXPECT_GE(label->height(), 3 * lineHeight);
    EXPECT_TRUE(label->wordWrap());
    EXPECT_LE(dlg->width(), half + 32 + 2 * mulDiv(10, unitsOf(dlg->font()).w, 4) + 2 * mulDiv(8, unitsOf(dlg->font()).w, 4));
}

TEST_F(DialogsXTest, TabsAreExpanded)
{
    Owned plain(CreateMessageDialog(QStringLiteral("ab"), mtCustom, {}));
    Owned tabbed(CreateMessageDialog(QStringLiteral("a\tb"), mtCustom, {}));
    EXPECT_GE(tabbed->messageLabel()->width() - plain->messageLabel()->width(),
              QFontMetrics(tabbed->font()).horizontalAdvance(QStringLiteral("xxxx")));
    EXPECT_EQ(plain->messageLabel()->height(), tabbed->messageLabel()->height());
}

TEST_F(DialogsXTest, EmptyButtonSetTakesItsWidthFromTheText)
{
    const QString text = QStringLiteral("Aguarde");
    Owned dlg(CreateMessageDialog(text, mtCustom, {}));
    const Units u = unitsOf(dlg->font());
    const int textW = QFontMetrics(dlg->font()).boundingRect(QRect(0, 0, screenRect().width() / 2, 0),
                                                             Qt::TextWordWrap | Qt::TextExpandTabs, text).right() + 1;
    EXPECT_TRUE(dlg->buttons().isEmpty());
    EXPECT_TRUE(dlg->findChildren<QPushButton*>().isEmpty());
    EXPECT_EQ(textW + 2 * mulDiv(8, u.w, 4), dlg->width());
    EXPECT_EQ(nullptr, dlg->defaultButton());
    EXPECT_EQ(nullptr, dlg->cancelButton());
}

TEST_F(DialogsXTest, RightToLeftMirrorsTheText)
{
    QGuiApplication::setLayoutDirection(Qt::RightToLeft);
    Owned dlg(CreateMessageDialog(QStringLiteral("Texto"), mtInformation, {mbOK}));
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    const Units u = unitsOf(dlg->font());
    QLabel* label = dlg->messageLabel();
    const int leftToRightLeft = 32 + mulDiv(10, u.w, 4) + mulDiv(8, u.w, 4);
    EXPECT_EQ(dlg->width() - leftToRightLeft - label->width(), label->x());
}

TEST_F(DialogsXTest, RealDialogAnswersButtonsKeysAndFrame)
{
    struct Row {
        const char* what;
        TMsgDlgButtons buttons;
        std::function<void(TMessageForm&)> user;
        int expected;
    };
    auto click = [](const char* name) {
        return [name](TMessageForm& f) { f.findChild<QPushButton*>(QString::fromLatin1(name))->click(); };
    };
    auto key = [](Qt::Key k) { return [k](TMessageForm& f) { QTest::keyClick(&f, k); }; };
    auto frame = [](TMessageForm& f) { static_cast<QWidget&>(f).close(); };
    const Row rows[] = {
        {"yes", {mbYes, mbNo}, click("Yes"), 6},
        {"no", {mbYes, mbNo}, click("No"), 7},
        {"escape on yes/no", {mbYes, mbNo}, key(Qt::Key_Escape), 7},
        {"enter on yes/no", {mbYes, mbNo}, key(Qt::Key_Return), 6},
        {"frame on yes/no", {mbYes, mbNo}, frame, 2},
        {"frame on ok", {mbOK}, frame, 2},
        {"escape without cancel button", {mbAbort, mbRetry, mbIgnore},
         [](TMessageForm& f) {
             QTest::keyClick(&f, Qt::Key_Escape);
             f.findChild<QPushButton*>(QStringLiteral("Ignore"))->click();
         },
         5},
        {"enter on the focused button", {mbYes, mbNo},
         [](TMessageForm& f) {
             QPushButton* no = f.findChild<QPushButton*>(QStringLiteral("No"));
             no->setFocus();
             QTest::keyClick(no, Qt::Key_Return);
         },
         7},
        {"yes to all", {mbYes, mbNo, mbYesToAll}, click("YesToAll"), 10},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const int formsBefore = vorta::Screen::instance().formCount();
        RealWidgets widgets([&row](vorta::ui::Form& form) {
            auto* dlg = dynamic_cast<TMessageForm*>(&form);
            EXPECT_NE(nullptr, dlg);
            if (dlg)
                row.user(*dlg);
            return vorta::ui::mrNone;
        });
        EXPECT_EQ(row.expected, MessageDlg(QStringLiteral("Continuar?"), mtConfirmation, row.buttons, 0));
        // The dialog lives for the call only.
        EXPECT_EQ(formsBefore, vorta::Screen::instance().formCount());
    }
}

TEST_F(DialogsXTest, HelpButtonShowsHelpAndKeepsTheDialogOpen)
{
    QString file;
    int context = -1;
    SetMessageHelpHandler([&](const QString& f, int c) {
        file = f;
        context = c;
    });
    int resultAfterHelp = -1;
    RealWidgets widgets([&](vorta::ui::Form& form) {
        form.findChild<QPushButton*>(QStringLiteral("Help"))->click();
        resultAfterHelp = form.modalResult();
        form.findChild<QPushButton*>(QStringLiteral("OK"))->click();
        return vorta::ui::mrNone;
    });
    EXPECT_EQ(1, MessageDlgPosHelp(QStringLiteral("Com ajuda"), mtInformation, {mbOK, mbHelp}, 12500, -1, -1,
                                   QStringLiteral("/opt/vorta/modulos/Vorta.HLP")));
    SetMessageHelpHandler(nullptr);
    EXPECT_EQ(0, resultAfterHelp);
    EXPECT_EQ(12500, context);
    EXPECT_EQ(QStringLiteral("/opt/vorta/modulos/Vorta.HLP"), file);
}

TEST_F(DialogsXTest, GivenEdgesPlaceTheDialog)
{
    struct Row {
        int x, y;
        bool keepsCentredX, keepsCentredY;
    };
    const Row rows[] = {{100, 50, false, false}, {100, -1, false, true}, {-1, 70, true, false}, {-1, -1, true, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.x << "," << row.y);
        QPoint shownAt;
        QSize size;
        RealWidgets widgets([&](vorta::ui::Form& form) {
            shownAt = form.pos();
            size = form.size();
            return vorta::ui::mrOk;
        });
        MessageDlgPos(QStringLiteral("Posição"), mtInformation, {mbOK}, 0, row.x, row.y);
        const QRect screen = screenRect();
        EXPECT_EQ(row.keepsCentredX ? screen.width() / 2 - size.width() / 2 : row.x, shownAt.x());
        EXPECT_EQ(row.keepsCentredY ? screen.height() / 2 - size.height() / 2 : row.y, shownAt.y());
    }
}

TEST_F(DialogsXTest, FailureWhileShowingStillFreesTheDialog)
{
    const int before = vorta::Screen::instance().formCount();
    int shownForms = 0;
    {
        RealWidgets widgets([&](vorta::ui::Form&) -> int {
            shownForms = vorta::Screen::instance().formCount();
            throw vorta::EInvalidOperation(QStringLiteral("falhou"));
        });
        EXPECT_THROW(MessageDlg(QStringLiteral("x"), mtError, {mbOK}, 0), vorta::EInvalidOperation);
        EXPECT_THROW(InputBox(QStringLiteral("Proxy"), QStringLiteral("Porta:"), QString()), vorta::EInvalidOperation);
    }
    EXPECT_EQ(before + 1, shownForms);
    EXPECT_EQ(before, vorta::Screen::instance().formCount());
}

TEST_F(DialogsXTest, ShowMessageIsThePlainDialog)
{
    ScriptedDialogs dialogs;
    dialogs.expectMessage(MessageKind::Custom, QStringLiteral("Arquivo gravado."), QList<int>{1}, 1);
    ShowMessage(QStringLiteral("Arquivo gravado."));
    const vorta::ui::MessageRequest& r = dialogs.messages.at(0);
    EXPECT_EQ(QStringLiteral("Vorta_Mod"), r.caption);
    ASSERT_EQ(1, r.buttons.size());
    EXPECT_EQ(QStringLiteral("OK"), r.buttons.at(0).name);
    EXPECT_EQ(QStringLiteral("&OK"), r.buttons.at(0).caption);
    EXPECT_EQ(1, r.defaultResult);
    EXPECT_EQ(1, r.cancelResult);
    EXPECT_EQ(QPoint(-1, -1), r.position);

    Owned dlg(CreateMessageDialog(QStringLiteral("Arquivo gravado."), mtCustom, {mbOK}));
    EXPECT_EQ(nullptr, dlg->image());
    EXPECT_EQ(dlg->defaultButton(), dlg->cancelButton());
    EXPECT_EQ(QStringLiteral("OK"), dlg->defaultButton()->objectName());
}

TEST_F(DialogsXTest, ShowMessageFmtAndPos)
{
    ScriptedDialogs dialogs;
    dialogs.expectMessage(MessageKind::Custom, QStringLiteral("3 arquivos em /tmp"), 1);
    dialogs.expectMessage(MessageKind::Custom, QStringLiteral("Aqui"), 1);
    ShowMessageFmt(QStringLiteral("%d arquivos em %s"), {3, QStringLiteral("/tmp")});
    ShowMessagePos(QStringLiteral("Aqui"), 10, 20);
    EXPECT_EQ(QPoint(10, 20), dialogs.messages.at(1).position);
    // A mismatch raises before any dialog is shown.
    EXPECT_THROW(ShowMessageFmt(QStringLiteral("%d arquivos"), {QStringLiteral("três")}), vorta::EConvertError);
    EXPECT_EQ(2, dialogs.messages.size());
}

TEST_F(DialogsXTest, InputQueryWritesBackOnlyOnOk)
{
    struct Row {
        const char* what;
        std::optional<QString> answer;
        bool expectedResult;
        QString expectedValue;
    };
    const QString long300(300, QLatin1Char('x'));
    const Row rows[] = {
        {"ok", QStringLiteral("novo valor"), true, QStringLiteral("novo valor")},
        {"ok with empty text", QString(), true, QString()},
        {"cancel", std::nullopt, false, QStringLiteral("inicial")},
        {"too long", long300, true, QString(255, QLatin1Char('x'))},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ScriptedDialogs dialogs;
        dialogs.expectInput(QStringLiteral("Senha:"), row.answer);
        QString value = QStringLiteral("inicial");
        EXPECT_EQ(row.expectedResult, InputQuery(QStringLiteral("Proxy"), QStringLiteral("Senha:"), value));
        EXPECT_EQ(row.expectedValue, value);
    }
}

TEST_F(DialogsXTest, InputBoxReturnsTheDefaultOnCancel)
{
    ScriptedDialogs dialogs;
    dialogs.expectInput(QStringLiteral("Porta:"), std::nullopt);
    dialogs.expectInput(QStringLiteral("Porta:"), QStringLiteral("3128"));
    EXPECT_EQ(QStringLiteral("8080"), InputBox(QStringLiteral("Proxy"), QStringLiteral("Porta:"), QStringLiteral("8080")));
    EXPECT_EQ(QStringLiteral("3128"), InputBox(QStringLiteral("Proxy"), QStringLiteral("Porta:"), QStringLiteral("8080")));
}

TEST_F(DialogsXTest, RealInputFormLayoutAndTyping)
{
    bool seen = false;
    RealWidgets widgets([&](vorta::ui::Form& form) {
        seen = true;
        const Units u = unitsOf(form.font());
        EXPECT_EQ(QStringLiteral("Proxy"), form.caption());
        EXPECT_EQ(QSize(mulDiv(180, u.w, 4), mulDiv(63, u.h, 8)), form.size());
        auto* prompt = form.findChild<QLabel*>(QStringLiteral("Prompt"));
        auto* edit = form.findChild<QLineEdit*>(QStringLiteral("Edit"));
        auto* ok = form.findChild<QPushButton*>(QStringLiteral("OK"));
        auto* cancel = form.findChild<QPushButton*>(QStringLiteral("Cancel"));
        EXPECT_TRUE(prompt && edit && ok && cancel);
        if (!(prompt && edit && ok && cancel))
            return vorta::ui::mrCancel;
        EXPECT_EQ(QPoint(mulDiv(8, u.w, 4), mulDiv(8, u.h, 8)), prompt->pos());
        EXPECT_EQ(QStringLiteral("Servidor:"), prompt->text());
        EXPECT_EQ(prompt->x(), edit->x());
        EXPECT_EQ(mulDiv(19, u.h, 8), edit->y());
        EXPECT_EQ(mulDiv(164, u.w, 4), edit->width());
        EXPECT_EQ(QStringLiteral("proxy.local"), edit->text());
        EXPECT_EQ(QStringLiteral("proxy.local"), edit->selectedText());
        EXPECT_EQ(QRect(mulDiv(38, u.w, 4), mulDiv(41, u.h, 8), mulDiv(50, u.w, 4), mulDiv(14, u.h, 8)), ok->geometry());
        EXPECT_EQ(QRect(mulDiv(92, u.w, 4), mulDiv(41, u.h, 8), mulDiv(50, u.w, 4), mulDiv(14, u.h, 8)),
                  cancel->geometry());
        EXPECT_EQ(QStringLiteral("OK"), ok->text());
        EXPECT_EQ(QStringLiteral("Cancel"), cancel->text());
        EXPECT_TRUE(ok->isDefault());
        // Typing past 255 characters has no effect.
        edit->clear();
        QTest::keyClicks(edit, QString(260, QLatin1Char('a')));
        EXPECT_EQ(255, edit->text().size());
        QTest::keyClick(edit, Qt::Key_Return);
        return vorta::ui::mrNone;
    });
    QString value = QStringLiteral("proxy.local");
    EXPECT_TRUE(InputQuery(QStringLiteral("Proxy"), QStringLiteral("Servidor:"), value));
    EXPECT_TRUE(seen);
    EXPECT_EQ(QString(255, QLatin1Char('a')), value);
}

TEST_F(DialogsXTest, RealInputFormCancelsOnEscapeAndFrame)
{
    const std::function<void(vorta::ui::Form&)> users[] = {
        [](vorta::ui::Form& f) { QTest::keyClick(f.findChild<QLineEdit*>(QStringLiteral("Edit")), Qt::Key_Escape); },
        [](vorta::ui::Form& f) { static_cast<QWidget&>(f).close(); },
        [](vorta::ui::Form& f) { f.findChild<QPushButton*>(QStringLiteral("Cancel"))->click(); },
    };
    for (const auto& user : users) {
        const int before = vorta::Screen::instance().formCount();
        RealWidgets widgets([&](vorta::ui::Form& form) {
            form.findChild<QLineEdit*>(QStringLiteral("Edit"))->setText(QStringLiteral("mudado"));
            user(form);
            return vorta::ui::mrNone;
        });
        EXPECT_EQ(QStringLiteral("8080"), InputBox(QStringLiteral("Proxy"), QStringLiteral("Porta:"), QStringLiteral("8080")));
        EXPECT_EQ(before, vorta::Screen::instance().formCount());
    }
}

TEST_F(DialogsXTest, UnattendedRunsAnswerTheDefault)
{
    // The unattended mode is what a program gets when no service is installed.
    vorta::ui::DialogService* installed = vorta::ui::installedDialogService();
    vorta::ui::setDialogService(nullptr);
    qputenv("VORTA_DIALOGS", "stderr");
    struct Case {
        TMsgDlgButtons buttons;
        int expected;
    };
    const Case cases[] = {{{mbYes, mbNo}, 6}, {{mbOK, mbCancel}, 1}, {{mbAbort, mbRetry, mbIgnore}, 4}, {{mbNo}, 2}, {{}, 2}};
    const int before = vorta::Screen::instance().formCount();
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, MessageDlg(QStringLiteral("Sem ninguém"), mtConfirmation, c.buttons, 0));
    EXPECT_EQ(QStringLiteral("8080"), InputBox(QStringLiteral("Proxy"), QStringLiteral("Porta:"), QStringLiteral("8080")));
    qunsetenv("VORTA_DIALOGS");
    vorta::ui::setDialogService(installed);
    EXPECT_EQ(before, vorta::Screen::instance().formCount());
}

QString screenshotFolder()
{
    return QDir(qEnvironmentVariableIsEmpty("VORTA_BIN_DIR") ? QCoreApplication::applicationDirPath()
                                                            : qEnvironmentVariable("VORTA_BIN_DIR"))
        .absoluteFilePath(QStringLiteral("../screenshots"));
}

// The pictures of a real X server carry its name, so they sit beside the headless ones.
QString screenshotName(const char* base)
{
    const QString platform = QGuiApplication::platformName();
    const QString suffix = platform == QLatin1String("offscreen") ? QString() : QLatin1Char('_') + platform;
    return QString::fromLatin1(base) + suffix + QStringLiteral(".png");
}

TEST_F(DialogsXTest, ScreenshotsOfConfirmationAndErrorDialogs)
{
    const QString folder = screenshotFolder();
    ASSERT_TRUE(QDir().mkpath(folder));
    struct Shot {
        const char* file;
        QString text;
        TMsgDlgType type;
        TMsgDlgButtons buttons;
    };
    const Shot shots[] = {
        {"dialog-confirmation", QStringLiteral("86 - Deseja realmente sair do sistema?"), mtConfirmation,
         {mbYes, mbNo}},
        {"dialog-error",
         QStringLiteral("33 - Não foi possível gravar o registro. Verifique os dados informados e tente novamente."),
         mtError, {mbOK}},
    };
    for (const Shot& shot : shots) {
        Owned dlg(CreateMessageDialog(shot.text, shot.type, shot.buttons));
        const QImage image = dlg->grab().toImage();
        const QString path = QDir(folder).absoluteFilePath(screenshotName(shot.file));
        ASSERT_TRUE(image.save(path)) << path.toStdString();
        const QImage back(path);
        EXPECT_EQ(dlg->size(), back.size());
        // Something was drawn besides the background.
        EXPECT_NE(back.pixel(dlg->image()->x() + 16, dlg->image()->y() + 16), back.pixel(1, 1));
    }
}

// The same pictures drawn by a real (virtual) X server, for a person to look at.
TEST(DialogsXPictures, UnderAVirtualXServer)
{
    if (vorta::testing::onRealWindowSystem())
        GTEST_SKIP() << "already the run under the X server";
    const QString folder = screenshotFolder();
    const QStringList pictures{QDir(folder).absoluteFilePath(QStringLiteral("dialog-confirmation_xcb.png")),
                               QDir(folder).absoluteFilePath(QStringLiteral("dialog-error_xcb.png"))};
    const vorta::testing::VirtualXRun run =
        vorta::testing::rerunUnderVirtualXServer(QStringLiteral("DialogsXTest.ScreenshotsOfConfirmationAndErrorDialogs"), pictures);
    if (!run.available)
        GTEST_SKIP() << "xvfb-run is not installed";
    ASSERT_TRUE(run.finished) << "the run under the X server did not end";
    ASSERT_EQ(0, run.exitCode) << run.output.toStdString();
    for (const QString& p : pictures) {
        const QImage picture(p);
        EXPECT_FALSE(picture.isNull()) << p.toStdString();
        // A dialog of a 1024-pixel screen: wider than its buttons, narrower than the screen.
        EXPECT_GT(picture.width(), 150) << p.toStdString();
        EXPECT_LT(picture.width(), 1024) << p.toStdString();
    }
}

} // namespace
