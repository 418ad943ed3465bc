#include "URel_Produtor.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TRel_Produtor> Rel_Produtor;

TRel_Produtor::TRel_Produtor(vorta::Component* owner) : TRel(owner)
{
    setName(QStringLiteral("Rel_Produtor"));
    const Coluna colunas[] = {
        {"Inscrição", "Con_IECNPJCPF", 0, 26},
        {"Nome", "Con_Nome", 27, 62},
        {"Propriedade", "Con_NomePropr", 90, 62},
        {"CPF do produtor", "End_CPF", 153, 42},
        {"Endereço", "TipLog_Codigo", 0, 8, 1},
        {nullptr, "Con_Logradouro", 9, 62, 1},
        {nullptr, "Con_Numero", 72, 12, 1},
        {nullptr, "Con_Complemento", 85, 45, 1},
        {nullptr, "TipBai_Codigo", 131, 8, 1},
        {nullptr, "Con_Bairro", 140, 55, 1},
        {nullptr, "Lk_MunEndereco", 0, 50, 2},
        {nullptr, "Lk_UfEnd", 51, 7, 2},
        {nullptr, "Con_CEP", 59, 16, 2},
        {"Fone", "Con_DDDFone", 76, 6, 2},
        {nullptr, "Con_Fone", 82, 20, 2},
        {"Fax", "Con_DDDFax", 103, 6, 2},
        {nullptr, "Con_FAX", 109, 20, 2},
        {"E-mail", "Con_Email", 130, 65, 2},
        {"Município da propriedade", "Lk_MunPropriedade", 0, 45, 3},
        {"Dom. Fiscal", "Lk_Agenfa", 46, 45, 3},
        {"Contabilista responsável", "Lk_CRC", 92, 20, 3},
        {nullptr, "Lk_Condador", 113, 50, 3},
        {"Fone contabilista", "Lk_DDDContabilista", 164, 6, 3},
        {nullptr, "Lk_FoneContabilista", 170, 25, 3},
    };
    montaListagem(QStringLiteral(" Listagem de Produtor Rural - ordem alfabética "), colunas, 7.5);
    if (DM_Comuns)
        setDataSet(DM_Comuns->Q_Contribuinte);
}
