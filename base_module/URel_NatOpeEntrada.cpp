#include "URel_NatOpeEntrada.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TRel_NatOpeEntrada> Rel_NatOpeEntrada;

TRel_NatOpeEntrada::TRel_NatOpeEntrada(vorta::Component* owner) : TRel(owner)
{
    setName(QStringLiteral("Rel_NatOpeEntrada"));
    HelpContext = 13000;
    const Coluna colunas[] = {
        {"Código", "NatOpe_Codigo", 0, 20},
        {"Descrição", "NatOpe_Descricao", 22, 150},
    };
    montaListagem(QStringLiteral("Listagem de Natureza de Operação - Entrada - Ordem de Código"), colunas);
    if (DM_Comuns)
        setDataSet(DM_Comuns->Tb_NatOpeEntrada);
}
