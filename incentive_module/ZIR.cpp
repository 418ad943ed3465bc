#include "ZIRInicio.h"

#include "platform/ui/Application.h"
#include "platform/core/Exceptions.h"
#include "platform/ui/Form.h"

#include <QFileInfo>

int main(int argc, char** argv)
{
    vorta::Application app(argc, argv);
    // No title of its own: the program's name stands (the common data module reads it).
    app.setTitle(QFileInfo(app.exeName()).completeBaseName());
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
