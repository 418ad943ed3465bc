#include "Menu.h"

#include "T_Cad_Contabilista.h"
#include "T_Cad_Municipio.h"
#include "T_DM_Comuns.h"
#include "URel_Agenfa.h"
#include "URel_Comercio_Industria.h"
#include "URel_Contabilista.h"
#include "URel_Municipio.h"
#include "URel_PessoaFisica.h"
#include "URel_PessoaJuridica.h"
#include "URel_Produtor.h"
#include "URel_Produtos.h"
#include "URel_TipoBairro.h"
#include "URel_TipoLogradouro.h"

#include "DialogsX.h"

#include <memory>

vorta::Guarded<TForm1> Form1;

using vorta::ui::MenuItem;

namespace {
MenuItem* item(MenuItem* parent, const char* name, const char* caption)
{
    auto* i = new MenuItem(parent);
    i->setName(QString::fromLatin1(name));
    i->caption = QString::fromUtf8(caption);
    parent->add(i);
    return i;
}

const QString SemRegistros = QStringLiteral("Não existem registros para serem exibidos!");
} // namespace

TForm1::TForm1(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("Form1"));
    setObjectName(QStringLiteral("Form1"));
    setCaption(QStringLiteral("Form1"));
    MainMenu1 = new vorta::ui::MainMenu(this);
    MainMenu1->setName(QStringLiteral("MainMenu1"));
    MenuItem* raiz = MainMenu1->items();

    Cadastro1 = item(raiz, "Cadastro1", "Cadastro");
    Contabilista1 = item(Cadastro1, "Contabilista1", "Contabilista");
    Municipio1 = item(Cadastro1, "Municipio1", "Município");
    NotaFiscal1 = item(Cadastro1, "NotaFiscal1", "Nota Fiscal");

    Relatorio1 = item(raiz, "Relatorio1", "Relatório");
    AGENFA1 = item(Relatorio1, "AGENFA1", "AGENFA");
    Contabilista2 = item(Relatorio1, "Contabilista2", "Contabilista");
    Contribuinte2 = item(Relatorio1, "Contribuinte2", "Contribuinte");
    ProdutorRural1 = item(Contribuinte2, "ProdutorRural1", "Produtor Rural");
    ComercioIndustria1 = item(Contribuinte2, "ComercioIndustria1", "Comercio/Indústria");
    PessoaJuridica1 = item(Contribuinte2, "PessoaJuridica1", "Pessoa Jurídica");
    PessoaFisica1 = item(Contribuinte2, "PessoaFisica1", "Pessoa Física");
    Municipio2 = item(Relatorio1, "Municipio2", "Município");
    Produto1 = item(Relatorio1, "Produto1", "Produto");
    TipodeBairro1 = item(Relatorio1, "TipodeBairro1", "Tipo de Bairro");
    TipodeLogradouro1 = item(Relatorio1, "TipodeLogradouro1", "Tipo de Logradouro");
    NotaFiscal2 = item(Relatorio1, "NotaFiscal2", "Nota Fiscal");

    auto liga = [this](MenuItem* i, void (TForm1::*handler)(MenuItem*)) {
        i->OnClick = [this, handler](MenuItem* sender) { (this->*handler)(sender); };
    };
    liga(Contabilista1, &TForm1::Contabilista1Click);
    liga(Municipio1, &TForm1::Municipio1Click);
    liga(AGENFA1, &TForm1::AGENFA1Click);
    liga(Contabilista2, &TForm1::Contabilista2Click);
    liga(ProdutorRural1, &TForm1::ProdutorRural1Click);
    liga(ComercioIndustria1, &TForm1::ComercioIndustria1Click);
    liga(PessoaJuridica1, &TForm1::PessoaJuridica1Click);
    liga(PessoaFisica1, &TForm1::PessoaFisica1Click);
    liga(Municipio2, &TForm1::Municipio2Click);
    liga(Produto1, &TForm1::Produto1Click);
    liga(TipodeBairro1, &TForm1::TipodeBairro1Click);
    liga(TipodeLogradouro1, &TForm1::TipodeLogradouro1Click);
    setMainMenu(MainMenu1);
}

void TForm1::Contabilista1Click(MenuItem*)
{
    vorta::ui::createForm(Cad_Contabilista)->showModal();
}

void TForm1::Municipio1Click(MenuItem*)
{
    vorta::ui::createForm(Cad_Municipio)->showModal();
}

bool TForm1::temRegistros(vorta::db::DataSet* tabela)
{
    if (!tabela->active())
        tabela->open();
    tabela->first();
    if (tabela->isEmpty()) {
        ShowMessage(SemRegistros);
        return false;
    }
    return true;
}

void AbreTabelasDasListagensDeContribuintes()
{
    for (vorta::db::DataSet* t : {static_cast<vorta::db::DataSet*>(DM_Comuns->Tb_Municipio),
                                  static_cast<vorta::db::DataSet*>(DM_Comuns->Tb_MunicipioPro),
                                  static_cast<vorta::db::DataSet*>(DM_Comuns->Tb_Agenfa),
                                  static_cast<vorta::db::DataSet*>(DM_Comuns->Tb_Responsavel)})
        if (!t->active())
            t->open();
}

bool TForm1::abreContribuintes(const QStringList& sql, const QString& mascara)
{
    AbreTabelasDasListagensDeContribuintes();
    vorta::db::Query* q = DM_Comuns->Q_Contribuinte;
    q->close();
    q->setSqlLines(sql);
    q->open();
    q->fieldByName(QStringLiteral("Con_IECNPJCPF"))->setEditMask(mascara);
    if (q->isEmpty()) {
        q->close();
        ShowMessage(SemRegistros);
        return false;
    }
    return true;
}

void TForm1::mostra(TRel* relatorio)
{
    std::unique_ptr<TRel> livre(relatorio);
    relatorio->preview();
}

void TForm1::AGENFA1Click(MenuItem*)
{
    if (temRegistros(DM_Comuns->Tb_Agenfa))
        mostra(vorta::createInto<TRel_Agenfa>(Rel_Agenfa, this));
}

void TForm1::Contabilista2Click(MenuItem*)
{
    if (!temRegistros(DM_Comuns->Tb_Responsavel))
        return;
    TRel_Contabilista* r = vorta::createInto<TRel_Contabilista>(Rel_Contabilista, this);
    r->Q_Responsavel->open();
    mostra(r);
}

void TForm1::ProdutorRural1Click(MenuItem*)
{
    if (abreContribuintes({QStringLiteral("Select * from Contribuinte where con_tipo = 'IE'"),
                           QStringLiteral("and con_IECNPJCPF > '285000000'"), QStringLiteral("Order by Con_Nome")},
                          QStringLiteral("99.999.999-9;0")))
        mostra(vorta::createInto<TRel_Produtor>(Rel_Produtor, this));
}

void TForm1::ComercioIndustria1Click(MenuItem*)
{
    if (abreContribuintes({QStringLiteral("Select * from Contribuinte where con_tipo = 'IE'"),
                           QStringLiteral("and con_IECNPJCPF < '285000000'"), QStringLiteral("Order by Con_Nome")},
                          QStringLiteral("99.999.999-9;0")))
        mostra(vorta::createInto<TRel_Comercio_Industria>(Rel_Comercio_Industria, this));
}

void TForm1::PessoaJuridica1Click(MenuItem*)
{
    if (abreContribuintes({QStringLiteral("Select * from Contribuinte where con_tipo = 'CNPJ'"),
                           QStringLiteral("Order by Con_Nome")},
                          QStringLiteral("99.999.999/9999-99;0")))
        mostra(vorta::createInto<TRel_PessoaJuridica>(Rel_PessoaJuridica, this));
}

void TForm1::PessoaFisica1Click(MenuItem*)
{
    if (abreContribuintes({QStringLiteral("Select * from Contribuinte where con_tipo = 'CPF'"),
                           QStringLiteral("Order by Con_Nome")},
                          QStringLiteral("999.999.999-99;0;")))
        mostra(vorta::createInto<TRel_PessoaFisica>(Rel_PessoaFisica, this));
}

void TForm1::Municipio2Click(MenuItem*)
{
    if (temRegistros(DM_Comuns->Tb_Municipio))
        mostra(vorta::createInto<TRel_Municipio>(Rel_Municipio, this));
}

void TForm1::Produto1Click(MenuItem*)
{
    if (temRegistros(DM_Comuns->Tb_Produto))
        mostra(vorta::createInto<TRel_Produtos>(Rel_Produtos, this));
}

void TForm1::TipodeBairro1Click(MenuItem*)
{
    if (temRegistros(DM_Comuns->Tb_Bairro))
        mostra(vorta::createInto<TRel_TipoBairro>(Rel_TipoBairro, this));
}

void TForm1::TipodeLogradouro1Click(MenuItem*)
{
    if (temRegistros(DM_Comuns->Tb_Logradouro))
        mostra(vorta::createInto<TRel_TipoLogradouro>(Rel_TipoLogradouro, this));
}
