#include "uConfigProxy.h"

#include "T_DM_Comuns.h"
#include "Ufuncoes.h"
#include "uProxy.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Field.h"
#include "platform/ui/Application.h"

#include <QFont>
#include <QRadioButton>

vorta::Guarded<TfrmConfigProxy> frmConfigProxy;

using vorta::ui::Label;
using vorta::ui::SpeedButton;

TfrmConfigProxy::TfrmConfigProxy(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("frmConfigProxy"));
    setObjectName(QStringLiteral("frmConfigProxy"));
    setCaption(QStringLiteral("Configuração do Proxy"));
    setBorderStyle(vorta::ui::BorderStyle::Single);
    position = vorta::ui::FormPosition::ScreenCenter;
    setClientSize(560, 350);

    tabProxy = new vorta::db::Table(this);
    tabProxy->setName(QStringLiteral("tabProxy"));
    if (DM_Comuns)
        tabProxy->setDatabase(DM_Comuns->DB_Comuns);
    tabProxy->setTableName(QStringLiteral("Proxy"));
    tabProxy->BeforePost = [this](vorta::db::DataSet& ds) { tabProxyBeforePost(ds); };
    dsProxy = new vorta::db::DataSource(this);
    dsProxy->setName(QStringLiteral("dsProxy"));
    dsProxy->setDataSet(tabProxy);

    auto* atencao = new Label(this, QStringLiteral("ATENÇÃO"), QStringLiteral("Label1"));
    QFont forte = atencao->font();
    forte.setBold(true);
    atencao->setFont(forte);
    atencao->setGeometry(12, 8, 536, 18);
    atencao->setAlignment(Qt::AlignCenter);
    auto* aviso = new Label(this,
                            QStringLiteral("Entre em contato com o Administrador da Rede Local, para preenchimento "
                                           "dos campos abaixo."),
                            QStringLiteral("Label2"));
    aviso->setWordWrap(true);
    aviso->setAlignment(Qt::AlignCenter);
    aviso->setGeometry(12, 26, 536, 34);

    struct CampoDef {
        Label** label;
        vorta::ui::DBEdit** edit;
        const char* nome;
        const char* caption;
        const char* campo;
        int top;
        int largura;
    };
    const CampoDef campos[] = {
        {&lbServidor, &dbServidor, "dbServidor", "Servidor Proxy (URL ou IP):", "Servidor", 70, 300},
        {&lbPorta, &dbPorta, "dbPorta", "Porta do Servidor Proxy:", "Porta", 100, 80},
        {&lbUsuario, &dbUsuario, "dbUsuario", "Nome de Usuário:", "Usuario", 130, 240},
        {&lbSenha, &dbSenha, "dbSenha", "Senha:", "Senha", 160, 240},
    };
    for (const CampoDef& c : campos) {
        *c.label = new Label(this, QString::fromUtf8(c.caption), QStringLiteral("lb") + QString::fromLatin1(c.campo));
        (*c.label)->setGeometry(4, c.top + 3, 196, 18);
        (*c.label)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* e = new vorta::ui::DBEdit(this, QString::fromLatin1(c.nome));
        e->setGeometry(206, c.top, c.largura, 22);
        e->setDataSource(dsProxy);
        e->setDataField(QString::fromLatin1(c.campo));
        (*c.label)->setBuddy(e);
        *c.edit = e;
    }
    dbSenha->setEchoMode(QLineEdit::Password);

    rgAutenticacao = new vorta::ui::DBRadioGroup(this, QStringLiteral("rgAutenticacao"));
    rgAutenticacao->setCaption(QStringLiteral("Autenticação"));
    rgAutenticacao->setColumns(2);
    rgAutenticacao->setItems({QStringLiteral("Básica"), QStringLiteral("NTLM")});
    rgAutenticacao->setValues({AutenticacaoBasica, AutenticacaoNTLM});
    rgAutenticacao->setDataSource(dsProxy);
    rgAutenticacao->setDataField(QStringLiteral("Autenticacao"));
    rgAutenticacao->setGeometry(206, 190, 260, 58);

    struct BotaoDef {
        SpeedButton** alvo;
        const char* nome;
        const char* caption;
        int left;
    };
    const BotaoDef botoes[] = {
        {&btIncluir, "btIncluir", "&Incluir", 4},     {&btAlterar, "btAlterar", "&Alterar", 83},
        {&btGravar, "btGravar", "&Gravar", 162},      {&btCancelar, "btCancelar", "&Cancelar", 241},
        {&btExcluir, "btExcluir", "Excluir", 320},    {&btRetornar, "btRetornar", "&Retornar", 399},
        {&BtSairGeral, "BtSairGeral", "&Sair", 478},
    };
    for (const BotaoDef& d : botoes) {
        auto* b = new SpeedButton(this, QString::fromLatin1(d.nome));
        b->setCaption(QString::fromUtf8(d.caption));
        b->setBounds(d.left, 260, 77, 25);
        *d.alvo = b;
    }

    // The shortcut legend; each label clicks its button when that is enabled.
    struct LegendaDef {
        const char* tecla;
        const char* texto;
        SpeedButton* botao;
    };
    const LegendaDef legendas[] = {
        {"[ ALT + I ]", "Incluir -", btIncluir},   {"[ ALT + A ]", "Alterar -", btAlterar},
        {"[ ALT + G ]", "Gravar -", btGravar},     {"[ ALT + C ]", "Cancelar -", btCancelar},
        {"[ ALT + R ]", "Retornar -", btRetornar},
    };
    const QFont pequena = vorta::ui::scaledFont(font(), 0.85);
    int x = 4;
    int y = 292;
    int n = 0;
    for (const LegendaDef& d : legendas) {
        for (const char* texto : {d.texto, d.tecla}) {
            auto* l = new Label(this, QString::fromUtf8(texto), QStringLiteral("Label%1").arg(10 + n++));
            l->setFont(pequena);
            const int w = l->fontMetrics().horizontalAdvance(l->caption()) + 4;
            // A legend and its key stay on one line.
            if (texto == d.texto && x + w + l->fontMetrics().horizontalAdvance(QString::fromUtf8(d.tecla)) > 556) {
                x = 4;
                y += 16;
            }
            l->setGeometry(x, y, w, 16);
            x += w + (texto == d.tecla ? 8 : 1);
            SpeedButton* botao = d.botao;
            l->OnClick = [botao](QWidget*) {
                if (botao->isEnabled())
                    botao->click();
            };
        }
    }

    msgStatus = new vorta::ui::DBStatusBar(this, QStringLiteral("msgStatus"));
    msgStatus->addPanel({QString(), 560});
    msgStatus->setDataSource(dsProxy);
    msgStatus->setGeometry(0, 326, 560, 24);

    setTabOrder(dbServidor, dbPorta);
    setTabOrder(dbPorta, dbUsuario);
    setTabOrder(dbUsuario, dbSenha);
    setTabOrder(dbSenha, rgAutenticacao->button(0));

    btIncluir->OnClick = [this](QWidget* s) { btIncluirClick(s); };
    btAlterar->OnClick = [this](QWidget* s) { btAlterarClick(s); };
    btGravar->OnClick = [this](QWidget* s) { btGravarClick(s); };
    btCancelar->OnClick = [this](QWidget* s) { btCancelarClick(s); };
    btExcluir->OnClick = [this](QWidget* s) { btExcluirClick(s); };
    btRetornar->OnClick = [this](QWidget* s) { btRetornarClick(s); };
    BtSairGeral->OnClick = [this](QWidget* s) { BtSairGeralClick(s); };
    OnCreate = [this](Form* f) { FormCreate(f); };
    OnClose = [this](Form* f, vorta::ui::CloseAction& a) { FormClose(f, a); };
}

void TfrmConfigProxy::FormCreate(Form*)
{
    tabProxy->open();
    emRepouso();
}

void TfrmConfigProxy::FormClose(Form*, vorta::ui::CloseAction& action)
{
    action = vorta::ui::CloseAction::Free;
}

void TfrmConfigProxy::habilitaCampos(bool on)
{
    for (QWidget* w : std::initializer_list<QWidget*>{dbServidor, dbPorta, dbUsuario, dbSenha, rgAutenticacao})
        w->setEnabled(on);
}

void TfrmConfigProxy::emRepouso()
{
    const bool temLinha = tabProxy->active() && !tabProxy->isEmpty();
    btIncluir->setEnabled(!temLinha);
    btAlterar->setEnabled(temLinha);
    btExcluir->setEnabled(temLinha);
    btGravar->setEnabled(false);
    btCancelar->setEnabled(false);
    btRetornar->setEnabled(true);
    BtSairGeral->setEnabled(true);
    habilitaCampos(false);
}

void TfrmConfigProxy::editando()
{
    for (SpeedButton* b : {btIncluir, btAlterar, btExcluir, btRetornar, BtSairGeral})
        b->setEnabled(false);
    btGravar->setEnabled(true);
    btCancelar->setEnabled(true);
    habilitaCampos(true);
    dbServidor->setFocus();
}

void TfrmConfigProxy::btIncluirClick(QWidget*)
{
    // The table is empty: the new row starts now, so saving it untouched is checked too.
    if (tabProxy->isEmpty())
        tabProxy->insert();
    editando();
}

void TfrmConfigProxy::btAlterarClick(QWidget*)
{
    tabProxy->edit();
    editando();
}

void TfrmConfigProxy::btGravarClick(QWidget*)
{
    if (tabProxy->state() == vorta::db::DataSetState::Edit || tabProxy->state() == vorta::db::DataSetState::Insert)
        tabProxy->post();
    emRepouso();
    if (tabProxy->isEmpty())
        return;
    // Saved: the row can be altered or deleted; there is never a second one to include.
    btIncluir->setEnabled(false);
}

void TfrmConfigProxy::btCancelarClick(QWidget*)
{
    tabProxy->cancel();
    emRepouso();
}

void TfrmConfigProxy::btExcluirClick(QWidget*)
{
    if (!tabProxy->isEmpty())
        tabProxy->deleteRecord();
    emRepouso();
}

void TfrmConfigProxy::btRetornarClick(QWidget*)
{
    close();
}

void TfrmConfigProxy::BtSairGeralClick(QWidget*)
{
    if (MsgSimNaoBD(AplicacaoEstaEditando() ? 440 : 86) == vorta::ui::mrYes)
        vorta::Application::instance()->terminate();
}

void TfrmConfigProxy::tabProxyBeforePost(vorta::db::DataSet& ds)
{
    auto recusa = [](Label* caption, QWidget* campo) {
        MsgErroBD(1724, {caption->caption()});
        campo->setFocus();
        vorta::Abort();
    };
    auto vazio = [&ds](const char* campo) {
        return ds.fieldByName(QString::fromLatin1(campo))->asString().trimmed().isEmpty();
    };
    if (vazio("Servidor"))
        recusa(lbServidor, dbServidor);
    // A port outside the range would reach no proxy at all.
    const vorta::db::Field* porta = ds.fieldByName(QStringLiteral("Porta"));
    if (vazio("Porta") || porta->asInteger() < 1 || porta->asInteger() > 65535)
        recusa(lbPorta, dbPorta);
    if (vazio("Usuario"))
        recusa(lbUsuario, dbUsuario);
    if (vazio("Senha"))
        recusa(lbSenha, dbSenha);
    if (ds.fieldByName(QStringLiteral("Autenticacao"))->asString().isEmpty()) {
        MsgErroBD(1724, {rgAutenticacao->caption()});
        rgAutenticacao->button(0)->setFocus();
        vorta::Abort();
    }
}
