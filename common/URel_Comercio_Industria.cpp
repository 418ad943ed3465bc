#include "URel_Comercio_Industria.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TRel_Comercio_Industria> Rel_Comercio_Industria;

TRel_Comercio_Industria::TRel_Comercio_Industria(vorta::Component* owner) : TRel(owner)
{
    setName(QStringLiteral("Rel_Comercio_Industria"));
    const Coluna colunas[] = {
        {"Inscrição", "Calc_IECNPJCPF", 0, 40},
        {"Nome/Razão Social", "Con_Nome", 42, 90},
        {"Munícipio", "Lk_MunEndereco", 134, 50},
        {"UF", "Lk_UfEnd", 186, 9},
    };
    montaListagem(QStringLiteral(" Listagem de Remetente/Destinatário - ordem alfabética "), colunas);
    if (DM_Comuns)
        setDataSet(DM_Comuns->Q_Contribuinte);
}
