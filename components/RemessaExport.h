#pragma once

// What the two remittance exporters share: the dataset and its events, the message
// list, and the remittance file's lines.

#include "platform/core/Component.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace vorta::db {
class DataSet;
}

class TRemessaExport : public vorta::Component {
public:
    using DoRecordEvent = std::function<void(vorta::db::DataSet* dataSet, QString& sRecord)>;
    using NameEvent = std::function<void(QString& name)>;
    using UpdateEvent = std::function<void(vorta::db::DataSet* dataSet, bool& update, int nRemessa)>;

    explicit TRemessaExport(vorta::Component* owner = nullptr);

    vorta::db::DataSet* DataSet = nullptr;
    QString Filter;
    int N_Remessa = 0;
    bool Append = false;
    QString Nome;

    DoRecordEvent OnDoRecord;
    NameEvent OnName;
    UpdateEvent AfterDoRecord;
    UpdateEvent BeforeExport;
    UpdateEvent AfterExport;

    const QStringList& Msgs() const { return m_msgs; }
    // Every message, each followed by CR LF, in one message box.
    void ShowMsgs() const;
    void ClearMsgs() { m_msgs.clear(); }

    void notification(vorta::Component* component, Operation operation) override;

protected:
    void addMsg(const QString& text) { m_msgs.append(Nome + QStringLiteral(" - ") + text); }
    void addErro(const QString& text) { m_msgs.append(QStringLiteral("ERRO ") + Nome + QStringLiteral(" - ") + text); }

    // The file name: the dataset's component name, then OnName.
    QString fileName() const;
    // The lines of an existing file (CR LF, LF or CR ends a line); raises when it
    // exists but cannot be read.
    static QStringList loadLines(const QString& fileName);
    // Each line ended by CR LF, in the code page; raises when it cannot be written.
    static void saveLines(const QString& fileName, const QStringList& lines);

    // Builds the current record's line through OnDoRecord.
    QString doRecord();
    // Whether the record loop may make another pass: not at the end, records left,
    // and never more passes than the filtered dataset had records when it started,
    // so a loop told to stay on a record that no event takes away still ends.
    bool morePasses(int passes, int recordsAtStart) const;

private:
    QStringList m_msgs;
};
