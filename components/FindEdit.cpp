#include "FindEdit.h"

#include "platform/ui/Application.h"
#include "platform/db/Table.h"

TFindEdit::TFindEdit(QWidget* parent, const QString& name) : vorta::ui::Edit(parent, name)
{
    // After the edit's own handler, so OnChange runs first.
    connect(this, &QLineEdit::textChanged, this, [this] { vorta::Application::runGuarded([this] { Change(); }); });
}

vorta::db::Table* TFindEdit::Tabela() const
{
    if (m_table && m_tableAlive.expired())
        const_cast<TFindEdit*>(this)->m_table = nullptr;
    if (!m_table) {
        auto* self = const_cast<TFindEdit*>(this);
        while (!self->m_joined.isEmpty()) {
            const auto [component, alive] = self->m_joined.takeFirst();
            if (alive.expired())
                continue;
            if (auto* table = dynamic_cast<vorta::db::Table*>(component)) {
                self->m_table = table;
                self->m_tableAlive = table->aliveToken();
                self->m_joined.clear();
                break;
            }
        }
    }
    return m_table;
}

void TFindEdit::setTabela(vorta::db::Table* table)
{
    m_joined.clear();
    m_table = table;
    m_tableAlive = table ? table->aliveToken() : std::weak_ptr<vorta::ComponentAlive>();
}

void TFindEdit::Change()
{
    if (vorta::db::Table* table = Tabela())
        table->findNearest({text()});
}

void TFindEdit::notification(vorta::Component* component, Operation operation)
{
    vorta::ui::Edit::notification(component, operation);
    if (component == this)
        return;
    if (operation == Operation::Insert) {
        if (!m_table || m_tableAlive.expired())
            m_joined << std::make_pair(component, component->aliveToken());
    } else {
        if (component == m_table)
            setTabela(nullptr);
        for (qsizetype i = m_joined.size() - 1; i >= 0; --i)
            if (m_joined.at(i).first == component)
                m_joined.removeAt(i);
    }
}
