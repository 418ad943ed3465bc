#include "USelecao.h"
#include "URel_Prot_Net.h"
#include "Vorta_Retorno.h"
#include "uDmVortaModule.h"
#include "uRel.h"
#include "uTemplate.h"
#include "uVortaMenuForm.h"

#include "platform/ui/Application.h"
#include "platform/ui/Form.h"

int main(int argc, char** argv)
{
    vorta::Application app(argc, argv);
    app.setTitle(QStringLiteral("Vorta_Mod"));
    vorta::ui::createForm(fVortaMenuForm);
    vorta::ui::createForm(Ftemplate);
    vorta::ui::createForm(FSelecao);
    vorta::createInto<TRel>(Rel, &app);
    InicializarVariaveisGlobais();
    InstalaResultadoProcessamento();
    InstalaProtocolos();
    if (auto* main = app.mainForm(); main && !app.terminated())
        main->show();
    return app.run();
}
