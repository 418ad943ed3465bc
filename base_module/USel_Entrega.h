#pragma once

#include "platform/db/DataSet.h"
#include "platform/net/Soap.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QProgressBar;

// The declaration a batch is handling, kept for its steps and for the protocol prints.
struct TDeclaracaoAtual {
    QString Sistema, Versao, Chave, Arquivo, NomeImagem, Inscricao, Referencia, Motivo, CRC;
    // Parts of the server's reply.
    QString Protocolo, DataHora, Identificacao, Nome;
    QDateTime DataEntrega;
    QString DadosEntrega;
};
extern TDeclaracaoAtual DeclaracaoAtual;
// Batch-wide: "entrega" or "cópia", and whether protocols are printed (Yes to 508).
extern QString ModoEntrega;
extern bool ImprimeProtocolos;

// What the protocol printing and processing-result units offer the delivery form;
// empty until they are installed.
struct TProtocoloEntrega {
    // Pages the current declaration will print.
    std::function<int()> ContaPaginas;
    // Prints the current declaration's protocol in the form "INTERNET" or "AGENFA".
    std::function<void(const QString& forma)> Imprime;
    // "&Imprimir Protocolo": reprints the selected rows of the visible tab.
    std::function<void(class TSel_Entrega*)> Reimprime;
    // "Resultado Processamento": asks the authority for the selected rows' results.
    std::function<void(class TSel_Entrega*)> ResultadoProcessamento;
};
extern TProtocoloEntrega ProtocoloEntrega;

// The name of the file as the queue stores it, when it is a plain file name (no folder
// parts, quotes or control characters); empty otherwise.
QString NomeArquivoSeguro(const QString& arquivo);
// The protocol image beside the declaration file, as sending and copying look for it.
QString NomeImagemProtocolo(const QString& sistema, const QString& arquivo);
// The request body of an upload: one form part "file1" holding the file's bytes.
QByteArray CorpoEnvio(const QString& nomeArquivo, const QByteArray& conteudo);
// Splits the reply into DeclaracaoAtual's reply parts by the kind's layout; false for a
// kind without one.
bool LeRetornoEntrega(const QString& sistema, const QString& retorno);
// "dd/mm/yyyy hh:nn:ss" read by position; invalid when it is no date-time.
QDateTime DataHoraRetorno(const QString& texto);
// The upload address for the kind: empty when missing, "Erro" when unreadable.
QString LeURLServidor(const QString& sistema);

// The delivery form: the queue in three tabs, copy to a folder or the diskette, upload.
class TSel_Entrega : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TSel_Entrega(vorta::Component* owner = nullptr);

    vorta::ui::Panel* PanelBotoes;
    vorta::ui::SpeedButton* btSair;
    vorta::ui::SpeedButton* bt_Imprimir;
    vorta::ui::SpeedButton* bt_Enviar;
    vorta::ui::SpeedButton* bt_Copiar;
    vorta::ui::SpeedButton* BtSairGeral;
    vorta::ui::SpeedButton* Bt_Processamento;
    vorta::ui::Label* Label1;
    vorta::ui::Label* Label2;
    vorta::ui::Label* LabelBusca;
    vorta::ui::Edit* Edit_Busca;
    vorta::ui::RadioGroup* RadioGroup_Entrega;
    vorta::ui::PageControl* Pg_Entrega;
    vorta::ui::TabSheet* TabSheetPendente;
    vorta::ui::TabSheet* TabSheetDisquete;
    vorta::ui::TabSheet* TabSheetEnviado;
    vorta::ui::DBGrid* DBGrid_Pendente;
    vorta::ui::DBGrid* DBGrid_Disquete;
    vorta::ui::DBGrid* DBGrid_Enviados;
    vorta::ui::Panel* Panel5;
    vorta::ui::Label* Lbl_Cont;
    // Tick and cross of each of the five steps, from 1.
    vorta::ui::Label* Certo[6] = {};
    vorta::ui::Label* Errado[6] = {};
    // Shown while the processing results are asked.
    vorta::ui::Panel* pnlProgresso;
    QProgressBar* ProgressBar1;
    // Shown while protocols are reprinted.
    vorta::ui::Panel* pnlImprimir;
    // The client of the processing-result service.
    std::unique_ptr<vorta::net::SoapClient> HTTPRIO1;

    bool Ocupado = false;

    void FormShow();
    void FormClose(vorta::ui::CloseAction& action);
    void ApplicationEvents1Activate();
    void TabSheetPendenteShow();
    void TabSheetDisqueteShow();
    void TabSheetEnviadoShow();
    void Edit_BuscaChange();
    void bt_EnviarClick();
    void bt_CopiarClick();
    void bt_ImprimirClick();
    void btSairClick();
    void BtSairGeralClick();
    void CopiarDisquete();
    void CopiarParaPasta(const QString& pasta);

    // The grid and data set of the visible tab.
    vorta::ui::DBGrid* gradeVisivel() const;

    // Stores the replies that reached their file but not their row (the program ended
    // between the two); each stored reply file is removed.
    void RecuperaRetornos();
    // Closes and reopens the three lists, as after a batch.
    void ReabreListas() { reabre(true); }

private:
    void ProcessaSelecionados(vorta::db::DataSet* ds, vorta::ui::DBGrid* grade, const QString& modo);
    void EnviaSelecionado(int i, int n);
    bool ValidaEnvio();
    void EnviaArquivo();
    void GravaEntrega();
    void CopiaArquivo(const QString& local);
    void GravaDataCopia();
    void marca(int passo, bool certo);
    void ocultaMarcas();
    void habilitaBotoes(bool copiar, bool enviar, bool imprimir, bool resultado);
    void reabre(bool entregues);
    void aoMudarAba();

    QString m_local;
};

extern vorta::Guarded<TSel_Entrega> Sel_Entrega;
