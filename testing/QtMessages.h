#pragma once

#include <QStringList>

namespace vorta::testing {

// Collects the warnings and errors Qt reports while it lives (they still reach the
// log), so a test can see that an action left none behind.
class QtMessages {
public:
    QtMessages();
    ~QtMessages();
    QtMessages(const QtMessages&) = delete;
    QtMessages& operator=(const QtMessages&) = delete;

    QStringList messages() const { return m_messages; }

private:
    QStringList m_messages;
    QtMessages* m_previous = nullptr;
};

} // namespace vorta::testing
