#include "URel_Produtos.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TRel_Produtos> Rel_Produtos;

TRel_Produtos::TRel_Produtos(vorta::Component* owner) : TRel(owner)
{
    setName(QStringLiteral("Rel_Produtos"));
    const Coluna colunas[] = {
        {"Código", "Pro_Codigo", 0, 30},
        {"Descrição", "Pro_Descricao", 32, 130},
        {"Unidade", "Pro_Unidade", 164, 30},
    };
    montaListagem(QStringLiteral("Produtos"), colunas);
    if (DM_Comuns)
        setDataSet(DM_Comuns->Tb_Produto);
}
