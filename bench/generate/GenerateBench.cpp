// Times the generation of one movement of 1,000 maps of 30 animals (packet, CRC, zip at
// level 9, protocol image, delivery row) against the raw work on the same data: reading
// the same rows with the engine's C API and deflating the same packet bytes with libzip
// at level 9. The last line is "ratio R": generation time over raw time.

#include "T_DM_Comuns.h"
#include "UDM_MTC.h"
#include "UDm_Gerar.h"
#include "USelMovGera.h"
#include "uDmVortaModule.h"

#include "platform/report/ReportPrinter.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "testing/TempInstallation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>
#include <zip.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kMaps = 1000;
constexpr int kAnimals = 30;
const char* kIe = "281234567";
const char* kRaiser = "285000001";

double ms(QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

void fill(vorta::db::Database* db)
{
    db->startTransaction();
    db->execute("insert into Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) values (1, 'Palmas', 'TO')");
    db->execute("insert into Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Mun_Endereco, "
                "Mun_Propriedade) values (?1, 'Frigorifico', 'Frigo', 'IE', 1, 1)",
                {QString::fromLatin1(kIe)});
    db->execute("insert into Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Mun_Endereco, "
                "Mun_Propriedade) values (?1, 'Pecuarista', 'Fazenda', 'IE', 1, 1)",
                {QString::fromLatin1(kRaiser)});
    db->execute("insert into Qel_Tecnico (Tec_Codigo, Tec_Nome, Mun_Codigo) values (1, 'Dra. Vet', 1)");
    db->execute("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia, "
                "mov_tipo, mov_situacao) values (1, ?1, 2026, 12, 'N', 'N')",
                {QString::fromLatin1(kIe)});
    const char* classes[] = {"JD", "J2", "J4", "TD", "T2", "T4", "I", "A", "JFD", "JF2", "JF4", "IF"};
    for (int m = 1; m <= kMaps; ++m) {
        db->execute("insert into qel_mapas (map_codigo, con_iecnpjcpf, map_data, ie_pecuarista, Aprovado, "
                    "map_num_lote, Tec_Codigo, map_vlr_icms) values (?1, ?2, ?3, ?4, 'M', '01/01', 1, 12)",
                    {m, QString::fromLatin1(kIe), QDateTime(QDate(2026, 12, 1 + m % 28), QTime(0, 0)),
                     QString::fromLatin1(kRaiser)});
        for (int a = 1; a <= kAnimals; ++a)
            db->execute("insert into qel_mapas_itens (map_codigo, itm_num_animal, mat_codigo, aca_codigo, con_codigo, "
                        "tip_codigo, itm_peso, itm_classificado) values (?1, ?2, 'JD', 3, 'C', 'B', ?3, 'S')",
                        {m, a, 200.0 + a});
        for (const char* c : classes)
            db->execute("insert into qel_mapas_resumo (map_codigo, mat_codigo, mre_qtd_cabecas, mre_peso_kg, "
                        "mre_qtd_arroba, mre_vlr_repasse, mre_qtd_reprovada) values (?1, ?2, 2, 500, 33.33, 100, 0)",
                        {m, QString::fromLatin1(c)});
        db->execute("insert into Qel_NotasMapa (map_codigo, mn_nro_nota_fiscal) values (?1, ?2)",
                    {m, QString::number(m)});
    }
    db->commit();
}

// The same rows read with the engine's own API: every column of every table the
// packet holds, per map.
qint64 rawRead(const QString& file)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    qint64 cells = 0;
    auto run = [&](sqlite3_stmt* st) {
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                if (sqlite3_column_type(st, c) == SQLITE_TEXT)
                    cells += sqlite3_column_bytes(st, c);
                else
                    cells += sqlite3_column_int64(st, c) != 0;
            }
        sqlite3_reset(st);
    };
    auto prep = [&](const char* sql) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        return st;
    };
    sqlite3_stmt* mov = prep("select * from qel_movimento where mov_codigo = 1");
    sqlite3_stmt* con = prep("select * from Contribuinte where con_iecnpjcpf = ?1");
    sqlite3_stmt* maps = prep("select * from qel_mapas where con_iecnpjcpf = ?1 and strftime('%m', map_data) = '12' "
                              "and strftime('%Y', map_data) = '2026'");
    sqlite3_stmt* details[] = {prep("select * from qel_mapas_itens where map_codigo = ?1"),
                               prep("select * from qel_mapas_resumo where map_codigo = ?1"),
                               prep("select * from Qel_NotasMapa where map_codigo = ?1")};
    sqlite3_stmt* tec = prep("select * from Qel_Tecnico where tec_codigo = 1");
    sqlite3_stmt* mun = prep("select * from Municipio where mun_codigo = 1");
    run(mov);
    sqlite3_bind_text(con, 1, kIe, -1, SQLITE_STATIC);
    run(con);
    sqlite3_bind_text(maps, 1, kIe, -1, SQLITE_STATIC);
    while (sqlite3_step(maps) == SQLITE_ROW) {
        const qint64 code = sqlite3_column_int64(maps, 0);
        for (int c = 0; c < sqlite3_column_count(maps); ++c)
            cells += sqlite3_column_bytes(maps, c);
        for (sqlite3_stmt* d : details) {
            sqlite3_bind_int64(d, 1, code);
            run(d);
        }
        run(tec);
        sqlite3_bind_text(con, 1, kRaiser, -1, SQLITE_STATIC);
        run(con);
        run(mun);
        run(mun);
    }
    for (sqlite3_stmt* st : {mov, con, maps, details[0], details[1], details[2], tec, mun})
        sqlite3_finalize(st);
    sqlite3_close(db);
    return cells;
}

qint64 rawZip(const QByteArray& bytes, const QString& file)
{
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(file).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    zip_source_t* src = zip_source_buffer(z, bytes.constData(), zip_uint64_t(bytes.size()), 0);
    const zip_int64_t i = zip_file_add(z, "ZIRN123456.C26", src, 0);
    zip_set_file_compression(z, zip_uint64_t(i), ZIP_CM_DEFLATE, 9);
    zip_close(z);
    return QFileInfo(file).size();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    vorta::Application app(argc, argv);
    vorta::testing::TempInstallation inst;
    inst.installDatabase();
    InicializarVariaveisGlobais();
    QDir().mkpath(DirArquivos);
    QDir().mkpath(DirTemp);
    vorta::report::MemoryPrinterDriver printer;
    vorta::report::setPrinterDriver(&printer);
    vorta::ui::createForm(DM_MTC);
    vorta::ui::createForm(Dm_Gerar);
    fill(DM_MTC->dbMTC);
    vorta::ui::createForm(SelMovGera);
    SelMovGera->FormShow();

    QElapsedTimer t;
    t.start();
    SelMovGera->LinhasArquivo();
    const double gen = ms(t);
    const QString zipName = DirArquivos + SelMovGera->NomeArquivo;
    if (!QFile::exists(zipName) || !QFile::exists(DirArquivos + "P" + SelMovGera->NomeArquivo)) {
        std::fprintf(stderr, "generation wrote no files\n");
        return 1;
    }
    // The packet as generated, for the raw deflate.
    Dm_Gerar->AbreMovimento(1, 2026, 12);
    const QByteArray packet = Dm_Gerar->PacoteMovimento();

    t.restart();
    const qint64 cells = rawRead(inst.folder("dados") + "vorta.db");
    const qint64 zipped = rawZip(packet, DirTemp + "raw.zip");
    const double raw = ms(t);

    std::printf("maps %d, animals per map %d, packet %lld bytes, zip %lld bytes\n", kMaps, kAnimals,
                qint64(packet.size()), QFileInfo(zipName).size());
    std::printf("generation %.1f ms\n", gen);
    std::printf("raw read (%lld cells) and libzip level 9 (%lld bytes) %.1f ms\n", cells, zipped, raw);
    vorta::Component::free(SelMovGera.get());
    vorta::Component::free(Dm_Gerar.get());
    vorta::Component::free(DM_MTC.get());
    vorta::report::setPrinterDriver(nullptr);
    std::printf("ratio %.2f\n", gen / raw);
    return 0;
}
