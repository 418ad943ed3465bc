#include "uAppLog.h"

#include "DialogsX.h"

#include "platform/core/Clock.h"
#include "platform/core/Cp1252.h"

#include <QFile>

TAppLog::TAppLog(vorta::Component* owner) : Component(owner) {}

void TAppLog::Add(const QString& text)
{
    const QByteArray line = vorta::toCp1252(vorta::now().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))
                                            + QStringLiteral(" - ") + text + QStringLiteral("\r\n"));
    QFile file(m_logName);
    if (m_logName.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(line) != line.size())
        ShowMessage(QStringLiteral("Erro ao fazer log!"));
}
