#include "gImport.h"

#include "Checksum.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Table.h"
#include "platform/db/TextTable.h"
#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ProgressBar.h"
#include "platform/zip/UnZip.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include <exception>

namespace {

QString textOf(const std::exception& e)
{
    if (const auto* v = dynamic_cast<const vorta::Exception*>(&e))
        return v->message();
    return QString::fromUtf8(e.what());
}

// A date of eight digits, day first when that gives a year from 1900 on, else year
// first; explicit formats, whatever the process's date settings.
QDate importDate(const QString& text)
{
    const QString t = text.trimmed();
    if (t.size() != 8)
        return {};
    for (QChar c : t)
        if (!c.isDigit())
            return {};
    const QDate dayFirst = QDate::fromString(t, QStringLiteral("ddMMyyyy"));
    if (dayFirst.isValid() && dayFirst.year() >= 1900)
        return dayFirst;
    return QDate::fromString(t, QStringLiteral("yyyyMMdd"));
}

} // namespace

TgImport::TgImport(vorta::Component* owner)
    : vorta::Component(owner), m_checksum(new TChecksum(this)), m_unzip(std::make_unique<vorta::zip::UnZip>())
{
}

TgImport::~TgImport() = default;

void TgImport::setCompactDefault(bool on)
{
    m_compactDefault = on;
    if (on)
        IsCompact = true;
}

void TgImport::setMethodType(TMethodType type)
{
    m_methodType = type;
    if (type == TMethodType::mtBatchMove)
        m_conversionDate = false;
}

void TgImport::setConversionDate(bool on)
{
    m_conversionDate = on && m_methodType != TMethodType::mtBatchMove;
}

void TgImport::notification(vorta::Component* component, Operation operation)
{
    vorta::Component::notification(component, operation);
    if (operation != Operation::Remove)
        return;
    if (component == TableOrigem)
        TableOrigem = nullptr;
    if (component == TableDestino)
        TableDestino = nullptr;
    if (component == Gauge)
        Gauge = nullptr;
    if (component == Status)
        Status = nullptr;
}

void TgImport::ClearMsgs()
{
    m_msgs.clear();
    m_exceptionMsgs.clear();
}

bool TgImport::step(const QString& errorText, const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        exceptionText(textOf(e));
        erro(errorText);
        return false;
    }
}

void TgImport::Execute()
{
    ClearMsgs();
    m_count = 0;
    vorta::CursorGuard hourGlass;
    const QString indexBefore = TableDestino ? TableDestino->indexName() : QString();
    bool destinationOpened = false;
    try {
        destinationOpened = run();
    } catch (const std::exception& e) {
        // Nothing escapes a run.
        exceptionText(textOf(e));
        erro(QStringLiteral("Ocorreu um erro na atualização dos dados!"));
    }
    try {
        if (TableOrigem)
            TableOrigem->close();
        if (TableDestino) {
            if (m_methodType == TMethodType::mtLoop)
                TableDestino->setCachedUpdates(false);
            TableDestino->close();
            if (destinationOpened)
                TableDestino->setIndexName(indexBefore);
        }
        if (ShowGauge && Gauge)
            Gauge->setPosition(0);
    } catch (const std::exception& e) {
        exceptionText(textOf(e));
    }
}

// Answers whether the destination's index was switched (so the closing steps give
// its own back).
bool TgImport::run()
{
    if (!TableOrigem || !TableDestino) {
        erro(QStringLiteral("Tabelas de origem e destino não definidas!"));
        return false;
    }
    if (ShowGauge && !Gauge) {
        erro(QStringLiteral("Indicador de progresso não definido!"));
        return false;
    }
    const QString source = DirSource + FileName;
    if (!QFile::exists(source)) {
        msg(QStringLiteral("Arquivo ") + FileName + QStringLiteral(" não existe no diretório download!"));
        return false;
    }
    QString crc;
    if (!step(QStringLiteral("Erro ao efetuar o cálculo CRC!"), [&] { crc = m_checksum->CRCFile(source); }))
        return false;
    if (crc == m_checksum->ErrorResult) {
        // The checksum's error text is no checksum of the file.
        erro(QStringLiteral("Erro ao efetuar o cálculo CRC!"));
        return false;
    }
    m_crc = crc;
    if (m_compactDefault) {
        try {
            m_unzip->open(source);
            m_unzip->entries();
            m_zipComment = m_unzip->comment();
        } catch (const std::exception&) {
        }
        m_unzip->close();
    }
    if (BeforeImport) {
        if (!step(QStringLiteral("Erro ao verificar CRC!"), [&] { BeforeImport(m_continue, FileName, m_crc); }))
            return false;
        if (!m_continue) {
            msg(QStringLiteral("Tabela já atualizada anteriormente!"));
            return false;
        }
    }
    if (!step(QStringLiteral("Erro ao criar arquivo sch!"), [&] {
            TableOrigem->setDatabaseName(DirTarget);
            TableOrigem->createTable();
        }))
        return false;
    const QString dataFile = QDir(DirTarget).filePath(TableOrigem->tableName());
    if (IsCompact && !m_compactDefault) {
        if (OnFileCompact
            && !step(QStringLiteral("Ocorreu erro ao descompactar ") + FileName, [&] { OnFileCompact(FileName); }))
            return false;
    } else if (m_compactDefault) {
        bool corrupt = false;
        if (!step(QStringLiteral("Ocorreu erro ao descompactar ") + FileName, [&] {
                m_unzip->open(source);
                const QStringList names = m_unzip->entries();
                m_zipComment = m_unzip->comment();
                for (int i = 0; i < names.size() && !corrupt; ++i)
                    corrupt = !m_unzip->testEntry(i);
                if (corrupt || names.isEmpty()) {
                    corrupt = true;
                    m_unzip->close();
                    return;
                }
                m_unzip->extractAll(DirTarget);
                m_unzip->close();
                const QString first = QDir(DirTarget).filePath(vorta::zip::UnZip::plainName(names.first()));
                // An entry that already bears the table's name is the data file.
                if (first != dataFile) {
                    QFile::remove(dataFile);
                    if (!QFile::rename(first, dataFile))
                        throw vorta::Exception(QStringLiteral("Cannot rename %1 to %2").arg(first, dataFile));
                }
            })) {
            m_unzip->close();
            return false;
        }
        if (corrupt) {
            msg(QStringLiteral("Arquivo ") + FileName + QStringLiteral(" ") + QStringLiteral("corrompido!"));
            return false;
        }
    } else {
        QFile::remove(dataFile);
        if (!QFile::copy(source, dataFile)) {
            erro(QStringLiteral("Ocorreu erro ao copiar ") + FileName + QStringLiteral(" ") + QStringLiteral("na pasta Dados!"));
            return false;
        }
    }
    if (!step(QStringLiteral("Ocorreu um erro ao abrir a tabela origem!"), [&] { TableOrigem->open(); }))
        return false;
    if (!step(QStringLiteral("Ocorreu um erro ao abrir a tabela destino!"), [&] {
            TableDestino->setIndexName(QStringLiteral("PrimaryKey"));
            TableDestino->open();
        }))
        return true;
    if (TableOrigem->isEmpty()) {
        msg(QStringLiteral("Não há registros na origem para atualização!"));
        return true;
    }
    if (ShowGauge)
        Gauge->setMax(TableOrigem->recordCount());
    if (Status) {
        Status->setCaption(Nome + QStringLiteral(" - Atualizando..."));
        Status->repaint();
    }
    bool copied = false;
    try {
        copied = m_methodType == TMethodType::mtBatchMove ? copyBatchMove() : copyRecordByRecord();
    } catch (const std::exception& e) {
        exceptionText(textOf(e));
        erro(QStringLiteral("Ocorreu um erro na atualização dos dados!"));
        if (ShowGauge)
            Gauge->setPosition(0);
        return true;
    }
    if (!copied)
        return true;
    if (AfterImport
        && !step(QStringLiteral("Ocorreu um erro na atualização dos dados!"), [&] { AfterImport(this, FileName, m_crc); }))
        return true;
    if (Status)
        Status->setCaption(Nome + QStringLiteral(" - Atualização Concluída"));
    msg(QStringLiteral("Atualização Concluída - ") + QString::number(m_count) + QStringLiteral(" registros"));
    return true;
}

bool TgImport::copyBatchMove()
{
    vorta::db::BatchMove move;
    move.Source = TableOrigem;
    move.Destination = TableDestino;
    move.Mode = BatchMode;
    if (!Mappings.isEmpty())
        move.Mappings = Mappings;
    move.Execute();
    m_count = move.MovedCount();
    return true;
}

QVariant TgImport::converted(const vorta::db::Field* origin, const vorta::db::Field* destination,
                             const char* dateErrorText, bool& dateFailed)
{
    using vorta::db::FieldType;
    if (!m_conversionDate)
        return origin->value();
    switch (destination->dataType()) {
    case FieldType::Date:
    case FieldType::DateTime: {
        const QDate d = importDate(origin->asString());
        if (!d.isValid()) {
            erro(QString::fromUtf8(dateErrorText) + QString::number(TableOrigem->recNo()));
            dateFailed = true;
            return {};
        }
        return d.startOfDay();
    }
    case FieldType::Float:
    case FieldType::Currency:
        return origin->asFloat() / 100.0;
    default:
        return origin->value();
    }
}

bool TgImport::copyRecordByRecord()
{
    vorta::db::Table* dest = TableDestino;
    dest->setCachedUpdates(true);
    QList<QPair<vorta::db::Field*, vorta::db::Field*>> pairs;
    for (int i = 0; i < TableOrigem->fieldCount(); ++i)
        pairs.append(qMakePair(TableOrigem->fields(i), dest->findField(TableOrigem->fields(i)->fieldName())));
    bool ok = true;
    try {
        for (TableOrigem->first(); ok && !TableOrigem->eof(); TableOrigem->next()) {
            bool dateFailed = false;
            bool found = false;
            if (KeyMethodLoop > 0) {
                QVariantList key;
                for (int i = 0; i < KeyMethodLoop && !dateFailed; ++i) {
                    vorta::db::Field* of = TableOrigem->fields(i);
                    key << converted(of, dest->fieldByName(of->fieldName()), "Data inválida! Linha: ", dateFailed);
                }
                if (dateFailed) {
                    ok = false;
                    break;
                }
                found = dest->findKey(key);
            }
            if (found)
                dest->edit();
            else
                dest->append();
            for (const auto& [of, df] : pairs) {
                if (!df)
                    continue;
                const QVariant v = converted(of, df, "Data inválida!  Linha: ", dateFailed);
                if (dateFailed)
                    break;
                df->setValue(v);
            }
            if (dateFailed) {
                dest->cancel();
                ok = false;
                break;
            }
            if (BeforeImportRecord)
                BeforeImportRecord();
            if (ShowGauge)
                Gauge->stepAndRepaint(1);
            dest->post();
            ++m_count;
            if (AfterImportRecord)
                AfterImportRecord();
        }
        if (ok) {
            dest->applyUpdates();
            dest->commitUpdates();
        }
    } catch (const std::exception& e) {
        exceptionText(textOf(e));
        erro(TableOrigem->tableName() + QStringLiteral(" ") +
             (TableOrigem->fieldCount() > 0 ? TableOrigem->fields(0)->asString() : QString()));
        ok = false;
        try {
            dest->cancel();
        } catch (const std::exception&) {
        }
    }
    if (!ok)
        m_count = 0;
    // Switching cached updates off drops whatever was not applied.
    dest->setCachedUpdates(false);
    return ok;
}
