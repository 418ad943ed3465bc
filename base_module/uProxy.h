#pragma once

#include "platform/net/Http.h"

#include <QString>

#include <optional>

// The row of table Proxy, as stored.
struct TProxyRow {
    QString Servidor;
    int Porta = 0;
    QString Usuario;
    QString Senha;
    QString Autenticacao;
};

// The stored authentication values name the option that switches the other kind off.
extern const QString AutenticacaoBasica; // "httpoNoNTLMAuth"
extern const QString AutenticacaoNTLM;   // "httpoNoBasicAuth"

// Reads the row anew from the data folder; none when the table is empty.
std::optional<TProxyRow> LeProxy();

// The clients that apply the row, each in its own way.
enum class TUsoProxy { Entrega, Resultado, ListaAtualizacoes, Downloads };

vorta::net::Proxy ProxyPara(TUsoProxy uso, const TProxyRow& row);

// Applies the stored row to the client for that use; without a row nothing changes
// and the result is false.
bool ConfiguraProxy(vorta::net::HttpClient& http, TUsoProxy uso);
