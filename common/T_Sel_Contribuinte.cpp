#include "T_Sel_Contribuinte.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TSel_Contribuinte> Sel_Contribuinte;

namespace {

TFSelecaoBusca::Texts texts()
{
    TFSelecaoBusca::Texts t;
    t.caption = QStringLiteral("Seleção de Contribuintes");
    t.helpContext = 10001;
    t.searchLabel = QStringLiteral("Digite aqui para busca automática");
    t.radioName = QStringLiteral("RadioGroup_Produtor");
    t.radioCaption = QStringLiteral(" Busca por ");
    t.radioItems = {QStringLiteral("Por inscrição"), QStringLiteral("Por nome")};
    t.keyField0 = QStringLiteral("Con_IECNPJCPF");
    t.keyField1 = QStringLiteral("Con_Nome");
    t.enterMessage = 172;
    return t;
}

} // namespace

TSel_Contribuinte::TSel_Contribuinte(vorta::Component* owner)
    : TFSelecaoBusca(owner, texts()), RadioGroup_Produtor(radioBusca)
{
    setName(QStringLiteral("Sel_Contribuinte"));
    setObjectName(QStringLiteral("Sel_Contribuinte"));
    DBGrid->setColumns({
        {QStringLiteral("Calc_IECNPJCPF"), QStringLiteral("IE/CNPJ/CPF")},
        {QStringLiteral("Con_Nome"), QString()},
        {QStringLiteral("Con_NomePropr"), QString()},
        {QStringLiteral("Lk_MunEndereco"), QStringLiteral("Município")},
        {QStringLiteral("Con_UF"), QString()},
        {QStringLiteral("Lk_MunPropriedade"), QString()},
    });
    if (DM_Comuns)
        DBGrid->setDataSource(DM_Comuns->Ds_Contribuinte);
}
