#pragma once

// TgImport: updates a local table from a downloaded data file (zipped or plain) read
// through a text table, with a batch move or record by record. It never raises: every
// failure ends the run with a message in its lists.

#include "platform/core/Component.h"
#include "platform/db/BatchMove.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class TChecksum;

namespace vorta::db {
class Field;
class Table;
class TextTable;
}
namespace vorta::ui {
class Label;
class ProgressBar;
}
namespace vorta::zip {
class UnZip;
}

enum class TMethodType { mtLoop, mtBatchMove };

class TgImport : public vorta::Component {
public:
    using BeforeImportEvent = std::function<void(bool& Continue, const QString& fileName, const QString& crcFileName)>;
    using FileCompactEvent = std::function<void(const QString& fileName)>;
    using RecordEvent = std::function<void()>;
    using AfterImportEvent = std::function<void(TgImport* sender, const QString& fileName, const QString& crcFileName)>;

    explicit TgImport(vorta::Component* owner = nullptr);
    ~TgImport() override;

    int KeyMethodLoop = 0;
    QString Nome;
    QString FileName;
    QString DirSource;
    QString DirTarget;
    bool IsCompact = false;
    bool compactDefault() const { return m_compactDefault; }
    void setCompactDefault(bool on);
    vorta::db::TextTable* TableOrigem = nullptr;
    vorta::db::Table* TableDestino = nullptr;
    TMethodType methodType() const { return m_methodType; }
    void setMethodType(TMethodType type);
    vorta::db::BatchMode BatchMode = vorta::db::BatchMode::batAppendUpdate;
    bool conversionDate() const { return m_conversionDate; }
    void setConversionDate(bool on);
    bool ShowGauge = false;
    vorta::ui::ProgressBar* Gauge = nullptr;
    vorta::ui::Label* Status = nullptr;
    QStringList Mappings;

    BeforeImportEvent BeforeImport;
    FileCompactEvent OnFileCompact;
    RecordEvent BeforeImportRecord;
    RecordEvent AfterImportRecord;
    AfterImportEvent AfterImport;

    void Execute();
    void ClearMsgs();

    const QStringList& Msgs() const { return m_msgs; }
    const QStringList& ExceptionMsgs() const { return m_exceptionMsgs; }
    const QString& CrcFileName() const { return m_crc; }
    const QByteArray& ZipComment() const { return m_zipComment; }

    void notification(vorta::Component* component, Operation operation) override;

private:
    void msg(const QString& text) { m_msgs.append(Nome + QStringLiteral(" - ") + text); }
    void erro(const QString& text) { m_msgs.append(QStringLiteral("ERRO ") + Nome + QStringLiteral(" - ") + text); }
    void exceptionText(const QString& text) { m_exceptionMsgs.append(Nome + QStringLiteral(": ") + text); }
    // Runs a step; an exception keeps its text and the step's error message, and
    // answers false.
    bool step(const QString& errorText, const std::function<void()>& work);
    bool run();
    void unzipIntoTarget();
    bool copyBatchMove();
    bool copyRecordByRecord();
    QVariant converted(const vorta::db::Field* origin, const vorta::db::Field* destination,
                       const char* dateErrorText, bool& dateFailed);

    bool m_compactDefault = false;
    TMethodType m_methodType = TMethodType::mtLoop;
    bool m_conversionDate = false;
    bool m_continue = true;
    QString m_crc;
    QByteArray m_zipComment;
    QStringList m_msgs;
    QStringList m_exceptionMsgs;
    int m_count = 0;
    TChecksum* m_checksum = nullptr;
    std::unique_ptr<vorta::zip::UnZip> m_unzip;
};
