#include "URel_PessoaJuridica.h"

#include "T_DM_Comuns.h"
#include "Ufuncoes.h"

vorta::Guarded<TRel_PessoaJuridica> Rel_PessoaJuridica;

TRel_PessoaJuridica::TRel_PessoaJuridica(vorta::Component* owner) : TRel(owner)
{
    setName(QStringLiteral("Rel_PessoaJuridica"));
    const Coluna colunas[] = {
        {"CNPJ", "Con_IECNPJCPF", 0, 42},
        {"Razão Social", "Con_Nome", 43, 76},
        {"Nome Fantasia", "Con_NomePropr", 120, 76},
    };
    montaListagem(QStringLiteral("Listagem de Pessoa Jurídica"), colunas);
    if (DM_Comuns)
        setDataSet(DM_Comuns->Q_Contribuinte);
    QRBand1->BeforePrint = [this](vorta::report::Band& band, bool& printBand) { QRBand1BeforePrint(band, printBand); };
}

void TRel_PessoaJuridica::QRBand1BeforePrint(vorta::report::Band&, bool&)
{
    if (!DM_Comuns)
        return;
    vorta::db::Query* q = DM_Comuns->Q_Contribuinte;
    if (q->active())
        q->fieldByName(QStringLiteral("Con_IECNPJCPF"))
            ->setEditMask(MascaraDesteConTipo(q->fieldByName(QStringLiteral("Con_TIPO"))->asString()));
}
