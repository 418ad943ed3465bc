#include "T_Cad_Municipio.h"

#include "T_DM_Comuns.h"
#include "Ufuncoes.h"

#include "platform/core/Exceptions.h"

#include <QPointer>

vorta::Guarded<TCad_Municipio> Cad_Municipio;

using vorta::ui::Align;

bool FocaControleDoCampo(QWidget* form, const QString& campo)
{
    if (!form)
        return false;
    for (QWidget* w : form->findChildren<QWidget*>()) {
        auto* control = dynamic_cast<vorta::ui::FieldControl*>(w);
        if (control && control->dataField().compare(campo, Qt::CaseInsensitive) == 0) {
            if (w->isEnabled() && w->isVisible())
                w->setFocus();
            return true;
        }
    }
    // A lookup field is chosen through the list that edits its key field.
    if (auto* registro = qobject_cast<TFtemplate*>(form))
        if (vorta::db::DataSet* ds = registro->dsBase->dataSet())
            if (vorta::db::Field* f = ds->findField(campo);
                f && f->fieldKind() == vorta::db::FieldKind::Lookup && !f->keyFields().isEmpty())
                return FocaControleDoCampo(form, f->keyFields());
    return false;
}

void LigaFocoDoCampo(QWidget* form)
{
    if (!DM_Comuns)
        return;
    // The data module outlives the forms. The form shown last (a lookup over a
    // register form) takes the refusals while it exists; once it is gone, or for a
    // field it does not show, they go to the form shown before it.
    static QList<QPointer<QWidget>> formas;
    formas.removeIf([form](const QPointer<QWidget>& f) { return f.isNull() || f.data() == form; });
    formas.append(form);
    DM_Comuns->FocaCampo = [](const QString&, const QString& campo) {
        for (auto it = formas.crbegin(); it != formas.crend(); ++it)
            if (FocaControleDoCampo(it->data(), campo))
                return;
    };
}

TCad_Municipio::TCad_Municipio(vorta::Component* owner) : TFtemplate(owner)
{
    setName(QStringLiteral("Cad_Municipio"));
    setObjectName(QStringLiteral("Cad_Municipio"));
    setCaption(QStringLiteral("Cadastro de Município"));
    helpContext = 12400;

    RadioGroup_Municipio = criaPainelBusca(QStringLiteral("Digite aqui para buscar o município automaticamente"),
                                           QStringLiteral("RadioGroup_Municipio"),
                                           QStringLiteral(" Busca de Município"), {QStringLiteral("Por nome")}, 1, 200);

    const Campo campos[] = {
        {&Label1, "Label1", "Código", &DBEdit_Mun_Codigo, "Mun_Codigo", 89, 16},
        {&Label2_Municipio, "Label2_Municipio", "Município", &DBEdit_Mun_Descricao, "Mun_Descricao", 90, 56},
        {&Label5, "Label5", "CEP Inicial", &DBEdit_Mun_CEPInicial, "Mun_CEPInicial", 78, 96},
        {&Label6, "Label6", "CEP Final", &DBEdit_Mun_CEPFinal, "Mun_CEPFinal", 80, 136},
        {&Label7, "Label7", "UF", &DBEdit_Mun_UF, "Mun_UF", 66, 176},
    };
    criaCampos(campos, 300);
    DBEdit_Mun_Codigo->setEnabled(false);
    // Hidden as designed; habilitaCampos shows the range where one applies.
    mostraCEP(false);

    if (DM_Comuns) {
        dsBase->setDataSet(DM_Comuns->Tb_Municipio);
        DM_Comuns->FormMunicipio = this;
    }
    DBGrid->setColumns({{QStringLiteral("Mun_Codigo"), QString()}, {QStringLiteral("Mun_Descricao"), QString()},
                        {QStringLiteral("Mun_CEPInicial"), QString()}, {QStringLiteral("Mun_CEPFinal"), QString()},
                        {QStringLiteral("Mun_UF"), QString()}});
}

TCad_Municipio::~TCad_Municipio()
{
    if (DM_Comuns && DM_Comuns->FormMunicipio == this)
        DM_Comuns->FormMunicipio = nullptr;
}

void TCad_Municipio::mostraCEP(bool mostra)
{
    for (QWidget* w : {static_cast<QWidget*>(Label5), static_cast<QWidget*>(DBEdit_Mun_CEPInicial),
                       static_cast<QWidget*>(Label6), static_cast<QWidget*>(DBEdit_Mun_CEPFinal)})
        w->setVisible(mostra);
}

void TCad_Municipio::habilitaCampos()
{
    vorta::db::DataSet* ds = dsBase->dataSet();
    const bool exterior = ds && ds->active()
                          && ds->fieldByName(QStringLiteral("Mun_UF"))->asString() == QLatin1String("EX");
    mostraCEP(!exterior);
}

void TCad_Municipio::recusaProtegido(int mensagem)
{
    if (hasRecords() && baseDataSet().fieldByName(QStringLiteral("Mun_Codigo"))->asInteger() < PrimeiroCodigoUsuario) {
        MsgInfoBD(mensagem);
        vorta::Abort();
    }
}

void TCad_Municipio::FormShow(Form* sender)
{
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    LigaFocoDoCampo(this);
    TFtemplate::FormShow(sender);
    DesabilitaReadOnly(this);
    if (DM_Comuns && !DM_Comuns->Tb_Agenfa->active())
        DM_Comuns->Tb_Agenfa->open();
    if (ModoInclusao)
        btIncluir->click();
    else
        Edit_Busca->setFocus();
}

void TCad_Municipio::FormKeyDown(Form* sender, int& key, Qt::KeyboardModifiers shift)
{
    // With the grid focused Enter is not a Tab; in a lookup it chooses (the base form).
    if (focusWidget() != DBGrid || ModoSelecao)
        TFtemplate::FormKeyDown(sender, key, shift);
}

void TCad_Municipio::FormKeyUp(Form* sender, int& key, Qt::KeyboardModifiers shift)
{
    if (focusWidget() != DBGrid)
        TFtemplate::FormKeyUp(sender, key, shift);
}

void TCad_Municipio::btPrimeiroClick(QWidget* sender)
{
    TFtemplate::btPrimeiroClick(sender);
    habilitaCampos();
}

void TCad_Municipio::btAnteriorClick(QWidget* sender)
{
    TFtemplate::btAnteriorClick(sender);
    habilitaCampos();
}

void TCad_Municipio::btProximoClick(QWidget* sender)
{
    TFtemplate::btProximoClick(sender);
    habilitaCampos();
}

void TCad_Municipio::btUltimoClick(QWidget* sender)
{
    TFtemplate::btUltimoClick(sender);
    habilitaCampos();
}

void TCad_Municipio::btConsultaSimplesClick(QWidget* sender)
{
    Panel_Busca->hide();
    TFtemplate::btConsultaSimplesClick(sender);
    habilitaCampos();
}

void TCad_Municipio::btConsultaGridClick(QWidget* sender)
{
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    TFtemplate::btConsultaGridClick(sender);
    Edit_Busca->setFocus();
    Edit_Busca->selectAll();
}

void TCad_Municipio::btIncluirClick(QWidget* sender)
{
    TFtemplate::btIncluirClick(sender);
    Panel_Busca->hide();
    HabilitaReadOnly(this);
    mostraCEP(false);
    DBEdit_Mun_Codigo->setEnabled(false);
    DBEdit_Mun_Descricao->setFocus();
}

void TCad_Municipio::btAlterarClick(QWidget* sender)
{
    // Checked before the record is put in edit.
    recusaProtegido(87);
    TFtemplate::btAlterarClick(sender);
    Panel_Busca->hide();
    HabilitaReadOnly(this);
    DBEdit_Mun_Codigo->FieldControl::setReadOnly(true);
    mostraCEP(true);
}

void TCad_Municipio::btExcluirClick(QWidget* sender)
{
    // Checked before the confirmation and the delete.
    recusaProtegido(88);
    TFtemplate::btExcluirClick(sender);
    DesabilitaReadOnly(this);
    habilitaCampos();
}

void TCad_Municipio::btGravarClick(QWidget* sender)
{
    TFtemplate::btGravarClick(sender);
    DesabilitaReadOnly(this);
}

void TCad_Municipio::btCancelarClick(QWidget* sender)
{
    TFtemplate::btCancelarClick(sender);
    DesabilitaReadOnly(this);
}

void TCad_Municipio::Edit_BuscaChange(QWidget*)
{
    if (RadioGroup_Municipio->itemIndex() == 0 && hasRecords())
        baseDataSet().locate(QStringLiteral("Mun_Descricao"), Edit_Busca->text(), vorta::db::loPartialKey);
}

void CopiaMunicipio(vorta::db::DataSet& destino, vorta::db::DataSet& municipio, const QString& codigo,
                    const QString& uf, const QString& cep, QWidget* editCep)
{
    const bool editando = destino.state() == vorta::db::DataSetState::Edit
                          || destino.state() == vorta::db::DataSetState::Insert;
    if (!editando || !municipio.active() || municipio.isEmpty())
        return;
    vorta::db::Field* fCodigo = destino.fieldByName(codigo);
    vorta::db::Field* fUf = destino.fieldByName(uf);
    vorta::db::Field* fCep = destino.fieldByName(cep);
    fCodigo->setValue(municipio.fieldByName(QStringLiteral("Mun_Codigo"))->value());
    fUf->setAsString(municipio.fieldByName(QStringLiteral("Mun_UF"))->asString());
    const QString inicial = municipio.fieldByName(QStringLiteral("Mun_CEPInicial"))->asString();
    const QString final_ = municipio.fieldByName(QStringLiteral("Mun_CEPFinal"))->asString();
    if (inicial != final_) {
        fCep->clear();
        editCep->setEnabled(true);
    } else {
        fCep->setAsString(inicial);
        editCep->setEnabled(false);
    }
    if (fCodigo->asString().isEmpty()) {
        fCep->clear();
        fUf->clear();
    }
}
