#include "T_Cad_Pecuarista.h"

#include "T_Cad_Municipio.h"
#include "T_DM_Comuns.h"
#include "Ufuncoes.h"

#include "platform/core/Exceptions.h"
#include "platform/ui/Application.h"

vorta::Guarded<TCad_Pecuarista> Cad_Pecuarista;

namespace {
const QString MunPropriedade = QStringLiteral("Mun_Propriedade");
} // namespace

TCad_Pecuarista::TCad_Pecuarista(vorta::Component* owner) : TCad_Inscricao(owner, MunPropriedade)
{
    setName(QStringLiteral("Cad_Pecuarista"));
    setObjectName(QStringLiteral("Cad_Pecuarista"));
    setCaption(QStringLiteral("Cadastro de Pecuaristas"));
    m_municipioDaPropriedade = true;

    // The UF beside the municipality it comes with.
    DBEdit_Con_UFEstab = criaCampo(&Label6, "Label6", "UF", QStringLiteral("DBEdit_Con_UFEstab"),
                                   QStringLiteral("Con_UFEstab"), 410, 158, 30);
    Label6->resize(40, 16);
    m_uf = DBEdit_Con_UFEstab;
    deEndereco = criaCampo(&Label7, "Label7", "Nome da Propriedade", QStringLiteral("deEndereco"),
                           QStringLiteral("Con_NomePropr"), 16, 198, 300);

    // The address municipality: the raiser's property municipality is copied into it.
    DBGrid->setColumns({{QStringLiteral("Calc_IECNPJCPF"), QStringLiteral("IE/CNPJ/CPF/OI")},
                        {QStringLiteral("Con_Nome"), QString(), 217},
                        {QStringLiteral("Lk_MunEndereco"), QStringLiteral("Município")},
                        {QStringLiteral("Con_UF"), QStringLiteral("UF"), 23}});

    // A kind without a hint of its own shows none on the registration.
    auto dicaDaInscricao = DBEdit_Con_IECNPJCPF->OnEnter;
    DBEdit_Con_IECNPJCPF->OnEnter = [this, dicaDaInscricao](QWidget* s) {
        msgStatus->setPanelText(0, QString());
        dicaDaInscricao(s);
    };
    deEndereco->OnEnter = DBEdit_Nome->OnEnter;
    DBLookupComboBox_Municipio->OnExit = [this](QWidget* s) { DBLookupComboBox_MunicipioExit(s); };

    if (DM_Comuns)
        dsBase->setDataSet(DM_Comuns->Tb_Contribuinte);
}

void TCad_Pecuarista::FormCreate(Form* sender)
{
    if (DM_Comuns)
        dsBase->setDataSet(DM_Comuns->Tb_Contribuinte);
    TFtemplate::FormCreate(sender);
}

void TCad_Pecuarista::FormShow(Form* sender)
{
    // The data module's refusals focus this form's controls while it is open.
    LigaFocoDoCampo(this);
    TCad_Inscricao::FormShow(sender);
}

void TCad_Pecuarista::FormClose(Form* sender, vorta::ui::CloseAction& action)
{
    TFtemplate::FormClose(sender, action);
    // The preset belongs to this opening only: a later new taxpayer must not start from it.
    if (DM_Comuns)
        DM_Comuns->InscricaoPadrao.clear();
}

void TCad_Pecuarista::checaGravacao()
{
    if (const TDM_Comuns::Checagem c = TDM_Comuns::ChecaObrig(deEndereco->maskedText(), 58)) {
        MsgErroBD(c->mensagem);
        deEndereco->setFocus();
        vorta::Abort();
    }
}

void TCad_Pecuarista::DBLookupComboBox_MunicipioExit(QWidget*)
{
    vorta::db::DataSet& ds = baseDataSet();
    if (!emEdicao(ds) || !DM_Comuns)
        return;
    // The municipality the list holds, whatever the common table stands on now.
    const QVariant escolhido = ds.fieldByName(MunPropriedade)->value();
    vorta::db::DataSet& municipio = *DM_Comuns->Tb_Municipio;
    if (escolhido.isNull() || !municipio.active() || !municipio.locate(QStringLiteral("Mun_Codigo"), escolhido)) {
        for (const char* campo : {"Mun_Endereco", "Mun_Propriedade", "Con_UF", "Con_UFEstab"})
            ds.fieldByName(QString::fromLatin1(campo))->clear();
        return;
    }
    copiaMunicipio(true);
}

void AbreCadastroPecuarista()
{
    vorta::ui::createForm(Cad_Pecuarista)->ModoInclusao = true;
    Cad_Pecuarista->showModal();
    // Closed with Free: the modal run has freed it already.
    vorta::Component::free(Cad_Pecuarista);
}
