#pragma once

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace vorta::ui {

// Kinds of message dialog; the first five keep the class library's order.
enum class MessageKind { Warning = 0, Error = 1, Information = 2, Confirmation = 3, Custom = 4, SystemBox = 5 };

QString messageKindName(MessageKind kind);

struct DialogButton {
    QString name;     // component name ("Yes", "OK", ...)
    QString caption;  // "&Sim", "&OK", ...
    int modalResult = 0;
};

// One message dialog as the suite asks for it.
struct MessageRequest {
    MessageKind kind = MessageKind::Custom;
    QString caption;
    QString text;
    QList<DialogButton> buttons;
    int defaultResult = 1;  // what Enter answers
    int cancelResult = 2;   // what Escape or the window frame answers
    int helpContext = 0;
    QPoint position{-1, -1};
    // Builds and runs the real widget; set by the dialog unit that laid it out.
    std::function<int()> runInteractive;
};

struct InputRequest {
    QString caption;
    QString prompt;
    QString value;
    // Builds and runs the real input form; set by the dialog unit that laid it out.
    std::function<std::optional<QString>()> runInteractive;
};

struct FileRequest {
    enum class Mode { Open, Save, Folder };
    Mode mode = Mode::Open;
    QString caption;
    QString directory;
    QString filter;
    QString fileName;
};

// The printer set-up dialog; the report engine fills runInteractive with the real one.
struct PrinterSetupRequest {
    QString caption;
    QString printerName;
    std::function<bool()> runInteractive;
};

// Every message box, input box and file dialog goes through here, so tests can
// script them and unattended runs never block.
class DialogService {
public:
    virtual ~DialogService();
    virtual int message(const MessageRequest& request) = 0;
    // The edited text on OK, nothing on Cancel.
    virtual std::optional<QString> input(const InputRequest& request) = 0;
    virtual std::optional<QString> file(const FileRequest& request) = 0;
    // True when the user confirmed the set-up; unattended services cancel.
    virtual bool printerSetup(const PrinterSetupRequest& request);
};

// The service in force: the one installed, else chosen by VORTA_DIALOGS
// ("stderr": print and answer the default button), else interactive.
DialogService& dialogService();
// Installs a service (not owned); nullptr goes back to the default.
void setDialogService(DialogService* service);
// The service installed with setDialogService (nullptr when none is).
DialogService* installedDialogService();

// Prints each dialog to standard error and answers its default.
class StderrDialogService : public DialogService {
public:
    int message(const MessageRequest& request) override;
    std::optional<QString> input(const InputRequest& request) override;
    std::optional<QString> file(const FileRequest& request) override;
    bool printerSetup(const PrinterSetupRequest& request) override;
};

// Real widgets.
class InteractiveDialogService : public DialogService {
public:
    int message(const MessageRequest& request) override;
    std::optional<QString> input(const InputRequest& request) override;
    std::optional<QString> file(const FileRequest& request) override;
    bool printerSetup(const PrinterSetupRequest& request) override;
};

// The class library's plain message dialog (caption = the application's title, OK);
// the full dialog unit lays it out itself, this is what the platform falls back on.
void showPlainMessage(const QString& text);

} // namespace vorta::ui
