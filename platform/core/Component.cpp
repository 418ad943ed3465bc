#include "platform/core/Component.h"

#include <algorithm>

namespace vorta {

thread_local std::shared_ptr<ComponentAlive>* Component::s_pendingToken = nullptr;

Component::Component(Component* owner)
{
    if (s_pendingToken) {
        m_alive = *s_pendingToken;
        s_pendingToken = nullptr; // only the object being created takes it
    } else {
        m_alive = std::make_shared<ComponentAlive>();
    }
    if (owner)
        owner->insertComponent(this);
}

Component::~Component()
{
    beginDestroy();
    if (m_owner)
        m_owner->removeComponent(this);
}

void Component::beginDestroy()
{
    if (m_destroying)
        return;
    m_destroying = true;
    m_alive.reset();
    destroyComponents();
}

void Component::destroyComponents()
{
    while (!m_components.empty()) {
        Component* last = m_components.back();
        m_components.pop_back();
        last->m_owner = nullptr;
        free(last);
    }
}

void Component::free(Component* component)
{
    if (!component || component->m_freeing)
        return;
    component->m_freeing = true;
    component->beforeDestruction();
    component->m_alive.reset();
    delete component;
}

Component* Component::findComponent(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    for (Component* c : m_components)
        if (c->name().compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

void Component::insertComponent(Component* child)
{
    if (!child || child->m_owner == this)
        return;
    if (child->m_owner)
        child->m_owner->removeComponent(child);
    child->m_owner = this;
    m_components.push_back(child);
    notification(child, Operation::Insert);
}

void Component::notification(Component* component, Operation operation)
{
    // A copy: a handler may create or free components of this owner.
    const std::vector<Component*> owned = m_components;
    for (Component* c : owned)
        if (std::find(m_components.begin(), m_components.end(), c) != m_components.end())
            c->notification(component, operation);
}

void Component::removeComponent(Component* child)
{
    auto it = std::find(m_components.begin(), m_components.end(), child);
    if (it != m_components.end()) {
        m_components.erase(it);
        child->m_owner = nullptr;
        if (!m_destroying)
            notification(child, Operation::Remove);
    }
}

} // namespace vorta
