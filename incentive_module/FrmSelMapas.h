#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"

// Picks the slaughterhouse whose carcass-typing maps are to be kept: the list of the
// slaughterhouses with a search as the user types, and the button that opens the maps.
class TSelMapas : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TSelMapas(vorta::Component* owner = nullptr);

    vorta::ui::DBGrid* DBGrid;
    vorta::ui::Label* Label_Busca;
    vorta::ui::Edit* Edit_Busca;
    vorta::ui::RadioGroup* RadioGroup_Produtor;
    vorta::ui::Panel* Panel2;
    vorta::ui::Panel* Panel3;
    vorta::ui::SpeedButton* btPrimeiro;
    vorta::ui::SpeedButton* btAnterior;
    vorta::ui::SpeedButton* btProximo;
    vorta::ui::SpeedButton* btUltimo;
    vorta::ui::SpeedButton* bMapas;
    vorta::ui::SpeedButton* btSair;
    vorta::ui::SpeedButton* SpeedButton1;
    vorta::ui::Label* Label27;
    vorta::ui::Label* Label1;
    vorta::ui::Label* Label3;

    void FormShow(vorta::ui::Form* sender);
    void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action);
    void FormKeyDown(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift);
    void FormKeyUp(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift);
    void FormKeyPress(vorta::ui::Form* sender, QChar& key);
    void Edit_BuscaChange(QWidget* sender);
    void btPrimeiroClick(QWidget* sender);
    void btAnteriorClick(QWidget* sender);
    void btProximoClick(QWidget* sender);
    void btUltimoClick(QWidget* sender);
    void bMapasClick(QWidget* sender);
    void SpeedButton1Click(QWidget* sender);
    void btSairClick(QWidget* sender);
    void Label27Click(QWidget* sender);
    void Label1Click(QWidget* sender);

private:
    void limpaFiltroSemBusca();
};

extern vorta::Guarded<TSelMapas> SelMapas;

// The list of slaughterhouses, shown modally and freed when it closes (the menu's
// command, and other windows that lead the user to the maps).
void AbreSelecaoMapas();
// The map register of one slaughterhouse, shown modally; false (and nothing shown)
// when the registration is not among the slaughterhouses.
bool AbreMapasDoFrigorifico(const QString& inscricao);
