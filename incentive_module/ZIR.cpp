#include "Menu.h"

#include "platform/core/Application.h"
#include "platform/ui/Form.h"

#include <QFileInfo>

int main(int argc, char** argv)
{
    vorta::Application app(argc, argv);
    // No title of its own: the program's name stands.
    app.setTitle(QFileInfo(app.exeName()).completeBaseName());
    vorta::ui::createForm(FrmMenu);
    if (auto* main = app.mainForm(); main && !app.terminated())
        main->show();
    return app.run();
}
