#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace vorta {

struct ComponentAlive {};

// Ownership as the class library keeps it, apart from QWidget parenting: an owner
// frees the components it owns, the last inserted first, and a freed component
// leaves its owner's list.
class Component {
public:
    explicit Component(Component* owner = nullptr);
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;
    virtual ~Component();

    Component* owner() const { return m_owner; }
    int componentCount() const { return static_cast<int>(m_components.size()); }
    Component* component(int index) const { return m_components.at(static_cast<size_t>(index)); }
    const std::vector<Component*>& components() const { return m_components; }
    Component* findComponent(const QString& name) const;

    void insertComponent(Component* child);
    void removeComponent(Component* child);

    // The class library's Notification: an owner tells itself and each component it
    // owns (and they theirs) when a component joins or leaves it.
    enum class Operation { Insert, Remove };
    virtual void notification(Component* component, Operation operation);

    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    std::intptr_t tag() const { return m_tag; }
    void setTag(std::intptr_t tag) { m_tag = tag; }

    // True while the destructor runs (the class library's csDestroying).
    bool destroying() const { return m_destroying; }

    // Frees every owned component, the last first.
    void destroyComponents();

    // The one way to free a component: its BeforeDestruction step (OnDestroy of a
    // form, clearing of guarded variables) runs while the whole object still exists.
    static void free(Component* component);

    std::weak_ptr<ComponentAlive> aliveToken() const { return m_alive; }

protected:
    // Runs before the destructors; forms fire OnDestroy here.
    virtual void beforeDestruction() {}
    // Subclasses whose own destructor must see the owned components gone call this first.
    void beginDestroy();

private:
    Component* m_owner = nullptr;
    std::vector<Component*> m_components;
    QString m_name;
    std::intptr_t m_tag = 0;
    bool m_destroying = false;
    std::shared_ptr<ComponentAlive> m_alive;
    bool m_freeing = false;

    template <class T, class... Args>
    friend T* createInto(class GuardedBase& ref, Args&&... args);
    static thread_local std::shared_ptr<ComponentAlive>* s_pendingToken;
};

// Type-erased part of Guarded: a pointer that reads null once its component is freed.
class GuardedBase {
public:
    GuardedBase() = default;
    bool isNull() const { return m_raw == nullptr || m_alive.expired(); }

protected:
    void* m_raw = nullptr;
    std::weak_ptr<ComponentAlive> m_alive;

    template <class T, class... Args>
    friend T* createInto(GuardedBase& ref, Args&&... args);
};

// The exported form and data-module variables: never dangle.
template <class T>
class Guarded : public GuardedBase {
public:
    Guarded() = default;
    Guarded(std::nullptr_t) {}
    Guarded(T* object) { *this = object; }
    Guarded& operator=(T* object)
    {
        m_raw = object;
        m_alive = object ? static_cast<const Component*>(object)->aliveToken() : std::weak_ptr<ComponentAlive>();
        return *this;
    }
    Guarded& operator=(std::nullptr_t)
    {
        m_raw = nullptr;
        m_alive.reset();
        return *this;
    }
    T* get() const { return isNull() ? nullptr : static_cast<T*>(m_raw); }
    T* operator->() const { return get(); }
    T& operator*() const { return *get(); }
    operator T*() const { return get(); }
    explicit operator bool() const { return !isNull(); }
};

// Creates a T so that ref already names it while T's constructors run (an OnCreate
// handler may use the global variable). On a constructor failure ref is cleared and
// the exception passes on.
template <class T, class... Args>
T* createInto(GuardedBase& ref, Args&&... args)
{
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "plain delete must match");
    void* memory = ::operator new(sizeof(T));
    auto token = std::make_shared<ComponentAlive>();
    ref.m_raw = memory;
    ref.m_alive = token;
    auto* previous = Component::s_pendingToken;
    Component::s_pendingToken = &token;
    T* object = nullptr;
    try {
        object = new (memory) T(std::forward<Args>(args)...);
    } catch (...) {
        // The partly built object is gone already; only the memory and ref remain.
        Component::s_pendingToken = previous;
        ref.m_raw = nullptr;
        ref.m_alive.reset();
        ::operator delete(memory);
        throw;
    }
    Component::s_pendingToken = previous;
    if constexpr (requires { object->afterConstruction(); })
        object->afterConstruction();
    return object;
}

} // namespace vorta

namespace vorta {

// Creates a component and runs its after-construction step (a form's OnCreate).
template <class T, class... Args>
T* create(Args&&... args)
{
    T* object = new T(std::forward<Args>(args)...);
    if constexpr (requires { object->afterConstruction(); })
        object->afterConstruction();
    return object;
}

} // namespace vorta
