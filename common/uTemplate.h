#pragma once

#include "platform/db/DataSource.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbControls.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"

#include <QStyle>

#include <span>

// The base register form: a read-only grid of every record and a detail page that
// descendants fill with data-aware controls; include, alter, save, cancel and delete
// on the data set of dsBase, navigation, a status line, Enter as Tab, clickable
// shortcut legends, "&Retornar" and "&Sair". The events are bound once to the virtual
// handlers below: descendants override them and call these as the inherited ones.
// One button of a form's navigation bar; glyph SP_CustomBase means a caption only.
struct TBotaoBarra {
    vorta::ui::SpeedButton** target;
    const char* name;
    const char* caption;
    const char* hint;
    int left;
    int width;
    QStyle::StandardPixmap glyph;
};
// Creates the bar's buttons on panel, each 25 pixels high at top.
void CriaBotoesBarra(QWidget* panel, std::span<const TBotaoBarra> botoes, int top = 2);
// The status hint of a registration of the kind (Con_Tipo); 0 for a kind without one.
int DicaDoConTipo(const QString& tipo);
// The message for a registration whose length does not fit its kind: a state
// registration of other than 9 characters, a CNPJ of other than 14, a CPF of other
// than 11; 0 when it fits or the kind has no length.
int MensagemTamanhoDoConTipo(const QString& tipo, const QString& inscricao);

class TFtemplate : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TFtemplate(vorta::Component* owner = nullptr);
    ~TFtemplate() override;

    vorta::ui::ScrollBox* ScrollBox1;
    vorta::ui::DBGrid* DBGrid;
    vorta::ui::DBStatusBar* msgStatus;
    vorta::ui::Panel* pagina1;
    vorta::ui::Panel* Panel3;
    vorta::ui::Panel* Panel2;
    vorta::db::DataSource* dsBase;
    vorta::ui::PopupMenu* PopUpMenu;

    vorta::ui::SpeedButton* btPrimeiro;
    vorta::ui::SpeedButton* btAnterior;
    vorta::ui::SpeedButton* btProximo;
    vorta::ui::SpeedButton* btUltimo;
    vorta::ui::SpeedButton* btConsultaSimples;
    vorta::ui::SpeedButton* btConsultaGrid;
    vorta::ui::SpeedButton* btIncluir;
    vorta::ui::SpeedButton* btAlterar;
    vorta::ui::SpeedButton* btExcluir;
    vorta::ui::SpeedButton* btGravar;
    vorta::ui::SpeedButton* btCancelar;
    vorta::ui::SpeedButton* BtSairGeral;
    vorta::ui::SpeedButton* btSair;

    vorta::ui::Label* Label23;
    vorta::ui::Label* Label13;
    vorta::ui::Label* Label24;
    vorta::ui::Label* Label14;
    vorta::ui::Label* Label25;
    vorta::ui::Label* Label15;
    vorta::ui::Label* Label26;
    vorta::ui::Label* Label17;
    vorta::ui::Label* Label27;
    vorta::ui::Label* Label16;
    vorta::ui::Label* LabelConDet;
    vorta::ui::Label* Label2;

    // The search panel over the grid, of the descendants that build one.
    vorta::ui::Panel* Panel_Busca = nullptr;
    vorta::ui::Label* Label_Busca = nullptr;
    vorta::ui::Edit* Edit_Busca = nullptr;

    // The gestures that end a lookup in this register.
    struct FimDaSelecao {
        bool duploClique = true;   // a double-click in the grid
        bool enterNaGrade = true;  // Enter while the grid has the focus
        bool teclaNaGrade = false; // any character typed in the grid
        bool teclasDoForm = true;  // the form's key-down and key-up handlers still run
    };

    // The caller wants the form to open on a new record.
    bool ModoInclusao = false;
    // The form is opened for a lookup: the grid's key-down and key-up handlers do
    // nothing and the form closes on the gestures of fimDaSelecao, leaving the chosen
    // record current.
    bool ModoSelecao = false;

    virtual void FormCreate(vorta::ui::Form* sender);
    virtual void FormShow(vorta::ui::Form* sender);
    virtual void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action);
    virtual void FormKeyDown(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift);
    virtual void FormKeyUp(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift);
    // Enter moves to the next control, except while the grid has the focus.
    virtual void FormKeyPress(vorta::ui::Form* sender, QChar& key);

    virtual void DBGridDblClick(QWidget* sender);
    virtual void DBGridEnter(QWidget* sender);
    virtual void DBGridKeyDown(QWidget* sender, int& key, Qt::KeyboardModifiers shift);
    virtual void DBGridKeyPress(QWidget* sender, QChar& key);
    virtual void DBGridKeyUp(QWidget* sender, int& key, Qt::KeyboardModifiers shift);

    virtual void btPrimeiroClick(QWidget* sender);
    virtual void btAnteriorClick(QWidget* sender);
    virtual void btProximoClick(QWidget* sender);
    virtual void btUltimoClick(QWidget* sender);
    virtual void btConsultaSimplesClick(QWidget* sender);
    virtual void btConsultaGridClick(QWidget* sender);
    virtual void btIncluirClick(QWidget* sender);
    virtual void btAlterarClick(QWidget* sender);
    virtual void btExcluirClick(QWidget* sender);
    virtual void btGravarClick(QWidget* sender);
    virtual void btCancelarClick(QWidget* sender);
    virtual void BtSairGeralClick(QWidget* sender);
    virtual void btSairClick(QWidget* sender);
    // Typing in the search field of Panel_Busca.
    virtual void Edit_BuscaChange(QWidget* sender);

protected:
    FimDaSelecao fimDaSelecao;
    // Closes the form when it is open for a lookup.
    void fechaSelecao();

    // A field of the detail page: its label over its upper-case edit.
    struct Campo {
        vorta::ui::Label** label;
        const char* labelName;
        const char* caption;
        vorta::ui::DBEdit** edit;
        const char* field;
        int hint;
        int top;
    };

    // Builds Panel_Busca with its label and edit, and the radio group that picks what
    // the edit searches; returns the group.
    vorta::ui::RadioGroup* criaPainelBusca(const QString& texto, const QString& nomeGrupo, const QString& titulo,
                                           const QStringList& itens, int colunas, int largura);
    // Builds the taxpayer kind list (Con_Tipo) on parent, locked.
    vorta::ui::DBRadioGroup* criaTipoInscricao(QWidget* parent);
    // One field on the detail page: its label at (left, top) over its upper-case edit.
    vorta::ui::DBEdit* criaCampo(vorta::ui::Label** label, const char* labelName, const char* caption,
                                 const QString& editName, const QString& field, int left, int top, int largura);
    // The municipality list "Município" over municipios at (left, top), bound to field
    // and named DBLookupComboBox_Municipio, with the locked button btMuncipio beside it.
    void criaMunicipio(vorta::ui::Label** label, const char* labelName, vorta::ui::DBLookupComboBox** lista,
                       vorta::ui::SpeedButton** botao, vorta::db::DataSource* municipios, const QString& field,
                       int left, int top, int largura);
    // Builds the fields on the detail page in tab order; each edit is named after its field.
    void criaCampos(std::span<const Campo> campos, int largura);
    // Entering the control shows the message in the status line.
    void ligaDica(QWidget* controle, int mensagem);
    static bool emEdicao(const vorta::db::DataSet& ds);

    // The data set of dsBase; the silent abort when there is none.
    vorta::db::DataSet& baseDataSet() const;
    bool hasRecords() const;
    void status91();
    void buttonsBrowsing();
    void buttonsEditing();
    void disableRecordButtons();
    void showDetailToggle();
    void legendClick(vorta::ui::SpeedButton* button);
    void legendDetailsClick();
};

extern vorta::Guarded<TFtemplate> Ftemplate;
