#include "DialogsX.h"

#include "platform/ui/Application.h"
#include "platform/core/Format.h"
#include "platform/ui/Dialogs.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <array>
#include <optional>

namespace {

using vorta::ui::MessageKind;

constexpr int kButtonCount = 11;

struct ButtonInfo {
    const char* name;
    const char16_t* caption;
    int modalResult;
};

const std::array<ButtonInfo, kButtonCount> kButtons = {{
    {"Yes", u"&Sim", 6},
    {"No", u"&Não", 7},
    {"OK", u"&OK", 1},
    {"Cancel", u"&Cancelar", 2},
    {"Abort", u"&Abortar", 3},
    {"Retry", u"&Tentar", 4},
    {"Ignore", u"&Ignorar", 5},
    {"All", u"Todos", 8},
    {"NoToAll", u"Não para todos", 9},
    {"YesToAll", u"Sim para todos", 10},
    {"Help", u"Ajuda", 0},
}};

const std::array<const char16_t*, 4> kCaptions = {{u"Atenção", u"Erro", u"Informação", u"Confirmação"}};

std::array<int, kButtonCount> g_buttonWidths{};

MessageHelpHandler& helpHandler()
{
    static MessageHelpHandler handler;
    return handler;
}

std::optional<QStyle::StandardPixmap> iconOf(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return QStyle::SP_MessageBoxWarning;
    case mtError: return QStyle::SP_MessageBoxCritical;
    case mtInformation: return QStyle::SP_MessageBoxInformation;
    case mtConfirmation: return QStyle::SP_MessageBoxQuestion;
    case mtCustom: break;
    }
    return std::nullopt;
}

MessageDialogUnits measureUnits(const QFont& font)
{
    const QFontMetrics fm(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return MessageDialogUnits{fm.horizontalAdvance(letters) / 52, fm.height()};
}

// The system's MulDiv: n * numerator / denominator, rounded half away from zero.
int MulDiv(int n, int numerator, int denominator)
{
    const long long product = static_cast<long long>(n) * numerator;
    const long long half = denominator / 2;
    const long long q = product >= 0 ? (product + half) / denominator : (product - half) / denominator;
    return static_cast<int>(q);
}

// A caption as shown: "&" marks the accelerator, "&&" is a literal ampersand.
QString withoutAccelerator(const QString& caption)
{
    QString out;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&')) {
                out += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        out += caption.at(i);
    }
    return out;
}

constexpr int kTextFlags = Qt::TextWordWrap | Qt::TextExpandTabs;

// The message label paints with the very flags it was measured with, so the text
// fills exactly the measured block (tabs included).
class MessageLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        const Qt::Alignment align = layoutDirection() == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft;
        painter.drawText(rect(), kTextFlags | static_cast<int>(align), text());
    }
};

QRect screenRect()
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        return screen->geometry();
    return QRect(0, 0, 1024, 768);
}

QString applicationTitle()
{
    return vorta::Application::instance() ? vorta::Application::instance()->title() : QString();
}

MessageKind kindOf(TMsgDlgType type)
{
    return static_cast<MessageKind>(static_cast<int>(type));
}

// The chosen default and Escape buttons; one that is not in the set does not exist.
TMsgDlgBtn defaultButtonOf(TMsgDlgButtons buttons)
{
    return buttons.contains(mbOK) ? mbOK : buttons.contains(mbYes) ? mbYes : mbRetry;
}

TMsgDlgBtn cancelButtonOf(TMsgDlgButtons buttons)
{
    return buttons.contains(mbCancel) ? mbCancel : buttons.contains(mbNo) ? mbNo : mbOK;
}

// Frees a component however the scope ends.
struct FreeGuard {
    vorta::Component* component;
    ~FreeGuard() { vorta::Component::free(component); }
};

} // namespace

QString MsgDlgCaption(TMsgDlgType type)
{
    if (type == mtCustom)
        return applicationTitle();
    return QString::fromUtf16(kCaptions.at(static_cast<size_t>(type)));
}

QString MsgDlgButtonName(TMsgDlgBtn button)
{
    return QString::fromLatin1(kButtons.at(static_cast<size_t>(button)).name);
}

QString MsgDlgButtonCaption(TMsgDlgBtn button)
{
    return QString::fromUtf16(kButtons.at(static_cast<size_t>(button)).caption);
}

int MsgDlgModalResult(TMsgDlgBtn button)
{
    return kButtons.at(static_cast<size_t>(button)).modalResult;
}

void ResetMessageButtonWidths()
{
    g_buttonWidths.fill(0);
}

int CachedMessageButtonWidth(TMsgDlgBtn button)
{
    return g_buttonWidths.at(static_cast<size_t>(button));
}

void SetMessageHelpHandler(MessageHelpHandler handler)
{
    helpHandler() = std::move(handler);
}

TMessageForm::TMessageForm(vorta::Component* owner) : vorta::ui::Form(owner)
{
    // The system's message font.
    setFont(QApplication::font("QMessageBox"));
}

void TMessageForm::helpButtonClick()
{
    if (helpHandler())
        helpHandler()(m_helpFile, m_helpContext);
}

void TMessageForm::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        QPushButton* target = focused && m_buttons.contains(focused) ? focused : m_default;
        if (target)
            target->click();
        return;
    }
    case Qt::Key_Escape:
        if (m_cancel)
            m_cancel->click();
        return;
    default:
        vorta::ui::Form::keyPressEvent(event);
    }
}

MessageDialogLayout LayoutMessageDialog(MessageDialogUnits units, QSize textBlock, const QList<int>& captionWidths,
                                        bool withIcon, bool rightToLeft)
{
    const int w = units.width;
    const int h = units.height;
    const int horzMargin = MulDiv(8, w, 4);
    const int vertMargin = MulDiv(8, h, 8);
    const int horzSpacing = MulDiv(10, w, 4);
    const int vertSpacing = MulDiv(10, h, 8);
    int buttonWidth = MulDiv(50, w, 4);
    for (int captionWidth : captionWidths)
        buttonWidth = std::max(buttonWidth, captionWidth);
    const int buttonHeight = MulDiv(14, h, 8);
    const int buttonSpacing = MulDiv(4, w, 4);

    const int textWidth = textBlock.width();
    const int textHeight = textBlock.height();
    int iconTextWidth = textWidth;
    int iconTextHeight = textHeight;
    if (withIcon) {
        iconTextWidth = textWidth + 32 + horzSpacing;
        iconTextHeight = std::max(iconTextHeight, 32);
    }

    const auto count = static_cast<int>(captionWidths.size());
    const int groupWidth = count > 0 ? buttonWidth * count + buttonSpacing * (count - 1) : 0;

    MessageDialogLayout layout;
    layout.client = QSize(std::max(iconTextWidth, groupWidth) + 2 * horzMargin,
                          iconTextHeight + buttonHeight + vertSpacing + 2 * vertMargin);
    if (withIcon)
        layout.image = QRect(horzMargin, vertMargin, 32, 32);
    int labelLeft = iconTextWidth - textWidth + horzMargin;
    if (rightToLeft)
        labelLeft = layout.client.width() - labelLeft - textWidth;
    layout.message = QRect(labelLeft, vertMargin, textWidth, textHeight);
    int x = (layout.client.width() - groupWidth) / 2;
    const int top = iconTextHeight + vertMargin + vertSpacing;
    for (int i = 0; i < count; ++i) {
        layout.buttons.append(QRect(x, top, buttonWidth, buttonHeight));
        x += buttonWidth + buttonSpacing;
    }
    return layout;
}

TMessageForm* CreateMessageDialog(const QString& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons)
{
    auto* form = vorta::create<TMessageForm>(vorta::Application::instance());
    try {
        form->setLayoutDirection(QGuiApplication::layoutDirection());
        form->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
        const QFontMetrics fm(form->font());

        QList<TMsgDlgBtn> shown;
        QList<int> captionWidths;
        for (int b = 0; b < kButtonCount; ++b) {
            const auto btn = static_cast<TMsgDlgBtn>(b);
            if (!buttons.contains(btn))
                continue;
            // Measured once; later dialogs keep this width even after a font change.
            if (g_buttonWidths[b] == 0)
                g_buttonWidths[b] = fm.boundingRect(withoutAccelerator(MsgDlgButtonCaption(btn))).width() + 8;
            shown.append(btn);
            captionWidths.append(g_buttonWidths[b]);
        }

        const QRect screen = screenRect();
        const QRect textRect = fm.boundingRect(QRect(0, 0, screen.width() / 2, 0), kTextFlags, msg);
        const QSize textBlock(std::max(0, textRect.right() + 1), std::max(0, textRect.bottom() + 1));
        const auto icon = iconOf(dlgType);
        const MessageDialogLayout layout = LayoutMessageDialog(measureUnits(form->font()), textBlock, captionWidths,
                                                               icon.has_value(),
                                                               form->layoutDirection() == Qt::RightToLeft);

        form->setFixedSize(layout.client);
        form->move(screen.width() / 2 - layout.client.width() / 2, screen.height() / 2 - layout.client.height() / 2);
        form->setCaption(MsgDlgCaption(dlgType));

        if (icon) {
            auto* image = new QLabel(form);
            image->setObjectName(QStringLiteral("Image"));
            image->setGeometry(layout.image);
            image->setPixmap(form->style()->standardIcon(*icon).pixmap(32, 32));
            form->m_image = image;
        }

        auto* label = new MessageLabel(form);
        label->setObjectName(QStringLiteral("Message"));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setText(msg);
        label->setGeometry(layout.message);
        form->m_message = label;

        const TMsgDlgBtn defaultBtn = defaultButtonOf(buttons);
        const TMsgDlgBtn cancelBtn = cancelButtonOf(buttons);
        for (qsizetype i = 0; i < shown.size(); ++i) {
            const TMsgDlgBtn btn = shown.at(i);
            auto* button = new QPushButton(MsgDlgButtonCaption(btn), form);
            button->setObjectName(MsgDlgButtonName(btn));
            // A focused button answers Enter itself.
            button->setAutoDefault(true);
            button->setGeometry(layout.buttons.at(i));
            const int result = MsgDlgModalResult(btn);
            if (btn == mbHelp) {
                QObject::connect(button, &QPushButton::clicked, form, [form] { form->helpButtonClick(); });
            } else {
                QObject::connect(button, &QPushButton::clicked, form, [form, result] { form->setModalResult(result); });
            }
            if (btn == defaultBtn) {
                button->setDefault(true);
                form->m_default = button;
                button->setFocus();
            }
            if (btn == cancelBtn)
                form->m_cancel = button;
            form->m_buttons.append(button);
        }
    } catch (...) {
        vorta::Component::free(form);
        throw;
    }
    return form;
}

int MessageDlgPosHelp(const QString& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, int helpCtx, int x, int y,
                      const QString& helpFileName)
{
    vorta::ui::MessageRequest request;
    request.kind = kindOf(dlgType);
    request.caption = MsgDlgCaption(dlgType);
    request.text = msg;
    for (int b = 0; b < kButtonCount; ++b) {
        const auto btn = static_cast<TMsgDlgBtn>(b);
        if (buttons.contains(btn))
            request.buttons.append(vorta::ui::DialogButton{MsgDlgButtonName(btn), MsgDlgButtonCaption(btn),
                                                           MsgDlgModalResult(btn)});
    }
    // Without a default button Enter does nothing, so an unattended answer is what the
    // window frame gives (2); without an Escape button only the frame closes it.
    const TMsgDlgBtn defaultBtn = defaultButtonOf(buttons);
    const TMsgDlgBtn cancelBtn = cancelButtonOf(buttons);
    request.defaultResult = buttons.contains(defaultBtn) ? MsgDlgModalResult(defaultBtn) : 2;
    request.cancelResult = buttons.contains(cancelBtn) ? MsgDlgModalResult(cancelBtn) : 2;
    request.helpContext = helpCtx;
    request.position = QPoint(x, y);
    // The widget is built only when a person is to see it; scripted and unattended
    // answers need none.
    request.runInteractive = [=] {
        TMessageForm* form = CreateMessageDialog(msg, dlgType, buttons);
        FreeGuard guard{form};
        form->setHelpContext(helpCtx);
        form->setHelpFile(helpFileName);
        // Created centred; a given edge moves it.
        if (x >= 0)
            form->move(x, form->y());
        if (y >= 0)
            form->move(form->x(), y);
        return form->showModal();
    };
    return vorta::ui::dialogService().message(request);
}

int MessageDlgPos(const QString& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, int helpCtx, int x, int y)
{
    return MessageDlgPosHelp(msg, dlgType, buttons, helpCtx, x, y, QString());
}

int MessageDlg(const QString& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, int helpCtx)
{
    return MessageDlgPosHelp(msg, dlgType, buttons, helpCtx, -1, -1, QString());
}

void ShowMessagePos(const QString& text, int x, int y)
{
    MessageDlgPos(text, mtCustom, {mbOK}, 0, x, y);
}

void ShowMessage(const QString& text)
{
    ShowMessagePos(text, -1, -1);
}

void ShowMessageFmt(const QString& format, const QVariantList& args)
{
    ShowMessage(vorta::Format(format, args));
}

namespace {

// Escape, which the edit leaves alone, cancels the input.
class InputQueryForm : public vorta::ui::Form {
public:
    using vorta::ui::Form::Form;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape) {
            setModalResult(vorta::ui::mrCancel);
            return;
        }
        vorta::ui::Form::keyPressEvent(event);
    }
};

// The input dialog as the class library lays it out, with its own English captions.
vorta::ui::Form* createInputQueryForm(const QString& caption, const QString& prompt, const QString& value)
{
    auto* form = vorta::create<InputQueryForm>(vorta::Application::instance());
    try {
        form->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
        form->setCaption(caption);
        const MessageDialogUnits du = measureUnits(form->font());
        const int w = du.width;
        const int h = du.height;
        const int clientWidth = MulDiv(180, w, 4);
        const int clientHeight = MulDiv(63, h, 8);
        form->setFixedSize(clientWidth, clientHeight);
        const QRect screen = screenRect();
        form->move(screen.width() / 2 - clientWidth / 2, screen.height() / 2 - clientHeight / 2);

        auto* label = new QLabel(prompt, form);
        label->setObjectName(QStringLiteral("Prompt"));
        label->setTextFormat(Qt::PlainText);
        label->move(MulDiv(8, w, 4), MulDiv(8, h, 8));
        label->adjustSize();

        auto* edit = new QLineEdit(form);
        edit->setObjectName(QStringLiteral("Edit"));
        edit->setMaxLength(255);
        edit->setText(value);
        edit->setGeometry(label->x(), MulDiv(19, h, 8), MulDiv(164, w, 4), edit->sizeHint().height());
        edit->selectAll();
        edit->setFocus();

        const int buttonTop = MulDiv(41, h, 8);
        const int buttonWidth = MulDiv(50, w, 4);
        const int buttonHeight = MulDiv(14, h, 8);
        auto* ok = new QPushButton(QStringLiteral("OK"), form);
        ok->setObjectName(QStringLiteral("OK"));
        ok->setGeometry(MulDiv(38, w, 4), buttonTop, buttonWidth, buttonHeight);
        ok->setDefault(true);
        auto* cancel = new QPushButton(QStringLiteral("Cancel"), form);
        cancel->setObjectName(QStringLiteral("Cancel"));
        cancel->setGeometry(MulDiv(92, w, 4), buttonTop, buttonWidth, buttonHeight);
        QObject::connect(ok, &QPushButton::clicked, form, [form] { form->setModalResult(vorta::ui::mrOk); });
        QObject::connect(cancel, &QPushButton::clicked, form, [form] { form->setModalResult(vorta::ui::mrCancel); });
        // Enter in the edit answers the default button.
        QObject::connect(edit, &QLineEdit::returnPressed, ok, &QPushButton::click);
    } catch (...) {
        vorta::Component::free(form);
        throw;
    }
    return form;
}

} // namespace

bool InputQuery(const QString& caption, const QString& prompt, QString& value)
{
    vorta::ui::InputRequest request;
    request.caption = caption;
    request.prompt = prompt;
    request.value = value;
    request.runInteractive = [&]() -> std::optional<QString> {
        vorta::ui::Form* form = createInputQueryForm(caption, prompt, value);
        FreeGuard guard{form};
        if (form->showModal() != vorta::ui::mrOk)
            return std::nullopt;
        return form->findChild<QLineEdit*>(QStringLiteral("Edit"))->text();
    };
    const std::optional<QString> answer = vorta::ui::dialogService().input(request);
    if (!answer)
        return false;
    // The edit holds 255 characters at most, whoever answered.
    value = answer->left(255);
    return true;
}

QString InputBox(const QString& caption, const QString& prompt, const QString& defaultValue)
{
    QString result = defaultValue;
    InputQuery(caption, prompt, result);
    return result;
}
