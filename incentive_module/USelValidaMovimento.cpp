#include "USelValidaMovimento.h"

#include "UBuscaMovimento.h"
#include "UDM_MTC.h"
#include "UValidar.h"
#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/db/Field.h"

vorta::Guarded<TSelValidaMovimento> SelValidaMovimento;

using vorta::ui::SpeedButton;

TSelValidaMovimento::TSelValidaMovimento(vorta::Component* owner) : vorta::ui::Form(owner)
{
    setName(QStringLiteral("SelValidaMovimento"));
    setObjectName(QStringLiteral("SelValidaMovimento"));
    setCaption(QStringLiteral("Seleção de Movimentos  para validação"));
    setClientSize(640, 420);

    QryMovimento = new vorta::db::Query(this);
    QryMovimento->setName(QStringLiteral("QryMovimento"));
    QryMovimento->setDatabase(DM_MTC->dbMTC);
    QryMovimento->setSql(QStringLiteral(
        "Select mov_codigo, qel_movimento.con_iecnpjcpf, Con_Nome, Mov_Ano_Referencia, Mov_Mes_Referencia, Mov_Tipo, "
        "Mov_Situacao From Contribuinte, Qel_Movimento Where contribuinte.Con_IECNPJCPF = qel_movimento.Con_IECnpjCPF "
        "and (Qel_Movimento.Mov_Situacao <> 'N' and Qel_Movimento.Mov_Situacao <> 'G') Order By "
        "qel_movimento.Con_IECNPJCPF, Mov_Ano_Referencia, Mov_Mes_Referencia, Mov_Tipo"));
    QryMovimento->addField(QStringLiteral("str_situacao"), vorta::db::FieldType::String, 20,
                           vorta::db::FieldKind::Calculated);
    QryMovimento->OnCalcFields = [](vorta::db::DataSet& ds) {
        ds.fieldByName(QStringLiteral("str_situacao"))
            ->setAsString(TextoSituacao(ds.fieldByName(QStringLiteral("Mov_Situacao"))->asString()));
    };
    dsMovimento = new vorta::db::DataSource(this);
    dsMovimento->setDataSet(QryMovimento);

    RadioGroup_Produtor = new vorta::ui::RadioGroup(this, QStringLiteral("RadioGroup_Produtor"));
    RadioGroup_Produtor->setCaption(QStringLiteral(" Busca por "));
    RadioGroup_Produtor->setItems({QStringLiteral("Por inscrição"), QStringLiteral("Por contribuinte")});
    RadioGroup_Produtor->setColumns(2);
    RadioGroup_Produtor->setItemIndex(1);
    RadioGroup_Produtor->setGeometry(8, 8, 300, 44);
    Edit_Busca = new vorta::ui::Edit(this, QStringLiteral("Edit_Busca"));
    Edit_Busca->setGeometry(316, 24, 316, 21);

    dbgMovimento = new vorta::ui::DBGrid(this, QStringLiteral("dbgMovimento"));
    dbgMovimento->setGeometry(8, 60, 624, 300);
    dbgMovimento->setOptions(vorta::ui::DBGrid::dgTitles | vorta::ui::DBGrid::dgIndicator |
                             vorta::ui::DBGrid::dgColLines | vorta::ui::DBGrid::dgRowLines |
                             vorta::ui::DBGrid::dgRowSelect | vorta::ui::DBGrid::dgMultiSelect);
    dbgMovimento->setReadOnly(true);
    dbgMovimento->setColumns({{QStringLiteral("con_iecnpjcpf"), QStringLiteral("IE"), 80},
                              {QStringLiteral("Con_Nome"), QStringLiteral("Razão Social"), 230},
                              {QStringLiteral("Mov_Ano_Referencia"), QStringLiteral("Ano"), 50},
                              {QStringLiteral("Mov_Mes_Referencia"), QStringLiteral("Mês"), 40},
                              {QStringLiteral("Mov_Tipo"), QStringLiteral("Tipo"), 40},
                              {QStringLiteral("str_situacao"), QStringLiteral("Situação"), 100}});
    dbgMovimento->setDataSource(dsMovimento);

    auto button = [this](const char* caption, const char* name, int x, int y, int w) {
        return BotaoMovimento(this, caption, name, x, y, w);
    };
    btPrimeiro = button("|<", "btPrimeiro", 8, 366, 30);
    btAnterior = button("<", "btAnterior", 40, 366, 30);
    btProximo = button(">", "btProximo", 72, 366, 30);
    btUltimo = button(">|", "btUltimo", 104, 366, 30);
    btValidar = button("&Validar Movimento", "btValidar", 8, 392, 130);
    BtTodas = button("Selecionar &Todos", "BtTodas", 142, 392, 120);
    btDesmarcar = button("&Limpar Seleção", "btDesmarcar", 266, 392, 110);
    btSair = button("&Retornar", "btSair", 460, 392, 80);
    SpeedButton1 = button("&Sair", "SpeedButton1", 552, 392, 80);

    btValidar->OnClick = [this](QWidget* s) { btValidarClick(s); };
    BtTodas->OnClick = [this](QWidget* s) { BtTodasClick(s); };
    btDesmarcar->OnClick = [this](QWidget* s) { btDesmarcarClick(s); };
    btPrimeiro->OnClick = [this](QWidget* s) { btPrimeiroClick(s); };
    btAnterior->OnClick = [this](QWidget* s) { btAnteriorClick(s); };
    btProximo->OnClick = [this](QWidget* s) { btProximoClick(s); };
    btUltimo->OnClick = [this](QWidget* s) { btUltimoClick(s); };
    btSair->OnClick = [this](QWidget* s) { btSairClick(s); };
    SpeedButton1->OnClick = [this](QWidget* s) { SpeedButton1Click(s); };
    Edit_Busca->OnKeyDown = [this](QWidget* s, int& k, Qt::KeyboardModifiers m) { Edit_BuscaKeyDown(s, k, m); };
    OnShow = [this](vorta::ui::Form* f) { FormShow(f); };
}

void TSelValidaMovimento::reabre()
{
    QryMovimento->close();
    QryMovimento->open();
}

void TSelValidaMovimento::FormShow(vorta::ui::Form*)
{
    reabre();
}

void TSelValidaMovimento::btValidarClick(QWidget*)
{
    const QList<vorta::db::Bookmark> marcados = dbgMovimento->selectedRows();
    if (marcados.isEmpty()) {
        MsgErroBD(1544);
        return;
    }
    QList<TMovimentoValidar> selecionados;
    auto texto = [this](const char* n) { return QryMovimento->fieldByName(QString::fromLatin1(n))->asString(); };
    for (const vorta::db::Bookmark& b : marcados) {
        if (!QryMovimento->bookmarkValid(b))
            continue;
        QryMovimento->gotoBookmark(b);
        selecionados.append({int(QryMovimento->fieldByName(QStringLiteral("mov_codigo"))->asInteger()),
                             texto("con_iecnpjcpf"), texto("Mov_Ano_Referencia"), texto("Mov_Mes_Referencia"),
                             texto("Mov_Tipo"), texto("Mov_Situacao")});
    }
    {
        TFormAutoDestroyer formas;
        TValidar* v = formas.CreateForm(Validar, this);
        v->UmMovimento = false;
        v->TipoValidacao = QStringLiteral("Movimento");
        v->Chamador = QStringLiteral("SelValidaMovimento");
        v->Selecionados = selecionados;
        v->showModal();
    }
    dbgMovimento->clearSelectedRows();
    reabre();
}

void TSelValidaMovimento::BtTodasClick(QWidget*)
{
    dbgMovimento->clearSelectedRows();
    for (QryMovimento->first(); !QryMovimento->eof(); QryMovimento->next())
        dbgMovimento->toggleCurrentRowSelected();
    QryMovimento->first();
}

void TSelValidaMovimento::btDesmarcarClick(QWidget*)
{
    dbgMovimento->clearSelectedRows();
}

void TSelValidaMovimento::limpaFiltroSemBusca()
{
    if (Edit_Busca->text().isEmpty())
        QryMovimento->setFilter(QString());
}

void TSelValidaMovimento::btPrimeiroClick(QWidget*)
{
    limpaFiltroSemBusca();
    QryMovimento->first();
}

void TSelValidaMovimento::btAnteriorClick(QWidget*)
{
    limpaFiltroSemBusca();
    QryMovimento->prior();
}

void TSelValidaMovimento::btProximoClick(QWidget*)
{
    limpaFiltroSemBusca();
    QryMovimento->next();
}

void TSelValidaMovimento::btUltimoClick(QWidget*)
{
    limpaFiltroSemBusca();
    QryMovimento->last();
}

void TSelValidaMovimento::Edit_BuscaKeyDown(QWidget*, int& key, Qt::KeyboardModifiers)
{
    if (key != vorta::ui::VK_RETURN)
        return;
    BuscaPorFiltro(QryMovimento,
                   RadioGroup_Produtor->itemIndex() == 0 ? QStringLiteral("con_iecnpjcpf") : QStringLiteral("Con_Nome"),
                   Edit_Busca->text());
}

void TSelValidaMovimento::btSairClick(QWidget*)
{
    close();
}

void TSelValidaMovimento::SpeedButton1Click(QWidget*)
{
    if (MsgSimNaoBD(86) == vorta::ui::mrYes)
        vorta::Application::instance()->terminate();
}
