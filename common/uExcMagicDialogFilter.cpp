#include "uExcMagicDialogFilter.h"

#include "DialogsX.h"

#include <QDebug>

bool TNewDialogFilter::ExceptionMessage(vorta::ipc::ExceptionInfo& info)
{
    info.messageLines.clear();
    info.messageLines << QStringLiteral("%1 (%2, %3)").arg(info.message, info.className, info.moduleName);
    return true;
}

bool TNewDialogFilter::LogException(vorta::ipc::ExceptionInfo& info)
{
    if (!info.logLines.isEmpty())
        qDebug().noquote() << info.logLines.first();
    return true;
}

bool TNewDialogFilter::ShowException(const std::exception&, vorta::ipc::ExceptionInfo& info)
{
    ShowMessage(info.message);
    return false;
}
