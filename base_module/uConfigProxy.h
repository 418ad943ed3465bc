#pragma once

#include "platform/db/DataSource.h"
#include "platform/db/Table.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbControls.h"
#include "platform/ui/Form.h"

// Edits the single row of table Proxy that every network client applies.
class TfrmConfigProxy : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TfrmConfigProxy(vorta::Component* owner = nullptr);

    vorta::db::Table* tabProxy;
    vorta::db::DataSource* dsProxy;
    vorta::ui::Label* lbServidor;
    vorta::ui::Label* lbPorta;
    vorta::ui::Label* lbUsuario;
    vorta::ui::Label* lbSenha;
    vorta::ui::DBEdit* dbServidor;
    vorta::ui::DBEdit* dbPorta;
    vorta::ui::DBEdit* dbUsuario;
    vorta::ui::DBEdit* dbSenha;
    vorta::ui::DBRadioGroup* rgAutenticacao;
    vorta::ui::SpeedButton* btIncluir;
    vorta::ui::SpeedButton* btAlterar;
    vorta::ui::SpeedButton* btGravar;
    vorta::ui::SpeedButton* btCancelar;
    vorta::ui::SpeedButton* btExcluir;
    vorta::ui::SpeedButton* btRetornar;
    vorta::ui::SpeedButton* BtSairGeral;
    vorta::ui::DBStatusBar* msgStatus;

    void FormCreate(vorta::ui::Form* sender);
    void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action);
    void btIncluirClick(QWidget* sender);
    void btAlterarClick(QWidget* sender);
    void btGravarClick(QWidget* sender);
    void btCancelarClick(QWidget* sender);
    void btExcluirClick(QWidget* sender);
    void btRetornarClick(QWidget* sender);
    void BtSairGeralClick(QWidget* sender);
    void tabProxyBeforePost(vorta::db::DataSet& ds);

private:
    // Buttons and fields at rest: by whether the table holds its row.
    void emRepouso();
    void editando();
    void habilitaCampos(bool on);
};

extern vorta::Guarded<TfrmConfigProxy> frmConfigProxy;
