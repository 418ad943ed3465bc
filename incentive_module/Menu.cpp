#include "Menu.h"

#include "USelMovGera.h"
#include "FrmSelMapas.h"
#include "FrmTecnicos.h"

#include "UDM_MTC.h"
#include "USelMovimento.h"
#include "USelMovimentoImpressao.h"
#include "USelValidaMovimento.h"
#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/ui/Application.h"
#include "platform/core/Clock.h"
#include "platform/core/Exceptions.h"
#include "platform/db/Query.h"
#include "platform/ui/Dialogs.h"

vorta::Guarded<TFrmMenu> FrmMenu;

using vorta::ui::MenuItem;

namespace {
MenuItem* item(MenuItem* parent, const QString& caption, const QString& name)
{
    auto* i = new MenuItem(nullptr);
    i->caption = caption;
    i->setName(name);
    parent->add(i);
    return i;
}
} // namespace

TFrmMenu::TFrmMenu(vorta::Component* owner) : TVortaModuleForm(owner)
{
    setObjectName(QStringLiteral("FrmMenu"));
    setCaption(QStringLiteral("ZIR - Programa de Incentivo de Zirel"));
    MainMenu1 = new vorta::ui::MainMenu(this);
    MainMenu1->setName(QStringLiteral("MainMenu1"));
    MenuItem* root = MainMenu1->items();

    Cadastro1 = item(root, QStringLiteral("Cadastro"), QStringLiteral("Cadastro1"));
    MovimentodeCombustvel1 = item(Cadastro1, QStringLiteral("Movimento"), QStringLiteral("MovimentodeCombustvel1"));
    CadstrodeTcnicos1 = item(Cadastro1, QStringLiteral("Técnicos"), QStringLiteral("CadstrodeTcnicos1"));
    MapasdeTipificaodeCarcaa1 =
        item(Cadastro1, QStringLiteral("Mapas de Tipificação de Carcaça"), QStringLiteral("MapasdeTipificaodeCarcaa1"));
    Rotina1 = item(root, QStringLiteral("Rotina"), QStringLiteral("Rotina1"));
    ValidarMovimento = item(item(Rotina1, QStringLiteral("Validar"), QStringLiteral("Validar1")),
                            QStringLiteral("Movimento"), QStringLiteral("ValidarMovimento"));
    GerarMovimento = item(item(Rotina1, QStringLiteral("Gerar"), QStringLiteral("Gerar1")), QStringLiteral("Movimento"),
                          QStringLiteral("GerarMovimento"));
    Relatorio1 = item(root, QStringLiteral("Relatório"), QStringLiteral("Relatorio1"));
    Movimento1 = item(Relatorio1, QStringLiteral("Movimento"), QStringLiteral("Movimento1"));
    Sistema1 = item(root, QStringLiteral("Sistema"), QStringLiteral("Sistema1"));
    Ajuda1 = item(Sistema1, QStringLiteral("Ajuda"), QStringLiteral("Ajuda1")); // no action
    Sair1 = item(root, QStringLiteral("Sair"), QStringLiteral("Sair1"));
    SairdoSistema1 = item(Sair1, QStringLiteral("Sair do Sistema"), QStringLiteral("SairdoSistema1"));

    MovimentodeCombustvel1->OnClick = [this](MenuItem*) { MovimentodeCombustvel1Click(); };
    CadstrodeTcnicos1->OnClick = [this](MenuItem*) { CadstrodeTcnicos1Click(); };
    ValidarMovimento->OnClick = [this](MenuItem*) { ValidarMovimentoClick(); };
    MapasdeTipificaodeCarcaa1->OnClick = [this](MenuItem*) { MapasdeTipificaodeCarcaa1Click(); };
    SairdoSistema1->OnClick = [this](MenuItem*) { SairdoSistema1Click(); };
    GerarMovimento->OnClick = [](MenuItem*) { MostraSelMovGera(); };
    Movimento1->OnClick = [](MenuItem*) { AbreSelMovimentoImpressao(); };
    setMainMenu(MainMenu1);

    if (auto* app = vorta::Application::instance())
        app->onException = [this](const std::exception& e) { ApplicationEvents1Exception(e); };
}

TFrmMenu::~TFrmMenu()
{
    if (auto* app = vorta::Application::instance())
        app->onException = nullptr;
}

bool TFrmMenu::ParametrosDoMesAtual()
{
    vorta::db::Query* q = DM_MTC->QryGeral;
    q->close();
    q->setSql(QStringLiteral("select * from Qel_Parametros_Mensais where pam_ano = :vano and pam_mes = :vmes"));
    const QDate today = vorta::today();
    q->paramByName(QStringLiteral("vano"))->setAsInteger(today.year());
    q->paramByName(QStringLiteral("vmes"))->setAsInteger(today.month());
    q->open();
    return !q->isEmpty();
}

void TFrmMenu::MovimentodeCombustvel1Click()
{
    if (!ParametrosDoMesAtual()) {
        MsgErroBD(1667);
        return;
    }
    TFormAutoDestroyer formas;
    formas.CreateForm(SelMovimento, this)->showModal();
}

void TFrmMenu::CadstrodeTcnicos1Click()
{
    AbreTecnicos(false);
}

void TFrmMenu::ValidarMovimentoClick()
{
    TFormAutoDestroyer formas;
    formas.CreateForm(SelValidaMovimento, this)->showModal();
}

void TFrmMenu::MapasdeTipificaodeCarcaa1Click()
{
    AbreSelecaoMapas();
}

void TFrmMenu::SairdoSistema1Click()
{
    close();
}

QString TextoDaExcecao(const QString& message)
{
    if (message.contains(QLatin1String("is not a valid date")))
        return QStringLiteral("Data inválida!");
    if (message.contains(QLatin1String("is not a valid floating point value"))
        || message.contains(QLatin1String("is not a valid integer value")))
        return QStringLiteral("Valor inválido!");
    if (message.contains(QLatin1String("Table is not in edit or insert mode")))
        return QStringLiteral("Tabela não está em modo de edição!");
    if (message.contains(QLatin1String("is not a valid value for field"))
        && message.contains(QLatin1String("the allowed range is")))
        return QStringLiteral("Valor fora da faixa permitida!");
    return message;
}

void TFrmMenu::ApplicationEvents1Exception(const std::exception& e)
{
    const auto* ve = dynamic_cast<const vorta::Exception*>(&e);
    vorta::ui::showPlainMessage(TextoDaExcecao(ve ? ve->message() : QString::fromUtf8(e.what())));
}
