#include "T_Cad_RespnsavelLegal.h"

#include "T_Cad_Municipio.h"
#include "T_DM_Comuns.h"
#include "Ufuncoes.h"

vorta::Guarded<TCad_RespnsavelLegal> Cad_RespnsavelLegal;

using vorta::ui::Align;

TCad_RespnsavelLegal::TCad_RespnsavelLegal(vorta::Component* owner) : TFtemplate(owner)
{
    setName(QStringLiteral("Cad_RespnsavelLegal"));
    setObjectName(QStringLiteral("Cad_RespnsavelLegal"));
    setCaption(QStringLiteral("Cadastro de Responsável Legal da Empresa (Comércio/Indústria)"));
    helpContext = 15000;

    RadioGroup_Contribuinte = criaPainelBusca(
        QStringLiteral("Digite aqui para buscar automaticamente"), QStringLiteral("RadioGroup_Contribuinte"),
        QStringLiteral(" Busca de Responsável Legal"), {QStringLiteral("Por CPF"), QStringLiteral("Por nome")}, 2, 260);

    const Campo campos[] = {
        {&Label_CPF, "Label_CPF", "CPF do Responsável", &DBEdit_ResEmp_CPF, "ResEmp_CPF", 604, 16},
        {&Label_Nome, "Label_Nome", "Nome do Responsável", &DBEdit_ResEmp_Nome, "ResEmp_Nome", 605, 56},
        {&Label_Cargo, "Label_Cargo", "Cargo do Responsável", &DBEdit_ResEmp_Cargo, "ResEmp_Cargo", 606, 96},
    };
    criaCampos(campos, 360);
    // A double-click opens the detail page even in a lookup; any key typed ends it.
    fimDaSelecao = {.duploClique = false, .enterNaGrade = false, .teclaNaGrade = true, .teclasDoForm = false};

    if (DM_Comuns)
        dsBase->setDataSet(DM_Comuns->Tb_RespEmpresa);
    DBGrid->setColumns({{QStringLiteral("ResEmp_CPF"), QString()}, {QStringLiteral("ResEmp_Nome"), QString()},
                        {QStringLiteral("ResEmp_Cargo"), QString()}});
}

void TCad_RespnsavelLegal::FormShow(Form* sender)
{
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    LigaFocoDoCampo(this);
    TFtemplate::FormShow(sender);
    DesabilitaReadOnly(this);
}

void TCad_RespnsavelLegal::btConsultaSimplesClick(QWidget* sender)
{
    TFtemplate::btConsultaSimplesClick(sender);
    Panel_Busca->hide();
}

void TCad_RespnsavelLegal::btConsultaGridClick(QWidget* sender)
{
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    TFtemplate::btConsultaGridClick(sender);
    Edit_Busca->setFocus();
    Edit_Busca->selectAll();
}

void TCad_RespnsavelLegal::btIncluirClick(QWidget* sender)
{
    TFtemplate::btIncluirClick(sender);
    Panel_Busca->hide();
    HabilitaReadOnly(this);
    DBEdit_ResEmp_CPF->setFocus();
}

void TCad_RespnsavelLegal::btAlterarClick(QWidget* sender)
{
    TFtemplate::btAlterarClick(sender);
    Panel_Busca->hide();
    HabilitaReadOnly(this);
    DBEdit_ResEmp_CPF->FieldControl::setReadOnly(true);
}

void TCad_RespnsavelLegal::btGravarClick(QWidget* sender)
{
    TFtemplate::btGravarClick(sender);
    DesabilitaReadOnly(this);
}

void TCad_RespnsavelLegal::btCancelarClick(QWidget* sender)
{
    TFtemplate::btCancelarClick(sender);
    DesabilitaReadOnly(this);
}

void TCad_RespnsavelLegal::Edit_BuscaChange(QWidget*)
{
    if (!hasRecords())
        return;
    switch (RadioGroup_Contribuinte->itemIndex()) {
    case 0:
        baseDataSet().locate(QStringLiteral("ResEmp_CPF"), Edit_Busca->text(), vorta::db::loPartialKey);
        break;
    case 1:
        baseDataSet().locate(QStringLiteral("ResEmp_Nome"), Edit_Busca->text(), vorta::db::loPartialKey);
        break;
    default:
        break;
    }
}
