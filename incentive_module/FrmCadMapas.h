#pragma once

#include "DBGridX.h"
#include "UMapaImpressao.h"
#include "UResumoMapa.h"
#include "uTemplate.h"

#include <QComboBox>
#include <QDate>
#include <QHash>

#include <functional>

// Opens the cattle-raiser register modally on a new record, taking the registration
// from InscricaoPadrao and handing the saved one back in CancelaContrib; set by the
// register's unit.
extern std::function<void()> AbreCadastroPecuaristaInclusao;
// Opens the technicians' register modally for a lookup, leaving the chosen code in
// DM_MTC's TecnicoSelecionado; set by the register's unit.
extern std::function<void()> AbreTecnicosSelecao;
// Prints the current map (after "Imprimir" has set the property's municipality); the
// program sets ImprimeMapaDoFormulario here at start-up.
extern std::function<void()> ImprimeMapaAtual;

// A plain combo box with the class library's events.
class TComboBoxMapas : public QComboBox, public vorta::ui::Control {
    Q_OBJECT
public:
    explicit TComboBoxMapas(QWidget* parent, const QString& name = QString());
};

// The map register of one slaughterhouse: the list of its maps and, for one map, the
// raiser, the animals typed or imported, the invoices, the veterinarian and the
// summary of the incentive. Include and alter run inside one transaction of the
// module's database, which the save commits and the cancel rolls back.
class TCadMapas : public TFtemplate {
    Q_OBJECT
public:
    explicit TCadMapas(vorta::Component* owner = nullptr);
    ~TCadMapas() override;

    // Heading of the slaughterhouse.
    vorta::ui::Label* LabelInscricao;
    vorta::ui::Label* lbInscricaoFrigorifico;
    vorta::ui::Label* LabelNomeFrigorifico;
    vorta::ui::Label* lbNomeFrigorifico;
    vorta::ui::Panel* PanelFrigorifico;
    vorta::ui::RadioGroup* RadioGroup_Notas;
    vorta::ui::SpeedButton* btimprimir;

    vorta::ui::PageControl* PageControl1;
    vorta::ui::TabSheet* TabSheet1;
    vorta::ui::TabSheet* TabSheet2;

    // "Animais Abatidos"
    vorta::ui::DBEdit* DBEdit_Con_Remetente;
    vorta::ui::DBEdit* DBEdit_Nome;
    vorta::ui::DBEdit* DBEdit1;
    vorta::ui::DBEdit* DBEdit_Propriedade;
    vorta::ui::Edit* edMunicipio;
    vorta::ui::DBEdit* dbedit_data;
    vorta::ui::DBComboBox* dbSexo;
    vorta::ui::DBEdit* edLote;
    TDBGridX* DBGrid_ItemNota;
    vorta::ui::SpeedButton* BtExcluirItem;
    vorta::ui::SpeedButton* SpeedButton2;
    vorta::ui::SpeedButton* SpeedButton3;

    // "Resumo do Mapa"
    vorta::ui::DBEdit* DBEdit_Con_Remetente2;
    vorta::ui::DBEdit* DBEdit_Nome2;
    vorta::ui::Edit* DbEdit_Icms;
    vorta::ui::Edit* dbedit_valorArrobaMPauta;
    vorta::ui::Edit* dbedit_valorArrobaFPauta;
    vorta::ui::Edit* dbEdit_VlrArrobaMacho;
    vorta::ui::Edit* dbEdit_VlrArrobaFemea;
    vorta::ui::SpeedButton* sbTotaliza;
    vorta::ui::Panel* paprovado;
    vorta::ui::DBLookupComboBox* DBL_Tecnico;
    vorta::ui::SpeedButton* btVeterinario;
    TComboBoxMapas* cbNotas;
    vorta::ui::SpeedButton* SpeedButton1;

    // The figures of the summary page.
    TResumoMapa Resumo;
    // The read-only box of a figure by its name (JDQtd, TotalIcmsM, recm1, TotIncentivo67...).
    vorta::ui::Edit* figura(const QString& name) const { return m_figuras.value(name); }

    void FormShow(vorta::ui::Form* sender) override;
    void FormKeyDown(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift) override;
    void FormKeyUp(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift) override;
    void FormKeyPress(vorta::ui::Form* sender, QChar& key) override;
    void DBGridKeyDown(QWidget* sender, int& key, Qt::KeyboardModifiers shift) override;
    void DBGridKeyUp(QWidget* sender, int& key, Qt::KeyboardModifiers shift) override;
    void btPrimeiroClick(QWidget* sender) override;
    void btAnteriorClick(QWidget* sender) override;
    void btProximoClick(QWidget* sender) override;
    void btUltimoClick(QWidget* sender) override;
    void btConsultaSimplesClick(QWidget* sender) override;
    void btConsultaGridClick(QWidget* sender) override;
    void btIncluirClick(QWidget* sender) override;
    void btAlterarClick(QWidget* sender) override;
    void btGravarClick(QWidget* sender) override;
    void btCancelarClick(QWidget* sender) override;
    void btExcluirClick(QWidget* sender) override;
    void BtSairGeralClick(QWidget* sender) override;
    void Edit_BuscaChange(QWidget* sender) override;

    void DBEdit_Con_RemetenteExit(QWidget* sender);
    void DBEdit1Exit(QWidget* sender);
    void buscamunicipio(const QString& inscricao, QString& texto);
    void DBEdit_DataExit(QWidget* sender);
    void dbSexoChange(QWidget* sender);
    void CarregaLista();
    void BtExcluirItemClick(QWidget* sender);
    void SpeedButton3Click(QWidget* sender);
    void SpeedButton2Click(QWidget* sender);
    void DBGrid_ItemNotaCellClick(QWidget* sender);
    void DBGrid_ItemNotaColEnter(QWidget* sender);
    void DBGrid_ItemNotaColExit(QWidget* sender);
    void DBGrid_ItemNotaKeyDown(QWidget* sender, int& key, Qt::KeyboardModifiers shift);
    void DBGrid_ItemNotaKeyUp(QWidget* sender, int& key, Qt::KeyboardModifiers shift);
    void cbNotasExit(QWidget* sender);
    void SpeedButton1Click(QWidget* sender);
    void btVeterinarioClick(QWidget* sender);
    void btimprimirClick(QWidget* sender);
    // The heading of the map sheet as the form shows it: the slaughterhouse's name and
    // masked registration, its municipality and inspection number, the raiser's name,
    // programme number, property and the property's municipality.
    TCabecalhoMapa CabecalhoImpressao();
    void sbTotalizaClick(QWidget* sender);
    void PageControl1Change(QWidget* sender);
    void dbEdit_VlrArrobaMachoExit(QWidget* sender);
    void dbEdit_VlrArrobaFemeaExit(QWidget* sender);

    bool VerificaMapaDia(const QString& raiser, const QString& sex, const QDate& date);
    void BuscaSIF(const QString& inscricao, QString& texto);

    // The figures of Resumo written into their boxes.
    void MostraResumo();

private:
    void criaPaginaAnimais();
    void criaPaginaResumo();
    void criaFigura(QWidget* parent, const QString& name, int left, int top, int width);
    // Include and alter share the controls of editing; browsing after a save or cancel.
    void modoEdicao();
    void voltaNavegacao(bool rollback);
    void botoesDaLista();
    void editaveis(bool on);
    bool mapaEmEdicao() const;
    // The raiser's complement row, found and edited, or inserted when he has none.
    void posicionaComplemento();
    void preencheNotas();
    // The stored map's percentages, values, municipality, animals and summary rows.
    void carregaMapa();
    // The details of the current map while it is viewed.
    void mostraMapaVisto();
    void recusaRemetente(bool clearName);
    // The raiser's field and both of its boxes under the mask of his kind.
    void mascaraDoRemetente();
    void focaCampo(TResumoMapa::TCampo campo);
    void gravaEdicaoEmCurso();
    QString inscricaoFrigorifico() const;
    // The practised value typed in edit into value, false while edit is read-only; out
    // of 0 to 999.99 it is refused.
    bool lePraticado(vorta::ui::Edit* edit, vorta::Money& value);
    void valorPraticadoExit(vorta::ui::Edit* edit, vorta::Money& value);
    // What the grid and the import may do: only inside the include's or alter's transaction.
    bool podeAlterarAnimais() const;

    QHash<QString, vorta::ui::Edit*> m_figuras;
    // The summary is shown after every include, save and move: its edits are found by
    // the literal naming each, and each amount is formatted once.
    QHash<const char*, vorta::ui::Edit*> m_figurasPorLiteral;
    QHash<qint64, QString> m_valoresFormatados;
    int m_tag = 0;
};

extern vorta::Guarded<TCadMapas> CadMapas;
