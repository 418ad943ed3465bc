// A module package as the framework loads it: its start-up registers its module.
#include "uDmVortaModule.h"

#include "platform/ui/Application.h"

namespace {

class TDmTeste : public TDmVortaModule {
public:
    explicit TDmTeste(vorta::Component* owner) : TDmVortaModule(owner)
    {
        auto* top = NewItemX("&Teste", QKeySequence(), false, true, nullptr, 0, "Teste1", 0);
        auto* a = NewItemX("Item &A", QKeySequence("Ctrl+A"), false, true, [](vorta::ui::MenuItem*) {}, 17, "ItemA", 5);
        auto* sub = NewItemX("Mais", QKeySequence(), false, true, nullptr, 0, "Mais1", 0);
        sub->add(NewItemX("Item &B", QKeySequence(), true, false, nullptr, 0, "ItemB", 0));
        top->add(a);
        top->add(sub);
        MainMenu->items()->add(top);
    }
    QString GetModuleVersion() override { return "3.2.1"; }
    QString GetModuleID() override { return "ZTESTE"; }
};

vorta::Guarded<TDmTeste> DmTeste;

// Another object of the package's own, left with the application.
class TPacoteAuxiliar : public vorta::Component {
public:
    using vorta::Component::Component;
};

} // namespace

extern "C" void VortaPackageInitialize()
{
    const QByteArray fail = qgetenv("VORTA_TEST_PACKAGE_FAIL");
    if (!fail.isEmpty() && fail != "after")
        throw vorta::Exception("start-up failed");
    if (qEnvironmentVariableIsSet("VORTA_TEST_PACKAGE_EXTRA"))
        (new TPacoteAuxiliar(vorta::Application::instance()))->setName("Auxiliar");
    InitializeModule(DmTeste);
    if (fail == "after")
        throw vorta::Exception("start-up failed after registering");
}
