#include "URel_Municipio.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TRel_Municipio> Rel_Municipio;

TRel_Municipio::TRel_Municipio(vorta::Component* owner) : TRel(owner)
{
    setName(QStringLiteral("Rel_Municipio"));
    const Coluna colunas[] = {
        {"Código", "Mun_Codigo", 0, 20},
        {"Descrição", "Mun_Descricao", 22, 90},
        {"CEP Inicial", "Mun_CEPInicial", 114, 30},
        {"CEP Final", "Mun_CEPFinal", 146, 30},
        {"UF", "Mun_UF", 178, 12},
    };
    montaListagem(QStringLiteral("Listagem de Município - Ordem Alfabética"), colunas);
    if (DM_Comuns)
        setDataSet(DM_Comuns->Tb_Municipio);
}
