#include "DialogsX.h"

#include "platform/core/Application.h"
#include "platform/ui/Dialogs.h"

void ShowMessage(const QString& text)
{
    using namespace vorta::ui;
    MessageRequest request;
    request.kind = MessageKind::Custom;
    request.caption = vorta::Application::instance() ? vorta::Application::instance()->title() : QString();
    request.text = text;
    request.buttons = {DialogButton{QStringLiteral("OK"), QStringLiteral("&OK"), 1}};
    request.defaultResult = 1;
    request.cancelResult = 2;
    dialogService().message(request);
}
