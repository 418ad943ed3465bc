#pragma once

#include "uVortaModuleForm.h"

#include "platform/ui/Menu.h"

#include <QLabel>
#include <QWidget>

// Main form of the base module.
class TfVortaMenuForm : public TVortaModuleForm {
    Q_OBJECT
public:
    explicit TfVortaMenuForm(vorta::Component* owner = nullptr);

    vorta::ui::MainMenu* MainMenu1;
    QWidget* pnlMensagem;
    QLabel* Label1;
    QString HelpFile;

    // Menu items, by handler name.
    vorta::ui::MenuItem* item(const QString& name) const;

    void FormCreate(vorta::ui::Form* sender);
    void MostrarPaineldeMensagem(const QString& text);
    void Label1Click();

    void ContabilistaClick(vorta::ui::MenuItem* sender);
    void DestRemClick(vorta::ui::MenuItem* sender);
    void ContribuinteClick(vorta::ui::MenuItem* sender);
    void MunicipioClick(vorta::ui::MenuItem* sender);
    void ResponsvelLegal1Click(vorta::ui::MenuItem* sender);
    void LiveUpdateClick(vorta::ui::MenuItem* sender);
    void BackupVortaClick(vorta::ui::MenuItem* sender);
    void RepararBancodeDados1Click(vorta::ui::MenuItem* sender);
    void ConfiguraodoProxy1Click(vorta::ui::MenuItem* sender);
    void EntregaClick(vorta::ui::MenuItem* sender);
    void Agenfas1Click(vorta::ui::MenuItem* sender);
    void Entrada3Click(vorta::ui::MenuItem* sender);
    void Saida2Click(vorta::ui::MenuItem* sender);
    void Entrada4Click(vorta::ui::MenuItem* sender);
    void Sada2Click(vorta::ui::MenuItem* sender);
    void Contador2Click(vorta::ui::MenuItem* sender);
    void Produtor1Click(vorta::ui::MenuItem* sender);
    void ComercioIndustria1Click(vorta::ui::MenuItem* sender);
    void CNPJ1Click(vorta::ui::MenuItem* sender);
    void CPF1Click(vorta::ui::MenuItem* sender);
    void Municpios1Click(vorta::ui::MenuItem* sender);
    void Entrada1Click(vorta::ui::MenuItem* sender);
    void Saida1Click(vorta::ui::MenuItem* sender);
    void Todas1Click(vorta::ui::MenuItem* sender);
    void Produto1Click(vorta::ui::MenuItem* sender);
    void TipoBairro1Click(vorta::ui::MenuItem* sender);
    void TipoLogradouro1Click(vorta::ui::MenuItem* sender);
    void Configurarimpressora1Click(vorta::ui::MenuItem* sender);
    void Ajuda1Click(vorta::ui::MenuItem* sender);
    void SobreClick(vorta::ui::MenuItem* sender);
    void sair1Click(vorta::ui::MenuItem* sender);

    bool mensagemPermitida() const { return m_showMessages; }

private:
    bool m_showMessages = false;
};

extern vorta::Guarded<TfVortaMenuForm> fVortaMenuForm;
