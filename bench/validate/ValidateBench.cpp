// Validates one movement of 1,000 maps of 30 animals each, and reads the same rows
// (movement, declarant, the month's maps, each map's animals and invoices) with the raw
// engine in the same run. The last line is "ratio R": validation time over raw time.

#include "DmValidar.h"
#include "UDM_MTC.h"
#include "UValidar.h"
#include "Ufuncoes.h"

#include "platform/db/Database.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "testing/TempInstallation.h"

#include <QElapsedTimer>

#include <sqlite3.h>

#include <cstdio>

namespace {

constexpr int kMapas = 1000;
constexpr int kAnimais = 30;

QString registro()
{
    for (int d = 0; d <= 9; ++d) {
        const QString ie = QStringLiteral("28123456") + QString::number(d);
        if (ChkINSC(ie.mid(2)))
            return ie;
    }
    return {};
}

void semeia(vorta::db::Database* db, const QString& ie)
{
    db->startTransaction();
    db->execute(QStringLiteral("insert into Municipio (Mun_Codigo, Mun_Descricao, Mun_UF, Mun_CEPInicial, Mun_CEPFinal) "
                               "values (1, 'Palmas', 'TO', '77000000', '77299999')"));
    db->execute(QStringLiteral(
                    "insert into Contribuinte (Con_IECNPJCPF, Con_Tipo, Con_Nome, Con_NomePropr, End_CPF, Con_DDDFone, "
                    "Con_Fone, TipLog_CodigoEstab, Con_LogradouroEstab, Con_NumeroEstab, Tip_Bai_CodigoEstab, "
                    "Con_BairroEstab, Mun_Propriedade, Con_UFEstab, Con_CEPEstab, Mun_Endereco, Con_UF, Con_CEP) "
                    "values (?1, 'IE', 'Frigorifico', 'Frigo', '11222333000181', '63', '32151234', 'RUA', 'Um', '10', "
                    "'BAI', 'Centro', 1, 'TO', '77000100', 1, 'TO', '77000200')"),
                {ie});
    db->execute(QStringLiteral("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, "
                               "mov_mes_referencia, mov_tipo, mov_situacao, mov_responsavel) "
                               "values (1, ?1, 2026, 12, 'N', '?', 'Fulano')"),
                {ie});
    for (int m = 1; m <= kMapas; ++m) {
        db->execute(QStringLiteral("insert into qel_mapas (map_codigo, con_iecnpjcpf, map_data, ie_pecuarista, "
                                   "Aprovado, map_num_lote, Tec_Codigo) values (?1, ?2, ?3, '285000001', 'M', '01/01', 1)"),
                    {m, ie, QDateTime(QDate(2026, 12, 1 + m % 28), QTime(0, 0))});
        for (int a = 1; a <= kAnimais; ++a)
            db->execute(QStringLiteral("insert into qel_mapas_itens (map_codigo, itm_num_animal, tip_codigo, "
                                       "itm_classificado, aca_codigo, mat_codigo, itm_peso, con_codigo) "
                                       "values (?1, ?2, 'B', 'S', 3, 'JD', ?3, 'C')"),
                        {m, a, 200.0 + a});
        db->execute(QStringLiteral("insert into Qel_NotasMapa (map_codigo, mn_nro_nota_fiscal) values (?1, ?2)"),
                    {m, QString::number(m)});
    }
    db->commit();
}

// Every column of every row, as the validation's queries read them.
qint64 leTudo(sqlite3* db, const char* sql, const QByteArray& text, qint64 number = -1)
{
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
    if (!text.isEmpty())
        sqlite3_bind_text(s, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    if (number >= 0)
        sqlite3_bind_int64(s, text.isEmpty() ? 1 : 2, number);
    qint64 n = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(s); ++c)
            if (sqlite3_column_type(s, c) == SQLITE_TEXT)
                n += sqlite3_column_bytes(s, c);
            else
                n += sqlite3_column_int64(s, c);
        ++n;
    }
    sqlite3_finalize(s);
    return n;
}

double cru(const QString& file, const QString& ie)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const QByteArray i = ie.toUtf8();
    QElapsedTimer t;
    t.start();
    qint64 soma = leTudo(db, "select * from Contribuinte where Con_IECNPJCPF = ?1", i);
    soma += leTudo(db, "select * from qel_movimento where mov_codigo = ?1", {}, 1);
    soma += leTudo(db, "select * from Municipio where Mun_Codigo = ?1", {}, 1);
    sqlite3_stmt* mapas = nullptr;
    sqlite3_prepare_v2(db,
                       "select * from qel_mapas where con_iecnpjcpf = ?1 and cast(strftime('%m', map_data) as integer) = 12 "
                       "and cast(strftime('%Y', map_data) as integer) = 2026",
                       -1, &mapas, nullptr);
    sqlite3_bind_text(mapas, 1, i.constData(), int(i.size()), SQLITE_TRANSIENT);
    while (sqlite3_step(mapas) == SQLITE_ROW) {
        const qint64 codigo = sqlite3_column_int64(mapas, 0);
        soma += leTudo(db, "select * from qel_mapas_itens where map_codigo = ?1", {}, codigo);
        soma += leTudo(db, "select * from qel_NotasMapa where map_codigo = ?1", {}, codigo);
    }
    sqlite3_finalize(mapas);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    sqlite3_close(db);
    std::fprintf(stderr, "(raw checksum %lld)\n", static_cast<long long>(soma));
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    vorta::Application app(argc, argv);
    vorta::testing::TempInstallation inst;
    inst.installDatabase();
    vorta::ui::createForm(DM_MTC);
    const QString ie = registro();
    semeia(DM_MTC->dbMTC, ie);
    vorta::createInto<TDm_Validar>(Dm_Validar, &app, DM_MTC->dbMTC);
    TValidar* v = vorta::createInto<TValidar>(Validar, &app);
    v->Selecionados = {{1, ie, QStringLiteral("2026"), QStringLiteral("12"), QStringLiteral("N"), QStringLiteral("?")}};

    QElapsedTimer t;
    t.start();
    v->ValidaMovimento();
    const double camada = double(t.nsecsElapsed()) / 1e6;
    if (v->MovimentosVerificados != 1 || v->TotalErros != 0) {
        std::fprintf(stderr, "unexpected result: %d checked, %d errors\n", v->MovimentosVerificados, v->TotalErros);
        return 1;
    }
    const double raw = cru(inst.folder(QStringLiteral("dados")) + QStringLiteral("vorta.db"), ie);
    vorta::Component::free(Validar.get());
    vorta::Component::free(Dm_Validar.get());
    vorta::Component::free(DM_MTC.get());

    std::printf("maps %d, animals per map %d\n", kMapas, kAnimais);
    std::printf("validation %.1f ms (target under 1000 ms)\n", camada);
    std::printf("raw engine %.1f ms\n", raw);
    std::printf("ratio %.2f\n", raw > 0 ? camada / raw : 0.0);
    return camada < 1000.0 ? 0 : 2;
}
