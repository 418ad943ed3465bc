#pragma once

#include "platform/db/DataSource.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbControls.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"

// A record was chosen in a pick list: the chosen record is the current one of the
// list's data set.
extern bool CancelaProd;

// The base pick list: a read-only grid that closes the form when the user chooses.
// The grid shows the data source the caller (or a descendant) gives it.
class TFSelecao : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TFSelecao(vorta::Component* owner = nullptr);

    vorta::ui::ScrollBox* ScrollBox1;
    vorta::ui::Panel* pagina1;
    vorta::ui::DBGrid* DBGrid;
    vorta::ui::Panel* Panel2;
    vorta::ui::SpeedButton* btSair;

    // Set by a caller for a lookup, as on the register forms; the list itself reads it not.
    bool ModoSelecao = false;

    void FormCreate(vorta::ui::Form* sender);
    void FormShow(vorta::ui::Form* sender);
    void DBGridDblClick(QWidget* sender);
    void DBGridKeyPress(QWidget* sender, QChar& key);
    void btSairClick(QWidget* sender);
    void SairClick(QWidget* sender);
};

// What the taxpayer and product pick lists share: a search edit that locates as the
// user types, navigation buttons, "&Cancelar", and CancelaProd for the choice.
class TFSelecaoBusca : public TFSelecao {
    Q_OBJECT
public:
    struct Texts {
        QString caption;
        int helpContext = 0;
        QString searchLabel;
        QString radioName;
        QString radioCaption;
        QStringList radioItems;
        QString keyField0; // located with item 0
        QString keyField1; // located with item 1
        int enterMessage = 0;
    };
    TFSelecaoBusca(vorta::Component* owner, const Texts& texts);

    vorta::ui::Label* Label1;
    vorta::ui::RadioGroup* radioBusca;
    vorta::ui::Edit* Edit_Busca;
    vorta::ui::DBStatusBar* msgStatus;
    vorta::ui::SpeedButton* btCancelar;
    vorta::ui::SpeedButton* btPrimeiro;
    vorta::ui::SpeedButton* btAnterior;
    vorta::ui::SpeedButton* btProximo;
    vorta::ui::SpeedButton* btUltimo;

    void FormShow(vorta::ui::Form* sender);
    void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action);
    void FormKeyPress(vorta::ui::Form* sender, QChar& key);
    void Edit_BuscaChange(QWidget* sender);
    void DBGridEnter(QWidget* sender);
    void DBGridDblClick(QWidget* sender);
    void DBGridKeyDown(QWidget* sender, int& key, Qt::KeyboardModifiers shift);
    void btCancelarClick(QWidget* sender);
    void SairClick(QWidget* sender);
    void btPrimeiroClick(QWidget* sender);
    void btAnteriorClick(QWidget* sender);
    void btProximoClick(QWidget* sender);
    void btUltimoClick(QWidget* sender);

protected:
    vorta::db::DataSet* listDataSet() const;
    // Choosing an empty list chooses nothing.
    bool chosen() const;
    void choose();

private:
    Texts m_texts;
};

extern vorta::Guarded<TFSelecao> FSelecao;
