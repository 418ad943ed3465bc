#pragma once

#include "T_Cad_RemDest.h"

// The cattle-raiser register: raisers are taxpayers of table Contribuinte, kept through
// the common data module's Tb_Contribuinte, whose rules check them before saving. The
// map form opens it on a new record for a raiser it does not know.
class TCad_Pecuarista : public TCad_Inscricao {
    Q_OBJECT
public:
    explicit TCad_Pecuarista(vorta::Component* owner = nullptr);

    vorta::ui::Label* Label6;
    vorta::ui::DBEdit* DBEdit_Con_UFEstab;
    vorta::ui::Label* Label7;
    vorta::ui::DBEdit* deEndereco;

    void FormCreate(vorta::ui::Form* sender) override;
    void FormShow(vorta::ui::Form* sender) override;
    void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action) override;

    void DBLookupComboBox_MunicipioExit(QWidget* sender);

protected:
    // The property's name is required.
    void checaGravacao() override;
};

extern vorta::Guarded<TCad_Pecuarista> Cad_Pecuarista;

// Opens the register modally on a new record, starting from DM_Comuns' InscricaoPadrao.
void AbreCadastroPecuarista();
