#pragma once

#include "platform/ui/Form.h"

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVariantList>

#include <cstdint>
#include <functional>
#include <initializer_list>

class QLabel;
class QPushButton;

// The library's message dialogs with Portuguese captions and buttons, its plain
// message dialog and its one-line input dialog. Every one of them is shown through
// the dialog service, so tests script them and unattended runs answer them.

enum TMsgDlgType { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3, mtCustom = 4 };

enum TMsgDlgBtn {
    mbYes = 0, mbNo = 1, mbOK = 2, mbCancel = 3, mbAbort = 4, mbRetry = 5, mbIgnore = 6,
    mbAll = 7, mbNoToAll = 8, mbYesToAll = 9, mbHelp = 10
};

// A set of buttons, one bit per TMsgDlgBtn.
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons)
    {
        for (TMsgDlgBtn b : buttons)
            *this += b;
    }
    // Adds a button to the set.
    constexpr TMsgDlgButtons& operator+=(TMsgDlgBtn b)
    {
        m_bits = static_cast<std::uint16_t>(m_bits | bit(b));
        return *this;
    }
    constexpr bool contains(TMsgDlgBtn b) const { return (m_bits & bit(b)) != 0; }
    constexpr bool empty() const { return m_bits == 0; }
    constexpr std::uint16_t bits() const { return m_bits; }
    constexpr bool operator==(const TMsgDlgButtons&) const = default;

private:
    static constexpr std::uint16_t bit(TMsgDlgBtn b) { return static_cast<std::uint16_t>(1u << static_cast<unsigned>(b)); }
    std::uint16_t m_bits = 0;
};

// Tables of the dialog: window caption per type (mtCustom: the application's
// title), and per button its component name, caption and modal result.
QString MsgDlgCaption(TMsgDlgType type);
QString MsgDlgButtonName(TMsgDlgBtn button);
QString MsgDlgButtonCaption(TMsgDlgBtn button);
int MsgDlgModalResult(TMsgDlgBtn button);

// The laid-out message dialog: image "Image", label "Message" and one button per
// member of the set, named and captioned from the tables.
class TMessageForm : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TMessageForm(vorta::Component* owner);

    int helpContext() const { return m_helpContext; }
    void setHelpContext(int context) { m_helpContext = context; }
    QString helpFile() const { return m_helpFile; }
    void setHelpFile(const QString& file) { m_helpFile = file; }

    QLabel* image() const { return m_image; }
    QLabel* messageLabel() const { return m_message; }
    const QList<QPushButton*>& buttons() const { return m_buttons; }
    // Enter presses the default button unless another button has the focus; Escape
    // presses the cancel button. Either may be missing.
    QPushButton* defaultButton() const { return m_default; }
    QPushButton* cancelButton() const { return m_cancel; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend TMessageForm* CreateMessageDialog(const QString&, TMsgDlgType, TMsgDlgButtons);
    void helpButtonClick();

    int m_helpContext = 0;
    QString m_helpFile;
    QLabel* m_image = nullptr;
    QLabel* m_message = nullptr;
    QList<QPushButton*> m_buttons;
    QPushButton* m_default = nullptr;
    QPushButton* m_cancel = nullptr;
};

// Dialog units of a font: the average width of the 52 letters "A" to "Z" and "a"
// to "z" (truncated) and their height.
struct MessageDialogUnits {
    int width = 0;
    int height = 0;
};

// Where the parts of a message dialog go, in client coordinates.
struct MessageDialogLayout {
    QSize client;
    QRect image; // empty without an icon
    QRect message;
    QList<QRect> buttons;
};

// The layout from the dialog units, the measured text block, the measured caption
// widths of the dialog's buttons (left to right) and whether it shows an icon.
MessageDialogLayout LayoutMessageDialog(MessageDialogUnits units, QSize textBlock, const QList<int>& captionWidths,
                                        bool withIcon, bool rightToLeft);

// Builds and lays out the dialog without showing it; the caller frees it
// (vorta::Component::free).
TMessageForm* CreateMessageDialog(const QString& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons);

// The modal result of the pressed button; a dialog closed through its window frame
// answers 2 (mrCancel) whatever its buttons, also a Yes/No question.
int MessageDlg(const QString& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, int helpCtx);
int MessageDlgPos(const QString& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, int helpCtx, int x, int y);
// x >= 0 sets the left edge, y >= 0 the top edge; both negative centres the dialog.
int MessageDlgPosHelp(const QString& msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, int helpCtx, int x, int y,
                      const QString& helpFileName);

void ShowMessage(const QString& text);
// ShowMessage of Format(format, args); a mismatch raises Format's EConvertError.
void ShowMessageFmt(const QString& format, const QVariantList& args);
void ShowMessagePos(const QString& text, int x, int y);

// True, and value replaced by the edited text (255 characters at most), only when
// OK is pressed.
bool InputQuery(const QString& caption, const QString& prompt, QString& value);
// The edited text on OK, the default otherwise.
QString InputBox(const QString& caption, const QString& prompt, const QString& defaultValue);

// What the help button of a message dialog calls (help file, context); this
// platform has no help viewer of its own, so the program installs one.
using MessageHelpHandler = std::function<void(const QString& helpFile, int helpContext)>;
void SetMessageHelpHandler(MessageHelpHandler handler);

// The button widths are measured once per process, with the first dialog's font.
// Tests start from a cleared cache.
void ResetMessageButtonWidths();
int CachedMessageButtonWidth(TMsgDlgBtn button);
