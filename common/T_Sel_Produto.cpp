#include "T_Sel_Produto.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TSel_Produto> Sel_Produto;

namespace {

TFSelecaoBusca::Texts texts()
{
    TFSelecaoBusca::Texts t;
    t.caption = QStringLiteral("Seleção de Produtos");
    t.helpContext = 0;
    t.searchLabel = QStringLiteral("Digite aqui para buscar o produto automaticamente");
    t.radioName = QStringLiteral("RadioGroup_Produto");
    t.radioCaption = QStringLiteral(" Busca de Produto ");
    // The search goes by code with item 0 and by description with item 1.
    t.radioItems = {QStringLiteral("Por código"), QStringLiteral("Por descrição")};
    t.keyField0 = QStringLiteral("Pro_Codigo");
    t.keyField1 = QStringLiteral("Pro_Descricao");
    t.enterMessage = 173;
    return t;
}

} // namespace

TSel_Produto::TSel_Produto(vorta::Component* owner)
    : TFSelecaoBusca(owner, texts()), RadioGroup_Produto(radioBusca)
{
    setName(QStringLiteral("Sel_Produto"));
    setObjectName(QStringLiteral("Sel_Produto"));
    DBGrid->setOptions(DBGrid->options() | vorta::ui::DBGrid::dgRowSelect);
    DBGrid->setColumns({
        {QStringLiteral("Pro_Codigo"), QStringLiteral("Código")},
        {QStringLiteral("Pro_Descricao"), QStringLiteral("Descrição")},
        {QStringLiteral("Pro_Unidade"), QStringLiteral("Unidade")},
        {QStringLiteral("Gru_Codigo"), QString()},
        {QStringLiteral("Grupo"), QString()},
        {QStringLiteral("Pro_Linha"), QStringLiteral("Linha")},
    });
    if (DM_Comuns)
        DBGrid->setDataSource(DM_Comuns->Ds_Produto);
}
