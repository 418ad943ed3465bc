#include "uVortaMenuForm.h"

#include "Menu.h"
#include "T_Cad_Contabilista.h"
#include "T_Cad_Contribuinte.h"
#include "T_Cad_Municipio.h"
#include "T_Cad_RemDest.h"
#include "T_Cad_RespnsavelLegal.h"
#include "T_DM_Comuns.h"
#include "T_Sel_Rel_Produtos.h"
#include "UDMEntrega.h"
#include "USel_Entrega.h"
#include "URel_Agenfa.h"
#include "URel_CFOP.h"
#include "URel_Comercio_Industria.h"
#include "URel_Contabilista.h"
#include "URel_Municipio.h"
#include "URel_NatOpeEntrada.h"
#include "URel_NatOpeSaida.h"
#include "URel_NatOpeTodas.h"
#include "URel_PessoaFisica.h"
#include "URel_PessoaJuridica.h"
#include "URel_Produtor.h"
#include "URel_TipoBairro.h"
#include "URel_TipoLogradouro.h"
#include "Ufuncoes.h"
#include "uAbout.h"
#include "uAtualizacao.h"
#include "uBackup.h"
#include "uConfigProxy.h"
#include "uDmVortaModule.h"
#include "uRepararBaseVorta.h"

#include "platform/db/Field.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"

#include <QHBoxLayout>
#include <QLayout>
#include <QMouseEvent>

vorta::Guarded<TfVortaMenuForm> fVortaMenuForm;

using vorta::ui::MenuItem;

namespace {
// A label that reports clicks.
class ClickLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && onClick)
            onClick();
    }
};
} // namespace

TfVortaMenuForm::TfVortaMenuForm(vorta::Component* owner) : TVortaModuleForm(owner)
{
    setObjectName(QStringLiteral("fVortaMenuForm"));
    setCaption(QStringLiteral("Vorta"));
    helpContext = 12500;
    MainMenu1 = new vorta::ui::MainMenu(this);
    MainMenu1->setName(QStringLiteral("MainMenu1"));
    setMainMenu(MainMenu1);

    pnlMensagem = new QWidget(this);
    pnlMensagem->setObjectName(QStringLiteral("pnlMensagem"));
    auto* row = new QHBoxLayout(pnlMensagem);
    auto* hide = new ClickLabel(QStringLiteral("Ocultar"), pnlMensagem);
    hide->setObjectName(QStringLiteral("Label1"));
    hide->setCursor(Qt::PointingHandCursor);
    hide->onClick = [this] { Label1Click(); };
    Label1 = hide;
    row->addStretch();
    row->addWidget(Label1);
    pnlMensagem->hide();
    // Above the status bar, below the logo.
    if (auto* box = qobject_cast<QBoxLayout*>(layout()))
        box->insertWidget(1, pnlMensagem);

    using Handler = void (TfVortaMenuForm::*)(MenuItem*);
    auto novo = [this](MenuItem* pai, const char* nome, const char* caption, Handler h = nullptr) {
        auto* i = new MenuItem(this);
        i->setName(QString::fromLatin1(nome));
        i->caption = QString::fromUtf8(caption);
        if (h)
            i->OnClick = [this, h](MenuItem* s) { (this->*h)(s); };
        pai->add(i);
        return i;
    };
    MenuItem* raiz = MainMenu1->items();
    MenuItem* cadastro = novo(raiz, "Cadastro1", "&Cadastro");
    novo(cadastro, "Contabilista", "&Contabilista", &TfVortaMenuForm::ContabilistaClick);
    MenuItem* contribuinte = novo(cadastro, "Contribuinte1", "Con&tribuinte    ");
    novo(contribuinte, "DestRem", "&Dest./Remet.", &TfVortaMenuForm::DestRemClick);
    novo(contribuinte, "Contribuinte", "&Contribuinte", &TfVortaMenuForm::ContribuinteClick);
    novo(cadastro, "Municipio", "&Município", &TfVortaMenuForm::MunicipioClick);
    novo(cadastro, "ResponsvelLegal1", "Responsável &Legal", &TfVortaMenuForm::ResponsvelLegal1Click);
    MenuItem* rotina = novo(raiz, "Rotina1", "&Rotina");
    novo(rotina, "LiveUpdate", "&Atualização \"ao vivo\"", &TfVortaMenuForm::LiveUpdateClick);
    novo(rotina, "Entrega", "&Entrega de Formulários", &TfVortaMenuForm::EntregaClick);
    novo(rotina, "BackupVorta", "&Cópia de segurança", &TfVortaMenuForm::BackupVortaClick);
    novo(rotina, "ConfiguraodoProxy1", "Configuração do &Proxy", &TfVortaMenuForm::ConfiguraodoProxy1Click);
    novo(rotina, "RepararBancodeDados1", "Reparar Banco de Dados", &TfVortaMenuForm::RepararBancodeDados1Click);
    MenuItem* sistema = novo(raiz, "Sistema1", "&Sistema");
    MenuItem* listagem = novo(sistema, "Listagem1", "&Listagem...");
    novo(listagem, "Agenfas1", "AGENFA", &TfVortaMenuForm::Agenfas1Click);
    MenuItem* cfop = novo(listagem, "CFOP1", "CFOP");
    MenuItem* ate2002 = novo(cfop, "Ate20021", "Até 2002");
    novo(ate2002, "Entrada3", "Entrada", &TfVortaMenuForm::Entrada3Click);
    novo(ate2002, "Saida2", "Saida", &TfVortaMenuForm::Saida2Click);
    MenuItem* apartir = novo(cfop, "Apartirde20031", "A partir de 2003");
    novo(apartir, "Entrada4", "Entrada", &TfVortaMenuForm::Entrada4Click);
    novo(apartir, "Sada2", "Saída", &TfVortaMenuForm::Sada2Click);
    novo(listagem, "Contador2", "Contabilista", &TfVortaMenuForm::Contador2Click);
    MenuItem* prod = novo(listagem, "ProdDestRem1", "&Prod./Dest./Rem. ");
    novo(prod, "Produtor1", "P&rodutor", &TfVortaMenuForm::Produtor1Click);
    novo(prod, "ComercioIndustria1", "&Dest./Remet.", &TfVortaMenuForm::ComercioIndustria1Click);
    novo(prod, "CNPJ1", "&Prod./Dest./Rem.", &TfVortaMenuForm::CNPJ1Click)->visible = false;
    novo(prod, "CPF1", "Pessoa Física", &TfVortaMenuForm::CPF1Click)->visible = false;
    novo(listagem, "Municpios1", "Município", &TfVortaMenuForm::Municpios1Click);
    MenuItem* natope = novo(listagem, "NaturezadeOperacao1", "Natureza de Operação - DUX      ");
    novo(natope, "Entrada1", "Entrada", &TfVortaMenuForm::Entrada1Click);
    novo(natope, "Saida1", "Saida", &TfVortaMenuForm::Saida1Click);
    novo(natope, "Todas1", "Todas", &TfVortaMenuForm::Todas1Click);
    novo(listagem, "Produto1", "Produto", &TfVortaMenuForm::Produto1Click);
    novo(listagem, "TipoBairro1", "Tipo de Bairro", &TfVortaMenuForm::TipoBairro1Click);
    novo(listagem, "TipoLogradouro1", "Tipo de Logradouro", &TfVortaMenuForm::TipoLogradouro1Click);
    novo(sistema, "Configurarimpressora1", "Configurar &impressora...", &TfVortaMenuForm::Configurarimpressora1Click);
    novo(sistema, "Ajuda1", "Ajuda", &TfVortaMenuForm::Ajuda1Click);
    novo(sistema, "Sobre", "&Sobre", &TfVortaMenuForm::SobreClick);
    MenuItem* sair = novo(raiz, "Sair1", "S&air");
    novo(sair, "sair1", "&Sair do Sistema", &TfVortaMenuForm::sair1Click);
    refreshMenu();

    OnCreate = [this](vorta::ui::Form* f) { FormCreate(f); };
}

MenuItem* TfVortaMenuForm::item(const QString& name) const
{
    std::function<MenuItem*(MenuItem*)> procura = [&](MenuItem* i) -> MenuItem* {
        if (i->name() == name)
            return i;
        for (int k = 0; k < i->count(); ++k)
            if (MenuItem* achado = procura(i->item(k)))
                return achado;
        return nullptr;
    };
    return procura(MainMenu1->items());
}

namespace {

using Dono = std::shared_ptr<TFormAutoDestroyer>;

// The owner of one command, with its own common data module.
Dono donoComDados()
{
    Dono dono = TFormAutoDestroyer::Create();
    dono->CreateForm(DM_Comuns, vorta::Application::instance());
    return dono;
}

// A register form over the table, at the desktop centre, shown modally.
template <class T>
T* cadastro(const Dono& dono, vorta::Guarded<T>& ref, vorta::db::DataSet* tabela)
{
    T* f = dono->CreateForm(ref, vorta::Application::instance());
    f->position = vorta::ui::FormPosition::ScreenCenter;
    f->dsBase->setDataSet(tabela);
    return f;
}

// Opens the table when closed and goes to its first row.
void abre(vorta::db::DataSet* t)
{
    if (!t->active())
        t->open();
    t->first();
}

// Opened at its first row; with none, closed again and message 85.
bool temRegistros(vorta::db::DataSet* t)
{
    abre(t);
    if (t->isEmpty()) {
        t->close();
        MsgInfoBD(85);
        return false;
    }
    return true;
}

template <class T>
void previa(const Dono& dono, vorta::Guarded<T>& ref)
{
    dono->CreateForm(ref, vorta::Application::instance())->preview();
}

void listaCFOP(const QString& titulo, const QString& filtro)
{
    Dono dono = donoComDados();
    TRel_CFOP* r = dono->CreateForm(Rel_CFOP, vorta::Application::instance());
    r->QRLabel_CFOP->caption = titulo;
    r->title = titulo;
    vorta::db::Table* t = DM_Comuns->Tb_CFOP;
    t->close();
    t->setFiltered(false);
    t->setFilter(filtro);
    t->setFiltered(true);
    t->open();
    t->first();
    r->preview();
}

// The taxpayer query for a listing; with no row, closed and message 85.
bool contribuintes(const QStringList& sql, const QString& filtro, const QString& mascara)
{
    AbreTabelasDasListagensDeContribuintes();
    vorta::db::Query* q = DM_Comuns->Q_Contribuinte;
    q->close();
    q->setSqlLines(sql);
    q->open();
    q->setFiltered(false);
    q->setFilter(filtro);
    q->setFiltered(!filtro.isEmpty());
    q->fieldByName(QStringLiteral("Con_IECNPJCPF"))->setEditMask(mascara);
    q->first();
    if (q->isEmpty()) {
        q->close();
        MsgInfoBD(85);
        return false;
    }
    return true;
}

const QStringList TodosContribuintes{QStringLiteral("Select * from Contribuinte"), QStringLiteral("Order by Con_Nome")};
const QString MascaraIE = QStringLiteral("99.999.999-9;0");
const QString FiltroRemDest = QStringLiteral("Con_NomePropr = '' and Age_codigo = '' ");

} // namespace

void TfVortaMenuForm::ContabilistaClick(MenuItem*)
{
    Dono dono = donoComDados();
    cadastro(dono, Cad_Contabilista, DM_Comuns->Tb_Responsavel)->showModal();
}

void TfVortaMenuForm::DestRemClick(MenuItem*)
{
    Dono dono = donoComDados();
    TCad_RemDest* f = cadastro(dono, Cad_RemDest, DM_Comuns->Tb_RemDest);
    vorta::db::Table* t = DM_Comuns->Tb_RemDest;
    t->close();
    t->setFilter(FiltroRemDest);
    t->setFiltered(true);
    t->open();
    f->btMuncipio->setEnabled(true);
    f->setCaption(QStringLiteral("Cadastro de Dest./Remet."));
    f->RadioGroup_Contribuinte->setCaption(QStringLiteral(" Busca de Dest./Remet. "));
    if (f->Edit_Busca)
        f->Edit_Busca->setHint(QStringLiteral("Digite aqui para buscar o Dest./Remet. automaticamente"));
    f->showModal();
}

void TfVortaMenuForm::ContribuinteClick(MenuItem*)
{
    Dono dono = donoComDados();
    TCad_Contribuinte* f = cadastro(dono, Cad_Contribuinte, DM_Comuns->Tb_Contribuinte);
    f->setCaption(QStringLiteral("Cadastro de Contribuinte"));
    f->RadioGroup_Contribuinte->setCaption(QStringLiteral(" Busca de Contribuinte "));
    if (f->Edit_Busca)
        f->Edit_Busca->setHint(QStringLiteral("Digite aqui para buscar o Contribuinte automaticamente"));
    f->showModal();
}

void TfVortaMenuForm::MunicipioClick(MenuItem*)
{
    Dono dono = donoComDados();
    cadastro(dono, Cad_Municipio, DM_Comuns->Tb_Municipio)->showModal();
}

void TfVortaMenuForm::ResponsvelLegal1Click(MenuItem*)
{
    Dono dono = donoComDados();
    cadastro(dono, Cad_RespnsavelLegal, DM_Comuns->Tb_RespEmpresa)->showModal();
}

void TfVortaMenuForm::LiveUpdateClick(MenuItem*)
{
    Dono dono = TFormAutoDestroyer::Create();
    dono->CreateForm(uAtualizacao, vorta::Application::instance())->showModal();
}

void TfVortaMenuForm::BackupVortaClick(MenuItem*)
{
    Dono dono = donoComDados();
    dono->CreateForm(Backup, vorta::Application::instance())->showModal();
}

void TfVortaMenuForm::RepararBancodeDados1Click(MenuItem*)
{
    Dono dono = TFormAutoDestroyer::Create();
    dono->CreateForm(RepararBaseVorta, vorta::Application::instance())->showModal();
}

void TfVortaMenuForm::ConfiguraodoProxy1Click(MenuItem*)
{
    Dono dono = donoComDados();
    dono->CreateForm(frmConfigProxy, vorta::Application::instance())->showModal();
}

void TfVortaMenuForm::EntregaClick(MenuItem*)
{
    Dono dono = donoComDados();
    dono->CreateForm(DMEntrega, nullptr);
    dono->CreateForm(Sel_Entrega, nullptr)->showModal();
}

void TfVortaMenuForm::Agenfas1Click(MenuItem*)
{
    Dono dono = donoComDados();
    abre(DM_Comuns->Tb_Agenfa);
    previa(dono, Rel_Agenfa);
}

void TfVortaMenuForm::Entrada3Click(MenuItem*)
{
    listaCFOP(QStringLiteral("Listagem de CFOP até 2002 - Entrada"), QStringLiteral("Cfop_Codigo < 400"));
}

void TfVortaMenuForm::Saida2Click(MenuItem*)
{
    listaCFOP(QStringLiteral("Listagem de CFOP até 2002 - Saída"),
              QStringLiteral("Cfop_Codigo > 400 and  Cfop_Codigo < 1000"));
}

void TfVortaMenuForm::Entrada4Click(MenuItem*)
{
    listaCFOP(QStringLiteral("Listagem de CFOP a partir de 2003 - Entrada"),
              QStringLiteral("(Cfop_Codigo > 999 and Cfop_Codigo < 4000)"));
}

void TfVortaMenuForm::Sada2Click(MenuItem*)
{
    listaCFOP(QStringLiteral("Listagem de CFOP a partir de 2003 - Saída"),
              QStringLiteral("(Cfop_Codigo > 4000 and Cfop_Codigo < 8000)"));
}

void TfVortaMenuForm::Contador2Click(MenuItem*)
{
    Dono dono = donoComDados();
    abre(DM_Comuns->Tb_Responsavel);
    if (DM_Comuns->Tb_Responsavel->isEmpty()) {
        MsgInfoBD(85);
        return;
    }
    TRel_Contabilista* r = dono->CreateForm(Rel_Contabilista, vorta::Application::instance());
    r->Q_Responsavel->open();
    r->preview();
}

void TfVortaMenuForm::Produtor1Click(MenuItem*)
{
    Dono dono = donoComDados();
    if (contribuintes(TodosContribuintes,
                      QStringLiteral("Con_IECNPJCPF > '2850000000' and Con_IECNPJCPF < '2899999999' and "
                                     "Con_NomePropr <> '' or Age_codigo <> '' "),
                      MascaraIE))
        previa(dono, Rel_Produtor);
}

void TfVortaMenuForm::ComercioIndustria1Click(MenuItem*)
{
    Dono dono = donoComDados();
    if (contribuintes(TodosContribuintes, FiltroRemDest, MascaraIE))
        previa(dono, Rel_Comercio_Industria);
}

void TfVortaMenuForm::CNPJ1Click(MenuItem*)
{
    Dono dono = donoComDados();
    if (contribuintes(TodosContribuintes, QString(), MascaraIE))
        previa(dono, Rel_PessoaJuridica);
}

void TfVortaMenuForm::CPF1Click(MenuItem*)
{
    Dono dono = donoComDados();
    if (contribuintes({QStringLiteral("Select * from Contribuinte where con_tipo = 'CPF'"),
                       QStringLiteral("Order by Con_Nome")},
                      QString(), QStringLiteral("999.999.999-99;0;")))
        previa(dono, Rel_PessoaFisica);
}

void TfVortaMenuForm::Municpios1Click(MenuItem*)
{
    Dono dono = donoComDados();
    abre(DM_Comuns->Tb_Municipio);
    previa(dono, Rel_Municipio);
}

void TfVortaMenuForm::Entrada1Click(MenuItem*)
{
    Dono dono = donoComDados();
    if (temRegistros(DM_Comuns->Tb_NatOpeEntrada))
        previa(dono, Rel_NatOpeEntrada);
}

void TfVortaMenuForm::Saida1Click(MenuItem*)
{
    Dono dono = donoComDados();
    if (temRegistros(DM_Comuns->Tb_NatOpeSaida))
        previa(dono, Rel_NatOpeSaida);
}

void TfVortaMenuForm::Todas1Click(MenuItem*)
{
    Dono dono = donoComDados();
    if (temRegistros(DM_Comuns->Tb_NatOpeTodas))
        previa(dono, Rel_NatOpeTodas);
}

void TfVortaMenuForm::Produto1Click(MenuItem*)
{
    Dono dono = donoComDados();
    dono->CreateForm(Sel_Rel_Produtos, vorta::Application::instance())->showModal();
}

void TfVortaMenuForm::TipoBairro1Click(MenuItem*)
{
    Dono dono = donoComDados();
    abre(DM_Comuns->Tb_Bairro);
    previa(dono, Rel_TipoBairro);
}

void TfVortaMenuForm::TipoLogradouro1Click(MenuItem*)
{
    Dono dono = donoComDados();
    abre(DM_Comuns->Tb_Logradouro);
    previa(dono, Rel_TipoLogradouro);
}

void TfVortaMenuForm::Configurarimpressora1Click(MenuItem*)
{
    vorta::ui::dialogService().printerSetup({caption(), QString(), {}});
}

void TfVortaMenuForm::Ajuda1Click(MenuItem*)
{
    // The suite's help file is a Windows help file that nothing here can show.
    MsgInfo(QStringLiteral("A ajuda do sistema (%1) não pode ser exibida neste computador.").arg(HelpFile));
}

void TfVortaMenuForm::SobreClick(MenuItem*)
{
    Dono dono = TFormAutoDestroyer::Create();
    dono->CreateForm(AboutBox, vorta::Application::instance())->showModal();
}

void TfVortaMenuForm::sair1Click(MenuItem*)
{
    close();
}

void TfVortaMenuForm::FormCreate(vorta::ui::Form* sender)
{
    TVortaModuleForm::FormCreate(sender);
    HelpFile = DirModulos + QStringLiteral("Vorta.HLP");
    m_showMessages = true;
}

void TfVortaMenuForm::MostrarPaineldeMensagem(const QString& text)
{
    if (!m_showMessages)
        return;
    pnlMensagem->setVisible(!text.trimmed().isEmpty());
}

void TfVortaMenuForm::Label1Click()
{
    m_showMessages = false;
    pnlMensagem->hide();
}
