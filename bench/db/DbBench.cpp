// Times the database layer and the raw engine on the same work, side by side:
// inserting taxpayers in one transaction, opening them in index order, locating by key,
// and a filtered scan. The last line is "ratio R": the layer's time over the raw time
// for the insert and the open together.

#include "installation/InstallDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <random>

using namespace vorta::db;

namespace {

constexpr int kRows = 100000;
constexpr int kLocates = 10000;

struct Taxpayer {
    QString ie, nome, propr, rua, numero, bairro, uf, cep, tipo, email;
    qint64 mun;
};

Taxpayer makeRow(int i)
{
    static const char* names[] = {"SILVA", "SOUZA", "OLIVEIRA", "PEREIRA", "COSTA", "ALMEIDA", "RIBEIRO", "GOMES"};
    Taxpayer t;
    t.ie = QString::number(280000000 + i * 7);
    t.nome = QStringLiteral("%1 %2 LTDA").arg(QLatin1String(names[(i * 2654435761u) % 8])).arg((i * 7919) % kRows, 6, 10, QLatin1Char('0'));
    t.propr = QStringLiteral("FAZENDA %1").arg(i % 977);
    t.rua = QStringLiteral("RUA %1").arg(i % 1301);
    t.numero = QString::number(i % 9999);
    t.bairro = QStringLiteral("CENTRO");
    t.uf = (i % 5) ? QStringLiteral("QX") : QStringLiteral("GO");
    t.cep = QStringLiteral("77%1").arg(i % 999999, 6, 10, QLatin1Char('0'));
    t.tipo = QStringLiteral("IE");
    t.email = QStringLiteral("contato%1@exemplo.com.br").arg(i);
    t.mun = 1001 + i % 5;
    return t;
}

double ms(QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

void bindText(sqlite3_stmt* s, int i, const QString& v)
{
    const QByteArray b = v.toUtf8();
    sqlite3_bind_text(s, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

struct Times {
    double insert = 0, open = 0, openOnly = 0, locate = 0, filter = 0;
    int filterRows = 0, found = 0;
};

Times runLayer(const QString& folder, const QVector<QString>& keys)
{
    Times r;
    Database db;
    db.setDatabaseName(QStringLiteral("BENCH"));
    db.setDirectory(folder);
    db.open();
    {
        Table t;
        t.setDatabase(&db);
        t.setTableName(QStringLiteral("Contribuinte"));
        t.open();
        Field* f[11];
        const char* names[] = {"Con_IECNPJCPF", "Con_Nome", "Con_NomePropr", "Con_Logradouro", "Con_Numero",
                               "Con_Bairro", "Con_UF", "Con_CEP", "Con_Tipo", "Con_Email", "Mun_Endereco"};
        for (int i = 0; i < 11; ++i)
            f[i] = t.fieldByName(QLatin1String(names[i]));
        QElapsedTimer timer;
        timer.start();
        db.startTransaction();
        for (int i = 0; i < kRows; ++i) {
            const Taxpayer p = makeRow(i);
            t.append();
            f[0]->setAsString(p.ie);
            f[1]->setAsString(p.nome);
            f[2]->setAsString(p.propr);
            f[3]->setAsString(p.rua);
            f[4]->setAsString(p.numero);
            f[5]->setAsString(p.bairro);
            f[6]->setAsString(p.uf);
            f[7]->setAsString(p.cep);
            f[8]->setAsString(p.tipo);
            f[9]->setAsString(p.email);
            f[10]->setAsInteger(p.mun);
            t.post();
        }
        db.commit(true);
        r.insert = ms(timer);
    }
    Table t;
    t.setDatabase(&db);
    t.setTableName(QStringLiteral("Contribuinte"));
    t.setIndexName(QStringLiteral("id_Ordenacao"));
    QElapsedTimer timer;
    timer.start();
    t.open();
    r.openOnly = ms(timer);
    qint64 sink = 0;
    for (t.first(); !t.eof(); t.next())
        for (int i = 0; i < t.fieldCount(); ++i)
            sink += t.fields(i)->value().isValid();
    r.open = ms(timer);
    timer.restart();
    for (const QString& k : keys)
        r.found += t.locate(QStringLiteral("Con_IECNPJCPF"), k) ? 1 : 0;
    r.locate = ms(timer);
    timer.restart();
    t.setFilter(QStringLiteral("Con_UF = 'QX' and Con_Nome = 'SILVA*'"));
    t.setFiltered(true);
    for (t.first(); !t.eof(); t.next()) {
        sink += t.fieldByName(QStringLiteral("Con_Nome"))->asString().size();
        ++r.filterRows;
    }
    r.filter = ms(timer);
    if (sink == 42)
        std::puts("");
    return r;
}

Times runRaw(const QString& folder, const QVector<QString>& keys)
{
    Times r;
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(QFile::encodeName(folder + QStringLiteral("/vorta.db")).constData(), &db,
                          SQLITE_OPEN_READWRITE, nullptr), db);
    check(sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr), db);
    QElapsedTimer timer;
    timer.start();
    check(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* ins = nullptr;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Logradouro, "
                             "Con_Numero, Con_Bairro, Con_UF, Con_CEP, Con_Tipo, Con_Email, Mun_Endereco) "
                             "VALUES (?,?,?,?,?,?,?,?,?,?,?)",
                             -1, &ins, nullptr),
          db);
    for (int i = 0; i < kRows; ++i) {
        const Taxpayer p = makeRow(i);
        bindText(ins, 1, p.ie);
        bindText(ins, 2, p.nome);
        bindText(ins, 3, p.propr);
        bindText(ins, 4, p.rua);
        bindText(ins, 5, p.numero);
        bindText(ins, 6, p.bairro);
        bindText(ins, 7, p.uf);
        bindText(ins, 8, p.cep);
        bindText(ins, 9, p.tipo);
        bindText(ins, 10, p.email);
        sqlite3_bind_int64(ins, 11, p.mun);
        check(sqlite3_step(ins), db);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    r.insert = ms(timer);

    // Open in index order: every column of every row, as a dataset makes them available.
    timer.restart();
    sqlite3_stmt* sel = nullptr;
    check(sqlite3_prepare_v2(db, "SELECT rowid, * FROM Contribuinte ORDER BY Con_Nome, rowid", -1, &sel, nullptr), db);
    const int ncol = sqlite3_column_count(sel);
    qint64 sink = 0;
    bool firstRow = true;
    while (sqlite3_step(sel) == SQLITE_ROW) {
        if (firstRow) {
            r.openOnly = ms(timer);
            firstRow = false;
        }
        for (int c = 1; c < ncol; ++c) {
            if (sqlite3_column_type(sel, c) == SQLITE_TEXT)
                sink += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(sel, c)),
                                          sqlite3_column_bytes(sel, c)).size();
            else
                sink += sqlite3_column_int64(sel, c);
        }
    }
    sqlite3_finalize(sel);
    r.open = ms(timer);

    timer.restart();
    sqlite3_stmt* loc = nullptr;
    check(sqlite3_prepare_v2(db, "SELECT rowid FROM Contribuinte WHERE Con_IECNPJCPF = ? ORDER BY Con_Nome, rowid LIMIT 1",
                             -1, &loc, nullptr),
          db);
    for (const QString& k : keys) {
        bindText(loc, 1, k);
        if (sqlite3_step(loc) == SQLITE_ROW)
            ++r.found;
        sqlite3_reset(loc);
    }
    sqlite3_finalize(loc);
    r.locate = ms(timer);

    timer.restart();
    sqlite3_stmt* flt = nullptr;
    check(sqlite3_prepare_v2(db,
                             "SELECT Con_Nome FROM Contribuinte WHERE Con_UF = 'QX' AND substr(Con_Nome, 1, 5) = 'SILVA' "
                             "ORDER BY Con_Nome, rowid",
                             -1, &flt, nullptr),
          db);
    while (sqlite3_step(flt) == SQLITE_ROW) {
        sink += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(flt, 0))).size();
        ++r.filterRows;
    }
    sqlite3_finalize(flt);
    r.filter = ms(timer);
    sqlite3_close(db);
    if (sink == 42)
        std::puts("");
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString layerFolder = dir.path() + QStringLiteral("/layer");
    const QString rawFolder = dir.path() + QStringLiteral("/raw");
    vorta::installation::installDatabase(layerFolder);
    vorta::installation::installDatabase(rawFolder);

    std::mt19937 rng(12345);
    QVector<QString> keys;
    for (int i = 0; i < kLocates; ++i)
        keys << makeRow(int(rng() % kRows)).ie;

    const Times raw = runRaw(rawFolder, keys);
    const Times layer = runLayer(layerFolder, keys);

    std::printf("%-34s %12s %12s %8s\n", "work", "layer ms", "raw ms", "ratio");
    auto line = [](const char* what, double l, double r) {
        std::printf("%-34s %12.1f %12.1f %8.2f\n", what, l, r, r > 0 ? l / r : 0.0);
    };
    line("insert 100000 rows, 1 transaction", layer.insert, raw.insert);
    line("open in index order + read all", layer.open, raw.open);
    line("  open only (first row ready)", layer.openOnly, raw.openOnly);
    line("10000 locate by key", layer.locate, raw.locate);
    line("filtered scan", layer.filter, raw.filter);
    std::printf("rows found by locate: layer %d, raw %d; filtered rows: layer %d, raw %d\n", layer.found, raw.found,
                layer.filterRows, raw.filterRows);
    const double ratio = (layer.insert + layer.open) / (raw.insert + raw.open);
    std::printf("ratio %.2f\n", ratio);
    return 0;
}
