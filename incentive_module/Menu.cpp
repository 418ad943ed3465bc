#include "Menu.h"

vorta::Guarded<TFrmMenu> FrmMenu;

TFrmMenu::TFrmMenu(vorta::Component* owner) : TVortaModuleForm(owner)
{
    setObjectName(QStringLiteral("FrmMenu"));
    setCaption(QStringLiteral("ZIR - Programa de Incentivo de Zirel"));
    MainMenu1 = new vorta::ui::MainMenu(this);
    MainMenu1->setName(QStringLiteral("MainMenu1"));
    setMainMenu(MainMenu1);
}
