#pragma once

#include "uVortaModuleForm.h"

#include "platform/ui/Menu.h"

// Main form of the incentive-programme module.
class TFrmMenu : public TVortaModuleForm {
    Q_OBJECT
public:
    explicit TFrmMenu(vorta::Component* owner = nullptr);

    vorta::ui::MainMenu* MainMenu1;
};

extern vorta::Guarded<TFrmMenu> FrmMenu;
