#pragma once

#include "platform/ui/Controls.h"

#include <memory>

namespace vorta::db {
class Table;
}

// An edit box that moves its table to the nearest key as the user types: each change
// of the text runs the edit's own change handling (OnChange) and then FindNearest with
// the whole text. A table that joins the edit's owner while none is set becomes the
// table; without one it is a plain edit box.
class TFindEdit : public vorta::ui::Edit {
    Q_OBJECT
public:
    explicit TFindEdit(QWidget* parent, const QString& name = QString());

    vorta::db::Table* Tabela() const;
    void setTabela(vorta::db::Table* table);

    // The change step; FindNearest's errors pass on to the caller.
    void Change();

    void notification(vorta::Component* component, Operation operation) override;

private:
    vorta::db::Table* m_table = nullptr;
    std::weak_ptr<vorta::ComponentAlive> m_tableAlive;
    // Components that joined the owner while no table was set; the first that is a
    // table becomes it (a component is a table only once it is fully built).
    QList<std::pair<vorta::Component*, std::weak_ptr<vorta::ComponentAlive>>> m_joined;
};
