#pragma once

#include "DmValidar.h"
#include "FrmCadMapas.h"
#include "Menu.h"
#include "T_Cad_Municipio.h"
#include "T_DM_Comuns.h"
#include "UDM_MTC.h"
#include "UDm_Gerar.h"
#include "ZIRInicio.h"

#include "installation/InstallMessages.h"
#include "platform/ui/Application.h"
#include "testing/TempInstallation.h"
#include "uDmVortaModule.h"

#include <gtest/gtest.h>

namespace zir_test {

// The program started in this process on an installed database with its messages,
// without a shell (sends go nowhere); everything it created is freed afterwards.
class ZIRIniciado : public ::testing::Test {
protected:
    void SetUp() override
    {
        inst.installDatabase();
        vorta::installation::installMessages(inst.folder("dados"));
        InicializarVariaveisGlobais();
        app()->clearTermination();
        app()->setMainForm(nullptr);
        app()->setCommandLine({"ZIR", "0", "0"});
        CriaObjetosDoZIR();
    }
    void TearDown() override
    {
        vorta::Component::free(Dm_Gerar.get());
        vorta::Component::free(Cad_Municipio.get());
        vorta::Component::free(Dm_Validar.get());
        vorta::Component::free(DM_MTC.get());
        vorta::Component::free(FrmMenu.get());
        vorta::Component::free(DM_Comuns.get());
        AbreCadastroPecuaristaInclusao = nullptr;
        AbreTecnicosSelecao = nullptr;
        app()->setMainForm(nullptr);
        app()->setCommandLine({});
        app()->clearTermination();
        InicializarVariaveisGlobais();
    }
    static vorta::Application* app() { return vorta::Application::instance(); }
    vorta::testing::TempInstallation inst;
};

} // namespace zir_test
