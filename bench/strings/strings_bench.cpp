// FastPos and BMPos against glibc's memmem over a 64 MiB text, with a short and a long
// pattern placed only at the end. Prints each throughput and, last, "ratio R" = the
// slower of ours / memmem's for the same pattern (the smaller over both patterns).

#include "FastStrings.h"

#include <QByteArray>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

constexpr int kSize = 64 * 1024 * 1024;
constexpr int kRuns = 5;

template <class F>
double best(F&& f)
{
    double bestTime = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        bestTime = std::min(bestTime, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return bestTime;
}

double mibs(double seconds) { return kSize / (1024.0 * 1024.0) / seconds; }

} // namespace

int main()
{
    // Portuguese-like text: letters, blanks and a few accented bytes.
    std::mt19937 rng(7);
    const char letters[] = "aaaeeeiioouusrnmtdclpvgbfhqz      \xe7\xe3\xe9";
    QByteArray text(kSize, ' ');
    for (int i = 0; i < kSize; ++i)
        text[i] = letters[rng() % (sizeof letters - 1)];
    const QByteArray patterns[] = {QByteArray("Zq#1"), QByteArray("Frigorifico Sao Joao - Matadouro Municipal #0042")};
    double ratio = 1e9;
    for (const QByteArray& pattern : patterns) {
        QByteArray source = text;
        std::memcpy(source.data() + kSize - pattern.size(), pattern.constData(), static_cast<size_t>(pattern.size()));
        volatile long sink = 0;
        const double tFast = best([&] { sink = FastPos(source, pattern, kSize, int(pattern.size()), 1); });
        TBMJumpTable table;
        MakeBMTable(pattern.constData(), int(pattern.size()), table);
        const double tBM = best([&] { sink = BMPos(source.constData(), pattern.constData(), kSize, int(pattern.size()), table) - source.constData(); });
        const double tMem = best([&] {
            sink = static_cast<const char*>(memmem(source.constData(), kSize, pattern.constData(), static_cast<size_t>(pattern.size()))) - source.constData();
        });
        (void)sink;
        std::printf("pattern of %lld bytes: FastPos %.0f MiB/s, BMPos %.0f MiB/s, memmem %.0f MiB/s\n",
                    static_cast<long long>(pattern.size()), mibs(tFast), mibs(tBM), mibs(tMem));
        ratio = std::min(ratio, std::min(mibs(tFast), mibs(tBM)) / mibs(tMem));
    }
    std::printf("ratio %.2f\n", ratio);
    return 0;
}
