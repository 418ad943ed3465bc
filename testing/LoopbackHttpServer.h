#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <mutex>
#include <thread>

namespace vorta::testing {

// An HTTP server on 127.0.0.1 (a port of its own) that answers as the test scripts it,
// byte for byte, so tests see exactly what a client sent: requests for a proxy (absolute
// targets), authentication rounds on one connection, a server that never answers.
class LoopbackHttpServer {
public:
    struct Request {
        QByteArray method;
        QByteArray target;
        QByteArray version;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        int connection = 0; // which accepted connection it came on, from 1
        QByteArray header(const QByteArray& name) const;
    };
    // The whole response to send; empty: say nothing and keep the connection open.
    using Handler = std::function<QByteArray(const Request&)>;

    explicit LoopbackHttpServer(Handler handler);
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    int port() const { return m_port; }
    QString url(const QString& path = QStringLiteral("/")) const;
    QList<Request> requests() const;
    int connections() const;

    static QByteArray response(int status, const QByteArray& reason,
                               const QList<QPair<QByteArray, QByteArray>>& headers = {},
                               const QByteArray& body = {});

private:
    void run();

    Handler m_handler;
    int m_listen = -1;
    int m_wake[2] = {-1, -1};
    int m_port = 0;
    mutable std::mutex m_mutex;
    QList<Request> m_requests;
    int m_connections = 0;
    std::thread m_thread;
};

} // namespace vorta::testing
