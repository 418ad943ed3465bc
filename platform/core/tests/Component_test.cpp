#include "platform/core/Component.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <QStringList>

using vorta::Component;
using vorta::Guarded;

namespace {

QStringList g_log;

class Recorded : public Component {
public:
    Recorded(Component* owner, QString name) : Component(owner) { setName(std::move(name)); }
    ~Recorded() override { g_log << name(); }
};

class FailingInConstructor : public Component {
public:
    explicit FailingInConstructor(Component* owner) : Component(owner) { throw vorta::Exception("no"); }
};

Guarded<class SeesItself> g_self;

class SeesItself : public Component {
public:
    explicit SeesItself(Component* owner) : Component(owner) { sawItself = g_self.get() == this; }
    bool sawItself = false;
};

} // namespace

TEST(Component, OwnerFreesWhatItOwnsLastFirst)
{
    g_log.clear();
    auto* owner = new Recorded(nullptr, "owner");
    new Recorded(owner, "a");
    new Recorded(owner, "b");
    auto* c = new Recorded(owner, "c");
    new Recorded(c, "c1");
    Component::free(owner);
    // Each destructor body runs before its own components go, as in the class library.
    EXPECT_EQ(g_log, QStringList({"owner", "c", "c1", "b", "a"}));
}

TEST(Component, FreedComponentLeavesItsOwnersList)
{
    Recorded owner(nullptr, "owner");
    auto* a = new Recorded(&owner, "a");
    auto* b = new Recorded(&owner, "b");
    Component::free(a);
    ASSERT_EQ(owner.componentCount(), 1);
    EXPECT_EQ(owner.component(0), b);
    EXPECT_EQ(owner.findComponent("B"), b);
}

TEST(Component, GuardedPointerReadsNullOnceFreed)
{
    Recorded owner(nullptr, "owner");
    Guarded<Recorded> ref = new Recorded(&owner, "a");
    EXPECT_NE(ref.get(), nullptr);
    owner.destroyComponents();
    EXPECT_EQ(ref.get(), nullptr);
    EXPECT_FALSE(ref);
}

TEST(Component, CreateIntoSetsTheVariableBeforeTheConstructorRuns)
{
    Recorded owner(nullptr, "owner");
    SeesItself* made = vorta::createInto<SeesItself>(g_self, &owner);
    EXPECT_TRUE(made->sawItself);
    EXPECT_EQ(g_self.get(), made);
}

TEST(Component, CreateIntoLeavesTheVariableEmptyWhenTheConstructorFails)
{
    Recorded owner(nullptr, "owner");
    Guarded<FailingInConstructor> ref;
    EXPECT_THROW(vorta::createInto<FailingInConstructor>(ref, &owner), vorta::Exception);
    EXPECT_EQ(ref.get(), nullptr);
    EXPECT_EQ(owner.componentCount(), 0);
}

TEST(Component, AbortIsTheSilentException)
{
    try {
        vorta::Abort();
    } catch (const vorta::EAbort& e) {
        EXPECT_STREQ(e.className(), "EAbort");
        return;
    }
    FAIL() << "Abort did not raise EAbort";
}

namespace {

// Writes down what it hears about the components of its owner.
class Listener : public Component {
public:
    Listener(Component* owner, QStringList& log) : Component(owner), m_log(log) {}
    void notification(Component* component, Operation operation) override
    {
        Component::notification(component, operation);
        m_log << QStringLiteral("%1 %2").arg(operation == Operation::Insert ? "+" : "-", component == this ? QStringLiteral("me") : component->name());
    }

private:
    QStringList& m_log;
};

} // namespace

TEST(Component, OwnedComponentsHearOfComponentsJoiningAndLeavingTheirOwner)
{
    QStringList log;
    auto* owner = new Recorded(nullptr, "owner");
    new Listener(owner, log);
    auto* a = new Component(owner);
    a->setName("a");
    auto* b = new Recorded(a, "b");
    Component::free(a);
    Recorded other(nullptr, "other");
    auto* c = new Recorded(&other, "c");
    owner->insertComponent(c);
    // A joining (names are set after the constructor), a leaving; b belongs to a, not
    // to the owner; c moved in from another owner. The listener's own arrival comes
    // while it is still being built, so it does not hear it.
    EXPECT_EQ(QStringList({"+ ", "- a", "+ c"}), log);
    (void)b;
    log.clear();
    // An owner going away tells nobody.
    Component::free(owner);
    EXPECT_TRUE(log.isEmpty());
}
