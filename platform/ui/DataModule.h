#pragma once

#include "platform/ui/Application.h"
#include "platform/core/Component.h"

#include <functional>

namespace vorta::ui {

// A non-visual container of components with OnCreate and OnDestroy, as forms have.
class DataModule : public Component {
public:
    explicit DataModule(Component* owner = nullptr) : Component(owner) {}

    std::function<void(DataModule*)> OnCreate;
    std::function<void(DataModule*)> OnDestroy;

    // Runs OnCreate; an exception there is handed to the application, as for forms.
    void afterConstruction()
    {
        if (OnCreate)
            Application::runGuarded([this] { OnCreate(this); });
    }

protected:
    void beforeDestruction() override
    {
        if (OnDestroy)
            OnDestroy(this);
    }
};

} // namespace vorta::ui
