#include "URel_NatOpeTodas.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TRel_NatOpeTodas> Rel_NatOpeTodas;

TRel_NatOpeTodas::TRel_NatOpeTodas(vorta::Component* owner) : TRel(owner)
{
    setName(QStringLiteral("Rel_NatOpeTodas"));
    HelpContext = 13000;
    const Coluna colunas[] = {
        {"Código", "NatOpe_Codigo", 0, 20},
        {"Descrição", "NatOpe_Descricao", 22, 150},
    };
    montaListagem(QStringLiteral("Listagem de Natureza de Operação  - Entrada e Saída - Ordem de Código"), colunas);
    if (DM_Comuns)
        setDataSet(DM_Comuns->Tb_NatOpeTodas);
}
