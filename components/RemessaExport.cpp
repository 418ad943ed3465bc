#include "RemessaExport.h"

#include "DialogsX.h"

#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"
#include "platform/db/DataSet.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

TRemessaExport::TRemessaExport(vorta::Component* owner) : vorta::Component(owner) {}

void TRemessaExport::ShowMsgs() const
{
    QString text;
    for (const QString& m : m_msgs)
        text += m + QStringLiteral("\r\n");
    ShowMessage(text);
}

void TRemessaExport::notification(vorta::Component* component, Operation operation)
{
    vorta::Component::notification(component, operation);
    if (operation == Operation::Remove && component == DataSet)
        DataSet = nullptr;
}

QString TRemessaExport::fileName() const
{
    QString name = DataSet->name();
    if (OnName)
        OnName(name);
    return name;
}

QStringList TRemessaExport::loadLines(const QString& fileName)
{
    if (!QFileInfo::exists(fileName))
        return {};
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        throw vorta::Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, f.errorString()));
    QString text = vorta::fromCp1252(f.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void TRemessaExport::saveLines(const QString& fileName, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += vorta::toCp1252(line) + "\r\n";
    QSaveFile f(fileName);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw vorta::Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, f.errorString()));
}

QString TRemessaExport::doRecord()
{
    QString line;
    if (OnDoRecord)
        OnDoRecord(DataSet, line);
    return line;
}

bool TRemessaExport::morePasses(int passes, int recordsAtStart) const
{
    return !DataSet->eof() && !DataSet->isEmpty() && passes < recordsAtStart;
}
