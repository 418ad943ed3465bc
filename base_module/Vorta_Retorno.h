#pragma once

#include "platform/net/Soap.h"

#include <QImage>
#include <QString>

#include <memory>

class TSel_Entrega;
namespace vorta::ui {
class DBGrid;
}

// The authority's processing-result service.
class TVorta_RetornoSoap {
public:
    virtual ~TVorta_RetornoSoap() = default;
    virtual QString pesquisar(const QString& nomearq, const QString& protocolo) = 0;
};

// The service whose description is at wsdl (already read): its endpoint, called through client.
std::shared_ptr<TVorta_RetornoSoap> GetVorta_RetornoSoap(vorta::net::SoapClient& client, const QByteArray& wsdl);

// What the service said, or why no answer came (never parsed as an answer).
struct TRespostaProcessamento {
    bool falhou = false;
    QString texto;
};

// One reachability check of the description address (registry "Processamento") and one
// call of "pesquisar".
TRespostaProcessamento ConsultaResultado(TSel_Entrega* form, const QString& arquivo, const QString& protocolo);
// Asks and stores the result of each selected row of the grid.
void PreparaProcessamento(TSel_Entrega* form, vorta::ui::DBGrid* grade);
// "Resultado Processamento" on the copied or sent tab.
void Bt_ProcessamentoClick(TSel_Entrega* form);

// Result type and text of an "OK" or "ER" answer; false for any other answer.
bool LeRespostaProcessamento(const QString& resposta, QString& tipo, QString& texto);
// The version is one the service covers (a "KOB" from 13, a "TUV" from 112).
bool VersaoCoberta(const QString& sistema, const QString& versao);

// Installs the query into the delivery form's hook.
void InstalaResultadoProcessamento();

// The image list of the result grids: 0 processed, 1 refused, 2 without processing.
QImage ImagemResultado(int indice);
// The index of the result type's image, -1 for a type without one.
int IndiceImagemResultado(const QString& tipo);
// The result grids draw the type's image in the column titled "Resul. Proc" (the
// calculated field holds the type) and open the result window on a double click.
void DBGrid_EnviadosDrawColumnCell(vorta::ui::DBGrid* grade);
