#include "ZIRInicio.h"
#include "uDmVortaModule.h"

#include "platform/core/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"

#include <QFileInfo>

int main(int argc, char** argv)
{
    vorta::Application app(argc, argv);
    // No title of its own: the program's name stands (the common data module reads it).
    app.setTitle(QFileInfo(app.exeName()).completeBaseName());
    if (const QString falta = FaltaNaInstalacao(); !falta.isEmpty()) {
        vorta::ui::showPlainMessage(falta);
        return 1;
    }
    try {
        CriaObjetosDoZIR();
    } catch (const vorta::EAbort&) {
        return 0;
    } catch (const std::exception& e) {
        // A start-up that cannot complete is reported, and the program ends.
        app.handleException(e);
        return 1;
    }
    if (auto* main = app.mainForm(); main && !app.terminated())
        main->show();
    return app.run();
}
