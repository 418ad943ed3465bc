#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/DbControls.h"
#include "platform/ui/Form.h"

#include <functional>

class TFtemplate;

namespace vorta::db {
class Table;
}

// "Sim" to 1688 after a new movement's save: the map register of the movement's
// declarant. Tests put their own in its place.
extern std::function<bool(const QString& inscricao)> AbreSelMapas;

// The movement window: a movement with its declarant's register data, saved inside one
// transaction of the module's database, and the month's summary per class.
class TCadMovimento : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TCadMovimento(vorta::Component* owner = nullptr);

    // "I" for a new movement, "A" for a change; set by the opener.
    QString Modo = QStringLiteral("A");

    // Header strip.
    vorta::ui::DBText* DBText_Inscricao;
    vorta::ui::DBText* DBText_Ano;
    vorta::ui::DBText* DBText_Tipo;
    vorta::ui::DBText* DBText_Mes;
    vorta::ui::SpeedButton* Botao_Fecha;
    vorta::ui::SpeedButton* SpeedButton6;
    vorta::ui::SpeedButton* btRetornar;
    vorta::ui::SpeedButton* btVerErros;
    vorta::ui::SpeedButton* BtAtualizar;

    vorta::ui::PageControl* PageControlLMC;
    vorta::ui::TabSheet* TabSheetContribuinte;
    vorta::ui::TabSheet* TabSheetLeitura;

    // The movement's key.
    vorta::ui::DBEdit* DBEdit_Con_IECNPJCPF;
    vorta::ui::DBEdit* DBEdit_Ano;
    vorta::ui::DBEdit* DBEdit_Mes;
    vorta::ui::DBRadioGroup* DBRadioGroup_Tipo;

    // The declarant's register data.
    vorta::ui::Panel* PanelContribuinte;
    vorta::ui::DBEdit* DBEdit_Con_Nome;
    vorta::ui::DBEdit* DBEdit_Con_NomePropr;
    vorta::ui::DBEdit* DBEdit_End_CPF;
    vorta::ui::DBEdit* DBEdit_Con_NIRE;
    vorta::ui::DBEdit* DBEdit_cco_num_sif;
    vorta::ui::DBEdit* DBEdit_mov_responsavel;
    vorta::ui::DBEdit* DBEdit_Con_DDDFone;
    vorta::ui::DBEdit* DBEdit_Con_Fone;
    vorta::ui::DBEdit* DBEdit_Con_DDD2;
    vorta::ui::DBEdit* DBEdit_Con_Fone2;
    vorta::ui::DBEdit* DBEdit_Con_DDDFax;
    vorta::ui::DBEdit* DBEdit_Con_FAX;
    vorta::ui::DBLookupComboBox* DBLookupComboBox_Contabilista;
    vorta::ui::SpeedButton* btContabilista;
    vorta::ui::DBLookupComboBox* DBLookupComboBox_RespEmpresa;
    vorta::ui::SpeedButton* btRespEmpresa;

    vorta::ui::PageControl* PageControlEndereco;
    vorta::ui::TabSheet* TabSheetEstabelecimento;
    vorta::ui::TabSheet* TabSheetCorrespondencia;
    vorta::ui::Panel* PanelEstabelecimento;
    vorta::ui::DBLookupComboBox* DBLookupComboBox_TipLogEstab;
    vorta::ui::DBEdit* DBEdit_Con_LogradouroEstab;
    vorta::ui::DBEdit* DBEdit_Con_NumeroEstab;
    vorta::ui::DBEdit* DBEdit_Con_ComplementoEstab;
    vorta::ui::DBLookupComboBox* DBLookupComboBox_TipBaiEstab;
    vorta::ui::DBEdit* DBEdit_Con_BairroEstab;
    vorta::ui::DBLookupComboBox* DBLookupComboBox4;
    vorta::ui::SpeedButton* btMunicipioEstabelecimento;
    vorta::ui::DBEdit* DBEdit_Con_UFEstab;
    vorta::ui::DBEdit* DBEdit_Con_CEPEstab;
    vorta::ui::DBEdit* DBEdit_Con_EmailEstab;
    vorta::ui::DBEdit* DBEdit_Con_CxPostalEstab;
    vorta::ui::Panel* PanelCorrespondencia;
    vorta::ui::DBLookupComboBox* DBLookupComboBox_TipLog;
    vorta::ui::DBEdit* DBEdit_Con_Logradouro;
    vorta::ui::DBEdit* DBEdit_Con_Numero;
    vorta::ui::DBEdit* DBEdit_Con_Complemento;
    vorta::ui::DBLookupComboBox* DBLookupComboBox_TipBai;
    vorta::ui::DBEdit* DBEdit_Con_Bairro;
    vorta::ui::DBLookupComboBox* DBLookupComboBox3;
    vorta::ui::SpeedButton* btMuncipio;
    vorta::ui::DBEdit* DBEdit_Con_UF;
    vorta::ui::DBEdit* DBEdit_Con_CEP;
    vorta::ui::DBEdit* DBEdit_Con_Email;
    vorta::ui::DBEdit* DBEdit_Con_CxPostal;

    vorta::ui::SpeedButton* btGravar;
    vorta::ui::SpeedButton* btCancelar;
    vorta::ui::SpeedButton* BtAlterar;

    // The summary, optionally of one producer's maps.
    vorta::ui::Edit* dbedit_con_remetente;
    vorta::ui::Edit* dbedit_nome;
    vorta::ui::SpeedButton* SpeedButton_Visualizar;
    // Per class JD, J2, J4, TD, T2, JFD, JF2, JF4: heads, weight, arrobas and amount.
    QList<vorta::ui::Label*> Resumo;
    // The same four columns for all males, then for all females.
    QList<vorta::ui::Label*> ResumoTotais;
    vorta::ui::Label* LQtdTotal;
    vorta::ui::Label* LRepasseTotal;
    // Animals not classified: JD, J2/J4, TD, T2/T4, I, A, total of the males; JFD,
    // JF2/JF4, IF, AF, total of the females.
    QList<vorta::ui::Label*> NaoClassificados;

    void FormShow(vorta::ui::Form* sender);
    void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action);
    void DBEdit_Con_IECNPJCPFExit(QWidget* sender);
    void btGravarClick(QWidget* sender);
    void BtAlterarClick(QWidget* sender);
    void btCancelarClick(QWidget* sender);
    void BtAtualizarClick(QWidget* sender);
    void btVerErrosClick(QWidget* sender);
    void SpeedButton6Click(QWidget* sender);
    void btContabilistaClick(QWidget* sender);
    void btRespEmpresaClick(QWidget* sender);
    void btMuncipioClick(QWidget* sender);
    void btMunicipioEstabelecimentoClick(QWidget* sender);
    void DBLookupComboBox3Click(QWidget* sender);
    void DBLookupComboBox4Click(QWidget* sender);
    void dbedit_con_remetenteExit(QWidget* sender);
    void dbedit_con_remetenteChange(QWidget* sender);
    void SpeedButton_VisualizarClick(QWidget* sender);
    void PageControlLMCChange(QWidget* sender);
    void btRetornarClick(QWidget* sender);
    void Botao_FechaClick(QWidget* sender);
    bool MapaAprovado(int map);

    // The declarant's panels, with or without their lookup buttons.
    void HabilitaPaineis(bool on);
    // The accountant, legal-representative and municipality buttons.
    void HabilitaBotoes(bool on);

private:
    [[noreturn]] void recusaInscricao(int code);
    // The declarant and its complement of the registration, put in edit state; a new
    // one after question 98. False when the user declined to create it.
    bool editaDeclarante(const QString& ie);
    void escolheContribuinte();
    // The municipality register in lookup mode; its choice goes into the address.
    void escolheMunicipio(vorta::db::Table* municipios, const char* codigo, const char* uf, const char* cep,
                          vorta::ui::DBEdit* editCep, vorta::ui::DBLookupComboBox* lista, vorta::ui::TabSheet* pagina);
    void travaGravado();
    // The accountant's or legal representative's register in lookup mode; the chosen
    // CPF goes into the declarant being edited.
    void escolheResponsavel(TFtemplate* cadastro, vorta::db::Table* tabela, vorta::db::Table* lista,
                            const QString& campo, QWidget* foco);
    // The UF and CEP rule for the municipality the address holds.
    void aplicaMunicipio(const QString& codigo, const QString& uf, const QString& cep, vorta::ui::DBEdit* editCep);
};

extern vorta::Guarded<TCadMovimento> CadMovimento;
