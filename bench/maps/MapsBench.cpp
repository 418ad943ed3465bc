// Imports 20 files of 500 animals into 20 maps through the map register and saves each
// (totals, summary rows, commit with a flush), side by side with inserting the same rows
// through the raw engine, one transaction per map. Prints both times and, last, the
// ratio of the register's time over the raw time.

#include "FrmCadMapas.h"
#include "T_DM_Comuns.h"
#include "UDM_MTC.h"

#include "installation/InstallDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/os/Registry.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <deque>

namespace {

constexpr int kMaps = 20;
constexpr int kAnimals = 500;

// The animal of a line: every fourth one light, so both classifications occur.
struct Animal {
    const char* mat;
    const char* con;
    int aca;
    int kg;
    int grams;
    const char* tip;
};

Animal animal(int i)
{
    static const char* mats[] = {"JD", "J2", "J4", "TD", "T2", "A"};
    return Animal{mats[i % 6], (i % 5) ? "C" : "SC", 2 + i % 3, (i % 4) ? 230 + i % 70 : 200, (i * 37) % 1000,
                  "B"};
}

QString linha(int n, const Animal& a)
{
    return QStringLiteral("%1%2%3%4%5%6%7")
        .arg(n % 1000, 3, 10, QLatin1Char('0'))
        .arg(QString::fromLatin1(a.mat), -3)
        .arg(QString::fromLatin1(a.con), -2)
        .arg(a.aca)
        .arg(a.kg, 3, 10, QLatin1Char('0'))
        .arg(a.grams, 3, 10, QLatin1Char('0'))
        .arg(QString::fromLatin1(a.tip));
}

// Answers the file dialogs with the prepared files and every message with OK.
class Answers : public vorta::ui::DialogService {
public:
    std::deque<QString> files;
    int messages = 0;
    int message(const vorta::ui::MessageRequest&) override
    {
        ++messages;
        return vorta::ui::mrOk;
    }
    std::optional<QString> input(const vorta::ui::InputRequest&) override { return std::nullopt; }
    std::optional<QString> file(const vorta::ui::FileRequest&) override
    {
        if (files.empty())
            return std::nullopt;
        QString f = files.front();
        files.pop_front();
        return f;
    }
};

void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

double raw(const QString& folder)
{
    sqlite3* db = nullptr;
    check(sqlite3_open(QFile::encodeName(folder + QStringLiteral("vorta.db")).constData(), &db), db);
    check(sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* st = nullptr;
    check(sqlite3_prepare_v2(db,
                             "insert into qel_mapas_itens (map_codigo, itm_num_animal, tip_codigo, itm_classificado, "
                             "aca_codigo, mat_codigo, itm_peso, con_codigo) values (?,?,?,?,?,?,?,?)",
                             -1, &st, nullptr),
          db);
    QElapsedTimer t;
    t.start();
    for (int m = 1; m <= kMaps; ++m) {
        check(sqlite3_exec(db, "begin", nullptr, nullptr, nullptr), db);
        check(sqlite3_exec(db,
                           QStringLiteral("insert into qel_mapas (map_codigo, con_iecnpjcpf, Aprovado) values (%1, "
                                          "'281234567', 'M')")
                               .arg(m)
                               .toLatin1()
                               .constData(),
                           nullptr, nullptr, nullptr),
              db);
        for (int i = 1; i <= kAnimals; ++i) {
            const Animal a = animal(i);
            sqlite3_bind_int(st, 1, m);
            sqlite3_bind_int(st, 2, i);
            sqlite3_bind_text(st, 3, a.tip, -1, SQLITE_STATIC);
            sqlite3_bind_text(st, 4, "S", -1, SQLITE_STATIC);
            sqlite3_bind_int(st, 5, a.aca);
            sqlite3_bind_text(st, 6, a.mat, -1, SQLITE_STATIC);
            sqlite3_bind_double(st, 7, a.kg + a.grams / 1000.0);
            sqlite3_bind_text(st, 8, a.con, -1, SQLITE_STATIC);
            check(sqlite3_step(st), db);
            sqlite3_reset(st);
        }
        check(sqlite3_exec(db, "commit", nullptr, nullptr, nullptr), db);
    }
    const double ms = double(t.nsecsElapsed()) / 1e6;
    sqlite3_finalize(st);
    sqlite3_close(db);
    return ms;
}

void sql(const QString& folder, const QString& text)
{
    vorta::db::executeScript(folder, text);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("VORTA_REGISTRY", QFile::encodeName(dir.path() + QStringLiteral("/registry")));
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
    const QString base = dir.path() + QStringLiteral("/inst/");
    for (const char* name : {"modulos", "dados", "updates", "temp", "arquivos", "backup"})
        QDir().mkpath(base + QString::fromLatin1(name));
    {
        vorta::os::Registry reg;
        reg.openKey(QStringLiteral("\\Software\\Kalvi\\Vorta\\"), true);
        reg.writeString(QStringLiteral("Path"), base);
    }
    const QString dados = base + QStringLiteral("dados/");
    const QString rawFolder = dir.path() + QStringLiteral("/raw/");
    vorta::installation::installDatabase(dados);
    vorta::installation::installDatabase(rawFolder);
    const QString rows = QStringLiteral(
        "insert or ignore into Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) values (1, 'Palmas', 'TO');"
        "insert into Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Mun_Endereco) values "
        "('281234567', 'Frigorifico', 'Frigo', 'IE', 1), ('285000001', 'Pecuarista', 'Fazenda', 'IE', 1);"
        "insert into Qel_Contribuinte_Complemento values ('285000001', '1', '2');"
        "insert into Qel_Tecnico (Tec_Codigo, Tec_Nome) values (1, 'Vet');"
        "delete from Qel_Parametros; insert into Qel_Parametros values (67, 50, 33, 12);"
        "insert into qel_parametros_mensais (pam_ano, pam_mes, pam_vlr_arr_macho, pam_vlr_arr_femea) "
        "values (2026, 12, 90, 80);"
        "insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia, mov_tipo, "
        "mov_situacao) values (1, '281234567', 2026, 12, 'N', '?');");
    sql(dados, rows);

    QStringList files;
    for (int m = 0; m < kMaps; ++m) {
        const QString name = dir.path() + QStringLiteral("/mapa%1.txt").arg(m);
        QFile f(name);
        f.open(QIODevice::WriteOnly);
        for (int i = 1; i <= kAnimals; ++i)
            f.write((linha(i, animal(i)) + QStringLiteral("\r\n")).toLatin1());
        files << name;
    }

    vorta::Application app(argc, argv);
    Answers answers;
    vorta::ui::setDialogService(&answers);
    vorta::ui::createForm(DM_Comuns);
    vorta::ui::createForm(DM_MTC);
    DM_MTC->QryContribuinte->open();
    DM_MTC->QryContribuinte->locate(QStringLiteral("Con_IECNPJCPF"), QStringLiteral("281234567"));
    TCadMapas* f = vorta::createInto<TCadMapas>(CadMapas, &app);
    f->show();

    // Each map: its heading set in the map's fields, the file imported, the
    // veterinarian set, saved. A repeated map per raiser and day would be refused, so
    // each map has a day of its own.
    double fases[2] = {0, 0};
    QElapsedTimer t;
    t.start();
    for (int m = 0; m < kMaps; ++m) {
        answers.files.push_back(files.at(m));
        f->btIncluirClick(f->btIncluir);
        vorta::db::Table* map = DM_MTC->TblMapas;
        map->fieldByName(QStringLiteral("ie_pecuarista"))->setAsString(QStringLiteral("285000001"));
        map->fieldByName(QStringLiteral("map_data"))->setAsDateTime(QDateTime(QDate(2026, 12, 1 + m), QTime(0, 0)));
        map->fieldByName(QStringLiteral("Aprovado"))->setAsString(QStringLiteral("M"));
        map->fieldByName(QStringLiteral("Tec_Codigo"))->setAsInteger(1);
        vorta::Application::runGuarded([&] { f->DBEdit_Con_RemetenteExit(f->DBEdit_Con_Remetente); });
        QElapsedTimer p;
        p.start();
        vorta::Application::runGuarded([&] { f->SpeedButton2Click(f->SpeedButton2); });
        fases[0] += double(p.nsecsElapsed()) / 1e6;
        p.restart();
        vorta::Application::runGuarded([&] { f->btGravarClick(f->btGravar); });
        fases[1] += double(p.nsecsElapsed()) / 1e6;
    }
    const double layer = double(t.nsecsElapsed()) / 1e6;

    vorta::db::Query* q = DM_MTC->QryGeral;
    q->close();
    q->setSql(QStringLiteral("select count(*) as n from qel_mapas_itens"));
    q->open();
    const int stored = int(q->fieldByName(QStringLiteral("n"))->asInteger());
    q->close();
    vorta::Component::free(CadMapas);
    vorta::Component::free(DM_MTC);
    vorta::Component::free(DM_Comuns);
    vorta::ui::setDialogService(nullptr);
    const double rawMs = raw(rawFolder);

    std::printf("animals stored by the register: %d of %d (messages %d)\n", stored, kMaps * kAnimals,
                answers.messages);
    std::printf("%-44s %10.1f ms\n", "  of which importing", fases[0]);
    std::printf("%-44s %10.1f ms\n", "  of which saving", fases[1]);
    std::printf("%-44s %10.1f ms\n", "map register: import 20 x 500 and save", layer);
    std::printf("%-44s %10.1f ms\n", "raw engine: same rows, 1 transaction a map", rawMs);
    std::printf("ratio %.2f\n", rawMs > 0 ? layer / rawMs : 0.0);
    return stored == kMaps * kAnimals ? 0 : 1;
}
