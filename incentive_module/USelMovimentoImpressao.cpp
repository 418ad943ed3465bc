#include "USelMovimentoImpressao.h"

#include "UBuscaMovimento.h"
#include "UDM_MTC.h"
#include "UMOVMTC.h"
#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Field.h"
#include "platform/ipc/ExceptionReporter.h"
#include "platform/ui/Application.h"

vorta::Guarded<TSelMovimentoImpressao> SelMovimentoImpressao;

TSelMovimentoImpressao::TSelMovimentoImpressao(vorta::Component* owner) : vorta::ui::Form(owner)
{
    setName(QStringLiteral("SelMovimentoImpressao"));
    setObjectName(QStringLiteral("SelMovimentoImpressao"));
    setCaption(QStringLiteral("Seleção de movimento para impressão"));
    setClientSize(640, 440);
    keyPreview = true;

    QryContribuinte = new vorta::db::Query(this);
    QryContribuinte->setName(QStringLiteral("QryContribuinte"));
    QryContribuinte->setDatabase(DM_MTC->dbMTC);
    QryContribuinte->setSql(QStringLiteral(
        "Select Con_IECNPJCPF, Con_Nome, Con_NomePropr From Contribuinte Where Con_IECNPJCPF > '280000000' and "
        "Con_IECNPJCPF < '285000000' and con_tipo = 'IE' and not (Con_NomePropr is null) order by Con_IECNPJCPF"));
    DsContribuinte = new vorta::db::DataSource(this);
    DsContribuinte->setDataSet(QryContribuinte);
    QryMovimento = new vorta::db::Query(this);
    QryMovimento->setName(QStringLiteral("QryMovimento"));
    QryMovimento->setDatabase(DM_MTC->dbMTC);
    QryMovimento->setSql(QStringLiteral(
        "Select mov_codigo,con_iecnpjcpf, mov_Ano_referencia, mov_Mes_referencia, mov_Tipo, mov_Situacao From "
        "Qel_Movimento Where Qel_Movimento.con_iecnpjcpf = :Con_IECNPJCPF Order By mov_Ano_referencia, "
        "mov_Mes_referencia, mov_Tipo"));
    QryMovimento->setDataSource(DsContribuinte);
    DsMovimento = new vorta::db::DataSource(this);
    DsMovimento->setDataSet(QryMovimento);

    RadioGroup_Ordem = new vorta::ui::RadioGroup(this, QStringLiteral("RadioGroup_Ordem"));
    RadioGroup_Ordem->setCaption(QStringLiteral(" Busca de Contribuinte "));
    RadioGroup_Ordem->setItems({QStringLiteral("Por Inscrição"), QStringLiteral("Por Razão Social")});
    RadioGroup_Ordem->setColumns(2);
    RadioGroup_Ordem->setItemIndex(1);
    RadioGroup_Ordem->setGeometry(8, 4, 300, 52);
    Edit_Busca = new vorta::ui::Edit(this, QStringLiteral("Edit_Busca"));
    Edit_Busca->setGeometry(316, 24, 316, 21);

    DBGrid = GradeMovimento(this, "DBGrid", DsContribuinte, 60, 160);
    DBGrid->setColumns({{QStringLiteral("Con_IECNPJCPF"), QStringLiteral("Inscrição Estadual"), 120},
                        {QStringLiteral("Con_Nome"), QStringLiteral("Razão Social"), 400}});
    GridLMC = GradeMovimento(this, "GridLMC", DsMovimento, 226, 170);
    // The state as its letter.
    GridLMC->setColumns({{QStringLiteral("mov_Ano_referencia"), QStringLiteral("Ano"), 60},
                         {QStringLiteral("mov_Mes_referencia"), QStringLiteral("Mês"), 50},
                         {QStringLiteral("mov_Tipo"), QStringLiteral("Tipo ( Normal / Retificador)"), 180},
                         {QStringLiteral("mov_Situacao"), QStringLiteral("Situação"), 80}});

    auto button = [this](const char* caption, const char* name, int x, int w) {
        return BotaoMovimento(this, caption, name, x, 404, w);
    };
    // The navigation buttons have no action of their own.
    btPrimeiro = button("|<", "btPrimeiro", 8, 28);
    btAnterior = button("<", "btAnterior", 38, 28);
    btProximo = button(">", "btProximo", 68, 28);
    btUltimo = button(">|", "btUltimo", 98, 28);
    BtMovimento = button("&Imprimir Movimento", "BtMovimento", 136, 150);
    BtRetornar = button("&Retornar", "BtRetornar", 460, 84);
    Botao_Fecha = button("&Sair", "Botao_Fecha", 548, 84);

    BtMovimento->OnClick = [this](QWidget* s) { BtMovimentoClick(s); };
    BtRetornar->OnClick = [this](QWidget* s) { BtRetornarClick(s); };
    Botao_Fecha->OnClick = [this](QWidget* s) { Botao_FechaClick(s); };
    Edit_Busca->OnKeyDown = [this](QWidget* s, int& k, Qt::KeyboardModifiers m) { Edit_BuscaKeyDown(s, k, m); };
    Edit_Busca->OnExit = [this](QWidget* s) { Edit_BuscaExit(s); };
    OnShow = [this](vorta::ui::Form* f) { FormShow(f); };
    OnClose = [this](vorta::ui::Form* f, vorta::ui::CloseAction& a) { FormClose(f, a); };
    OnKeyPress = [this](vorta::ui::Form* f, QChar& key) { FormKeyPress(f, key); };
}

void TSelMovimentoImpressao::FormShow(vorta::ui::Form*)
{
    QryMovimento->close();
    QryContribuinte->close();
    QryContribuinte->open();
    QryMovimento->open();
    QryMovimento->last();
}

void TSelMovimentoImpressao::FormClose(vorta::ui::Form*, vorta::ui::CloseAction& action)
{
    QryMovimento->close();
    QryContribuinte->close();
    action = vorta::ui::CloseAction::Free;
}

void TSelMovimentoImpressao::FormKeyPress(vorta::ui::Form*, QChar& key)
{
    if (key == QChar(13)) {
        key = QChar(0);
        selectNext(activeControl(), true, true);
    }
}

void TSelMovimentoImpressao::Edit_BuscaKeyDown(QWidget*, int& key, Qt::KeyboardModifiers)
{
    if (key == vorta::ui::VK_RETURN)
        Edit_BuscaExit(Edit_Busca);
}

void TSelMovimentoImpressao::Edit_BuscaExit(QWidget*)
{
    if (Edit_Busca->text().isEmpty())
        return;
    BuscaPorFiltro(QryContribuinte,
                   RadioGroup_Ordem->itemIndex() == 0 ? QStringLiteral("Con_IECNPJCPF") : QStringLiteral("Con_Nome"),
                   Edit_Busca->text());
}

void TSelMovimentoImpressao::BtMovimentoClick(QWidget*)
{
    CriaProtocolo();
}

void TSelMovimentoImpressao::CriaProtocolo()
{
    if (!QryMovimento->active() || QryMovimento->isEmpty()) {
        MsgInfoBD(1683);
        return;
    }
    const int codigo = int(QryMovimento->fieldByName(QStringLiteral("mov_codigo"))->asInteger());
    {
        auto owner = TFormAutoDestroyer::Create();
        try {
            TMOVMTC* r = owner->CreateForm(MOVMTC, nullptr);
            r->Preenche(codigo);
            r->preview();
        } catch (const vorta::EAbort&) {
            throw;
        } catch (const std::exception& e) {
            // The user sees the print's message; what failed stays in the log.
            vorta::ipc::ExceptionReporter::instance().logHandled(e);
            MsgErroBD(504);
        }
    }
    MOVMTC = nullptr;
}

void TSelMovimentoImpressao::BtRetornarClick(QWidget*)
{
    close();
}

void TSelMovimentoImpressao::Botao_FechaClick(QWidget*)
{
    if (MsgSimNaoBD(440) == vorta::ui::mrYes)
        vorta::Application::instance()->terminate();
}

void AbreSelMovimentoImpressao()
{
    vorta::createInto<TSelMovimentoImpressao>(SelMovimentoImpressao, vorta::Application::instance())->showModal();
}
