#include "UResumoMapa.h"

#include "UDM_MTC.h"
#include "Ufuncoes.h"

#include "platform/core/Exceptions.h"
#include "platform/ui/Dialogs.h"

#include <QVarLengthArray>

#include <sqlite3.h>

#include <algorithm>

using vorta::Money;
using namespace vorta::db;

namespace {

// Kilograms of carcass in one arroba.
constexpr int kKgPorArroba = 15;

// Whether the rows of the animals' table are the map's rows as stored, read the way
// its walk reads them: nothing but the map's range filters them, nothing is kept
// unstored, and no event of the table would see the walk.
bool leAnimaisDoBanco(Table* items)
{
    return items->state() == DataSetState::Browse && !items->filtered() && !items->cachedUpdates() &&
           !items->BeforeScroll && !items->AfterScroll && !items->OnCalcFields &&
           items->fieldByName(QStringLiteral("mat_codigo"))->dataType() == FieldType::String &&
           items->fieldByName(QStringLiteral("itm_classificado"))->dataType() == FieldType::String &&
           items->fieldByName(QStringLiteral("itm_peso"))->dataType() == FieldType::Float;
}

} // namespace

TResumoMapa::TResumoMapa(TDM_MTC* dm) : m_dm(dm) {}

TLinhaResumo* TResumoMapa::Linha(const QString& code)
{
    const QString c = code.trimmed().toUpper();
    struct Entry {
        const char* code;
        TLinhaResumo* row;
    };
    const Entry rows[] = {{"JD", &JD},   {"J2", &J2},   {"J4", &J4},   {"TD", &TD},
                          {"T2", &T2},   {"JFD", &JFD}, {"JF2", &JF2}, {"JF4", &JF4}};
    for (const Entry& e : rows)
        if (c == QLatin1String(e.code))
            return e.row;
    return nullptr;
}

bool TResumoMapa::VerificaMovimento(const QDate& date)
{
    // Asked twice a save: one statement kept prepared.
    static const QString sql = QStringLiteral("select 1 from qel_movimento where con_iecnpjcpf = ?1 and "
                                              "mov_ano_referencia = ?2 and mov_mes_referencia = ?3 limit 1");
    const QString slaughterhouse =
        m_dm->QryContribuinte->active() ? m_dm->QryContribuinte->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString()
                                        : QString();
    Connection& c = *m_dm->dbMTC->connection();
    sqlite3_stmt* st = c.prepare(sql);
    StatementReset reset(st);
    bindValue(st, 1, slaughterhouse);
    sqlite3_bind_int64(st, 2, date.isValid() ? date.year() : 0);
    sqlite3_bind_int64(st, 3, date.isValid() ? date.month() : 0);
    const int rc = sqlite3_step(st);
    c.check(rc, sql);
    return rc == SQLITE_ROW;
}

void TResumoMapa::CarregaParametros()
{
    Query* q = m_dm->QryParametros;
    q->close();
    q->open();
    const Money dl = q->fieldByName(QStringLiteral("par_perc_incentivo_dl"))->asMoney();
    const Money d2 = q->fieldByName(QStringLiteral("par_perc_incentivo_2d"))->asMoney();
    const Money d4 = q->fieldByName(QStringLiteral("par_perc_incentivo_4d"))->asMoney();
    JD.Incentivo = TD.Incentivo = JFD.Incentivo = dl;
    J2.Incentivo = T2.Incentivo = JF2.Incentivo = d2;
    J4.Incentivo = JF4.Incentivo = d4;
    DbEdit_Icms = q->fieldByName(QStringLiteral("par_perc_icms"))->asMoney();
    q->close();
}

void TResumoMapa::CarregaParametrosMensais(const QDate& date)
{
    Query* q = m_dm->QryParametrosMensais;
    q->close();
    q->setSql(QStringLiteral("select * from qel_parametros_mensais where pam_ano=:vano and pam_mes=:vmes"));
    q->paramByName(QStringLiteral("vano"))->setAsInteger(date.isValid() ? date.year() : 0);
    q->paramByName(QStringLiteral("vmes"))->setAsInteger(date.isValid() ? date.month() : 0);
    q->open();
    if (!q->isEmpty()) {
        dbedit_valorArrobaMPauta = q->fieldByName(QStringLiteral("pam_vlr_arr_macho"))->asMoney();
        dbedit_valorArrobaFPauta = q->fieldByName(QStringLiteral("pam_vlr_arr_femea"))->asMoney();
        if (dbEdit_VlrArrobaMacho.isZero())
            dbEdit_VlrArrobaMacho = dbedit_valorArrobaMPauta;
        if (dbEdit_VlrArrobaFemea.isZero())
            dbEdit_VlrArrobaFemea = dbedit_valorArrobaFPauta;
    }
    q->close();
}

void TResumoMapa::LimpaCampos()
{
    for (TLinhaResumo* row : {&JD, &J2, &J4, &TD, &T2, &JFD, &JF2, &JF4}) {
        const Money percent = row->Incentivo;
        *row = TLinhaResumo();
        row->Incentivo = percent;
    }
    TotIncentivo67 = TotIncentivo50 = TotIncentivo33 = TotIncentivoTotal = Money();
    TotalQtdGeral = 0;
    dbedit_valorArrobaMPauta = dbedit_valorArrobaFPauta = Money();
    recm1 = recm2 = recm3 = recm4 = recm5 = recm6 = recmtotal = 0;
    recf1 = recf2 = recf3 = recf4 = recftotal = 0;
}

void TResumoMapa::Totaliza()
{
    m_contagem.valida = false;
    Table* items = m_dm->TblMapasItens;
    if (!items->active())
        return;
    const QDate date = m_dm->TblMapas->fieldByName(QStringLiteral("map_data"))->asDate();
    if (!VerificaMovimento(date)) {
        MsgErroBD(1669);
        vorta::Abort();
    }
    LimpaCampos();
    CarregaParametrosMensais(date);
    const Money valueM = vorta::min(dbEdit_VlrArrobaMacho, dbedit_valorArrobaMPauta);
    const Money valueF = vorta::min(dbEdit_VlrArrobaFemea, dbedit_valorArrobaFPauta);

    // The grid does not follow the walk through the animals.
    items->disableControls();
    struct Enable {
        Table* t;
        ~Enable() { t->enableControls(); }
    } enable{items};
    // Where an animal of a maturity and classification counts: a class's row (its
    // weight read only then), a counter of animals not classified, or nowhere.
    struct Destino {
        TLinhaResumo* row = nullptr;
        bool female = false;
        int* counter = nullptr;
    };
    auto destino = [&](const QString& maturity, const QString& classified) {
        Destino d;
        if (classified == QLatin1String("S")) {
            d.row = Linha(maturity);
            d.female = maturity.startsWith(QLatin1String("JF"));
        } else if (classified == QLatin1String("N")) {
            struct Counter {
                const char* code;
                int* counter;
            };
            const Counter counters[] = {{"JD", &recm1}, {"J2", &recm2}, {"J4", &recm2}, {"TD", &recm3},
                                        {"T2", &recm4}, {"T4", &recm4}, {"I", &recm5},  {"A", &recm6},
                                        {"JFD", &recf1}, {"JF2", &recf2}, {"JF4", &recf2}, {"IF", &recf3},
                                        {"AF", &recf4}};
            for (const Counter& c : counters)
                if (maturity == QLatin1String(c.code))
                    d.counter = c.counter;
        }
        return d;
    };
    // A class's figures follow from its weight alone: worked out once its animals are in.
    QVarLengthArray<std::pair<TLinhaResumo*, bool>, 8> classes;
    auto conta = [&](const Destino& d, auto weight) {
        if (d.row) {
            if (std::none_of(classes.begin(), classes.end(), [&](const auto& c) { return c.first == d.row; }))
                classes.append({d.row, d.female});
            d.row->Qtd += 1;
            d.row->Peso += weight();
        } else if (d.counter) {
            ++*d.counter;
        }
    };
    // Posts an animal being typed, as any move does.
    items->first();
    Field* maturity = items->fieldByName(QStringLiteral("mat_codigo"));
    Field* classified = items->fieldByName(QStringLiteral("itm_classificado"));
    Field* weight = items->fieldByName(QStringLiteral("itm_peso"));
    if (!items->eof() && leAnimaisDoBanco(items)) {
        // The animals shown are the map's rows: read in one pass, without loading each
        // into the table's record; the table's cursor ends where the walk would leave it.
        Connection& c = *m_dm->dbMTC->connection();
        Field* code = m_dm->TblMapas->fieldByName(QStringLiteral("map_codigo"));
        // Taken before the walk: a write during it leaves the count unused.
        Contagem contagem{!code->isNull(), int(code->asInteger()), 0, 0, {}};
        if (contagem.valida) {
            static const QStringList itens{QStringLiteral("qel_mapas_itens")};
            contagem.carimbo = c.keyStamps(itens, QStringLiteral("map_codigo"), contagem.mapa).front();
        }
        sqlite3_stmt* st = c.prepare(QStringLiteral(
            "select mat_codigo, itm_classificado, itm_peso from qel_mapas_itens where map_codigo = ?1"));
        StatementReset reset(st);
        bindValue(st, 1, code->value());
        // The codes of a map are few: each stored pair of texts is worked out once.
        struct Visto {
            QByteArray maturity;
            QByteArray classified;
            int types[2];
            Destino d;
            // The stored text is "S" exactly, as the list's count compares it.
            bool textoS;
        };
        QVarLengthArray<Visto, 16> vistos;
        auto texto = [&](int col, int& type) {
            type = sqlite3_column_type(st, col);
            return QByteArrayView(reinterpret_cast<const char*>(sqlite3_column_text(st, col)), sqlite3_column_bytes(st, col));
        };
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            int typeM = 0;
            int typeK = 0;
            const QByteArrayView m = texto(0, typeM);
            const QByteArrayView k = texto(1, typeK);
            const Visto* v = nullptr;
            for (const Visto& x : vistos)
                if (x.types[0] == typeM && x.types[1] == typeK && x.maturity == m && x.classified == k) {
                    v = &x;
                    break;
                }
            if (!v) {
                const QVariant mv = columnValue(st, 0, maturity->dataType());
                const QVariant kv = columnValue(st, 1, classified->dataType());
                vistos.append(Visto{m.toByteArray(), k.toByteArray(), {typeM, typeK},
                                    destino(mv.isNull() ? QString() : mv.toString().trimmed().toUpper(),
                                            kv.isNull() ? QString() : kv.toString().toUpper()),
                                    typeK == SQLITE_TEXT && k == QByteArrayView("S")});
                v = &vistos.back();
            }
            ++contagem.animais;
            contagem.classificados += v->textoS ? 1 : 0;
            // A float column, as checked above.
            conta(v->d, [&] {
                return sqlite3_column_type(st, 2) == SQLITE_NULL ? Money() : Money::fromDouble(sqlite3_column_double(st, 2));
            });
        }
        c.check(rc, QStringLiteral("qel_mapas_itens"));
        m_contagem = contagem;
        items->last();
    } else {
        while (!items->eof()) {
            conta(destino(maturity->asString().trimmed().toUpper(), classified->asString().toUpper()),
                  [&] { return weight->asMoney(); });
            items->next();
        }
    }
    for (const auto& [row, female] : classes) {
        row->QtdArr = row->Peso.dividedBy(kKgPorArroba);
        row->ValorArr = female ? valueF : valueM;
        row->BaseCalc = row->QtdArr.times(row->ValorArr);
        row->Icms = row->BaseCalc.percent(DbEdit_Icms);
        row->VlrRepasse = row->Icms.percent(row->Incentivo);
    }

    TotIncentivo67 = JD.VlrRepasse + TD.VlrRepasse + JFD.VlrRepasse;
    TotIncentivo50 = J2.VlrRepasse + T2.VlrRepasse + JF2.VlrRepasse;
    TotIncentivo33 = J4.VlrRepasse + JF4.VlrRepasse;
    TotIncentivoTotal = TotIncentivo67 + TotIncentivo50 + TotIncentivo33;

    auto sum = [](std::initializer_list<const TLinhaResumo*> rows, TLinhaResumo& total, Money value) {
        total = TLinhaResumo();
        for (const TLinhaResumo* r : rows) {
            total.Qtd += r->Qtd;
            total.Peso += r->Peso;
            total.QtdArr += r->QtdArr;
            total.BaseCalc += r->BaseCalc;
            total.Icms += r->Icms;
            total.VlrRepasse += r->VlrRepasse;
        }
        total.ValorArr = value;
    };
    sum({&JD, &J2, &J4, &TD, &T2}, TotalM, valueM);
    sum({&JFD, &JF2, &JF4}, TotalF, valueF);
    TotalQtdGeral = TotalM.Qtd + TotalF.Qtd;
    recmtotal = recm1 + recm2 + recm3 + recm4 + recm5 + recm6;
    recftotal = recf1 + recf2 + recf3 + recf4;

    // At least half of the animals classified, compared exactly.
    const qint64 all = qint64(TotalQtdGeral) + recmtotal + recftotal;
    const bool earns = all >= 1 && 2 * qint64(TotalQtdGeral) >= all;
    paprovado = !earns;
    if (!earns)
        TotIncentivo67 = TotIncentivo50 = TotIncentivo33 = TotIncentivoTotal = Money();
}

void TResumoMapa::CarregaResumo()
{
    Table* summary = m_dm->TblMapasResumo;
    if (summary->active())
        summary->refresh();
    else
        summary->open();
    summary->first();
    while (!summary->eof()) {
        if (TLinhaResumo* row = Linha(summary->fieldByName(QStringLiteral("Mat_Codigo"))->asString())) {
            row->Qtd = int(summary->fieldByName(QStringLiteral("mre_qtd_cabecas"))->asInteger());
            row->Peso = summary->fieldByName(QStringLiteral("mre_peso_kg"))->asMoney();
            row->QtdArr = summary->fieldByName(QStringLiteral("mre_qtd_arroba"))->asMoney();
            row->ValorArr = summary->fieldByName(QStringLiteral("mre_vlr_arroba"))->asMoney();
            row->BaseCalc = summary->fieldByName(QStringLiteral("mre_base_calc_icms"))->asMoney();
            row->Icms = summary->fieldByName(QStringLiteral("mre_icms"))->asMoney();
            row->Incentivo = summary->fieldByName(QStringLiteral("mre_perc_incentivo"))->asMoney();
            row->VlrRepasse = summary->fieldByName(QStringLiteral("mre_vlr_repasse"))->asMoney();
        }
        summary->next();
    }
    Table* map = m_dm->TblMapas;
    DbEdit_Icms = map->fieldByName(QStringLiteral("map_vlr_icms"))->asMoney();
    dbEdit_VlrArrobaMacho = map->fieldByName(QStringLiteral("map_vlr_arrobaM"))->asMoney();
    dbEdit_VlrArrobaFemea = map->fieldByName(QStringLiteral("map_vlr_arrobaF"))->asMoney();
    const QDate date = map->fieldByName(QStringLiteral("map_data"))->asDate();
    Query* q = m_dm->QryParametrosMensais;
    q->close();
    q->setSql(QStringLiteral("select * from qel_parametros_mensais where pam_ano = :vano and pam_mes = :vmes"));
    q->paramByName(QStringLiteral("vano"))->setAsInteger(date.isValid() ? date.year() : 0);
    q->paramByName(QStringLiteral("vmes"))->setAsInteger(date.isValid() ? date.month() : 0);
    q->open();
    dbedit_valorArrobaMPauta = q->isEmpty() ? Money() : q->fieldByName(QStringLiteral("pam_vlr_arr_macho"))->asMoney();
    dbedit_valorArrobaFPauta = q->isEmpty() ? Money() : q->fieldByName(QStringLiteral("pam_vlr_arr_femea"))->asMoney();
    q->close();
    Totaliza();
}

void TResumoMapa::InsereResumo(const QString& code, int heads, Money weight, Money arrobas, Money valuePerArroba,
                               Money base, Money icms, Money percent, Money passedOn, int rejected)
{
    // Twelve rows a save: one statement kept prepared, amounts bound as a float column stores them.
    static const QString sql = QStringLiteral(
        "insert into Qel_Mapas_Resumo(Map_Codigo,Mat_Codigo,Mre_Qtd_Cabecas,Mre_Peso_Kg,Mre_Qtd_Arroba,"
        "Mre_Vlr_Arroba,Mre_Base_Calc_Icms,Mre_icms,Mre_Perc_Incentivo,Mre_Vlr_Repasse,Mre_Qtd_reprovada) "
        "values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
    Connection& c = *m_dm->dbMTC->connection();
    sqlite3_stmt* st = c.prepare(sql);
    StatementReset reset(st);
    const QVariant values[] = {
        m_dm->TblMapas->fieldByName(QStringLiteral("map_codigo"))->asInteger(),
        code,
        qint64(heads),
        weight.toDouble(),
        arrobas.toDouble(),
        valuePerArroba.toDouble(),
        base.toDouble(),
        icms.toDouble(),
        percent.toDouble(),
        passedOn.toDouble(),
        qint64(rejected),
    };
    for (int i = 0; i < int(std::size(values)); ++i)
        bindValue(st, i + 1, values[i]);
    c.check(sqlite3_step(st), sql);
}

void TResumoMapa::recusa(TCampo campo)
{
    if (OnRecusa)
        OnRecusa(campo);
    vorta::Abort();
}

void TResumoMapa::Gravar()
{
    Table* map = m_dm->TblMapas;
    Totaliza();
    const QDate date = map->fieldByName(QStringLiteral("map_data"))->asDate();
    if (!VerificaMovimento(date)) {
        MsgErroBD(1669);
        recusa(TCampo::Data);
    }
    const QString sex = map->fieldByName(QStringLiteral("Aprovado"))->asString();
    if (m_dm->VerificaMapaDia(map->fieldByName(QStringLiteral("ie_pecuarista"))->asString(), sex, date)) {
        MsgErroBD(1723);
        recusa(TCampo::Data);
    }
    if (sex.isEmpty()) {
        MsgErroBD(1725);
        recusa(TCampo::Sexo);
    }
    if (map->fieldByName(QStringLiteral("map_num_lote"))->asString().isEmpty()) {
        MsgErroBD(1677);
        recusa(TCampo::Lote);
    }
    Table* complement = m_dm->TblContribuinteComplementoMapas;
    if (!complement->active() || complement->fieldByName(QStringLiteral("cco_num_cad_pradel"))->asString().isEmpty()) {
        MsgErroBD(1722);
        recusa(TCampo::CadastroPrograma);
    }
    if (map->fieldByName(QStringLiteral("Tec_Codigo"))->isNull()) {
        vorta::ui::showPlainMessage(QStringLiteral("Informe o Médico Veterinário"));
        recusa(TCampo::Veterinario);
    }

    paprovado = false;
    Query* q = m_dm->QryGeral;
    q->close();
    q->setSql(QStringLiteral("delete from qel_mapas_resumo where map_codigo = :vmapcodigo"));
    q->paramByName(QStringLiteral("vmapcodigo"))->setAsInteger(map->fieldByName(QStringLiteral("map_codigo"))->asInteger());
    q->execSql();

    if (map->state() == DataSetState::Browse)
        map->edit();
    {
        // A map being inserted has no list figures yet and its looked-up fields follow
        // the raiser alone: these values change none of them, so they are not worked
        // out again until the post.
        struct Calcula {
            Table* t;
            bool before;
            ~Calcula() { t->autoCalcFields = before; }
        } calcula{map, map->autoCalcFields};
        if (map->state() == DataSetState::Insert)
            map->autoCalcFields = false;
        map->fieldByName(QStringLiteral("map_vlr_icms"))->setAsMoney(DbEdit_Icms);
        map->fieldByName(QStringLiteral("map_vlr_arrobaM"))->setAsMoney(dbEdit_VlrArrobaMacho);
        map->fieldByName(QStringLiteral("map_vlr_arrobaF"))->setAsMoney(dbEdit_VlrArrobaFemea);
    }

    auto row = [this](const char* code, const TLinhaResumo& r, int rejected) {
        InsereResumo(QString::fromLatin1(code), r.Qtd, r.Peso, r.QtdArr, r.ValorArr, r.BaseCalc, r.Icms, r.Incentivo,
                     r.VlrRepasse, rejected);
    };
    auto heads = [this](const char* code, int count) {
        InsereResumo(QString::fromLatin1(code), count, Money(), Money(), Money(), Money(), Money(), Money(), Money(),
                     count);
    };
    row("JD", JD, recm1);
    row("J2", J2, recm2);
    row("J4", J4, 0);
    row("TD", TD, recm3);
    row("T2", T2, recm4);
    row("JFD", JFD, recf1);
    row("JF2", JF2, recf2);
    row("JF4", JF4, 0);
    heads("I", recm5);
    heads("A", recm6);
    heads("IF", recf3);
    heads("AF", recf4);

    if (complement->state() == DataSetState::Edit || complement->state() == DataSetState::Insert)
        complement->post();
    // The list shows the saved map's figures: its animals as the totals just counted them.
    if (m_contagem.valida && m_contagem.mapa == map->fieldByName(QStringLiteral("map_codigo"))->asInteger())
        m_dm->contagem(m_contagem.mapa, m_contagem.animais, m_contagem.classificados, m_contagem.carimbo);
    map->post();
    if (m_dm->dbMTC->inTransaction())
        m_dm->dbMTC->commit(true);
}
