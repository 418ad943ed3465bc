#include "URel_TipoBairro.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TRel_TipoBairro> Rel_TipoBairro;

TRel_TipoBairro::TRel_TipoBairro(vorta::Component* owner) : TRel(owner)
{
    setName(QStringLiteral("Rel_TipoBairro"));
    const Coluna colunas[] = {
        {"Código", "TipBai_Codigo", 0, 20},
        {"Descrição", "TipBai_Descricao", 22, 120},
    };
    montaListagem(QStringLiteral("Tipo de Bairro - Ordem Alfabética"), colunas);
    if (DM_Comuns)
        setDataSet(DM_Comuns->Tb_Bairro);
}
