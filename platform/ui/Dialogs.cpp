#include "platform/ui/Dialogs.h"

#include "platform/ui/Application.h"

#include <QDialog>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace vorta::ui {

namespace {
DialogService* g_installed = nullptr;

DialogService& defaultService()
{
    static StderrDialogService toStderr;
    static InteractiveDialogService interactive;
    if (qEnvironmentVariable("VORTA_DIALOGS").compare(QLatin1String("stderr"), Qt::CaseInsensitive) == 0)
        return toStderr;
    return interactive;
}

void printLine(const QString& line)
{
    const QByteArray bytes = line.toLocal8Bit();
    std::fprintf(stderr, "%s\n", bytes.constData());
    std::fflush(stderr);
}
} // namespace

DialogService::~DialogService() = default;

bool DialogService::printerSetup(const PrinterSetupRequest&)
{
    return false;
}

QString messageKindName(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning: return QStringLiteral("warning");
    case MessageKind::Error: return QStringLiteral("error");
    case MessageKind::Information: return QStringLiteral("information");
    case MessageKind::Confirmation: return QStringLiteral("confirmation");
    case MessageKind::Custom: return QStringLiteral("message");
    case MessageKind::SystemBox: return QStringLiteral("messagebox");
    }
    return QString();
}

DialogService& dialogService()
{
    return g_installed ? *g_installed : defaultService();
}

DialogService* installedDialogService()
{
    return g_installed;
}

void setDialogService(DialogService* service)
{
    g_installed = service;
}

int StderrDialogService::message(const MessageRequest& request)
{
    QStringList captions;
    for (const DialogButton& b : request.buttons)
        captions << QString(b.caption).remove(QLatin1Char('&'));
    printLine(QStringLiteral("[%1] %2: %3 [%4] -> %5")
                  .arg(messageKindName(request.kind), request.caption, request.text,
                       captions.join(QLatin1Char('/')))
                  .arg(request.defaultResult));
    return request.defaultResult;
}

std::optional<QString> StderrDialogService::input(const InputRequest& request)
{
    printLine(QStringLiteral("[input] %1: %2 = %3").arg(request.caption, request.prompt, request.value));
    return request.value;
}

std::optional<QString> StderrDialogService::file(const FileRequest& request)
{
    printLine(QStringLiteral("[file] %1: %2").arg(request.caption, request.fileName));
    return std::nullopt;
}

bool StderrDialogService::printerSetup(const PrinterSetupRequest& request)
{
    printLine(QStringLiteral("[printer setup] %1: %2 -> cancel").arg(request.caption, request.printerName));
    return false;
}

bool InteractiveDialogService::printerSetup(const PrinterSetupRequest& request)
{
    return request.runInteractive ? request.runInteractive() : false;
}

int InteractiveDialogService::message(const MessageRequest& request)
{
    if (request.runInteractive)
        return request.runInteractive();
    QDialog dialog;
    dialog.setWindowTitle(request.caption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(request.text, &dialog);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    row->addStretch();
    int answer = request.cancelResult;
    for (const DialogButton& b : request.buttons) {
        auto* button = new QPushButton(b.caption, &dialog);
        button->setDefault(b.modalResult == request.defaultResult);
        QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, &answer, r = b.modalResult] {
            answer = r;
            dialog.accept();
        });
        row->addWidget(button);
    }
    row->addStretch();
    layout->addLayout(row);
    dialog.exec();
    return answer;
}

std::optional<QString> InteractiveDialogService::input(const InputRequest& request)
{
    if (request.runInteractive)
        return request.runInteractive();
    bool ok = false;
    const QString text = QInputDialog::getText(nullptr, request.caption, request.prompt, QLineEdit::Normal,
                                               request.value, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> InteractiveDialogService::file(const FileRequest& request)
{
    QString chosen;
    switch (request.mode) {
    case FileRequest::Mode::Open:
        chosen = QFileDialog::getOpenFileName(nullptr, request.caption, request.directory, request.filter);
        break;
    case FileRequest::Mode::Save:
        chosen = QFileDialog::getSaveFileName(nullptr, request.caption,
                                              request.fileName.isEmpty() ? request.directory : request.fileName,
                                              request.filter);
        break;
    case FileRequest::Mode::Folder:
        chosen = QFileDialog::getExistingDirectory(nullptr, request.caption, request.directory);
        break;
    }
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

void showPlainMessage(const QString& text)
{
    MessageRequest request;
    request.kind = MessageKind::Custom;
    if (auto* app = Application::instance())
        request.caption = app->title();
    request.text = text;
    request.buttons = {DialogButton{QStringLiteral("OK"), QStringLiteral("&OK"), 1}};
    request.defaultResult = 1;
    request.cancelResult = 2;
    dialogService().message(request);
}

} // namespace vorta::ui
