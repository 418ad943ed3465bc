#pragma once

#include "platform/core/Exceptions.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <atomic>
#include <functional>

namespace vorta::net {

// A call that did not get an answer: refused, unreachable, timed out, TLS refused.
VORTA_EXCEPTION_CLASS(ENetError, Exception)
// The server accepted the connection, then stopped sending for longer than the stall limit.
VORTA_EXCEPTION_CLASS(ENetTimeout, ENetError)
// The peer's certificate did not verify.
VORTA_EXCEPTION_CLASS(ETlsError, ENetError)
// The user cancelled the call.
VORTA_EXCEPTION_CLASS(ENetCancelled, ENetError)

enum class ProxyAuth { Any, Basic, Ntlm };

struct Proxy {
    // Host name or address, optionally with ":port"; empty means a direct connection.
    QString host;
    // Decimal port text; empty: the one in host, or the default.
    QString port;
    QString user;
    QString password;
    ProxyAuth auth = ProxyAuth::Any;

    bool used() const { return !host.isEmpty(); }
};

// Limits every call keeps, so a dead or silent server never holds the program.
struct Limits {
    int connectTimeoutMs = 30000;
    // Seconds without a byte received or sent before the call fails.
    int stallSeconds = 60;

    // The machine's settings: key "\Software\Kalvi\Vorta\Rede\", integer values
    // "TempoConexao" and "TempoSemResposta" in seconds; the defaults above where missing
    // or not positive.
    static Limits fromRegistry();
};

using Header = QPair<QByteArray, QByteArray>;

struct HttpRequest {
    QByteArray method = "GET";
    QString url;
    QList<Header> headers;
    QByteArray body;
    bool http10 = false;
    QByteArray userAgent;
    bool followLocation = false;
    int maxRedirects = 5;
    // Basic credentials for the server itself (not the proxy).
    QString user;
    QString password;
};

struct HttpResponse {
    int status = 0;
    QList<Header> headers;
    QByteArray body;

    QByteArray header(const QByteArray& name) const; // the last one of that name
};

// Synchronous HTTP(S) on libcurl. TLS peers are verified against the system's
// certificates (or caFile, for a private authority); credentials go only through
// libcurl's own options and never into texts of errors.
class HttpClient {
public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    Proxy proxy;
    Limits limits = Limits::fromRegistry();
    // A bundle of trusted authorities in place of the system's; empty: the system's.
    QString caFile;
    // Called while a call waits or moves data, about once a second or more often: the
    // user interface paints and may call cancel() from here.
    std::function<void()> onIdle;
    // Receives the body as it arrives instead of HttpResponse::body (downloads).
    std::function<void(const char* data, size_t size)> onData;

    // Performs the request; the response of any HTTP status. Raises ENetError (or a
    // descendant) when no response came.
    HttpResponse send(const HttpRequest& request);

    // Makes the running call fail with ENetCancelled (from onIdle or another thread).
    void cancel() { m_cancel = true; }

    // The idle hook every new client starts with (the user interface installs one).
    static void setDefaultIdleHook(std::function<void()> hook);

private:
    std::atomic<bool> m_cancel = false;
};

// The URL as it may appear in a message: without user and password.
QString displayUrl(const QString& url);

} // namespace vorta::net
