#include "Export.h"

#include "platform/core/Exceptions.h"
#include "platform/db/DataSet.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ProgressBar.h"

TwExport::TwExport(vorta::Component* owner) : TRemessaExport(owner) {}

void TwExport::notification(vorta::Component* component, Operation operation)
{
    TRemessaExport::notification(component, operation);
    if (operation != Operation::Remove)
        return;
    if (component == ProgressBar)
        ProgressBar = nullptr;
    if (component == DisplayLabel)
        DisplayLabel = nullptr;
    if (component == NumberLabel)
        NumberLabel = nullptr;
}

void TwExport::Execute()
{
    ClearMsgs();
    if (!DataSet) {
        addErro(QStringLiteral("Erro ao abrir a tabela de remessa!"));
        throw vorta::Exception(QStringLiteral("Nenhuma tabela de remessa definida"));
    }
    vorta::db::DataSet* ds = DataSet;
    struct Closing {
        vorta::db::DataSet* ds;
        ~Closing()
        {
            try {
                ds->setActive(false);
                ds->setFiltered(false);
                ds->setFilter(QString());
            } catch (...) {
            }
        }
    };

    Closing closing{ds};
    try {
        ds->setActive(true);
    } catch (...) {
        addErro(QStringLiteral("Erro ao abrir a tabela de remessa!"));
        throw;
    }

    QStringList lines;
    QString name;
    try {
        name = fileName();
    } catch (...) {
        addErro(QStringLiteral("Erro ao definir nome do arquivo de remessa!"));
        throw;
    }
    if (Append) {
        try {
            lines = loadLines(name);
        } catch (...) {
            addErro(QStringLiteral("Erro ao abrir o arquivo de remessa"));
            throw;
        }
    }
    if (!Filter.trimmed().isEmpty()) {
        ds->setFilter(Filter);
        ds->setFiltered(true);
    }
    if (ds->isEmpty()) {
        addMsg(QStringLiteral("Não há registros para a geração de remessa!"));
        return;
    }
    if (BeforeExport)
        BeforeExport(ds, UpDate, N_Remessa);
    const int total = ds->recordCount();
    if (ShowProgress) {
        if (DisplayLabel)
            DisplayLabel->setCaption(ds->name());
        if (ProgressBar)
            ProgressBar->setMax(total);
    }
    ds->first();
    for (int passes = 0; morePasses(passes, total); ++passes) {
        QString line = doRecord();
        if (UpDate && AfterDoRecord)
            AfterDoRecord(ds, UpDate, N_Remessa);
        lines.append(line);
        if (ShowProgress && ProgressBar)
            ProgressBar->stepAndRepaint(1);
        if (!UpDate)
            ds->next();
    }
    if (lines.isEmpty()) {
        addErro(QStringLiteral("Erro ao gravar remessas no arquivo transmissão!"));
        throw vorta::Exception(QString());
    }
    saveLines(name, lines);
    if (AfterExport)
        AfterExport(ds, UpDate, N_Remessa);
    if (ShowProgress) {
        if (NumberLabel)
            NumberLabel->setCaption(QString::number(lines.size()));
        addMsg(QStringLiteral("Exportado(s) ") + QString::number(lines.size()) + QStringLiteral(" Registro(s)"));
    }
}
