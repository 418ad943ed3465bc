#include "URel_Contabilista.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TRel_Contabilista> Rel_Contabilista;

TRel_Contabilista::TRel_Contabilista(vorta::Component* owner) : TRel(owner)
{
    setName(QStringLiteral("Rel_Contabilista"));
    Q_Responsavel = new vorta::db::Query(this);
    Q_Responsavel->setName(QStringLiteral("Q_Responsavel"));
    Q_Responsavel->setSqlLines({QStringLiteral("Select * from Responsavel"), QStringLiteral("Order by Resp_Nome")});
    if (DM_Comuns)
        Q_Responsavel->setDatabase(DM_Comuns->DB_Comuns);
    // The query's fields carry no masks: the registrations print with the table's.
    const Coluna colunas[] = {
        {"CPF", "Resp_CPF", 0, 30, 0, "999.999.999-99;0; "},
        {"CRC", "Resp_CRC", 31, 24, 0, "ll-999999/l-9;0;_"},
        {"Nome", "Resp_Nome", 56, 62},
        {"DDD - Fone", "Resp_DDDFone", 119, 7},
        {nullptr, "Resp_Fone", 126, 22},
        {"E-mail", "Resp_Email", 149, 47},
    };
    montaListagem(QStringLiteral("Listagem de Contabilista - Ordem Alfabética"), colunas);
    setDataSet(Q_Responsavel);
}
