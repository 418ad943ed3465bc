#include "uExport.h"

#include "platform/core/Exceptions.h"
#include "platform/db/DataSet.h"

#include <exception>

TwExporta::TwExporta(vorta::Component* owner) : TRemessaExport(owner) {}

bool TwExporta::Execute()
{
    bool result = false;
    ClearMsgs();
    if (!DataSet) {
        addErro(QStringLiteral("Ocorreu um erro ao abrir o arquivo de remessa"));
        return false;
    }
    vorta::db::DataSet* ds = DataSet;
    try {
        ds->setActive(true);
    } catch (...) {
        addErro(QStringLiteral("Ocorreu um erro ao abrir o arquivo de remessa"));
        try {
            ds->setFilter(QString());
            ds->close();
        } catch (...) {
        }
        return false;
    }

    try {
        QStringList lines;
        const QString name = fileName();
        if (Append) {
            try {
                lines = loadLines(name);
            } catch (const vorta::Exception&) {
                // An unreadable earlier file starts an empty remittance.
            }
        }
        ds->setFiltered(true);
        ds->setFilter(Filter);
        ds->open();
        const int total = ds->recordCount();
        if (total == 0) {
            addMsg(QStringLiteral("Não há registros para a geração de remessa!"));
        } else {
            if (BeforeExport)
                BeforeExport(ds, Step, N_Remessa);
            ds->first();
            int processed = 0;
            for (int passes = 0; morePasses(passes, total); ++passes) {
                QString line = doRecord();
                if (AfterDoRecord)
                    AfterDoRecord(ds, Step, N_Remessa);
                lines.append(line);
                ++processed;
                if (OnProgress)
                    OnProgress(this, processed * 100 / total);
                if (Step)
                    ds->next();
            }
            if (AfterExport)
                AfterExport(ds, Step, N_Remessa);
            if (!lines.isEmpty()) {
                if (OnProgress)
                    OnProgress(this, 100);
                saveLines(name, lines);
                result = true;
            } else {
                addErro(QStringLiteral("Erro ao gravar arquivo de remessa!"));
            }
        }
    } catch (const vorta::Exception& e) {
        addErro(e.message());
    } catch (const std::exception& e) {
        addErro(QString::fromUtf8(e.what()));
    }
    try {
        ds->setFilter(QString());
        ds->close();
    } catch (...) {
    }
    return result;
}
