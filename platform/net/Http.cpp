#include "Http.h"

#include "platform/os/Registry.h"

#include <QUrl>

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace vorta::net {

namespace {

std::function<void()>& defaultIdleHook()
{
    static std::function<void()> hook;
    return hook;
}

void initCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Call {
    HttpClient* client;
    const std::function<void()>* idle;
    const std::function<void(const char*, size_t)>* data;
    std::atomic<bool>* cancel;
    HttpResponse response;
    bool inHeaders = true;
};

size_t writeBody(char* ptr, size_t size, size_t count, void* user)
{
    auto* call = static_cast<Call*>(user);
    const size_t n = size * count;
    if (*call->data)
        (*call->data)(ptr, n);
    else
        call->response.body.append(ptr, static_cast<qsizetype>(n));
    return n;
}

size_t writeHeader(char* ptr, size_t size, size_t count, void* user)
{
    auto* call = static_cast<Call*>(user);
    const size_t n = size * count;
    const QByteArray line = QByteArray(ptr, static_cast<qsizetype>(n)).trimmed();
    if (line.startsWith("HTTP/")) {
        // A new response (after a redirect or an authentication round) starts afresh.
        call->response.headers.clear();
    } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
        call->response.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return n;
}

int progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto* call = static_cast<Call*>(user);
    if (*call->idle)
        (*call->idle)();
    return call->cancel->load() ? 1 : 0;
}

long curlAuth(ProxyAuth auth)
{
    switch (auth) {
    case ProxyAuth::Basic: return CURLAUTH_BASIC;
    case ProxyAuth::Ntlm: return CURLAUTH_NTLM;
    case ProxyAuth::Any: break;
    }
    return CURLAUTH_ANY;
}

struct EasyDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

} // namespace

Limits Limits::fromRegistry()
{
    Limits limits;
    os::Registry reg;
    if (!reg.openKeyReadOnly(QStringLiteral("\\Software\\Kalvi\\Vorta\\Rede\\")))
        return limits;
    auto seconds = [&reg](const char* name) {
        const QString value = QString::fromLatin1(name);
        if (!reg.valueExists(value))
            return 0;
        try {
            return reg.readInteger(value);
        } catch (const Exception&) {
            return 0;
        }
    };
    if (const int s = seconds("TempoConexao"); s > 0)
        limits.connectTimeoutMs = s * 1000;
    if (const int s = seconds("TempoSemResposta"); s > 0)
        limits.stallSeconds = s;
    return limits;
}

QByteArray HttpResponse::header(const QByteArray& name) const
{
    QByteArray found;
    for (const Header& h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            found = h.second;
    return found;
}

QString displayUrl(const QString& url)
{
    const QUrl u(url);
    if (!u.isValid())
        return url.section(QLatin1Char('@'), -1);
    return u.toString(QUrl::RemoveUserInfo);
}

HttpClient::HttpClient() : onIdle(defaultIdleHook())
{
    initCurl();
}

HttpClient::~HttpClient() = default;

void HttpClient::setDefaultIdleHook(std::function<void()> hook)
{
    defaultIdleHook() = std::move(hook);
}

HttpResponse HttpClient::send(const HttpRequest& request)
{
    m_cancel = false;
    std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
    if (!curl)
        throw ENetError(QStringLiteral("Não foi possível iniciar a conexão HTTP."));
    CURL* c = curl.get();
    Call call{this, &onIdle, &onData, &m_cancel, {}, true};
    char error[CURL_ERROR_SIZE] = {0};

    const QByteArray url = request.url.toUtf8();
    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeoutMs));
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.stallSeconds));
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    const QByteArray ca = caFile.toLocal8Bit();
    if (!ca.isEmpty())
        curl_easy_setopt(c, CURLOPT_CAINFO, ca.constData());
    curl_easy_setopt(c, CURLOPT_HTTP_VERSION, request.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    if (!request.userAgent.isEmpty())
        curl_easy_setopt(c, CURLOPT_USERAGENT, request.userAgent.constData());
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, request.followLocation ? 1L : 0L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, static_cast<long>(request.maxRedirects));

    // Each piece lives until the call ends: libcurl keeps the pointers.
    const QByteArray user = request.user.toUtf8();
    const QByteArray password = request.password.toUtf8();
    if (!user.isEmpty()) {
        curl_easy_setopt(c, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
        curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    }

    const QByteArray proxyHost = proxy.host.toUtf8();
    const QByteArray proxyUser = proxy.user.toUtf8();
    const QByteArray proxyPassword = proxy.password.toUtf8();
    if (proxy.used()) {
        curl_easy_setopt(c, CURLOPT_PROXY, proxyHost.constData());
        bool ok = false;
        const int port = proxy.port.trimmed().toInt(&ok);
        if (ok && port > 0 && port <= 65535)
            curl_easy_setopt(c, CURLOPT_PROXYPORT, static_cast<long>(port));
        curl_easy_setopt(c, CURLOPT_PROXYAUTH, curlAuth(proxy.auth));
        if (!proxyUser.isEmpty()) {
            curl_easy_setopt(c, CURLOPT_PROXYUSERNAME, proxyUser.constData());
            curl_easy_setopt(c, CURLOPT_PROXYPASSWORD, proxyPassword.constData());
        }
    } else {
        // No proxy of the environment either: the suite's own row decides.
        curl_easy_setopt(c, CURLOPT_PROXY, "");
    }

    std::unique_ptr<curl_slist, ListDeleter> headers;
    for (const Header& h : request.headers) {
        const QByteArray line = h.first + ": " + h.second;
        headers.reset(curl_slist_append(headers.release(), line.constData()));
    }
    if (!request.body.isEmpty() || request.method == "POST") {
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, request.body.constData());
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        // No "Expect: 100-continue" wait on servers that do not know it.
        headers.reset(curl_slist_append(headers.release(), "Expect:"));
    }
    if (request.method != "GET" && request.method != "POST")
        curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, request.method.constData());
    else if (request.method == "GET" && request.body.isEmpty())
        curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    if (headers)
        curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());

    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &call);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, writeHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &call);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &call);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);

    const CURLcode rc = curl_easy_perform(c);
    if (rc != CURLE_OK) {
        const QString where = displayUrl(request.url);
        const QString detail = QString::fromUtf8(error[0] ? error : curl_easy_strerror(rc)).trimmed();
        switch (rc) {
        case CURLE_ABORTED_BY_CALLBACK:
            throw ENetCancelled(QStringLiteral("Conexão cancelada pelo usuário: %1").arg(where));
        case CURLE_OPERATION_TIMEDOUT:
            throw ENetTimeout(QStringLiteral("O servidor não respondeu a tempo (%1): %2").arg(where, detail));
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_CONNECT_ERROR:
            throw ETlsError(QStringLiteral("O certificado do servidor não foi aceito (%1): %2").arg(where, detail));
        default:
            throw ENetError(QStringLiteral("Falha na conexão com %1: %2").arg(where, detail));
        }
    }
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    call.response.status = static_cast<int>(status);
    return call.response;
}

} // namespace vorta::net
