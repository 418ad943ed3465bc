#pragma once

#include "uVortaModuleForm.h"

#include "platform/ui/Menu.h"

#include <exception>

// Main form of the incentive-programme module: its menu opens every other window.
class TFrmMenu : public TVortaModuleForm {
    Q_OBJECT
public:
    explicit TFrmMenu(vorta::Component* owner = nullptr);
    ~TFrmMenu() override;

    vorta::ui::MainMenu* MainMenu1;
    vorta::ui::MenuItem* Cadastro1;
    vorta::ui::MenuItem* MovimentodeCombustvel1;
    vorta::ui::MenuItem* CadstrodeTcnicos1;
    vorta::ui::MenuItem* MapasdeTipificaodeCarcaa1;
    vorta::ui::MenuItem* Rotina1;
    vorta::ui::MenuItem* ValidarMovimento;
    vorta::ui::MenuItem* GerarMovimento;
    vorta::ui::MenuItem* Relatorio1;
    vorta::ui::MenuItem* Movimento1;
    vorta::ui::MenuItem* Sistema1;
    vorta::ui::MenuItem* Ajuda1;
    vorta::ui::MenuItem* Sair1;
    vorta::ui::MenuItem* SairdoSistema1;

    void MovimentodeCombustvel1Click();
    void CadstrodeTcnicos1Click();
    void ValidarMovimentoClick();
    void MapasdeTipificaodeCarcaa1Click();
    void SairdoSistema1Click();
    // Every exception that reaches the message loop, in Portuguese where the text is known.
    void ApplicationEvents1Exception(const std::exception& e);

    // The monthly parameters of the current month are there.
    static bool ParametrosDoMesAtual();
};

// The text the user sees for an exception's message.
QString TextoDaExcecao(const QString& message);

extern vorta::Guarded<TFrmMenu> FrmMenu;
