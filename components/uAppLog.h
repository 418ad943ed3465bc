#pragma once

#include "platform/core/Component.h"

#include <QString>

// A text log: each Add appends "dd/mm/yyyy hh:nn:ss - " + text + CR LF to LogName.
class TAppLog : public vorta::Component {
public:
    explicit TAppLog(vorta::Component* owner = nullptr);

    QString LogName() const { return m_logName; }
    void setLogName(const QString& name) { m_logName = name; }

    // A file that cannot be opened or written shows "Erro ao fazer log!".
    void Add(const QString& text);

private:
    QString m_logName;
};
