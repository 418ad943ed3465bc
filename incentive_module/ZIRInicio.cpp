#include "ZIRInicio.h"

#include "DmValidar.h"
#include "FrmCadMapas.h"
#include "FrmTecnicos.h"
#include "Menu.h"
#include "T_Cad_Municipio.h"
#include "T_Cad_Pecuarista.h"
#include "T_DM_Comuns.h"
#include "UDM_MTC.h"
#include "UDm_Gerar.h"
#include "UMapaImpressao.h"
#include "USelMovGera.h"
#include "UValidar.h"

#include "platform/ui/Form.h"

void CriaObjetosDoZIR()
{
    vorta::ui::createForm(DM_Comuns);
    vorta::ui::createForm(FrmMenu);
    vorta::ui::createForm(DM_MTC);
    vorta::ui::createForm(Dm_Validar);
    vorta::ui::createForm(Cad_Municipio);
    vorta::ui::createForm(Dm_Gerar);
    // The map form reaches the raiser and technician registers and its print through these.
    AbreCadastroPecuaristaInclusao = AbreCadastroPecuarista;
    AbreTecnicosSelecao = [] { AbreTecnicos(true); };
    ImprimeMapaAtual = ImprimeMapaDoFormulario;
}
