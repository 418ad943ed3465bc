#include "LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <stdexcept>
#include <vector>

namespace vorta::testing {

QByteArray LoopbackHttpServer::Request::header(const QByteArray& name) const
{
    for (const auto& h : headers)
        if (h.first.compare(name, Qt::CaseInsensitive) == 0)
            return h.second;
    return {};
}

LoopbackHttpServer::LoopbackHttpServer(Handler handler) : m_handler(std::move(handler))
{
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (m_listen < 0 || ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0
        || ::listen(m_listen, 16) != 0 || ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len) != 0
        || ::pipe2(m_wake, O_CLOEXEC) != 0)
        throw std::runtime_error("loopback server: cannot listen");
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { run(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    const char stop = 's';
    (void)!::write(m_wake[1], &stop, 1);
    m_thread.join();
    ::close(m_listen);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

QString LoopbackHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

QList<LoopbackHttpServer::Request> LoopbackHttpServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

int LoopbackHttpServer::connections() const
{
    std::lock_guard lock(m_mutex);
    return m_connections;
}

QByteArray LoopbackHttpServer::response(int status, const QByteArray& reason,
                                        const QList<QPair<QByteArray, QByteArray>>& headers, const QByteArray& body)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n";
    for (const auto& h : headers)
        out += h.first + ": " + h.second + "\r\n";
    out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    return out;
}

namespace {
// A complete request at the start of buffer: its length, or 0 while more must come.
qsizetype parse(const QByteArray& buffer, LoopbackHttpServer::Request* request)
{
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return 0;
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request->method = first.value(0);
    request->target = first.value(1);
    request->version = first.value(2);
    request->headers.clear();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request->headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    const qsizetype length = request->header("Content-Length").toLongLong();
    if (buffer.size() < end + 4 + length)
        return 0;
    request->body = buffer.mid(end + 4, length);
    return end + 4 + length;
}
} // namespace

void LoopbackHttpServer::run()
{
    struct Connection {
        int number;
        QByteArray buffer;
    };
    std::map<int, Connection> open;
    for (;;) {
        std::vector<pollfd> fds{{m_wake[0], POLLIN, 0}, {m_listen, POLLIN, 0}};
        for (const auto& [fd, c] : open)
            fds.push_back({fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0)
            continue;
        if (fds[0].revents)
            break;
        if (fds[1].revents & POLLIN) {
            const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                std::lock_guard lock(m_mutex);
                open[fd] = {++m_connections, {}};
            }
        }
        for (size_t i = 2; i < fds.size(); ++i) {
            if (!fds[i].revents)
                continue;
            const int fd = fds[i].fd;
            Connection& c = open[fd];
            char chunk[16384];
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            bool close = n <= 0;
            if (n > 0)
                c.buffer.append(chunk, n);
            Request request;
            while (!close) {
                const qsizetype used = parse(c.buffer, &request);
                if (!used)
                    break;
                c.buffer.remove(0, used);
                request.connection = c.number;
                {
                    std::lock_guard lock(m_mutex);
                    m_requests.append(request);
                }
                const QByteArray answer = m_handler(request);
                for (qsizetype sent = 0; sent < answer.size();) {
                    const ssize_t w = ::send(fd, answer.constData() + sent, answer.size() - sent, MSG_NOSIGNAL);
                    if (w <= 0)
                        break;
                    sent += w;
                }
                const bool keepAlive = request.version == "HTTP/1.1"
                    ? request.header("Connection").toLower() != "close"
                    : request.header("Connection").toLower() == "keep-alive"
                          || request.header("Proxy-Connection").toLower() == "keep-alive";
                if (!answer.isEmpty() && (!keepAlive || answer.contains("\r\nConnection: close\r\n")))
                    close = true;
            }
            if (close) {
                ::close(fd);
                open.erase(fd);
            }
        }
    }
    for (const auto& [fd, c] : open)
        ::close(fd);
}

} // namespace vorta::testing
