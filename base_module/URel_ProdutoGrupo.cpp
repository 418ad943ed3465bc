#include "URel_ProdutoGrupo.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TRel_ProdutoGrupo> Rel_ProdutoGrupo;

TRel_ProdutoGrupo::TRel_ProdutoGrupo(vorta::Component* owner) : TRel(owner)
{
    setName(QStringLiteral("Rel_ProdutoGrupo"));
    HelpContext = 13000;
    Q_Grupo = new vorta::db::Query(this);
    Q_Grupo->setName(QStringLiteral("Q_Grupo"));
    if (DM_Comuns)
        Q_Grupo->setDatabase(DM_Comuns->DB_Comuns);
    const Coluna colunas[] = {
        {"Código", "Pro_Codigo", 10, 20},
        {"Descrição", "Pro_Descricao", 32, 130},
        {"Unidade", "Pro_Unidade", 164, 30},
    };
    montaListagem(QStringLiteral("Produtos"), colunas);
    QRGroup1 = addBand(vorta::report::BandType::GroupHeader, QStringLiteral("QRGroup1"), 6);
    QRGroup1->groupField = QStringLiteral("Gru_Descricao");
    auto* rotulo = QRGroup1->addLabel(QStringLiteral("QRLabel_Grupo"), QStringLiteral("Grupo:"), 0, 1);
    rotulo->font.bold = true;
    rotulo->font.pointSize = 9;
    for (auto [campo, esquerda, largura] : {std::tuple{"Gru_Descricao", 14.0, 90.0}, {"Gru_Codigo", 106.0, 20.0}}) {
        auto* t = QRGroup1->addDBText(QStringLiteral("QRDBText_") + QString::fromLatin1(campo), QString::fromLatin1(campo),
                                      esquerda, 1, largura, 4.5);
        t->font.bold = true;
        t->font.pointSize = 9;
    }
    setDataSet(Q_Grupo);
}
