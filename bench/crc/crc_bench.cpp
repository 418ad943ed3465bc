// Throughput of TChecksum::CRCFile on a 256 MiB file against zlib's crc32 over the
// same bytes held in memory (zlib spared the reading). Prints the figures and, last,
// "ratio R" = CRCFile throughput / zlib throughput.

#include "Checksum.h"

#include <QFile>
#include <QTemporaryDir>

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr qint64 kSize = 256ll * 1024 * 1024;
constexpr int kRuns = 5;

template <class F>
double seconds(F&& f)
{
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double mibPerSecond(double elapsed)
{
    return static_cast<double>(kSize) / (1024.0 * 1024.0) / elapsed;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const QString path = dir.filePath(QStringLiteral("bench.bin"));

    std::vector<unsigned char> bytes(static_cast<std::size_t>(kSize));
    std::mt19937_64 gen(20261210);
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        const std::uint64_t v = gen();
        std::copy_n(reinterpret_cast<const unsigned char*>(&v), 8, bytes.data() + i);
    }
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)
            || f.write(reinterpret_cast<const char*>(bytes.data()), kSize) != kSize) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }

    TChecksum checksum;
    QString text;
    checksum.CRCFile(path); // the file is in the page cache for every run

    uLong zlibValue = 0;
    auto zlibMemory = [&] {
        zlibValue = crc32(0L, Z_NULL, 0);
        // zlib takes 32-bit lengths.
        for (std::size_t off = 0; off < bytes.size(); off += 1u << 30) {
            const auto n = static_cast<uInt>(std::min<std::size_t>(bytes.size() - off, 1u << 30));
            zlibValue = crc32(zlibValue, bytes.data() + off, n);
        }
    };
    // The same file read the same way, for comparison only.
    uLong zlibFileValue = 0;
    auto zlibFile = [&] {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return;
        std::vector<char> block(32768);
        zlibFileValue = crc32(0L, Z_NULL, 0);
        for (qint64 got; (got = f.read(block.data(), 32768)) > 0;)
            zlibFileValue = crc32(zlibFileValue, reinterpret_cast<const Bytef*>(block.data()), static_cast<uInt>(got));
    };

    // Runs alternate, so a busy machine weighs on both sides alike; the best run counts.
    double crcFileBest = 1e9, zlibBest = 1e9, zlibFileBest = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        crcFileBest = std::min(crcFileBest, seconds([&] { text = checksum.CRCFile(path); }));
        zlibBest = std::min(zlibBest, seconds(zlibMemory));
        zlibFileBest = std::min(zlibFileBest, seconds(zlibFile));
    }

    const QString zlibText = QStringLiteral("%1").arg(zlibValue, 8, 16, QLatin1Char('0')).toUpper();
    const bool same = zlibText == text && zlibFileValue == zlibValue;
    std::printf("file: %lld MiB, best of %d runs\n", kSize / (1024 * 1024), kRuns);
    std::printf("CRCFile (32 KiB reads)            %s  %9.1f MiB/s\n", qPrintable(text), mibPerSecond(crcFileBest));
    std::printf("zlib crc32, bytes in memory       %s  %9.1f MiB/s\n", qPrintable(zlibText), mibPerSecond(zlibBest));
    std::printf("zlib crc32, file in 32 KiB reads  %s  %9.1f MiB/s (not in the ratio)\n", qPrintable(zlibText),
                mibPerSecond(zlibFileBest));
    std::printf("values %s\n", same ? "agree" : "DIFFER");
    std::printf("ratio %.2f\n", zlibBest / crcFileBest);
    return same ? 0 : 1;
}
