#include "URel_NatOpeSaida.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TRel_NatOpeSaida> Rel_NatOpeSaida;

TRel_NatOpeSaida::TRel_NatOpeSaida(vorta::Component* owner) : TRel(owner)
{
    setName(QStringLiteral("Rel_NatOpeSaida"));
    HelpContext = 13000;
    const Coluna colunas[] = {
        {"Código", "NatOpe_Codigo", 0, 20},
        {"Descrição", "NatOpe_Descricao", 22, 150},
    };
    montaListagem(QStringLiteral("Listagem Natureza de Operação - Saída - Ordem de Código"), colunas);
    if (DM_Comuns)
        setDataSet(DM_Comuns->Tb_NatOpeSaida);
}
