#pragma once

#include "platform/db/DataSet.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"

#include <QStringList>

class TRel;

// A menu form over the common registers and their listings; it works with the common
// data module that already exists.
class TForm1 : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TForm1(vorta::Component* owner = nullptr);

    vorta::ui::MainMenu* MainMenu1;
    vorta::ui::MenuItem* Cadastro1;
    vorta::ui::MenuItem* Contabilista1;
    vorta::ui::MenuItem* Municipio1;
    vorta::ui::MenuItem* NotaFiscal1;
    vorta::ui::MenuItem* Relatorio1;
    vorta::ui::MenuItem* AGENFA1;
    vorta::ui::MenuItem* Contabilista2;
    vorta::ui::MenuItem* Contribuinte2;
    vorta::ui::MenuItem* ProdutorRural1;
    vorta::ui::MenuItem* ComercioIndustria1;
    vorta::ui::MenuItem* PessoaJuridica1;
    vorta::ui::MenuItem* PessoaFisica1;
    vorta::ui::MenuItem* Municipio2;
    vorta::ui::MenuItem* Produto1;
    vorta::ui::MenuItem* TipodeBairro1;
    vorta::ui::MenuItem* TipodeLogradouro1;
    vorta::ui::MenuItem* NotaFiscal2;

    void Contabilista1Click(vorta::ui::MenuItem* sender);
    void Municipio1Click(vorta::ui::MenuItem* sender);
    void AGENFA1Click(vorta::ui::MenuItem* sender);
    void Contabilista2Click(vorta::ui::MenuItem* sender);
    void ProdutorRural1Click(vorta::ui::MenuItem* sender);
    void ComercioIndustria1Click(vorta::ui::MenuItem* sender);
    void PessoaJuridica1Click(vorta::ui::MenuItem* sender);
    void PessoaFisica1Click(vorta::ui::MenuItem* sender);
    void Municipio2Click(vorta::ui::MenuItem* sender);
    void Produto1Click(vorta::ui::MenuItem* sender);
    void TipodeBairro1Click(vorta::ui::MenuItem* sender);
    void TipodeLogradouro1Click(vorta::ui::MenuItem* sender);

private:
    // Opens the table if closed and goes to its first row; false, after the message,
    // when it has none.
    bool temRegistros(vorta::db::DataSet* tabela);
    // Fills the taxpayer query and masks its registrations; false, after closing it
    // and the message, when it returns no row.
    bool abreContribuintes(const QStringList& sql, const QString& mascara);
    // Previews the report and frees it.
    void mostra(TRel* relatorio);
};

extern vorta::Guarded<TForm1> Form1;

// Opens the tables whose names the taxpayer listings print (municipalities, agencies,
// accountants) where they are closed.
void AbreTabelasDasListagensDeContribuintes();
