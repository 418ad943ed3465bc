#include "Ras.h"

#include "Rascomp32.h"

#include <map>

namespace {

const std::map<std::uint32_t, const char*>& stateTexts()
{
    static const std::map<std::uint32_t, const char*> texts = {
        {0, "Abrindo a Porta"},
        {1, "Porta Aberta"},
        {2, "Conectando ao Dispositivo"},
        {3, "Dispositivo conectado"},
        {4, "Todos os Dispositivos Conectados"},
        {5, "Iniciando Autenticação"},
        {6, "Notificação de Autenticação"},
        {7, "Re-autenticação"},
        {8, "Callback requisitado"},
        {9, "Mudança de senha requisitada"},
        {10, "Fase de projeção iniciada"},
        {11, "Cálculo da velocidade da conceção"},
        {12, "Autenticação verificada"},
        {13, "Re-autenticação iniciada"},
        {14, "Autenticado"},
        {15, "Preparação para o Callback"},
        {16, "Esperando o reset do Modem"},
        {17, "esperando o Callback"},
        {18, "Projetado"},
        {19, "Iniciar Autenticação"},
        {20, "Callback Completo"},
        {21, "Logon na Rede"},
        {22, "Sub-entrada conectada"},
        {23, "Sub-entrada desconectada"},
        {4096, "Interativo"},
        {4097, "Re-Autenticando"},
        {4098, "Callback pedido pelo discador"},
        {4099, "Senha Expirada"},
        {8192, "Conectado"},
        {8193, "Desconectado"},
    };
    return texts;
}

} // namespace

QString RasConnectionStateToString(std::uint32_t state)
{
    const auto& texts = stateTexts();
    const auto it = texts.find(state);
    if (it != texts.end())
        return QString::fromUtf8(it->second);
    return QStringLiteral("Status da Conecção # %1").arg(state);
}

QString RasGetIPAddress()
{
    RasBackend& backend = rasBackend();
    if (!backend.available())
        return {};
    std::vector<RASCONN> connections;
    const std::uint32_t rc = backend.enumConnections(connections, 4);
    if ((rc != 0 && rc != ras::ERROR_BUFFER_TOO_SMALL) || connections.empty())
        return {};
    QString client, server;
    if (backend.getProjection(connections.front().hrasconn, client, server) != 0)
        return {};
    return client;
}
