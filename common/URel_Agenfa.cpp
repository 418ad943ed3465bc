#include "URel_Agenfa.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TRel_Agenfa> Rel_Agenfa;

TRel_Agenfa::TRel_Agenfa(vorta::Component* owner) : TRel(owner)
{
    setName(QStringLiteral("Rel_Agenfa"));
    const Coluna colunas[] = {
        {"Código", "Age_Codigo", 0, 20},
        {"Nome", "Age_Nome", 22, 110},
        {"DDD", "Age_DDD", 134, 12},
        {"Telefone", "Age_Fone", 148, 40},
    };
    montaListagem(QStringLiteral("Listagem de AGENFAs - Ordem Alfabética"), colunas);
    if (DM_Comuns)
        setDataSet(DM_Comuns->Tb_Agenfa);
}
