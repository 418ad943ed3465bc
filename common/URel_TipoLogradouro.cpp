#include "URel_TipoLogradouro.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TRel_TipoLogradouro> Rel_TipoLogradouro;

TRel_TipoLogradouro::TRel_TipoLogradouro(vorta::Component* owner) : TRel(owner)
{
    setName(QStringLiteral("Rel_TipoLogradouro"));
    const Coluna colunas[] = {
        {"Código", "TipLog_Codigo", 0, 20},
        {"Descrição", "TipLog_Descricao", 22, 120},
    };
    montaListagem(QStringLiteral("Tipo de Logradouro - Ordem Alfabética"), colunas);
    if (DM_Comuns)
        setDataSet(DM_Comuns->Tb_Logradouro);
}
