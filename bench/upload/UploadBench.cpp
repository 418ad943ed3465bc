// Throughput of a declaration's upload (the request body built from the file, then the
// post of the delivery data module) against the curl command-line tool posting the same
// body to the same loopback server. Prints both figures and, last, "ratio R" =
// upload throughput / curl throughput (target: at least 0.5).

#include "UDMEntrega.h"
#include "USel_Entrega.h"

#include "testing/LoopbackHttpServer.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

constexpr qint64 kSize = 50ll * 1024 * 1024;
constexpr int kRuns = 3;

template <class F>
double seconds(F&& f)
{
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double mibPerSecond(qint64 bytes, double elapsed)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0) / elapsed;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString nome = QStringLiteral("28123456725031N.zip");
    const QString arquivo = dir.filePath(nome);
    {
        QByteArray bytes(kSize, Qt::Uninitialized);
        std::mt19937_64 gen(20261211);
        for (qsizetype i = 0; i + 8 <= bytes.size(); i += 8) {
            const std::uint64_t v = gen();
            std::memcpy(bytes.data() + i, &v, 8);
        }
        QFile f(arquivo);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(arquivo));
            return 1;
        }
    }

    // Written by the server thread.
    std::atomic<qint64> recebidos = 0;
    vorta::testing::LoopbackHttpServer servidor([&recebidos](const vorta::testing::LoopbackHttpServer::Request& r) {
        recebidos = r.body.size();
        return vorta::testing::LoopbackHttpServer::response(
            200, "OK", {}, "200AB12345615/03/2025 14:30:0512345678000199FRIGORIFICO");
    });
    const QString url = servidor.url(QStringLiteral("/recepcao/ZIR"));

    TDMEntrega dm;
    qint64 corpoTamanho = 0;
    int status = 0;
    auto nosso = [&] {
        QFile f(arquivo);
        if (!f.open(QIODevice::ReadOnly))
            return;
        const QByteArray corpo = CorpoEnvio(nome, f.readAll());
        corpoTamanho = corpo.size();
        QByteArray resposta;
        status = dm.PostArquivo(url, corpo, resposta);
    };

    // curl gets the very body, written once to a file.
    const QString corpoArquivo = dir.filePath(QStringLiteral("corpo.bin"));
    {
        QFile f(arquivo);
        QFile out(corpoArquivo);
        if (!f.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
            return 1;
        out.write(CorpoEnvio(nome, f.readAll()));
    }
    const QByteArray comando = QStringLiteral("curl -s -o /dev/null --http1.0 -A 'Mozilla/4.0 (compatible; ICS)' "
                                              "-H 'Content-Type: application/x-www-form-urlencoded' -H 'Expect:' "
                                              "--data-binary @'%1' '%2'")
                                   .arg(corpoArquivo, url)
                                   .toLocal8Bit();
    int curlStatus = 0;
    auto curl = [&] { curlStatus = std::system(comando.constData()); };

    nosso(); // warms the page cache and the server
    double melhorNosso = 1e9;
    double melhorCurl = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        melhorNosso = std::min(melhorNosso, seconds(nosso));
        if (status != 200 || recebidos != corpoTamanho) {
            std::fprintf(stderr, "upload failed: status %d, %lld of %lld bytes\n", status,
                         static_cast<long long>(recebidos.load()), static_cast<long long>(corpoTamanho));
            return 1;
        }
        recebidos = 0;
        melhorCurl = std::min(melhorCurl, seconds(curl));
        if (curlStatus != 0 || recebidos != corpoTamanho) {
            std::fprintf(stderr, "curl failed: exit %d, %lld bytes\n", curlStatus, static_cast<long long>(recebidos.load()));
            return 1;
        }
    }
    const double nossoMiB = mibPerSecond(corpoTamanho, melhorNosso);
    const double curlMiB = mibPerSecond(corpoTamanho, melhorCurl);
    std::printf("body %lld bytes, best of %d runs\n", static_cast<long long>(corpoTamanho), kRuns);
    std::printf("upload %.1f MiB/s\n", nossoMiB);
    std::printf("curl   %.1f MiB/s\n", curlMiB);
    std::printf("ratio %.2f\n", nossoMiB / curlMiB);
    return 0;
}
