#include "UDM_MTC.h"

#include "DialogsX.h"
#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/core/Clock.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Money.h"
#include "platform/ui/Controls.h"

#include <QTime>

#include <sqlite3.h>

using namespace vorta::db;

vorta::Guarded<TDM_MTC> DM_MTC;
bool AlterandoMapa = false;

namespace {

const QStringList kMaturidadesMacho{"A", "I", "JD", "J2", "J4", "TD", "T2", "T4"};
const QStringList kMaturidadesFemea{"AF", "IF", "JFD", "JF2", "JF4"};
const QStringList kClassificaveisMacho{"JD", "J2", "J4", "TD", "T2"};
const QStringList kClassificaveisFemea{"JFD", "JF2", "JF4"};
const QStringList kTipificacoes{"B", "R", "A", "S", "I", "L"};
const QStringList kAcabamentos{"1", "2", "3", "4", "5"};
const QStringList kConformacoes{"*", "C", "CO", "RE", "SC", "SR"};
const QStringList kAcabamentosClassificaveis{"2", "3", "4"};
const QStringList kConformacoesClassificaveis{"C", "SC", "RE"};

// Whether QString::toUpper could change the text: any lower-case ASCII letter or any
// letter beyond ASCII.
bool podeMudarEmMaiusculas(QStringView text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x80 || (c.unicode() >= u'a' && c.unicode() <= u'z'))
            return true;
    return false;
}

// QStringView::trimmed, with the common untouched ends seen without the call.
QStringView aparado(QStringView text)
{
    auto plain = [](QChar c) { return c.unicode() > u' ' && c.unicode() < 0x7f; };
    if (text.isEmpty() || (plain(text.front()) && plain(text.back())))
        return text;
    return text.trimmed();
}

// A refused value: the fixed text in the information dialog, then the silent abort.
[[noreturn]] void recusa(const QString& text)
{
    MessageDlg(text, mtInformation, TMsgDlgButtons{mbOK}, 0);
    vorta::Abort();
}

template <class T>
T* named(T* component, const char* name)
{
    component->setName(QString::fromLatin1(name));
    return component;
}

} // namespace

TDM_MTC::TDM_MTC(vorta::Component* owner) : vorta::ui::DataModule(owner)
{
    setName(QStringLiteral("DM_MTC"));
    dbMTC = named(new Database(this), "dbMTC");
    dbMTC->setDatabaseName(QStringLiteral("dbMTC"));

    auto table = [this](const char* name, const char* tableName) {
        auto* t = named(new Table(this), name);
        t->setDatabase(dbMTC);
        t->setTableName(QString::fromLatin1(tableName));
        return t;
    };
    auto query = [this](const char* name, const QString& sql) {
        auto* q = named(new Query(this), name);
        q->setDatabase(dbMTC);
        if (!sql.isEmpty())
            q->setSql(sql);
        return q;
    };
    auto source = [this](const char* name, DataSet* dataSet, bool autoEdit = true) {
        auto* s = named(new DataSource(this), name);
        s->setDataSet(dataSet);
        s->setAutoEdit(autoEdit);
        return s;
    };

    QryContribuinte = query("QryContribuinte",
        QStringLiteral("Select Con_IECNPJCPF, Con_Nome, Con_NomePropr, M.Mun_Descricao From Contribuinte C, Municipio M "
                       "Where C.Con_IECNPJCPF > '280000000' and C.Con_IECNPJCPF < '285000000' and C.con_tipo = 'IE' "
                       "and not (C.Con_NomePropr is null) and C.Mun_Endereco = M.Mun_Codigo order by Con_IECNPJCPF"));
    DsQryContribuinte = source("DsQryContribuinte", QryContribuinte);
    QryGeral = query("QryGeral", QString());
    dsGeral = source("dsGeral", QryGeral);
    qryaux = query("qryaux", QString());
    QryParametros = query("QryParametros", QStringLiteral("Select * from Qel_Parametros"));
    QryParametrosMensais = query("QryParametrosMensais", QString());

    TblContribuinte = table("TblContribuinte", "Contribuinte");
    DsContribuinte = source("DsContribuinte", TblContribuinte, false);
    TblTipoLogr = table("TblTipoLogr", "Logradouro");
    DsTipoLogr = source("DsTipoLogr", TblTipoLogr);
    TblTipoBairr = table("TblTipoBairr", "Bairro");
    DsTipoBairr = source("DsTipoBairr", TblTipoBairr);
    TblResp = table("TblResp", "Responsavel");
    DsResp = source("DsResp", TblResp);
    TblRespEmpresa = table("TblRespEmpresa", "RespEmpresa");
    DsRespEmpresa = source("DsRespEmpresa", TblRespEmpresa);
    TblMunicipio = table("TblMunicipio", "Municipio");
    DsMunicipio = source("DsMunicipio", TblMunicipio);
    TblEntrega = table("TblEntrega", "Entrega");

    TblMTC = table("TblMTC", "qel_movimento");
    dsMTC = source("dsMTC", TblMTC);
    TblContribuinteMTC = table("TblContribuinteMTC", "Contribuinte");
    TblContribuinteMTC->setIndexFieldNames(QStringLiteral("Con_IECNPJCPF"));
    TblContribuinteMTC->setMasterSource(dsMTC);
    TblContribuinteMTC->setMasterFields(QStringLiteral("con_iecnpjcpf"));
    DsContribuinteMTC = source("DsContribuinteMTC", TblContribuinteMTC);
    TblContribuinteComplemento = table("TblContribuinteComplemento", "Qel_Contribuinte_Complemento");
    TblContribuinteComplemento->setMasterSource(DsContribuinteMTC);
    TblContribuinteComplemento->setMasterFields(QStringLiteral("Con_IECNPJCPF"));
    TblContribuinteComplemento->setDetailFields(QStringLiteral("con_iecnpjcpf"));
    dsContribuinteComplemento = source("dsContribuinteComplemento", TblContribuinteComplemento);

    TblMapas = table("TblMapas", "qel_mapas");
    TblMapas->setIndexName(QStringLiteral("iecontribuinte"));
    TblMapas->setMasterSource(DsQryContribuinte);
    TblMapas->setMasterFields(QStringLiteral("Con_IECNPJCPF"));
    TblMapas->setDetailFields(QStringLiteral("con_iecnpjcpf"));
    dsMapas = source("dsMapas", TblMapas, false);
    TblMapasItens = table("TblMapasItens", "qel_mapas_itens");
    TblMapasItens->setIndexFieldNames(QStringLiteral("map_codigo"));
    TblMapasItens->setMasterSource(dsMapas);
    TblMapasItens->setMasterFields(QStringLiteral("map_codigo"));
    dsItensMapas = source("dsItensMapas", TblMapasItens);
    TblMapasResumo = table("TblMapasResumo", "Qel_Mapas_Resumo");
    TblMapasResumo->setIndexFieldNames(QStringLiteral("map_codigo"));
    TblMapasResumo->setMasterSource(dsMapas);
    TblMapasResumo->setMasterFields(QStringLiteral("map_codigo"));
    TblContribuinteComplementoMapas = table("TblContribuinteComplementoMapas", "Qel_Contribuinte_Complemento");
    TblContribuinteComplementoMapas->setMasterSource(dsMapas);
    TblContribuinteComplementoMapas->setMasterFields(QStringLiteral("ie_pecuarista"));
    TblContribuinteComplementoMapas->setDetailFields(QStringLiteral("con_iecnpjcpf"));
    dsContribuinteComplementoMapas = source("dsContribuinteComplementoMapas", TblContribuinteComplementoMapas);

    TblTecnicos = table("TblTecnicos", "Qel_Tecnico");
    TblTecnicos->setReadOnly(true);
    dsTecnicos = source("dsTecnicos", TblTecnicos, false);

    TblMaturidade = table("TblMaturidade", "qel_maturidade");
    TblConformacao = table("TblConformacao", "qel_conformacao");
    TblAcabamento = table("TblAcabamento", "qel_acabamento");
    TblTipificacao = table("TblTipificacao", "qel_tipificacao");
    for (Table* t : {TblMaturidade, TblConformacao, TblAcabamento, TblTipificacao})
        t->setReadOnly(true);

    qRelMapas = query("qRelMapas",
        QStringLiteral("select n.*,t.tec_nome from qel_mapas n, qel_tecnico t where n.tec_codigo = t.tec_codigo"));
    dsRelMapas = source("dsRelMapas", qRelMapas);
    qRelMapasItens = query("qRelMapasItens",
        QStringLiteral("select * from qel_mapas_itens where map_codigo = :map_codigo order by itm_num_animal"));
    qRelMapasItens->setDataSource(dsRelMapas);

    declareFields();
    // Declared fields stay for the life of their dataset.
    m_mapa = {TblMapas->fieldByName(QStringLiteral("map_codigo")), TblMapas->fieldByName(QStringLiteral("Aprovado")),
              TblMapas->fieldByName(QStringLiteral("ie_pecuarista")), TblMapas->fieldByName(QStringLiteral("map_data"))};
    auto item = [this](const char* name) { return TblMapasItens->fieldByName(QString::fromLatin1(name)); };
    m_item = {item("itm_num_animal"), item("mat_codigo"), item("aca_codigo"), item("con_codigo"),
              item("tip_codigo"),     item("itm_peso"),   item("itm_classificado"), item("map_codigo")};

    TblMTC->OnNewRecord = [this](DataSet& ds) { TblMTCNewRecord(ds); };
    TblMTC->OnPostError = [this](DataSet& ds, EDatabaseError& e, DataAction& a) { TblMTCPostError(ds, e, a); };
    TblMapas->OnNewRecord = [this](DataSet& ds) { TblMapasNewRecord(ds); };
    TblMapas->OnCalcFields = [this](DataSet& ds) { TblMapasCalcFields(ds); };
    // A map being inserted shows no list figures until it is stored.
    TblMapas->BeforePost = [this](DataSet&) { m_inserindoMapa = false; };
    TblMapas->BeforeCancel = [this](DataSet&) { m_inserindoMapa = false; };
    // Closing drops an unfinished insert without a cancel.
    TblMapas->BeforeClose = [this](DataSet&) { m_inserindoMapa = false; };
    TblMapasItens->OnNewRecord = [this](DataSet& ds) { TblMapasItensNewRecord(ds); };
    TblMapasItens->BeforeInsert = [this](DataSet& ds) { TblMapasItensBeforeInsert(ds); };
    TblMapasItens->BeforePost = [this](DataSet& ds) { TblMapasItensBeforePost(ds); };
    TblMapasItens->AfterPost = [this](DataSet& ds) { TblMapasItensAfterPost(ds); };
    TblMapasItens->AfterDelete = [this](DataSet& ds) { TblMapasItensAfterDelete(ds); };
    // The codes' lookup tables open with the animals that show them.
    TblMapasItens->BeforeOpen = [this](DataSet&) {
        for (Table* t : {TblMaturidade, TblConformacao, TblAcabamento, TblTipificacao})
            if (!t->active())
                t->open();
    };
    TblMapasItens->fieldByName(QStringLiteral("tip_codigo"))->OnValidate = [this](Field& f) { TblMapasItenstip_codigoValidate(f); };
    TblMapasItens->fieldByName(QStringLiteral("aca_codigo"))->OnValidate = [this](Field& f) { TblMapasItensaca_codigoValidate(f); };
    TblMapasItens->fieldByName(QStringLiteral("mat_codigo"))->OnValidate = [this](Field& f) { TblMapasItensmat_codigoValidate(f); };
    TblMapasItens->fieldByName(QStringLiteral("con_codigo"))->OnValidate = [this](Field& f) { TblMapasItenscon_codigoValidate(f); };
    qRelMapasItens->OnCalcFields = [this](DataSet& ds) { qRelMapasItensCalcFields(ds); };

    OnCreate = [this](vorta::ui::DataModule*) { DataModuleCreate(); };
    OnDestroy = [this](vorta::ui::DataModule*) { DataModuleDestroy(); };
}

void TDM_MTC::declareFields()
{
    struct Def {
        const char* name;
        FieldType type;
        int size;
        bool required;
    };
    auto declare = [](DataSet* ds, std::initializer_list<Def> defs) {
        for (const Def& d : defs)
            ds->addField(QString::fromLatin1(d.name), d.type, d.size)->setRequired(d.required);
    };
    const QString money = QStringLiteral("###,###,##0.00");

    declare(TblMapas, {{"map_codigo", FieldType::Integer, 0, true},
                       {"con_iecnpjcpf", FieldType::String, 9, false},
                       {"map_data", FieldType::DateTime, 0, false},
                       {"map_num_lote", FieldType::String, 5, false},
                       {"map_vlr_icms", FieldType::Float, 0, false},
                       {"map_vlr_arrobaM", FieldType::Float, 0, false},
                       {"map_vlr_arrobaF", FieldType::Float, 0, false},
                       {"ie_pecuarista", FieldType::String, 18, false},
                       {"Tec_Codigo", FieldType::Integer, 0, false},
                       {"Aprovado", FieldType::String, 1, false}});
    TblMapas->fieldByName(QStringLiteral("map_data"))->setEditMask(QStringLiteral("!99/99/9999;1;_"));
    TblMapas->fieldByName(QStringLiteral("map_num_lote"))->setEditMask(QStringLiteral("!99/99;1;_"));
    TblMapas->addField(QStringLiteral("calcVlrTotal"), FieldType::Float, 0, FieldKind::Calculated)->setDisplayFormat(money);
    TblMapas->addField(QStringLiteral("calcQtdTotal"), FieldType::Integer, 0, FieldKind::Calculated);
    TblMapas->addField(QStringLiteral("calcqtdreprovada"), FieldType::Integer, 0, FieldKind::Calculated)
        ->setDisplayLabel(QStringLiteral("Qtd. Classificados"));
    TblMapas->addLookupField(QStringLiteral("Lk_Fornecedor"), FieldType::String, 100, QStringLiteral("ie_pecuarista"),
                             TblContribuinte, QStringLiteral("Con_IECNPJCPF"), QStringLiteral("Con_Nome"));
    TblMapas->addLookupField(QStringLiteral("Lk_FornecedorTipo"), FieldType::String, 50, QStringLiteral("ie_pecuarista"),
                             TblContribuinte, QStringLiteral("Con_IECNPJCPF"), QStringLiteral("Con_Tipo"));
    // The raiser's property from the whole taxpayer table: the movement's declarant table
    // holds only the slaughterhouse, never the raiser.
    TblMapas->addLookupField(QStringLiteral("lkFornecedorPropriedade"), FieldType::String, 60,
                             QStringLiteral("ie_pecuarista"), TblContribuinte, QStringLiteral("Con_IECNPJCPF"),
                             QStringLiteral("Con_NomePropr"));

    declare(TblMapasItens, {{"map_codigo", FieldType::Integer, 0, true},
                            {"itm_num_animal", FieldType::Integer, 0, true},
                            {"tip_codigo", FieldType::String, 1, true},
                            {"itm_classificado", FieldType::String, 1, true},
                            {"aca_codigo", FieldType::Integer, 0, true},
                            {"mat_codigo", FieldType::String, 3, true},
                            {"itm_peso", FieldType::Float, 0, true},
                            {"con_codigo", FieldType::String, 2, false}});
    TblMapasItens->addLookupField(QStringLiteral("lkMaturidade"), FieldType::String, 3, QStringLiteral("mat_codigo"),
                                  TblMaturidade, QStringLiteral("mat_codigo"), QStringLiteral("mat_codigo"));
    TblMapasItens->addLookupField(QStringLiteral("lkconformacao"), FieldType::String, 50, QStringLiteral("con_codigo"),
                                  TblConformacao, QStringLiteral("cof_codigo"), QStringLiteral("cof_codigo"));
    TblMapasItens->addLookupField(QStringLiteral("lkAcabamento"), FieldType::String, 50, QStringLiteral("aca_codigo"),
                                  TblAcabamento, QStringLiteral("aca_codigo"), QStringLiteral("aca_codigo"));
    TblMapasItens->addLookupField(QStringLiteral("lktipificacao"), FieldType::String, 3, QStringLiteral("tip_codigo"),
                                  TblTipificacao, QStringLiteral("tip_codigo"), QStringLiteral("tip_codigo"));
    // Reference tables that the module never writes: each code is looked up once, not
    // for every animal shown or posted.
    for (const char* name : {"lkMaturidade", "lkconformacao", "lkAcabamento", "lktipificacao"})
        TblMapasItens->fieldByName(QString::fromLatin1(name))->setLookupCache(true);

    declare(TblMapasResumo, {{"map_codigo", FieldType::Integer, 0, false},
                             {"mat_codigo", FieldType::String, 3, false},
                             {"mre_qtd_cabecas", FieldType::Integer, 0, false},
                             {"mre_peso_kg", FieldType::Float, 0, false},
                             {"mre_qtd_arroba", FieldType::Float, 0, false},
                             {"mre_vlr_arroba", FieldType::Float, 0, false},
                             {"mre_base_calc_icms", FieldType::Float, 0, false},
                             {"mre_icms", FieldType::Float, 0, false},
                             {"mre_perc_incentivo", FieldType::Float, 0, false},
                             {"mre_vlr_repasse", FieldType::Float, 0, false},
                             {"mre_qtd_reprovada", FieldType::Integer, 0, false}});
    for (const char* f : {"mre_peso_kg", "mre_qtd_arroba", "mre_vlr_arroba", "mre_base_calc_icms", "mre_icms",
                          "mre_perc_incentivo", "mre_vlr_repasse"})
        TblMapasResumo->fieldByName(QString::fromLatin1(f))->setDisplayFormat(money);

    declare(TblMTC, {{"mov_codigo", FieldType::Integer, 0, true},
                     {"con_iecnpjcpf", FieldType::String, 18, false},
                     {"mov_ano_referencia", FieldType::Integer, 0, false},
                     {"mov_mes_referencia", FieldType::Integer, 0, false},
                     {"mov_tipo", FieldType::String, 1, false},
                     {"mov_dt_hr_criacao", FieldType::DateTime, 0, false},
                     {"mov_situacao", FieldType::String, 1, false},
                     {"mov_dt_hr_geracao", FieldType::DateTime, 0, false},
                     {"mov_versao", FieldType::String, 10, false},
                     {"mov_responsavel", FieldType::String, 50, false}});

    declare(TblTecnicos, {{"Tec_Codigo", FieldType::Integer, 0, true},
                          {"Tec_Nome", FieldType::String, 50, false},
                          {"Tec_CPF", FieldType::String, 18, false},
                          {"Tec_Endereco", FieldType::String, 50, false},
                          {"Tec_Bairro", FieldType::String, 30, false},
                          {"Tec_CEP", FieldType::String, 10, false},
                          {"Tec_Telefone", FieldType::String, 18, false},
                          {"Tec_Celular", FieldType::String, 18, false},
                          {"Tec_Fax", FieldType::String, 18, false},
                          {"Tec_Conselho", FieldType::String, 10, false},
                          {"Tec_Nro_Conselho", FieldType::String, 10, false},
                          {"Mun_Codigo", FieldType::Integer, 0, false}});

    for (Table* t : {TblContribuinteComplemento, TblContribuinteComplementoMapas})
        declare(t, {{"con_iecnpjcpf", FieldType::String, 18, false},
                    {"cco_num_sif", FieldType::String, 20, false},
                    {"cco_num_cad_pradel", FieldType::String, 20, false}});

    TblContribuinte->addLookupField(QStringLiteral("LkTipoLogr"), FieldType::String, 15, QStringLiteral("TipLog_Codigo"),
                                    TblTipoLogr, QStringLiteral("TipLog_Codigo"), QStringLiteral("TipLog_Descricao"));

    declare(TblEntrega, {{"Sistema", FieldType::String, 10, false},
                         {"Versao", FieldType::String, 20, false},
                         {"Arquivo", FieldType::String, 15, false},
                         {"CRC", FieldType::String, 30, false},
                         {"Data_Geracao", FieldType::DateTime, 0, false},
                         {"Data_Copia", FieldType::DateTime, 0, false},
                         {"Data_Entrega", FieldType::DateTime, 0, false},
                         {"Dados_Entrega", FieldType::Memo, 0, false},
                         {"Chave", FieldType::String, 250, true},
                         {"Protocolo", FieldType::String, 250, false},
                         {"Inscricao", FieldType::String, 12, false},
                         {"Referencia", FieldType::String, 20, false},
                         {"Motivo", FieldType::String, 20, false},
                         {"Nome", FieldType::String, 40, false},
                         {"ResultadoProcessamento", FieldType::String, 250, false},
                         {"ResultadoTipo", FieldType::String, 20, false}});

    qRelMapasItens->addField(QStringLiteral("Dsc_Conformacao"), FieldType::String, 3, FieldKind::Calculated);
}

void TDM_MTC::DataModuleCreate()
{
    // The folder of the installation as it stands now.
    InicializarVariaveisGlobais();
    dbMTC->setDirectory(DirDados);
    dbMTC->open();
}

void TDM_MTC::DataModuleDestroy()
{
    dbMTC->close();
}

Field* TDM_MTC::campo(DataSet& ds, Field* declared, const char* name)
{
    return &ds == declared->dataSet() ? declared : ds.fieldByName(QString::fromLatin1(name));
}

int TDM_MTC::proximoCodigo(const QString& sql, const QVariantList& params)
{
    // Asked before every animal: the query of each text is made once and run again
    // with new values, never opened, so each answer is the database's.
    std::unique_ptr<Query>& kept = m_proximos[sql];
    if (!kept) {
        auto made = std::make_unique<Query>();
        made->setDatabase(dbMTC);
        made->setSql(sql);
        kept = std::move(made);
    }
    Query& q = *kept;
    for (int i = 0; i < params.size() && i < q.paramCount(); ++i)
        q.params(i)->setValue(params[i]);
    static const QString ultimo = QStringLiteral("UltimoCodigo");
    const qint64 last = q.firstValue(ultimo).toLongLong();
    return last > 0 ? int(last) + 1 : 1;
}

void TDM_MTC::TblMTCNewRecord(DataSet& ds)
{
    ds.fieldByName(QStringLiteral("mov_situacao"))->setAsString(QStringLiteral("?"));
    QDateTime created = vorta::now();
    created.setTime(QTime(created.time().hour(), created.time().minute(), created.time().second()));
    ds.fieldByName(QStringLiteral("mov_dt_hr_criacao"))->setAsDateTime(created);
    ds.fieldByName(QStringLiteral("mov_codigo"))
        ->setAsInteger(proximoCodigo(QStringLiteral("select max(mov_codigo)as UltimoCodigo from qel_movimento")));
}

void TDM_MTC::TblMTCPostError(DataSet&, EDatabaseError&, DataAction&)
{
    MsgErroBD(33);
    vorta::Abort();
}

void TDM_MTC::TblMapasNewRecord(DataSet& ds)
{
    if (QryContribuinte->active() && !QryContribuinte->isEmpty())
        ds.fieldByName(QStringLiteral("con_iecnpjcpf"))
            ->setAsString(QryContribuinte->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
    ds.fieldByName(QStringLiteral("map_codigo"))
        ->setAsInteger(proximoCodigo(QStringLiteral("select max(map_codigo)as UltimoCodigo from qel_mapas")));
    // Set last: a new record that fails here is dropped without a cancel.
    m_inserindoMapa = true;
}

namespace {

// The sum of the map's summary rows, held at two places as the list shows it.
vorta::Money somaDoResumo(sqlite3_stmt* st, int column)
{
    switch (sqlite3_column_type(st, column)) {
    case SQLITE_NULL: return {};
    case SQLITE_INTEGER: return vorta::Money::fromUnits(sqlite3_column_int64(st, column));
    default: return vorta::Money::fromDouble(sqlite3_column_double(st, column));
    }
}

} // namespace

void TDM_MTC::contagem(int mapCode, int animals, int classified, const vorta::db::ContentStamp& counted)
{
    Connection& c = *dbMTC->connection();
    static const QStringList itens{QStringLiteral("qel_mapas_itens")};
    if (!(c.keyStamps(itens, QStringLiteral("map_codigo"), mapCode).front() == counted))
        return;
    m_figuras.get(c, mapCode, [&] {
        static const QString sql =
            QStringLiteral("select sum(mre_vlr_repasse) from qel_mapas_resumo where map_codigo = ?1");
        sqlite3_stmt* st = c.prepare(sql);
        StatementReset reset(st);
        sqlite3_bind_int64(st, 1, mapCode);
        c.check(sqlite3_step(st), sql);
        return FigurasMapa{somaDoResumo(st, 0), animals, classified};
    });
}

void TDM_MTC::TblMapasCalcFields(DataSet& ds)
{
    if (m_inserindoMapa)
        return;
    const int map = int(ds.fieldByName(QStringLiteral("map_codigo"))->asInteger());
    Connection& c = *dbMTC->connection();
    const FigurasMapa f = m_figuras.get(c, map, [&] {
        // The three figures in one pass over the map's animals.
        static const QString sql = QStringLiteral(
            "select (select sum(mre_vlr_repasse) from qel_mapas_resumo where map_codigo = ?1), "
            "count(itm_num_animal), count(case when itm_classificado = ?2 then 1 end) "
            "from qel_mapas_itens where map_codigo = ?1");
        sqlite3_stmt* st = c.prepare(sql);
        StatementReset reset(st);
        sqlite3_bind_int64(st, 1, map);
        sqlite3_bind_text(st, 2, "S", 1, SQLITE_STATIC);
        c.check(sqlite3_step(st), sql);
        return FigurasMapa{somaDoResumo(st, 0), int(sqlite3_column_int64(st, 1)), int(sqlite3_column_int64(st, 2))};
    });
    // Less than half classified earns nothing.
    const bool semDireito = f.animais == 0 || 2 * qint64(f.classificados) < f.animais;
    ds.fieldByName(QStringLiteral("calcVlrTotal"))->setAsMoney(semDireito ? vorta::Money() : f.total);
    ds.fieldByName(QStringLiteral("calcQtdTotal"))->setAsInteger(f.animais);
    ds.fieldByName(QStringLiteral("calcqtdreprovada"))->setAsInteger(f.classificados);
}

vorta::db::ContentStamp TDM_MTC::carimboDosAnimais(qint64 map)
{
    static const QStringList tabela{QStringLiteral("qel_mapas_itens")};
    static const QString coluna = QStringLiteral("map_codigo");
    return dbMTC->connection()->keyStamps(tabela, coluna, map).front();
}

void TDM_MTC::TblMapasItensNewRecord(DataSet& ds)
{
    static const QString sql = QStringLiteral("select max(itm_num_animal) as UltimoCodigo from qel_mapas_itens "
                                              "where map_codigo = :vmapa");
    const qint64 map = m_mapa.codigo->asInteger();
    // Taken before asking: a write while asking makes the next animal ask again.
    const vorta::db::ContentStamp now = carimboDosAnimais(map);
    if (m_proximoAnimal.mapa != map || !(m_proximoAnimal.stamp == now))
        m_proximoAnimal = ProximoAnimal{map, proximoCodigo(sql, {map}), now, false};
    campo(ds, m_item.numero, "itm_num_animal")->setAsInteger(m_proximoAnimal.proximo);
}

bool TDM_MTC::CodigoNaLista(const QStringList& codigos, QStringView codigo)
{
    return CodigoDaLista(codigos, codigo) != nullptr;
}

const QString* TDM_MTC::CodigoDaLista(const QStringList& codigos, QStringView codigo)
{
    // Codes are a few letters: compared here letter by letter, a code of another length
    // passed over at once.
    const qsizetype n = codigo.size();
    const QChar* p = codigo.constData();
    for (const QString& c : codigos) {
        if (c.size() != n)
            continue;
        const QChar* q = c.constData();
        qsizetype i = 0;
        while (i < n && q[i] == p[i])
            ++i;
        if (i == n)
            return &c;
    }
    return nullptr;
}

const QString* TDM_MTC::MaiusculoDaLista(const QStringList& codigos, QStringView codigo)
{
    // A code of plain ASCII, the common case, is upper-cased on the stack.
    const qsizetype n = codigo.size();
    char16_t buf[8];
    if (n <= qsizetype(std::size(buf))) {
        bool ascii = true;
        for (qsizetype i = 0; i < n && ascii; ++i) {
            const char16_t c = codigo[i].unicode();
            ascii = c < 0x80;
            buf[i] = c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
        }
        if (ascii)
            return CodigoDaLista(codigos, QStringView(buf, n));
    }
    return CodigoDaLista(codigos, codigo.toString().toUpper());
}

const QStringList& TDM_MTC::MaturidadesDoSexo(const QString& sex)
{
    // The shared lists themselves, so that a list set again is seen to be the same.
    static const QStringList nenhuma;
    const bool umaLetra = sex.size() == 1;
    if (umaLetra && sex.front() == QLatin1Char('M'))
        return kMaturidadesMacho;
    if (umaLetra && sex.front() == QLatin1Char('F'))
        return kMaturidadesFemea;
    return nenhuma;
}

bool TDM_MTC::VerificaMapaDia(const QString& raiser, const QString& sex, const QDate& date)
{
    const int maps = m_mapasDoDia.get(*dbMTC->connection(), ChaveMapaDia{raiser, sex, date}, [&] {
        QryGeral->close();
        QryGeral->clearSql();
        QryGeral->addSql(QStringLiteral(" Select * "));
        QryGeral->addSql(QStringLiteral(" From qel_Mapas "));
        QryGeral->addSql(
            QStringLiteral(" Where (ie_pecuarista = :vContribuinte) and (map_data = :vData) and (aprovado = :vSexo) "));
        QryGeral->paramByName(QStringLiteral("vContribuinte"))->setAsString(raiser);
        // map_data is a date-time of the day's start, as the date field stores it.
        QryGeral->paramByName(QStringLiteral("vData"))->setAsDateTime(QDateTime(date, QTime(0, 0)));
        QryGeral->paramByName(QStringLiteral("vSexo"))->setAsString(sex);
        QryGeral->open();
        const int n = QryGeral->recordCount();
        QryGeral->close();
        return n;
    });
    return maps >= 2 && !AlterandoMapa;
}

void TDM_MTC::TblMapasItensBeforeInsert(DataSet&)
{
    const bool mapOpen = TblMapas->active() && !(TblMapas->state() == DataSetState::Browse && TblMapas->isEmpty());
    const QString sex = mapOpen ? m_mapa.sexo->asString() : QString();
    if (sex.isEmpty()) {
        MsgErroBD(1725);
        vorta::Abort();
    }
    // The map's own values, not the texts of its edits, so that a masked registration
    // matches the stored one.
    if (VerificaMapaDia(m_mapa.pecuarista->asString(), sex, m_mapa.data->asDate())) {
        MsgErroBD(1723);
        vorta::Abort();
    }
    if (SetListaMaturidade)
        SetListaMaturidade(MaturidadesDoSexo(sex));
}

QString TDM_MTC::Classifica(const QString& maturity, const QString& finish, const QString& conformation,
                            const QString& /*typing*/, double weight)
{
    // The codes trimmed; maturity and conformation count in upper case.
    const QStringView mat = aparado(maturity);
    const QStringView con = aparado(conformation);
    // Only what is known to earn the incentive does: a code outside the lists never does.
    // The typing letter does not lift the weight limit: a light male earns nothing
    // whatever letter it carries, even one the validator would refuse.
    if (!CodigoNaLista(kAcabamentosClassificaveis, aparado(finish)))
        return QStringLiteral("N");
    if (!con.isEmpty() && !MaiusculoDaLista(kConformacoesClassificaveis, con))
        return QStringLiteral("N");
    if (MaiusculoDaLista(kClassificaveisMacho, mat))
        return weight < 225.0 ? QStringLiteral("N") : QStringLiteral("S");
    if (MaiusculoDaLista(kClassificaveisFemea, mat))
        return weight < 180.0 ? QStringLiteral("N") : QStringLiteral("S");
    return QStringLiteral("N");
}

void TDM_MTC::TblMapasItensBeforePost(DataSet& ds)
{
    m_proximoAnimal.inserindo = ds.state() == DataSetState::Insert;
    QString classified = QStringLiteral("N");
    try {
        Field* mat = campo(ds, m_item.maturidade, "mat_codigo");
        Field* con = campo(ds, m_item.conformacao, "con_codigo");
        Field* tip = campo(ds, m_item.tipificacao, "tip_codigo");
        const QString codigos[] = {mat->asString(), con->asString(), tip->asString()};
        classified = Classifica(codigos[0], campo(ds, m_item.acabamento, "aca_codigo")->asString(), codigos[1],
                                codigos[2], campo(ds, m_item.peso, "itm_peso")->asFloat());
        // Codes are kept upper-cased; only a value that changes is written back, so an
        // absent conformation is not run through its validator again.
        Field* const campos[] = {mat, con, tip};
        for (int i = 0; i < 3; ++i) {
            if (!podeMudarEmMaiusculas(codigos[i]))
                continue;
            const QString upper = codigos[i].toUpper();
            if (codigos[i] != upper)
                campos[i]->setAsString(upper);
        }
    } catch (...) {
        // The post goes on, but an animal not fully checked is not entitled.
        classified = QStringLiteral("N");
    }
    try {
        campo(ds, m_item.classificado, "itm_classificado")->setAsString(classified);
    } catch (...) {
    }
}

void TDM_MTC::atualizaSexo()
{
    if (SetSexoHabilitado)
        SetSexoHabilitado(TblMapasItens->isEmpty());
}

void TDM_MTC::TblMapasItensAfterPost(DataSet& ds)
{
    // The next number follows from the row this insert wrote to the map, as the map's
    // stamp will show if that row was its only change: the next animal checks it.
    ProximoAnimal& p = m_proximoAnimal;
    const bool inseriu = std::exchange(p.inserindo, false);
    Field* const campoMapa = campo(ds, m_item.mapa, "map_codigo");
    const bool temMapa = !campoMapa->isNull();
    // A whole-number column reads as its number; any other as its variant converts.
    const bool inteiro = campoMapa->dataType() == FieldType::Integer || campoMapa->dataType() == FieldType::SmallInt;
    const qint64 mapa = !temMapa ? 0 : inteiro ? campoMapa->asInteger() : campoMapa->value().toLongLong();
    if (inseriu && p.stamp.valid() && temMapa && mapa == p.mapa) {
        Field* numero = campo(ds, m_item.numero, "itm_num_animal");
        if (numero->isNull()) {
            p.stamp = {};
        } else {
            p.proximo = int(std::max<qint64>(p.proximo, numero->asInteger() + 1));
            ++p.stamp.writes;
        }
    }
    // An animal just inserted into the map shown leaves it with animals: no need to ask.
    const bool noMapaMostrado = TblMapas->active() && !m_mapa.codigo->isNull() && temMapa &&
                                mapa == m_mapa.codigo->asInteger();
    if (inseriu && noMapaMostrado && !ds.filtered()) {
        if (SetSexoHabilitado)
            SetSexoHabilitado(false);
    } else {
        atualizaSexo();
    }
}

void TDM_MTC::TblMapasItensAfterDelete(DataSet&)
{
    atualizaSexo();
}

void TDM_MTC::TblMapasItenstip_codigoValidate(Field& field)
{
    if (!MaiusculoDaLista(kTipificacoes, field.asString()))
        recusa(QStringLiteral("Tipificação inválida !"));
}

void TDM_MTC::TblMapasItensaca_codigoValidate(Field& field)
{
    if (!CodigoNaLista(kAcabamentos, field.asString()))
        recusa(QStringLiteral("Acabamento inválido !"));
}

void TDM_MTC::TblMapasItensmat_codigoValidate(Field& field)
{
    const QString sex = TblMapas->active() ? m_mapa.sexo->asString() : QString();
    if (sex != QLatin1String("M") && sex != QLatin1String("F"))
        return;
    const QStringList& allowed = sex == QLatin1String("M") ? kMaturidadesMacho : kMaturidadesFemea;
    if (!MaiusculoDaLista(allowed, field.asString()))
        recusa(QStringLiteral("Maturidade inválida ! "));
}

void TDM_MTC::TblMapasItenscon_codigoValidate(Field& field)
{
    if (field.isNull())
        vorta::Abort();
    if (!MaiusculoDaLista(kConformacoes, field.asString()))
        recusa(QStringLiteral("Conformação inválida !"));
}

QString TDM_MTC::DescricaoConformacao(const QString& conformation)
{
    const QString c = conformation.trimmed().toUpper().left(3);
    if (c == QLatin1String("C"))
        return QStringLiteral("C");
    if (c == QLatin1String("CO"))
        return QStringLiteral("Co");
    if (c == QLatin1String("SC"))
        return QStringLiteral("Sc");
    if (c == QLatin1String("SR"))
        return QStringLiteral("Sr");
    if (c == QLatin1String("RE"))
        return QStringLiteral("Re");
    if (c == QLatin1String("*"))
        return QStringLiteral("DIF");
    return QString();
}

void TDM_MTC::qRelMapasItensCalcFields(DataSet& ds)
{
    ds.fieldByName(QStringLiteral("Dsc_Conformacao"))
        ->setAsString(DescricaoConformacao(ds.fieldByName(QStringLiteral("con_codigo"))->asString()));
}

bool TDM_MTC::MapaAprovado(int mapCode)
{
    qryaux->close();
    qryaux->clearSql();
    qryaux->addSql(QStringLiteral(" select map_codigo, sum(mre_qtd_cabecas) as QtdAprovadas from qel_mapas_resumo"));
    qryaux->addSql(QStringLiteral(" where map_codigo = :vMapa and mat_codigo<>:p1 and mat_codigo<>:p2 and "
                                  "mat_codigo<>:p3 and mat_codigo<>:p4 and mat_codigo<>:p5"));
    qryaux->addSql(QStringLiteral(" group by map_codigo"));
    qryaux->paramByName(QStringLiteral("vMapa"))->setAsInteger(mapCode);
    const char* excluded[] = {"A", "AF", "I", "IF", "T4"};
    for (int i = 0; i < 5; ++i)
        qryaux->paramByName(QStringLiteral("p%1").arg(i + 1))->setAsString(QString::fromLatin1(excluded[i]));
    qryaux->open();
    const qint64 approved = qryaux->isEmpty() ? 0 : qryaux->fieldByName(QStringLiteral("QtdAprovadas"))->asInteger();
    qryaux->close();

    qryaux->clearSql();
    qryaux->addSql(QStringLiteral(" select map_codigo, sum(mre_qtd_reprovada) as QtdReprovadas from qel_mapas_resumo"));
    qryaux->addSql(QStringLiteral(" where map_codigo = :vMapa "));
    qryaux->addSql(QStringLiteral(" group by map_codigo"));
    qryaux->paramByName(QStringLiteral("vMapa"))->setAsInteger(mapCode);
    qryaux->open();
    const qint64 rejected = qryaux->isEmpty() ? 0 : qryaux->fieldByName(QStringLiteral("QtdReprovadas"))->asInteger();
    qryaux->close();
    return rejected == 0 || rejected <= approved;
}

void TDM_MTC::BuscaTroca(const QString& text, const QString& searched, QString& result, const QString& replacement)
{
    result = text;
    // The positions are those of the text as it was at the start.
    const int length = int(text.size());
    for (int i = 0; i < length && i < result.size(); ++i) {
        if (result.mid(i, 1) == searched) {
            result.remove(i, 1);
            result.insert(i, replacement);
        }
    }
}

void TDM_MTC::DesabilitaTabSheet()
{
    if (TabSheetContribuinte) {
        TabSheetContribuinte->setTabVisible(true);
        TabSheetContribuinte->setEnabled(true);
    }
    if (TabSheetLeitura)
        TabSheetLeitura->setTabVisible(false);
}

void TDM_MTC::HabilitaTabSheet()
{
    for (vorta::ui::TabSheet* page : {TabSheetContribuinte.data(), TabSheetLeitura.data()})
        if (page)
            page->setTabVisible(true);
}
