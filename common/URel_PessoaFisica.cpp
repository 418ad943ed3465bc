#include "URel_PessoaFisica.h"

#include "T_DM_Comuns.h"

vorta::Guarded<TRel_PessoaFisica> Rel_PessoaFisica;

TRel_PessoaFisica::TRel_PessoaFisica(vorta::Component* owner) : TRel(owner)
{
    setName(QStringLiteral("Rel_PessoaFisica"));
    const Coluna colunas[] = {
        {"CPF", "Con_IECNPJCPF", 0, 40},
        {"Nome", "Con_Nome", 42, 150},
    };
    montaListagem(QStringLiteral("Listagem de Pessoa Física"), colunas);
    if (DM_Comuns)
        setDataSet(DM_Comuns->Q_Contribuinte);
}
