#include "URel_CFOP.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TRel_CFOP> Rel_CFOP;

TRel_CFOP::TRel_CFOP(vorta::Component* owner) : TRel(owner)
{
    setName(QStringLiteral("Rel_CFOP"));
    HelpContext = 13000;
    const Coluna colunas[] = {
        {"CFOP", "Cfop_Codigo", 0, 16},
        {"Descrição", "Cfop_Descricao", 18, 176},
    };
    montaListagem(QStringLiteral("Listagem de CFOP"), colunas);
    QRLabel_CFOP = QRLabel_Titulo;
    QRLabel_CFOP->setName(QStringLiteral("QRLabel_CFOP"));
    if (DM_Comuns)
        setDataSet(DM_Comuns->Tb_CFOP);
}
