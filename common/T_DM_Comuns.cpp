#include "T_DM_Comuns.h"

#include "platform/ipc/ExceptionReporter.h"

#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/core/Exceptions.h"
#include "platform/core/EditMask.h"

#include "platform/ui/Application.h"
#include "platform/ui/DbControls.h"

#include <QLabel>

#include <algorithm>
#include <memory>

using vorta::db::DataAction;
using vorta::db::DataSet;
using vorta::db::DataSetState;
using vorta::db::EDatabaseError;
using vorta::db::Field;
using vorta::db::FieldKind;
using vorta::db::FieldType;

vorta::Guarded<TDM_Comuns> DM_Comuns;
QString CancelaContrib;

namespace {

struct FieldDef {
    const char* name;
    FieldType type;
    int size = 0;
    const char* label = nullptr;
    const char* mask = nullptr;
};

constexpr FieldType S = FieldType::String;
constexpr FieldType I = FieldType::Integer;
constexpr FieldType B = FieldType::Boolean;
constexpr FieldType F = FieldType::Float;
constexpr FieldType DT = FieldType::DateTime;
constexpr FieldType SI = FieldType::SmallInt;

const char* const kMaskCPF = "999.999.999-99;0; ";
const char* const kMaskIE = "!99.999.999-9;0; ";
const char* const kMaskCEP = "!99.999-999;0; ";
const char* const kMaskNumero = "99999;0; ";
const char* const kMaskDDD = "99;1; ";
const char* const kMaskCRC = "ll-999999/l-9;0;_";
const char* const kMaskCEPMunicipio = "99999\\-999;0;_";

void declare(DataSet* ds, std::initializer_list<FieldDef> defs)
{
    for (const FieldDef& d : defs) {
        Field* f = ds->addField(QString::fromUtf8(d.name), d.type, d.size);
        if (d.label)
            f->setDisplayLabel(QString::fromUtf8(d.label));
        if (d.mask)
            f->setEditMask(QString::fromUtf8(d.mask));
    }
}

// The stored columns of table Contribuinte, at the widths the taxpayer register binds.
void declareContribuinte(DataSet* ds)
{
    declare(ds, {
        {"Con_IECNPJCPF", S, 18, "Insc. Estadual / CNPJ / CPF"},
        {"Con_Nome", S, 40, "Nome / Razão Social"},
        {"Con_NomePropr", S, 40, "Nome Propriedade / Nome Fantasia"},
        {"TipLog_Codigo", S, 3},
        {"Con_Logradouro", S, 40},
        {"Con_Numero", S, 5, nullptr, kMaskNumero},
        {"Con_Complemento", S, 25},
        {"TipBai_Codigo", S, 3},
        {"Con_Bairro", S, 25},
        {"Con_UF", S, 2},
        {"Con_CEP", S, 8, nullptr, kMaskCEP},
        {"Con_DDDFone", S, 2, nullptr, kMaskDDD},
        {"Con_Fone", S, 8},
        {"Con_DDDFax", S, 2, nullptr, kMaskDDD},
        {"Con_FAX", S, 8},
        {"Con_DDD2", S, 2, nullptr, kMaskDDD},
        {"Con_Fone2", S, 8},
        {"Con_Email", S, 50, "E-mail"},
        {"Age_Codigo", S, 8},
        {"Resp_CPF", S, 11, nullptr, kMaskCPF},
        {"End_CPF", S, 14},
        {"Con_Tipo", S, 4},
        {"Mun_Endereco", I},
        {"Mun_Propriedade", I},
        {"Con_FormaEntrega", I},
        {"Con_RegICMS", I},
        {"Con_CxPostal", S, 5},
        {"Con_OutraEmpresa", S, 1},
        {"Con_InscOutra", S, 9, nullptr, kMaskIE},
        {"Con_EscritaFiscal", S, 1},
        {"TipLog_CodigoEstab", S, 3},
        {"Con_LogradouroEstab", S, 40},
        {"Con_NumeroEstab", S, 5, nullptr, kMaskNumero},
        {"Con_ComplementoEstab", S, 25},
        {"Tip_Bai_CodigoEstab", S, 3},
        {"Con_BairroEstab", S, 25},
        {"Con_UFEstab", S, 2},
        {"Con_CEPEstab", S, 8, nullptr, kMaskCEP},
        {"Con_EmailEstab", S, 50},
        {"Con_CxPostalEstab", S, 5},
        {"ResEmp_CPF", S, 11},
        {"Con_NIRE", S, 15, nullptr, "99.9.9999999-9;0; "},
        {"Con_IEMatriz", S, 9, nullptr, kMaskIE},
        {"Con_TipoCPFCNPJ", S, 4},
        {"Con_NumeroCPR", S, 5, nullptr, kMaskNumero},
        {"CTs_RevendaEmissora", B},
    });
}

void declareMunicipio(DataSet* ds)
{
    declare(ds, {
        {"Mun_Codigo", I},
        {"Mun_Descricao", S, 40},
        {"Mun_CEPInicial", S, 8, nullptr, kMaskCEPMunicipio},
        {"Mun_CEPFinal", S, 8, nullptr, kMaskCEPMunicipio},
        {"Mun_UF", S, 2},
        {"Age_Codigo", S, 8},
    });
}

void declareResponsavel(DataSet* ds)
{
    declare(ds, {
        {"Resp_CPF", S, 11, nullptr, kMaskCPF},
        {"Resp_CRC", S, 10, nullptr, kMaskCRC},
        {"Resp_Nome", S, 40},
        {"Resp_DDDFone", S, 2},
        {"Resp_Fone", S, 11},
        {"Resp_Email", S, 50},
        {"Resp_TipoCRC", I},
        {"Resp_DDDFAX", S, 2},
        {"Resp_FAX", S, 11},
        {"Resp_CRC_Empresa", S, 12, nullptr, kMaskCRC},
        {"Resp_NomeEscritorio", S, 50},
        {"Resp_TipoCRCEmpresa", I},
        {"TipLog_Codigo", S, 3},
        {"Resp_Logradouro", S, 50},
        {"Resp_Numero", S, 5},
        {"Resp_Complemento", S, 30},
        {"TipBai_Codigo", S, 3},
        {"Resp_Bairro", S, 30},
        {"Resp_CEP", S, 8},
        {"Mun_Endereco", I},
        {"Resp_UF", S, 2},
    });
}

void declareProduto(DataSet* ds)
{
    declare(ds, {
        {"Pro_Codigo", S, 5},
        {"Pro_Descricao", S, 80},
        {"Pro_Unidade", S, 3},
        {"Pro_Linha", I},
        {"Gru_Codigo", I},
        {"Pro_KOBCod", S, 5},
        {"Pro_Regra", F},
        {"Pro_KOB", S, 5},
        {"Pro_CodigoInteger", I},
        {"Pro_EntMaturacao", B},
        {"Pro_SaiMaturacao", B},
        {"Pro_Nascimento", B},
        {"Inibir", B},
        {"Pro_Status", B},
    });
}

void declareNaturezaOperacao(DataSet* ds)
{
    declare(ds, {{"NatOpe_Codigo", I}, {"NatOpe_Descricao", S, 40}, {"NatOpe_Status", S, 1}});
}

void declareLogradouro(DataSet* ds)
{
    declare(ds, {{"TipLog_Codigo", S, 3}, {"TipLog_Descricao", S, 15}});
}

void declareBairro(DataSet* ds)
{
    declare(ds, {{"TipBai_Codigo", S, 3}, {"TipBai_Descricao", S, 15}});
}

// A field's value as the probes pass it: its text as a string.
QVariant texto(DataSet& ds, const char* field)
{
    return ds.fieldByName(QString::fromLatin1(field))->asString();
}

// The class library pads the lines of a few statements to a fixed width.
QString padded(const char* line)
{
    return QString::fromLatin1(line).leftJustified(36, QLatin1Char(' '));
}

} // namespace

TDM_Comuns::TDM_Comuns(vorta::Component* owner)
    : vorta::ui::DataModule(owner)
{
    setName(QStringLiteral("DM_Comuns"));
    auto table = [this](const char* name, const char* tableName, Database* db = nullptr) {
        auto* t = new Table(this);
        t->setName(QString::fromLatin1(name));
        t->setDatabase(db ? db : DB_Comuns);
        t->setTableName(QString::fromLatin1(tableName));
        return t;
    };
    auto query = [this](const char* name, const char* sql) {
        auto* q = new Query(this);
        q->setName(QString::fromLatin1(name));
        q->setDatabase(DB_Comuns);
        if (sql)
            q->setSql(QString::fromLatin1(sql));
        return q;
    };
    auto source = [this](const char* name, DataSet* ds) {
        auto* s = new DataSource(this);
        s->setName(QString::fromLatin1(name));
        s->setDataSet(ds);
        return s;
    };

    DB_Comuns = new Database(this);
    DB_Comuns->setName(QStringLiteral("DB_Comuns"));
    DB_Comuns->setDatabaseName(QStringLiteral("DB_Comuns"));
    DB_Backup = new Database(this);
    DB_Backup->setName(QStringLiteral("DB_Backup"));
    DB_Backup->setDatabaseName(QStringLiteral("DB_Backup"));

    Tb_Agenfa = table("Tb_Agenfa", "Agenfa");
    Tb_Agenfa->setIndexName(QStringLiteral("Id_Nome"));
    Tb_Municipio = table("Tb_Municipio", "Municipio");
    Tb_Municipio->setIndexName(QStringLiteral("Id_Nome"));
    Tb_MunicipioPro = table("Tb_MunicipioPro", "Municipio");
    Tb_MunicipioPro->setIndexName(QStringLiteral("Id_Nome"));
    Tb_MunicipioPro->setFilter(QStringLiteral("Mun_UF = 'QX'"));
    Tb_MunicipioPro->setFiltered(true);
    Tb_C_Municipio = table("Tb_C_Municipio", "Municipio");
    Tb_C_Municipio->setIndexName(QStringLiteral("Id_Nome"));
    Tb_Logradouro = table("Tb_Logradouro", "Logradouro");
    Tb_LogradouroEstab = table("Tb_LogradouroEstab", "Logradouro");
    Tb_Bairro = table("Tb_Bairro", "Bairro");
    Tb_BairroEstab = table("Tb_BairroEstab", "Bairro");
    Tb_Responsavel = table("Tb_Responsavel", "Responsavel");
    Tb_Responsavel->setIndexFieldNames(QStringLiteral("Resp_CPF"));
    Tb_C_Responsavel = table("Tb_C_Responsavel", "Responsavel");
    Tb_C_Responsavel->setIndexFieldNames(QStringLiteral("Resp_CPF"));
    Tb_Produto = table("Tb_Produto", "Produto");
    Tb_Produto->setIndexName(QStringLiteral("Id_Nome"));
    Tb_ProdutoAg = table("Tb_ProdutoAg", "Produto");
    Tb_ProdutoAg->setIndexName(QStringLiteral("Id_Nome"));
    Tb_ProdutosOA = table("Tb_ProdutosOA", "Produto");
    Tb_ProdutosOA->setIndexName(QStringLiteral("Id_Nome"));
    Tb_Grupo = table("Tb_Grupo", "Grupo");
    Tb_Grupo->setIndexFieldNames(QStringLiteral("Gru_Codigo"));
    Tb_Endereco = table("Tb_Endereco", "Endereco");
    Tb_Contribuinte = table("Tb_Contribuinte", "Contribuinte");
    Tb_Contribuinte->setIndexName(QStringLiteral("id_Ordenacao"));
    Tb_RemDest = table("Tb_RemDest", "Contribuinte");
    Tb_NatOpeTodas = table("Tb_NatOpeTodas", "NaturezaOperacao");
    Tb_NatOpeTodas->setFilter(QStringLiteral("NatOpe_Status = 'A'"));
    Tb_NatOpeTodas->setFiltered(true);
    Tb_NatOpeEntrada = table("Tb_NatOpeEntrada", "NaturezaOperacao");
    Tb_NatOpeEntrada->setFilter(QStringLiteral("NatOpe_Codigo < 50 and NatOpe_Status = 'A'"));
    Tb_NatOpeEntrada->setFiltered(true);
    Tb_NatOpeSaida = table("Tb_NatOpeSaida", "NaturezaOperacao");
    Tb_NatOpeSaida->setFilter(QStringLiteral("NatOpe_Codigo >50 and NatOpe_Status = 'A'"));
    Tb_NatOpeSaida->setFiltered(true);
    Tb_TipoResp = table("Tb_TipoResp", "TipoResp");
    Tb_RespEmpresa = table("Tb_RespEmpresa", "RespEmpresa");
    Tb_Parametros = table("Tb_Parametros", "Parametros");
    Tb_RegICMS = table("Tb_RegICMS", "RegICMS");
    Tb_FormaEntr = table("Tb_FormaEntr", "FormaEntr");
    Tb_CFOP = table("Tb_CFOP", "CFOP");
    Tb_Entrega = table("Tb_Entrega", "Entrega");
    Tb_Dados = table("Tb_Dados", "KOB");
    Tb_Backup = table("Tb_Backup", "KOB", DB_Backup);

    Q_Geral = query("Q_Geral", nullptr);
    Q_Geral->setRequestLive(true);
    Q_Contribuinte = query("Q_Contribuinte", "Select * from Contribuinte");
    Q_Parametros = query("Q_Parametros", "Select * from Parametros");

    Ds_Agenfa = source("Ds_Agenfa", Tb_Agenfa);
    Ds_Municipio = source("Ds_Municipio", Tb_Municipio);
    Ds_Logradouro = source("Ds_Logradouro", Tb_Logradouro);
    Ds_Bairro = source("Ds_Bairro", Tb_Bairro);
    Ds_Produto = source("Ds_Produto", Tb_Produto);
    Ds_Responsavel = source("Ds_Responsavel", Tb_Responsavel);
    Ds_Endereco = source("Ds_Endereco", Tb_Endereco);
    Ds_Contribuinte = source("Ds_Contribuinte", Tb_Contribuinte);
    Ds_MunicipioPro = source("Ds_MunicipioPro", Tb_MunicipioPro);
    Ds_Grupo = source("Ds_Grupo", Tb_Grupo);
    Ds_C_Responsavel = source("Ds_C_Responsavel", Tb_C_Responsavel);
    Ds_C_Municipio = source("Ds_C_Municipio", Tb_C_Municipio);
    Ds_NatOpeTodas = source("Ds_NatOpeTodas", Tb_NatOpeTodas);
    dS_NatOpeEntrada = source("dS_NatOpeEntrada", Tb_NatOpeEntrada);
    Ds_NatOpeSaida = source("Ds_NatOpeSaida", Tb_NatOpeSaida);
    Ds_ProdutoAg = source("Ds_ProdutoAg", Tb_ProdutoAg);
    DS_Q_Contribuinte = source("DS_Q_Contribuinte", Q_Contribuinte);
    ds_RespEmpresa = source("ds_RespEmpresa", Tb_RespEmpresa);
    Ds_LogradouroEstab = source("Ds_LogradouroEstab", Tb_LogradouroEstab);
    Ds_BairroEstab = source("Ds_BairroEstab", Tb_BairroEstab);
    Ds_ProdutosOA = source("Ds_ProdutosOA", nullptr);

    declareFields();
    bindEvents();

    OnCreate = [this](vorta::ui::DataModule*) { DataModuleCreate(); };
    OnDestroy = [this](vorta::ui::DataModule*) { DataModuleDestroy(); };
}

void TDM_Comuns::declareFields()
{
    Tb_Contribuinte->addField(QStringLiteral("Calc_IECNPJCPF"), S, 20, FieldKind::Calculated);
    declareContribuinte(Tb_Contribuinte);
    // The key is shown masked through Calc_IECNPJCPF.
    Tb_Contribuinte->fieldByName(QStringLiteral("Con_IECNPJCPF"))->setVisible(false);
    auto lookup = [](Table* ds, const char* name, int size, const char* key, DataSet* from, const char* fromKey,
                     const char* result) {
        ds->addLookupField(QString::fromLatin1(name), S, size, QString::fromLatin1(key), from,
                           QString::fromLatin1(fromKey), QString::fromLatin1(result));
    };
    lookup(Tb_Contribuinte, "Lk_Logradouro", 15, "TipLog_Codigo", Tb_Logradouro, "TipLog_Codigo", "TipLog_Descricao");
    lookup(Tb_Contribuinte, "Lk_Bairro", 15, "TipBai_Codigo", Tb_Bairro, "TipBai_Codigo", "TipBai_Descricao");
    lookup(Tb_Contribuinte, "Lk_Responsavel", 40, "Resp_CPF", Tb_C_Responsavel, "Resp_CPF", "Resp_Nome");
    lookup(Tb_Contribuinte, "Lk_Agenfa", 40, "Age_Codigo", Tb_Agenfa, "Age_Codigo", "Age_Nome");
    lookup(Tb_Contribuinte, "Lk_MunEndereco", 40, "Mun_Endereco", Tb_Municipio, "Mun_Codigo", "Mun_Descricao");
    lookup(Tb_Contribuinte, "Lk_MunPropriedade", 40, "Mun_Propriedade", Tb_MunicipioPro, "Mun_Codigo",
           "Mun_Descricao");
    lookup(Tb_Contribuinte, "LK_UFPropriedade", 2, "Mun_Propriedade", Tb_MunicipioPro, "Mun_Codigo", "Mun_UF");
    lookup(Tb_Contribuinte, "LK_FormaEntrega", 30, "Con_FormaEntrega", Tb_FormaEntr, "FormaEntr_Codigo",
           "FormaEntr_Descricao");
    lookup(Tb_Contribuinte, "LK_Regime", 30, "Con_RegICMS", Tb_RegICMS, "RegICMS_Codigo", "RegICMS_Descricao");
    lookup(Tb_Contribuinte, "LK_RespEmp", 40, "ResEmp_CPF", Tb_RespEmpresa, "ResEmp_CPF", "ResEmp_Nome");

    declare(Tb_RemDest, {
        {"Con_IECNPJCPF", S, 18, "Insc. Estadual / CNPJ / CPF"},
        {"Con_Nome", S, 40, "Nome / Razão Social"},
        {"Mun_Endereco", I},
        {"Con_UF", S, 2},
        {"Con_Tipo", S, 4},
    });
    Tb_RemDest->fieldByName(QStringLiteral("Con_IECNPJCPF"))->setVisible(false);
    Tb_RemDest->addField(QStringLiteral("Calc_IECNPJCPF"), S, 20, FieldKind::Calculated);
    declare(Tb_RemDest, {{"Mun_Propriedade", I}});
    lookup(Tb_RemDest, "Lk_Municipio", 40, "Mun_Endereco", Tb_Municipio, "Mun_Codigo", "Mun_Descricao");
    declare(Tb_RemDest, {{"Con_UFEstab", S, 2}});

    // The listing query: the stored columns again, some at other widths.
    Q_Contribuinte->addField(QStringLiteral("Calc_IECNPJCPF"), S, 20, FieldKind::Calculated);
    declareContribuinte(Q_Contribuinte);
    for (const auto& [name, size] : {std::pair{"Con_Fone", 11}, {"Con_FAX", 11}, {"Con_Fone2", 11},
                                     {"Con_Complemento", 30}, {"Con_Bairro", 30}, {"Con_BairroEstab", 30},
                                     {"Con_ComplementoEstab", 50}, {"End_CPF", 11}})
        Q_Contribuinte->fieldByName(QString::fromLatin1(name))->setSize(size);
    auto qlookup = [](Query* ds, const char* name, int size, const char* key, DataSet* from, const char* fromKey,
                      const char* result) {
        ds->addLookupField(QString::fromLatin1(name), S, size, QString::fromLatin1(key), from,
                           QString::fromLatin1(fromKey), QString::fromLatin1(result));
    };
    qlookup(Q_Contribuinte, "Lk_UfEnd", 2, "Mun_Endereco", Tb_Municipio, "Mun_Codigo", "Mun_UF");
    qlookup(Q_Contribuinte, "Lk_CRC", 10, "Resp_CPF", Tb_Responsavel, "Resp_CPF", "Resp_CRC");
    qlookup(Q_Contribuinte, "Lk_Condador", 40, "Resp_CPF", Tb_Responsavel, "Resp_CPF", "Resp_Nome");
    qlookup(Q_Contribuinte, "Lk_FoneContabilista", 11, "Resp_CPF", Tb_Responsavel, "Resp_CPF", "Resp_Fone");
    qlookup(Q_Contribuinte, "Lk_DDDContabilista", 2, "Resp_CPF", Tb_Responsavel, "Resp_CPF", "Resp_DDDFone");
    // The listings print the municipalities and the agency by name.
    qlookup(Q_Contribuinte, "Lk_MunEndereco", 40, "Mun_Endereco", Tb_Municipio, "Mun_Codigo", "Mun_Descricao");
    qlookup(Q_Contribuinte, "Lk_MunPropriedade", 40, "Mun_Propriedade", Tb_MunicipioPro, "Mun_Codigo",
            "Mun_Descricao");
    qlookup(Q_Contribuinte, "Lk_Agenfa", 40, "Age_Codigo", Tb_Agenfa, "Age_Codigo", "Age_Nome");

    for (Table* t : {Tb_Municipio, Tb_MunicipioPro, Tb_C_Municipio})
        declareMunicipio(t);

    for (Table* t : {Tb_Responsavel, Tb_C_Responsavel})
        declareResponsavel(t);
    lookup(Tb_Responsavel, "Lk_TipoResp", 20, "Resp_TipoCRCEmpresa", Tb_TipoResp, "TipoResp_Codigo",
           "TipoResp_Descricao");
    lookup(Tb_Responsavel, "LK_Logradouro", 15, "TipLog_Codigo", Tb_Logradouro, "TipLog_Codigo", "TipLog_Descricao");
    lookup(Tb_Responsavel, "Lk_Bairro", 15, "TipBai_Codigo", Tb_Bairro, "TipBai_Codigo", "TipBai_Descricao");
    lookup(Tb_Responsavel, "LK_Municipio", 40, "Mun_Endereco", Tb_C_Municipio, "Mun_Codigo", "Mun_Descricao");

    declare(Tb_RespEmpresa, {
        {"ResEmp_CPF", S, 11, nullptr, kMaskCPF},
        {"ResEmp_Nome", S, 50},
        {"ResEmp_Cargo", S, 30},
    });

    declare(Tb_Parametros, {
        {"Campo", S, 40},  {"Tabelas", S, 30},       {"KOB", B},         {"DUX", B},
        {"TUV", B},        {"WOP", B},               {"DISTRIBUIDORA", B}, {"TRR", B},
        {"POSTO", B},      {"Fornecedor", B},        {"DestRem", B},     {"VORTA_MOD", B},
        {"IE_Menor500", B}, {"IE_Maior500", B},      {"CPF", B},         {"CNPJ", B},
        {"OutrasInscricoes", B}, {"CTs", B},
    });
    declare(Q_Parametros, {
        {"Campo", S, 40},  {"Tabelas", S, 30},  {"IE_Menor500", B}, {"IE_Maior500", B},
        {"CPF", B},        {"CNPJ", B},         {"OutrasInscricoes", B}, {"CTs", B},
    });

    declare(Tb_Entrega, {
        {"Sistema", S, 10},       {"Versao", S, 20},       {"Arquivo", S, 15},  {"CRC", S, 30},
        {"Data_Geracao", DT},     {"Data_Copia", DT},      {"Data_Entrega", DT},
        {"Dados_Entrega", FieldType::Memo},
        {"Chave", S, 250},        {"Protocolo", S, 250},   {"Inscricao", S, 12}, {"Referencia", S, 20},
        {"Motivo", S, 20},        {"Nome", S, 40},
    });
    Tb_Entrega->fieldByName(QStringLiteral("Chave"))->setRequired(true);

    declare(Tb_Endereco, {
        {"End_CPF", S, 14},        {"TipLog_Codigo", S, 3},  {"End_Logradouro", S, 40}, {"End_Numero", S, 5},
        {"End_Complemento", S, 30}, {"TipBai_Codigo", S, 3}, {"End_Bairro", S, 30},     {"End_CEP", S, 8},
        {"End_UF", S, 2},          {"End_DDDFone", S, 2},    {"End_Fone", S, 11},       {"End_DDDFax", S, 2},
        {"End_Fax", S, 11},        {"End_Email", S, 50},     {"Mun_Codigo", I},
    });

    declare(Tb_Agenfa, {{"Age_Codigo", S, 8}, {"Age_Nome", S, 40}, {"Age_DDD", S, 2}, {"Age_Fone", S, 10}});
    for (Table* t : {Tb_Logradouro, Tb_LogradouroEstab})
        declareLogradouro(t);
    for (Table* t : {Tb_Bairro, Tb_BairroEstab})
        declareBairro(t);
    for (Table* t : {Tb_Produto, Tb_ProdutoAg, Tb_ProdutosOA})
        declareProduto(t);
    lookup(Tb_Produto, "Grupo", 40, "Gru_Codigo", Tb_Grupo, "Gru_Codigo", "Gru_Descricao");
    declare(Tb_Grupo, {{"Gru_Codigo", I}, {"Gru_Descricao", S, 40}});
    for (Table* t : {Tb_NatOpeTodas, Tb_NatOpeEntrada, Tb_NatOpeSaida})
        declareNaturezaOperacao(t);
    declare(Tb_TipoResp, {{"TipoResp_Codigo", SI}, {"TipoResp_Descricao", S, 20}});
    declare(Tb_RegICMS, {{"RegICMS_Codigo", I}, {"RegICMS_Descricao", S, 30}});
    declare(Tb_FormaEntr, {{"FormaEntr_Codigo", I}, {"FormaEntr_Descricao", S, 30}});
    declare(Tb_CFOP, {
        {"Cfop_Codigo", I}, {"Cfop_Descricao", S, 250}, {"Cfop_Tipo", S, 1}, {"Cfop_Local", S, 2},
        {"Cfop_Ordem", S, 1},
    });
    // Tb_Dados and Tb_Backup take the fields of the KOB module's table as installed.
}

void TDM_Comuns::bindEvents()
{
    auto ev = [this](void (TDM_Comuns::*handler)(DataSet&)) {
        return [this, handler](DataSet& ds) { (this->*handler)(ds); };
    };
    auto err = [this](void (TDM_Comuns::*handler)(DataSet&, EDatabaseError&, DataAction&)) {
        return [this, handler](DataSet& ds, EDatabaseError& e, DataAction& a) { (this->*handler)(ds, e, a); };
    };
    auto change = [this](void (TDM_Comuns::*handler)(Field&)) {
        return [this, handler](Field& f) { (this->*handler)(f); };
    };

    Tb_Municipio->BeforePost = ev(&TDM_Comuns::Tb_MunicipioBeforePost);
    Tb_Municipio->BeforeDelete = ev(&TDM_Comuns::Tb_MunicipioBeforeDelete);
    Tb_Municipio->OnNewRecord = ev(&TDM_Comuns::Tb_MunicipioNewRecord);
    Tb_Municipio->OnPostError = err(&TDM_Comuns::Tb_MunicipioPostError);
    Tb_Municipio->fieldByName(QStringLiteral("Mun_UF"))->OnChange = change(&TDM_Comuns::Tb_MunicipioMun_UFChange);

    Tb_MunicipioPro->BeforePost = ev(&TDM_Comuns::Tb_MunicipioProBeforePost);
    Tb_MunicipioPro->AfterPost = ev(&TDM_Comuns::Tb_MunicipioProAfterPost);
    Tb_MunicipioPro->BeforeDelete = ev(&TDM_Comuns::Tb_MunicipioProBeforeDelete);
    Tb_MunicipioPro->OnNewRecord = ev(&TDM_Comuns::Tb_MunicipioProNewRecord);
    Tb_MunicipioPro->OnPostError = err(&TDM_Comuns::Tb_MunicipioProPostError);
    Tb_MunicipioPro->fieldByName(QStringLiteral("Mun_UF"))->OnChange = change(&TDM_Comuns::Tb_MunicipioMun_UFChange);

    Tb_Responsavel->BeforePost = ev(&TDM_Comuns::Tb_ResponsavelBeforePost);
    Tb_Responsavel->AfterPost = ev(&TDM_Comuns::Tb_ResponsavelAfterPost);
    Tb_Responsavel->BeforeDelete = ev(&TDM_Comuns::Tb_ResponsavelBeforeDelete);
    Tb_Responsavel->OnPostError = err(&TDM_Comuns::Tb_ResponsavelPostError);

    Tb_Contribuinte->BeforePost = ev(&TDM_Comuns::Tb_ContribuinteBeforePost);
    Tb_Contribuinte->AfterPost = ev(&TDM_Comuns::Tb_ContribuinteAfterPost);
    Tb_Contribuinte->BeforeDelete = ev(&TDM_Comuns::Tb_ContribuinteBeforeDelete);
    Tb_Contribuinte->AfterScroll = ev(&TDM_Comuns::Tb_ContribuinteAfterScroll);
    Tb_Contribuinte->OnCalcFields = ev(&TDM_Comuns::Tb_ContribuinteCalcFields);
    Tb_Contribuinte->OnNewRecord = ev(&TDM_Comuns::Tb_ContribuinteNewRecord);
    Tb_Contribuinte->OnPostError = err(&TDM_Comuns::Tb_ContribuintePostError);
    Tb_Contribuinte->fieldByName(QStringLiteral("Con_Tipo"))->OnChange = change(&TDM_Comuns::Tb_RemDestCon_TipoChange);

    Tb_RemDest->BeforePost = ev(&TDM_Comuns::Tb_RemDestBeforePost);
    Tb_RemDest->AfterPost = ev(&TDM_Comuns::Tb_RemDestAfterPost);
    Tb_RemDest->BeforeDelete = ev(&TDM_Comuns::Tb_RemDestBeforeDelete);
    Tb_RemDest->AfterScroll = ev(&TDM_Comuns::Tb_RemDestAfterScroll);
    Tb_RemDest->OnCalcFields = ev(&TDM_Comuns::Tb_RemDestCalcFields);
    Tb_RemDest->OnNewRecord = ev(&TDM_Comuns::Tb_RemDestNewRecord);
    Tb_RemDest->OnPostError = err(&TDM_Comuns::Tb_RemDestPostError);
    Tb_RemDest->fieldByName(QStringLiteral("Con_Tipo"))->OnChange = change(&TDM_Comuns::Tb_RemDestCon_TipoChange);

    Tb_RespEmpresa->BeforePost = ev(&TDM_Comuns::Tb_RespEmpresaBeforePost);
    Q_Contribuinte->OnCalcFields = ev(&TDM_Comuns::Q_ContribuinteCalcFields);
}

// ---- Creation and destruction ---------------------------------------------------

void TDM_Comuns::DataModuleCreate()
{
    InicializarVariaveisGlobais();
    if (DB_Comuns->connected())
        DB_Comuns->close();
    DB_Comuns->setDirectory(DirDados);
    DB_Comuns->open();
}

void TDM_Comuns::DataModuleDestroy()
{
    DB_Comuns->close();
}

// ---- Helpers ----------------------------------------------------------------------

bool TDM_Comuns::tabelaExiste(const QString& arquivo)
{
    QString nome = arquivo;
    if (nome.endsWith(QLatin1String(".DAT"), Qt::CaseInsensitive))
        nome.chop(4);
    return DB_Comuns->tableExists(nome);
}

void TDM_Comuns::sonda(const QStringList& linhas, const QString& parametro, const QVariant& valor, int mensagem)
{
    Q_Geral->close();
    Q_Geral->setSqlLines(linhas);
    Q_Geral->paramByName(parametro)->setValue(valor);
    Q_Geral->open();
    if (!Q_Geral->isEmpty()) {
        MsgErroBD(mensagem);
        Q_Geral->close();
        vorta::Abort();
    }
}

void TDM_Comuns::RecusaCampo(int mensagem, const QString& pagina, const QString& campo, const QVariantList& args)
{
    MsgErroBD(mensagem, args);
    if (FocaCampo)
        FocaCampo(pagina, campo);
    vorta::Abort();
}

void TDM_Comuns::mostraErroGravacao(const EDatabaseError& e, DataAction& action)
{
    // Whatever the engine said, the user gets the register's own message; the engine's
    // own text goes to the log for support.
    vorta::ipc::ExceptionReporter::instance().logHandled(e);
    MsgErroBD(33);
    action = DataAction::Abort;
}

// ---- New rows -----------------------------------------------------------------------

void TDM_Comuns::Tb_ContribuinteNewRecord(DataSet& ds)
{
    ds.fieldByName(QStringLiteral("Con_IECNPJCPF"))->setAsString(InscricaoPadrao);
    ds.fieldByName(QStringLiteral("Con_TipoCPFCNPJ"))->setAsString(QStringLiteral("CPF"));
    CancelaContrib.clear();
    ds.fieldByName(QStringLiteral("CTs_RevendaEmissora"))->setAsBoolean(false);
}

void TDM_Comuns::Tb_RemDestNewRecord(DataSet& ds)
{
    ds.fieldByName(QStringLiteral("Con_IECNPJCPF"))->setAsString(InscricaoPadrao);
    CancelaContrib.clear();
}

void TDM_Comuns::numeraNovoMunicipio(DataSet& ds)
{
    Q_Geral->close();
    Q_Geral->setSql(QStringLiteral("Select Max(Mun_Codigo) max_seq from Municipio"));
    Q_Geral->open();
    if (!Q_Geral->isEmpty()) {
        // Codes below 999001 are the official list's.
        const qint64 maior = Q_Geral->fieldByName(QStringLiteral("max_seq"))->asInteger();
        ds.fieldByName(QStringLiteral("Mun_Codigo"))->setAsInteger(maior >= 999001 ? maior + 1 : 999002);
    }
    Q_Geral->close();
    if (FormMunicipio)
        if (auto* codigo = FormMunicipio->findChild<QWidget*>(QStringLiteral("DBEdit_Mun_Codigo")))
            codigo->setEnabled(false);
}

void TDM_Comuns::Tb_MunicipioNewRecord(DataSet& ds)
{
    numeraNovoMunicipio(ds);
}

void TDM_Comuns::Tb_MunicipioProNewRecord(DataSet& ds)
{
    numeraNovoMunicipio(ds);
}

// ---- Masks --------------------------------------------------------------------------

void TDM_Comuns::Tb_ContribuinteAfterScroll(DataSet& ds)
{
    ds.fieldByName(QStringLiteral("Con_IECNPJCPF"))
        ->setEditMask(MascaraDesteConTipo(ds.fieldByName(QStringLiteral("Con_Tipo"))->asString()));
    ds.fieldByName(QStringLiteral("End_CPF"))
        ->setEditMask(MascaraDesteConTipo(ds.fieldByName(QStringLiteral("Con_TipoCPFCNPJ"))->asString()));
}

void TDM_Comuns::Tb_RemDestAfterScroll(DataSet& ds)
{
    ds.fieldByName(QStringLiteral("Con_IECNPJCPF"))
        ->setEditMask(MascaraDesteConTipo(ds.fieldByName(QStringLiteral("Con_Tipo"))->asString()));
}

namespace {
void calculaInscricao(DataSet& ds)
{
    const vorta::EditMask mask(MascaraDesteConTipo(ds.fieldByName(QStringLiteral("Con_Tipo"))->asString()));
    ds.fieldByName(QStringLiteral("Calc_IECNPJCPF"))
        ->setAsString(mask.format(ds.fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString()));
}
} // namespace

void TDM_Comuns::Tb_ContribuinteCalcFields(DataSet& ds)
{
    calculaInscricao(ds);
}

void TDM_Comuns::Tb_RemDestCalcFields(DataSet& ds)
{
    calculaInscricao(ds);
}

void TDM_Comuns::Q_ContribuinteCalcFields(DataSet& ds)
{
    calculaInscricao(ds);
    ds.fieldByName(QStringLiteral("End_CPF"))
        ->setEditMask(MascaraDesteConTipo(ds.fieldByName(QStringLiteral("Con_TipoCPFCNPJ"))->asString()));
}

// ---- Refusals before delete ---------------------------------------------------------

void TDM_Comuns::recusaExclusaoContribuinte(DataSet& ds)
{
    const QVariant inscricao = texto(ds, "Con_IECNPJCPF");
    if (tabelaExiste(QStringLiteral("Nota.DAT"))) {
        sonda({QStringLiteral("select NF_Numero from nota "), QStringLiteral("where Con_Destinatario =:Destinatario")},
              QStringLiteral("Destinatario"), inscricao, 52);
        sonda({QStringLiteral("select NF_Numero from nota "), QStringLiteral("Where Con_Remetente =:Remetente")},
              QStringLiteral("Remetente"), inscricao, 52);
    }
    if (tabelaExiste(QStringLiteral("KOB.dat")))
        sonda({QStringLiteral("select Con_produtor from Kob "), QStringLiteral("Where Con_Produtor =:Produtor")},
              QStringLiteral("Produtor"), inscricao, 52);
    if (tabelaExiste(QStringLiteral("TUV.DAT")))
        sonda({QStringLiteral("select Contrib_InscEstad from TUV "),
               QStringLiteral("Where Contrib_InscEstad =:Contrib")},
              QStringLiteral("Contrib"), inscricao, 52);
    if (tabelaExiste(QStringLiteral("QEL_MOVIMENTO.DAT")))
        sonda({padded("Select Con_IECNPJCPF"), padded("From Qel_Movimento"),
               padded("Where (Con_IECNPJCPF = :Contrib)")},
              QStringLiteral("Contrib"), inscricao.toString().trimmed(), 52);
    if (tabelaExiste(QStringLiteral("Qrn2.DAT"))) {
        sonda({QStringLiteral("select Con_IEPecuarista from Qrn2 "),
               QStringLiteral("where Con_IEPecuarista =:Pecuarista")},
              QStringLiteral("Pecuarista"), inscricao, 52);
        sonda({QStringLiteral("select Con_IERevenda from Qrn2 "), QStringLiteral("where Con_IERevenda =:Revenda")},
              QStringLiteral("Revenda"), inscricao, 52);
    }
    if (tabelaExiste(QStringLiteral("Qrn1.DAT")))
        sonda({QStringLiteral("select Con_IERevenda from Qrn1 "), QStringLiteral("where Con_IERevenda =:Revenda")},
              QStringLiteral("Revenda"), inscricao, 52);
    // The raiser of incentive-programme maps is referenced there as well.
    if (tabelaExiste(QStringLiteral("Qel_Mapas.DAT")))
        sonda({QStringLiteral("select ie_pecuarista from qel_mapas "),
               QStringLiteral("where ie_pecuarista =:Pecuarista")},
              QStringLiteral("Pecuarista"), inscricao, 52);
    Q_Geral->close();
}

void TDM_Comuns::Tb_ContribuinteBeforeDelete(DataSet& ds)
{
    recusaExclusaoContribuinte(ds);
}

void TDM_Comuns::Tb_RemDestBeforeDelete(DataSet& ds)
{
    // The same row of table Contribuinte: every reference counts, whichever register
    // deletes it.
    recusaExclusaoContribuinte(ds);
}

void TDM_Comuns::Tb_ResponsavelBeforeDelete(DataSet& ds)
{
    sonda({QStringLiteral("select con_iecnpjcpf from contribuinte "), QStringLiteral("where resp_cpf =:Contador")},
          QStringLiteral("Contador"), texto(ds, "Resp_CPF"), 21);
    Q_Geral->close();
}

void TDM_Comuns::recusaExclusaoMunicipio(DataSet& ds)
{
    const qint64 codigo = ds.fieldByName(QStringLiteral("Mun_Codigo"))->asInteger();
    sonda({QStringLiteral("select con_iecnpjcpf from contribuinte "), QStringLiteral("where mun_endereco =:endereco")},
          QStringLiteral("endereco"), codigo, 84);
    sonda({QStringLiteral("select con_iecnpjcpf from contribuinte "), QStringLiteral("where mun_propriedade =:pro")},
          QStringLiteral("pro"), codigo, 84);
    Q_Geral->close();
}

void TDM_Comuns::Tb_MunicipioBeforeDelete(DataSet& ds)
{
    recusaExclusaoMunicipio(ds);
}

void TDM_Comuns::Tb_MunicipioProBeforeDelete(DataSet& ds)
{
    recusaExclusaoMunicipio(ds);
}

// ---- Before post ----------------------------------------------------------------------
// The field checks of each register run here, first failure refusing the post.

namespace {

QString aparado(DataSet& ds, const char* field)
{
    return ds.fieldByName(QString::fromLatin1(field))->asString().trimmed();
}

// Refusal of the whole row: message and silent abort, no field to focus.
[[noreturn]] void recusa(int mensagem)
{
    MsgErroBD(mensagem);
    vorta::Abort();
}

// The key as it will be stored: 1 to width-1 digits are filled with leading zeros;
// anything else is kept, so the check digits refuse it.
QString chaveGravada(const QString& chave, int largura)
{
    const bool digitos = std::all_of(chave.begin(), chave.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; });
    if (chave.length() >= 1 && chave.length() < largura && digitos)
        return StrZero(chave, largura, 0);
    return chave;
}

// A text read as a whole number; false for an empty or non-numeric text.
bool inteiro(const QString& text, qint64& valor)
{
    bool ok = false;
    valor = text.trimmed().toLongLong(&ok);
    return ok;
}

} // namespace

bool TDM_Comuns::existeLinha(const QStringList& linhas, const QString& parametro, const QVariant& valor)
{
    Q_Geral->close();
    Q_Geral->setSqlLines(linhas);
    Q_Geral->paramByName(parametro)->setValue(valor);
    Q_Geral->open();
    const bool achou = !Q_Geral->isEmpty();
    Q_Geral->close();
    return achou;
}

// A CPF of 1 to 10 digits is written back filled with zeros before its check digits
// are tested.
void TDM_Comuns::validaCPF(DataSet& ds, const char* campo, int vazio)
{
    const QString nome = QString::fromLatin1(campo);
    const QString cpf = aparado(ds, campo);
    if (cpf.isEmpty())
        RecusaCampo(vazio, QString(), nome);
    if (cpf == QLatin1String("00000000000"))
        RecusaCampo(23, QString(), nome);
    if (cpf.length() == 11 && !ChkCPF(cpf))
        RecusaCampo(23, QString(), nome);
    if (cpf.length() < 11) {
        const QString cheio = StrZero(cpf, 11, 0);
        ds.fieldByName(nome)->setAsString(cheio);
        if (!ChkCPF(cheio))
            RecusaCampo(23, QString(), nome);
    }
}

void TDM_Comuns::validaMunicipio(DataSet& ds)
{
    if (ds.state() == DataSetState::Insert) {
        if (existeLinha({QStringLiteral("select * from municipio where mun_codigo =:mun")}, QStringLiteral("mun"),
                        ds.fieldByName(QStringLiteral("Mun_Codigo"))->asInteger()))
            recusa(22);
        Q_Geral->close();
        Q_Geral->setSqlLines({QStringLiteral("select * from municipio where mun_descricao =:mun"),
                              QStringLiteral("and mun_Uf =:uf")});
        Q_Geral->paramByName(QStringLiteral("mun"))->setAsString(texto(ds, "Mun_Descricao").toString());
        Q_Geral->paramByName(QStringLiteral("uf"))->setAsString(texto(ds, "Mun_UF").toString());
        Q_Geral->open();
        const bool achou = !Q_Geral->isEmpty();
        Q_Geral->close();
        if (achou)
            recusa(22);
    }
    if (aparado(ds, "Mun_Codigo").isEmpty())
        RecusaCampo(76, QString(), QStringLiteral("Mun_Codigo"));
    if (aparado(ds, "Mun_Descricao").isEmpty())
        RecusaCampo(77, QString(), QStringLiteral("Mun_Descricao"));
    const QString uf = aparado(ds, "Mun_UF");
    if (uf.length() < 2)
        RecusaCampo(66, QString(), QStringLiteral("Mun_UF"));
    const bool exterior = uf == QLatin1String("EX");
    if (!exterior && !ChkUF(uf))
        RecusaCampo(83, QString(), QStringLiteral("Mun_UF"));
    const QString inicial = aparado(ds, "Mun_CEPInicial");
    const QString final_ = aparado(ds, "Mun_CEPFinal");
    if (inicial.isEmpty() && !exterior)
        RecusaCampo(78, QString(), QStringLiteral("Mun_CEPInicial"));
    if (!inicial.isEmpty() && inicial.length() < 8)
        RecusaCampo(79, QString(), QStringLiteral("Mun_CEPInicial"));
    if (final_.isEmpty() && !exterior)
        RecusaCampo(80, QString(), QStringLiteral("Mun_CEPFinal"));
    if (!final_.isEmpty() && final_.length() < 8)
        RecusaCampo(81, QString(), QStringLiteral("Mun_CEPFinal"));
    if (QString::compare(final_, inicial, Qt::CaseSensitive) < 0)
        RecusaCampo(82, QString(), QStringLiteral("Mun_CEPFinal"));
}

void TDM_Comuns::Tb_MunicipioBeforePost(DataSet& ds)
{
    validaMunicipio(ds);
}

void TDM_Comuns::Tb_MunicipioProBeforePost(DataSet& ds)
{
    validaMunicipio(ds);
}

void TDM_Comuns::Tb_ResponsavelBeforePost(DataSet& ds)
{
    auto campo = [&ds](const char* nome) { return ds.fieldByName(QString::fromLatin1(nome)); };
    auto foca = [this](int mensagem, const char* nome) { RecusaCampo(mensagem, QString(), QString::fromLatin1(nome)); };

    // The duplicate probe takes the CPF as it will be stored, zeros included.
    if (ds.state() == DataSetState::Insert
        && existeLinha({QStringLiteral("select * from responsavel where resp_cpf =:resp")}, QStringLiteral("resp"),
                       chaveGravada(aparado(ds, "Resp_CPF"), 11)))
        recusa(1342);
    validaCPF(ds, "Resp_CPF", 15);

    const QString crc = aparado(ds, "Resp_CRC");
    if (crc.isEmpty())
        foca(24, "Resp_CRC");
    if (crc.length() != 10)
        foca(25, "Resp_CRC");
    if (!ChkCRC(crc, QStringLiteral("1")))
        MsgErroBD(26);

    const QString nome = aparado(ds, "Resp_Nome");
    if (nome.isEmpty())
        foca(17, "Resp_Nome");
    if (nome.length() < 3)
        foca(28, "Resp_Nome");

    const bool logradouro = !aparado(ds, "Resp_Logradouro").isEmpty();
    const QString tipLog = aparado(ds, "TipLog_Codigo");
    if (logradouro && tipLog.isEmpty())
        foca(60, "LK_Logradouro");
    if (!logradouro && !tipLog.isEmpty())
        foca(61, "Resp_Logradouro");
    const bool bairro = !aparado(ds, "Resp_Bairro").isEmpty();
    const QString tipBai = aparado(ds, "TipBai_Codigo");
    if (bairro && tipBai.isEmpty())
        foca(63, "Lk_Bairro");
    if (!bairro && !tipBai.isEmpty() && tipBai != QLatin1String("CTO"))
        foca(64, "Resp_Bairro");

    const QString municipio = aparado(ds, "Mun_Endereco");
    const QString cep = aparado(ds, "Resp_CEP");
    if (municipio.isEmpty() && !cep.isEmpty())
        foca(65, "LK_Municipio");
    if (!cep.isEmpty() && cep.length() < 8)
        foca(68, "Resp_CEP");
    if (!cep.isEmpty()) {
        // The range of the record's own municipality; an unreadable CEP or range refuses.
        Q_Geral->close();
        Q_Geral->setSql(QStringLiteral("select Mun_CEPInicial, Mun_CEPFinal from municipio where mun_codigo =:mun"));
        Q_Geral->paramByName(QStringLiteral("mun"))->setAsInteger(campo("Mun_Endereco")->asInteger());
        Q_Geral->open();
        qint64 valor = 0, inicial = 0, final_ = 0;
        const bool dentro = !Q_Geral->isEmpty() && inteiro(cep, valor)
                            && inteiro(Q_Geral->fieldByName(QStringLiteral("Mun_CEPInicial"))->asString(), inicial)
                            && inteiro(Q_Geral->fieldByName(QStringLiteral("Mun_CEPFinal"))->asString(), final_)
                            && valor >= inicial && valor <= final_;
        Q_Geral->close();
        if (!dentro)
            foca(69, "Resp_CEP");
    }

    for (const auto& [fone, ddd] : {std::pair{"Resp_Fone", "Resp_DDDFone"}, {"Resp_FAX", "Resp_DDDFAX"}}) {
        const QString numero = aparado(ds, fone);
        const QString prefixo = aparado(ds, ddd);
        if (numero.isEmpty() && !prefixo.isEmpty())
            foca(19, fone);
        if (!numero.isEmpty() && prefixo.isEmpty())
            foca(29, ddd);
        if (!prefixo.isEmpty() && prefixo.length() < 2)
            foca(30, ddd);
        if (!numero.isEmpty() && numero.length() < 7)
            foca(31, fone);
    }

    const QString email = aparado(ds, "Resp_Email");
    if (email.isEmpty() && !ConfirmaSimNaoBD(622))
        vorta::Abort();
    if (!email.isEmpty() && !ChkEmail(email))
        foca(32, "Resp_Email");

    const qint64 tipoEmpresa = campo("Resp_TipoCRCEmpresa")->asInteger();
    if (tipoEmpresa != 2 && tipoEmpresa != 3)
        campo("Resp_TipoCRCEmpresa")->clear();
    const QString crcEmpresa = aparado(ds, "Resp_CRC_Empresa");
    const QString escritorio = aparado(ds, "Resp_NomeEscritorio");
    const bool tipo = !aparado(ds, "Resp_TipoCRCEmpresa").isEmpty();
    if (!escritorio.isEmpty() || !crcEmpresa.isEmpty() || tipo) {
        if (crcEmpresa.isEmpty())
            foca(609, "Resp_CRC_Empresa");
        if (crcEmpresa.length() != 10)
            foca(610, "Resp_CRC_Empresa");
        if (!ChkCRC(crcEmpresa, QString::number(campo("Resp_TipoCRCEmpresa")->asInteger())))
            MsgErroBD(611);
        if (!tipo)
            foca(608, "Resp_TipoCRCEmpresa");
        if (escritorio.isEmpty())
            foca(607, "Resp_NomeEscritorio");
    }
    campo("Resp_TipoCRC")->setAsInteger(1);
}

void TDM_Comuns::Tb_RespEmpresaBeforePost(DataSet& ds)
{
    if (ds.state() == DataSetState::Insert
        && existeLinha({QStringLiteral("select * from RespEmpresa where ResEmp_CPF =:resp")}, QStringLiteral("resp"),
                       chaveGravada(aparado(ds, "ResEmp_CPF"), 11)))
        recusa(22);
    validaCPF(ds, "ResEmp_CPF", 15);
    const QString nome = aparado(ds, "ResEmp_Nome");
    if (nome.isEmpty())
        RecusaCampo(27, QString(), QStringLiteral("ResEmp_Nome"));
    if (nome.length() < 3)
        RecusaCampo(28, QString(), QStringLiteral("ResEmp_Nome"));
    if (aparado(ds, "ResEmp_Cargo").isEmpty())
        RecusaCampo(606, QString(), QStringLiteral("ResEmp_Cargo"));
}

void TDM_Comuns::Tb_RemDestBeforePost(DataSet& ds)
{
    Field* inscricao = ds.fieldByName(QStringLiteral("Con_IECNPJCPF"));
    const QString tipo = aparado(ds, "Con_Tipo");
    if (tipo.isEmpty())
        recusa(497);
    const bool ie = tipo == QLatin1String("IE");
    const bool cnpj = tipo == QLatin1String("CNPJ");
    const bool cpf = tipo == QLatin1String("CPF");
    const bool oi = tipo == QLatin1String("OI");
    QString valor = inscricao->asString().trimmed();
    // The duplicate probe takes the registration as it will be stored.
    const QString gravada = cnpj ? chaveGravada(valor, 14) : cpf ? chaveGravada(valor, 11) : valor;
    if (ds.state() == DataSetState::Insert
        && existeLinha({QStringLiteral("select * from contribuinte where Con_IECNPJCPF =:IECNPJCPF")},
                       QStringLiteral("IECNPJCPF"), gravada))
        recusa(22);
    if (valor.isEmpty()) {
        if (ie)
            recusa(34);
        if (cnpj)
            recusa(35);
        if (cpf)
            recusa(15);
        if (oi)
            recusa(495);
    }
    if (ie && valor.length() == 9) {
        if (valor.left(2).toInt() != 28)
            recusa(53);
        if (!ChkINSC(valor.mid(2, 7)))
            recusa(54);
    }
    if (cnpj) {
        if (valor.isEmpty())
            recusa(55);
        if (valor.length() == 14 && !ChkCNPJ(valor))
            recusa(55);
        if (valor.length() < 14) {
            valor = StrZero(valor, 14, 0);
            inscricao->setAsString(valor);
            if (!ChkCNPJ(valor))
                recusa(55);
        }
    }
    if (cpf) {
        if (valor.isEmpty() || valor == QLatin1String("00000000000"))
            recusa(23);
        if (valor.length() == 11 && !ChkCPF(valor))
            recusa(23);
        if (valor.length() < 11) {
            valor = StrZero(valor, 11, 0);
            inscricao->setAsString(valor);
            if (!ChkCPF(valor))
                recusa(23);
        }
    }
    const QString nome = aparado(ds, "Con_Nome");
    if (nome.isEmpty())
        recusa(37);
    if (nome.length() < 3)
        recusa(56);
    if (aparado(ds, "Mun_Endereco").isEmpty())
        recusa(133);
    const QString uf = ds.fieldByName(QStringLiteral("Con_UF"))->asString();
    if (ie && uf != QLatin1String("QX"))
        recusa(1650);
    if (ie && QString::compare(valor, QStringLiteral("285000000"), Qt::CaseSensitive) > 0) {
        // A rural producer's property is its address.
        ds.fieldByName(QStringLiteral("Mun_Propriedade"))->setValue(ds.fieldByName(QStringLiteral("Mun_Endereco"))->value());
        ds.fieldByName(QStringLiteral("Con_UFEstab"))->setAsString(uf);
    }
    if (oi && uf == QLatin1String("QX"))
        recusa(496);
    // Last step: a kind changed on an existing row re-types its invoices.
    if (ds.state() == DataSetState::Edit && TipoAlterado)
        AtualizarConTipoNotas(texto(ds, "Con_IECNPJCPF").toString(), texto(ds, "Con_Tipo").toString());
}

// ---- After post -------------------------------------------------------------------------

void TDM_Comuns::Tb_ContribuinteAfterPost(DataSet& ds)
{
    InscricaoPadrao.clear();
    // Declarations not yet generated go back to '?' so their modules see the change.
    const QVariant inscricao = texto(ds, "Con_IECNPJCPF");
    if (tabelaExiste(QStringLiteral("TUV.DAT"))) {
        Q_Geral->close();
        Q_Geral->setSqlLines({QStringLiteral("Update TUV set Tuv_Gerada = '?' "),
                              QStringLiteral("where contrib_InscEstad =:inscricao"),
                              QStringLiteral("  and Tuv_Gerada = 'N' ")});
        Q_Geral->paramByName(QStringLiteral("inscricao"))->setValue(inscricao);
        Q_Geral->execSql();
        Q_Geral->close();
    }
    if (tabelaExiste(QStringLiteral("KOB.DAT"))) {
        Q_Geral->close();
        Q_Geral->setSqlLines({QStringLiteral("Update KOB set KOB_Status = '?' "),
                              QStringLiteral("where con_produtor =:inscricao"),
                              QStringLiteral("  and Kob_Status = 'N' ")});
        Q_Geral->paramByName(QStringLiteral("inscricao"))->setValue(inscricao);
        Q_Geral->execSql();
        Q_Geral->close();
    }
}

void TDM_Comuns::Tb_RemDestAfterPost(DataSet&)
{
    InscricaoPadrao.clear();
}

void TDM_Comuns::Tb_ResponsavelAfterPost(DataSet&)
{
    if (Tb_C_Responsavel->active())
        Tb_C_Responsavel->refresh();
}

void TDM_Comuns::Tb_MunicipioProAfterPost(DataSet&)
{
    if (Tb_C_Municipio->active())
        Tb_C_Municipio->refresh();
}

// ---- Post errors ------------------------------------------------------------------------

void TDM_Comuns::Tb_MunicipioPostError(DataSet&, EDatabaseError& e, DataAction& action)
{
    mostraErroGravacao(e, action);
}

void TDM_Comuns::Tb_MunicipioProPostError(DataSet&, EDatabaseError& e, DataAction& action)
{
    mostraErroGravacao(e, action);
}

void TDM_Comuns::Tb_ResponsavelPostError(DataSet&, EDatabaseError& e, DataAction& action)
{
    mostraErroGravacao(e, action);
}

void TDM_Comuns::Tb_ContribuintePostError(DataSet&, EDatabaseError& e, DataAction& action)
{
    mostraErroGravacao(e, action);
}

void TDM_Comuns::Tb_RemDestPostError(DataSet&, EDatabaseError& e, DataAction& action)
{
    mostraErroGravacao(e, action);
}

// ---- Registration kind --------------------------------------------------------------------

void TDM_Comuns::Tb_RemDestCon_TipoChange(Field& field)
{
    TipoAlterado = field.dataSet()->state() == DataSetState::Edit;
}

void TDM_Comuns::AtualizarConTipoNotas(const QString& Registration, const QString& Kind)
{
    // Without the invoice module there are no invoices to re-type, and the sender's
    // save must not fail for it.
    if (!tabelaExiste(QStringLiteral("Nota.DAT")))
        return;
    auto q = std::make_unique<Query>();
    q->setDatabase(DB_Comuns);
    q->setSqlLines({QStringLiteral("update nota set Con_tipo= :Tipo "),
                    QStringLiteral("where con_remetente = :Inscricao "), QStringLiteral("and NF_Digitou = 'D'")});
    q->paramByName(QStringLiteral("Tipo"))->setAsString(Kind);
    q->paramByName(QStringLiteral("Inscricao"))->setAsString(Registration);
    q->execSql();
    q->setSqlLines({QStringLiteral("update nota set Con_tipo= :Tipo "),
                    QStringLiteral("where con_destinatario = :Inscricao "), QStringLiteral("and NF_Digitou = 'R'")});
    q->paramByName(QStringLiteral("Tipo"))->setAsString(Kind);
    q->paramByName(QStringLiteral("Inscricao"))->setAsString(Registration);
    q->execSql();
}

// ---- Municipality UF ----------------------------------------------------------------------

void TDM_Comuns::Tb_MunicipioMun_UFChange(Field& field)
{
    if (!FormMunicipio)
        return;
    // Abroad there is no CEP range.
    const bool mostra = field.asString() != QLatin1String("EX");
    for (const char* nome : {"Label5", "DBEdit_Mun_CEPInicial", "Label6", "DBEdit_Mun_CEPFinal"})
        if (auto* w = FormMunicipio->findChild<QWidget*>(QString::fromLatin1(nome)))
            w->setVisible(mostra);
}

// ---- Field visibility -------------------------------------------------------------------

namespace {
// The data field of a data-aware edit, radio group or lookup list; empty for any other
// widget.
QString campoDoControle(QWidget* w)
{
    const auto* control = dynamic_cast<const vorta::ui::FieldControl*>(w);
    if (!control)
        return {};
    switch (control->dataControlKind()) {
    case vorta::ui::DataControlKind::Edit:
    case vorta::ui::DataControlKind::LookupComboBox:
    case vorta::ui::DataControlKind::LookupCombo:
    case vorta::ui::DataControlKind::RadioGroup:
        return control->dataField().trimmed();
    default:
        return {};
    }
}

// The control's own Visible flag, whatever its parents show.
bool visivel(QWidget* w)
{
    return w->parentWidget() ? w->isVisibleTo(w->parentWidget()) : !w->isHidden();
}
} // namespace

void TDM_Comuns::HabilitaDesabilitaControles(QWidget* Form, const QString& Column, const QString& Table)
{
    if (!Form)
        return;
    Tb_Parametros->open();
    const QList<QWidget*> widgets = Form->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        const QString campo = campoDoControle(w);
        if (campo.isEmpty())
            continue;
        if (Tb_Parametros->locate(QStringLiteral("Campo;Tabelas"), {campo, Table}, vorta::db::loCaseInsensitive))
            w->setVisible(Tb_Parametros->fieldByName(Column)->asBoolean());
    }
    // Labels after every control, so a label placed before its field follows it too.
    for (QWidget* w : widgets)
        if (auto* label = qobject_cast<QLabel*>(w))
            if (QWidget* buddy = label->buddy())
                label->setVisible(visivel(buddy));
}

// ---- Taxpayer rules ------------------------------------------------------------------

namespace {

const QString kCorrespondencia = QStringLiteral("TBSCorrespondencia");
const QString kEstabelecimento = QStringLiteral("TBSEstabelecimento");
const QString kEspecificacao = QStringLiteral("TbSEspecificacao");
const QString kResponsavel = QStringLiteral("tbSResponsavel");

using Recusa = TDM_Comuns::Recusa;
using Checagem = TDM_Comuns::Checagem;

bool branco(const QString& v)
{
    return v.trimmed().isEmpty();
}

int tamanho(const QString& v)
{
    return int(v.trimmed().length());
}

bool soDigitos(const QString& v)
{
    if (v.isEmpty())
        return false;
    for (const QChar c : v)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// Text compared character by character, both ends excluded.
bool entreTextos(const QString& r, const char* de, const char* ate)
{
    return QString::compare(r, QLatin1String(de), Qt::CaseSensitive) > 0
           && QString::compare(r, QLatin1String(ate), Qt::CaseSensitive) < 0;
}

Checagem falha(int mensagem, int foco = 0, QVariantList args = {})
{
    return Recusa{mensagem, foco, std::move(args)};
}

} // namespace

Checagem TDM_Comuns::ChecaObrig(const QString& valor, int vazio)
{
    if (branco(valor))
        return falha(vazio);
    return {};
}

Checagem TDM_Comuns::ChecaNome(const QString& valor, int vazio, int curto)
{
    if (branco(valor))
        return falha(vazio);
    if (tamanho(valor) < 3)
        return falha(curto);
    return {};
}

Checagem TDM_Comuns::ChecaDigitoIE(const QString& valor)
{
    if (valor.trimmed().length() != 9)
        return {};
    const QString v = valor.trimmed();
    insc = v.mid(2, 7);
    bool ok = false;
    const int prefixo = v.left(2).toInt(&ok);
    if (!ok || !soDigitos(v.left(2)))
        return falha(53);
    ie2 = prefixo;
    if (ie2 != 28)
        return falha(53);
    if (!ChkINSC(insc))
        return falha(54);
    return {};
}

Checagem TDM_Comuns::ChecaOutraIE(const QString& valor, int tamanhoErrado, int prefixo, int digito)
{
    const QString v = valor.trimmed();
    if (v.length() != 9)
        return falha(tamanhoErrado);
    insc = v.mid(2, 7);
    if (v.left(2) != QLatin1String("28"))
        return falha(prefixo);
    if (!ChkINSC(insc))
        return falha(digito);
    return {};
}

Checagem TDM_Comuns::ChecaDDDObrig(const QString& ddd)
{
    if (branco(ddd))
        return falha(70);
    if (tamanho(ddd) == 1)
        return falha(30);
    return {};
}

Checagem TDM_Comuns::ChecaFoneObrig(const QString& fone)
{
    if (branco(fone))
        return falha(19);
    if (tamanho(fone) <= 6)
        return falha(31);
    return {};
}

Checagem TDM_Comuns::ChecaFone(const QString& ddd, const QString& fone, int semFone, int semDDD, int dddCurto,
                               int foneCurto)
{
    if (branco(fone) && !branco(ddd))
        return falha(semFone, 1);
    if (!branco(fone) && branco(ddd))
        return falha(semDDD, 0);
    if (tamanho(ddd) == 1)
        return falha(dddCurto, 0);
    if (tamanho(fone) >= 1 && tamanho(fone) <= 6)
        return falha(foneCurto, 1);
    return {};
}

Checagem TDM_Comuns::ChecaFax(const QString& ddd, const QString& fax)
{
    if (tamanho(ddd) == 1)
        return falha(72, 0);
    if (branco(fax) && !branco(ddd))
        return falha(71, 1);
    if (!branco(fax) && branco(ddd))
        return falha(71, 0);
    if (tamanho(fax) >= 1 && tamanho(fax) <= 6)
        return falha(73, 1);
    return {};
}

Checagem TDM_Comuns::ChecaLogradouro(const QString& nome, const QString& tipo, int semTipo, int semNome)
{
    if (!branco(nome) && branco(tipo))
        return falha(semTipo, 1);
    if (branco(nome) && !branco(tipo))
        return falha(semNome, 0);
    return {};
}

Checagem TDM_Comuns::ChecaBairro(const QString& bairro, const QString& tipo, int semTipo, int semNome,
                                 bool obrigatorio)
{
    const bool cto = tipo.trimmed() == QLatin1String("CTO");
    if (obrigatorio) {
        if (branco(tipo))
            return falha(semTipo, 1);
        if (branco(bairro) && !cto)
            return falha(semNome, 0);
        return {};
    }
    if (!branco(bairro) && branco(tipo))
        return falha(semTipo, 1);
    if (branco(bairro) && !branco(tipo) && !cto)
        return falha(semNome, 0);
    return {};
}

Checagem TDM_Comuns::ChecaNumComplObrig(const QString& numero, const QString& complemento, int mensagem)
{
    if (branco(numero) && branco(complemento))
        return falha(mensagem, 0);
    return {};
}

Checagem TDM_Comuns::ChecaUF(const QString& uf, int vazia, int invalida)
{
    if (tamanho(uf) < 2)
        return falha(vazia);
    if (!ChkUF(uf.trimmed()))
        return falha(invalida);
    return {};
}

Checagem TDM_Comuns::ChecaEmail(const QString& email, int mensagem)
{
    if (!branco(email) && !ChkEmail(email.trimmed()))
        return falha(mensagem);
    return {};
}

Checagem TDM_Comuns::ChecaNIRE(const QString& nire, const QString& inscricao)
{
    if (nire.isEmpty())
        return {};
    const QString prefixo = nire.left(2);
    if (prefixo == QLatin1String("00"))
        return nire.mid(2, 9) == inscricao ? Checagem{} : falha(633);
    return ChecaNIREDigito(nire);
}

Checagem TDM_Comuns::ChecaNIREDigito(const QString& nire)
{
    if (nire.left(2) != QLatin1String("54") || !ChkNIRE(nire))
        return falha(633);
    return {};
}

Checagem TDM_Comuns::ChecaCNPJObrig(const QString& cnpj, int menorChecado)
{
    const QString v = cnpj.trimmed();
    if (v.isEmpty())
        return falha(35);
    if (v.length() >= menorChecado && v.length() <= 14 && !ChkCNPJ(v))
        return falha(55);
    return {};
}

Checagem TDM_Comuns::ChecaCEP(const QString& cep, const QVariant& municipio, int curto, int foraDaFaixa)
{
    Tb_Municipio->open();
    const bool achou = !municipio.isNull() && Tb_Municipio->locate(QStringLiteral("Mun_Codigo"), municipio);
    if (tamanho(cep) < 8)
        return falha(curto);
    // No municipality of that code: there is no range to test against.
    if (!achou)
        return {};
    const QString inicial = Tb_Municipio->fieldByName(QStringLiteral("Mun_CEPInicial"))->asString();
    const QString final_ = Tb_Municipio->fieldByName(QStringLiteral("Mun_CEPFinal"))->asString();
    if (branco(inicial) || branco(final_)) {
        const QString nome = Tb_Municipio->fieldByName(QStringLiteral("Mun_Descricao"))->asString();
        return falha(1407, 0, {nome, nome});
    }
    qint64 valor = 0, de = 0, ate = 0;
    if (!inteiro(cep, valor) || !inteiro(inicial, de) || !inteiro(final_, ate) || valor < de || valor > ate)
        return falha(foraDaFaixa);
    return {};
}

Checagem TDM_Comuns::ChecaCEPInformado(const QString& cep, const QVariant& municipio, int vazio, int curto,
                                       int foraDaFaixa)
{
    if (branco(cep))
        return vazio ? falha(vazio) : Checagem{};
    return ChecaCEP(cep, municipio, curto, foraDaFaixa);
}

bool TDM_Comuns::ExisteContribuinte(const QString& inscricao)
{
    return existeLinha({QStringLiteral("select * from contribuinte where Con_IECNPJCPF =:IECNPJCPF")},
                       QStringLiteral("IECNPJCPF"), inscricao);
}

namespace {

// The current taxpayer record as the rules read it.
struct Registro {
    DataSet& ds;
    Field* f(const char* nome) const { return ds.fieldByName(QString::fromLatin1(nome)); }
    QString s(const char* nome) const { return f(nome)->asString(); }
};

} // namespace

// Each rule reads the fields it names and refuses through the failure step, focusing
// the field the check found at fault.
namespace {
void recusaSe(TDM_Comuns* dm, const Checagem& c, const QString& pagina, std::initializer_list<const char*> campos)
{
    if (!c)
        return;
    if (c->foco < 0 || c->foco >= int(campos.size())) {
        MsgErroBD(c->mensagem, c->args);
        vorta::Abort();
    }
    dm->RecusaCampo(c->mensagem, pagina, QString::fromLatin1(campos.begin()[c->foco]), c->args);
}
} // namespace

void TDM_Comuns::VerRegistroExiste()
{
    const Registro r{*Tb_Contribuinte};
    if (Tb_Contribuinte->state() != DataSetState::Insert)
        return;
    // The probe takes the registration as it will be stored.
    const QString tipo = r.s("Con_Tipo");
    QString chave = r.s("Con_IECNPJCPF").trimmed();
    if (tipo == QLatin1String("CNPJ"))
        chave = chaveGravada(chave, 14);
    else if (tipo == QLatin1String("CPF"))
        chave = chaveGravada(chave, 11);
    if (ExisteContribuinte(chave))
        RecusaCampo(22, QString(), QStringLiteral("Con_IECNPJCPF"));
}

void TDM_Comuns::VerificaIECNPJCPFPreenchido()
{
    const Registro r{*Tb_Contribuinte};
    if (!branco(r.s("Con_IECNPJCPF")))
        return;
    const QString tipo = r.s("Con_Tipo");
    const int mensagem = tipo == QLatin1String("IE")     ? 34
                         : tipo == QLatin1String("CNPJ") ? 35
                         : tipo == QLatin1String("CPF")  ? 15
                         : tipo == QLatin1String("OI")   ? 495
                                                         : 0;
    if (mensagem)
        MsgErroBD(mensagem);
    if (FocaCampo)
        FocaCampo(QString(), QStringLiteral("Con_IECNPJCPF"));
    vorta::Abort();
}

void TDM_Comuns::ValidaDigitoIE()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaDigitoIE(r.s("Con_IECNPJCPF")), QString(), {"Con_IECNPJCPF"});
}

namespace {
// A CNPJ or CPF registration: 2 to width-1 characters are stored filled with zeros
// before the check; 1 character or more than the width is not checked.
void digitoPreenchido(TDM_Comuns* dm, Field* campo, int largura, bool (*chk)(const QString&), int mensagem)
{
    const QString v = campo->asString().trimmed();
    const QString nome = campo->fieldName();
    if (v.isEmpty())
        dm->RecusaCampo(mensagem, QString(), nome);
    if (v.length() == largura && !chk(v))
        dm->RecusaCampo(mensagem, QString(), nome);
    if (v.length() >= 2 && v.length() < largura) {
        const QString cheio = chaveGravada(v, largura);
        campo->setAsString(cheio);
        if (!chk(cheio))
            dm->RecusaCampo(mensagem, QString(), nome);
    }
}
} // namespace

void TDM_Comuns::ValidaDigitoCNPJ()
{
    const Registro r{*Tb_Contribuinte};
    digitoPreenchido(this, r.f("Con_IECNPJCPF"), 14, ChkCNPJ, 55);
}

void TDM_Comuns::ValidaDigitoCPF()
{
    const Registro r{*Tb_Contribuinte};
    digitoPreenchido(this, r.f("Con_IECNPJCPF"), 11, ChkCPF, 23);
}

void TDM_Comuns::ValidaNomePropriedadeObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaNome(r.s("Con_NomePropr"), 57, 58), QString(), {"Con_NomePropr"});
}

void TDM_Comuns::ValidaNomeFantasiaObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaNome(r.s("Con_NomePropr"), 38, 1420), QString(), {"Con_NomePropr"});
}

void TDM_Comuns::ValidaCPRObrig()
{
    const Registro r{*Tb_Contribuinte};
    if (tamanho(r.s("Con_NumeroCPR")) < 5)
        RecusaCampo(1258, QString(), QStringLiteral("Con_NumeroCPR"));
}

void TDM_Comuns::ValidaCPR()
{
    const Registro r{*Tb_Contribuinte};
    const int n = tamanho(r.s("Con_NumeroCPR"));
    if (n >= 1 && n <= 4)
        RecusaCampo(1258, QString(), QStringLiteral("Con_NumeroCPR"));
}

void TDM_Comuns::ValidaCon_NIREObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaObrig(r.s("Con_NIRE"), 631), QString(), {"Con_NIRE"});
}

void TDM_Comuns::ValidaCon_NIRE()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaNIRE(r.s("Con_NIRE"), r.s("Con_IECNPJCPF")), QString(), {"Con_NIRE"});
}

void TDM_Comuns::ValidaCPFCNPJ()
{
    const Registro r{*Tb_Contribuinte};
    const QString tipo = r.s("Con_TipoCPFCNPJ").trimmed();
    Field* endCpf = r.f("End_CPF");
    if (tipo.isEmpty() && !branco(endCpf->asString()))
        RecusaCampo(1255, QString(), QStringLiteral("Con_TipoCPFCNPJ"));
    const bool cpf = tipo == QLatin1String("CPF");
    if ((cpf || tipo == QLatin1String("CNPJ")) && !endCpf->asString().isEmpty()) {
        const QString cheio = chaveGravada(endCpf->asString().trimmed(), cpf ? 11 : 14);
        endCpf->setAsString(cheio);
        if (cpf ? !ChkCPF(cheio) : !ChkCNPJ(cheio))
            RecusaCampo(cpf ? 59 : 55, QString(), QStringLiteral("End_CPF"));
    }
}

void TDM_Comuns::ValidaCNPJObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaCNPJObrig(r.s("End_CPF")), QString(), {"End_CPF"});
}

void TDM_Comuns::ValidaCNPJRevendaProdutor()
{
    const Registro r{*Tb_Contribuinte};
    const QString v = r.s("End_CPF").trimmed();
    const QString campo = QStringLiteral("End_CPF");
    if (v.length() == 14) {
        if (!ChkCNPJ(v))
            RecusaCampo(55, QString(), campo);
        return;
    }
    if (v.length() == 11 && !ModoRevenda) {
        if (!ChkCPF(v))
            RecusaCampo(23, QString(), campo);
        return;
    }
    RecusaCampo(ModoProdutorRural ? 1422 : 55, QString(), campo);
}

void TDM_Comuns::ValidaSalvaEndereco()
{
    const Registro r{*Tb_Contribuinte};
    const QString cpf = r.s("End_CPF").trimmed();
    qint64 inscricao = 0;
    if (cpf.isEmpty() || !inteiro(r.s("Con_IECNPJCPF"), inscricao) || inscricao <= 285000000)
        return;
    const QString campo = QStringLiteral("End_CPF");
    if (cpf.length() == 11 && !ChkCPF(cpf))
        RecusaCampo(59, QString(), campo);
    if (cpf.length() >= 2 && cpf.length() <= 10 && !ChkCPF(cpf))
        RecusaCampo(23, QString(), campo);
    Tb_Endereco->open();
    if (Tb_Endereco->state() == DataSetState::Edit || Tb_Endereco->state() == DataSetState::Insert)
        Tb_Endereco->cancel();
    if (Tb_Endereco->locate(campo, cpf, vorta::db::loCaseInsensitive)) {
        Tb_Endereco->edit();
    } else {
        Tb_Endereco->append();
        Tb_Endereco->fieldByName(campo)->setAsString(cpf);
    }
}

void TDM_Comuns::ValidaCon_DDDFoneObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaDDDObrig(r.s("Con_DDDFone")), QString(), {"Con_DDDFone"});
}

void TDM_Comuns::ValidaCon_FoneObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaFoneObrig(r.s("Con_Fone")), QString(), {"Con_Fone"});
}

void TDM_Comuns::ValidaCon_Fone()
{
    const Registro r{*Tb_Contribuinte};
    Checagem c = ChecaFone(r.s("Con_DDDFone"), r.s("Con_Fone"), 19, 70, 30, 31);
    // A number without its area code refuses without moving the focus.
    if (c && c->mensagem == 70)
        c->foco = -1;
    recusaSe(this, c, QString(), {"Con_DDDFone", "Con_Fone"});
}

void TDM_Comuns::ValidaCon_Fone2()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaFone(r.s("Con_DDD2"), r.s("Con_Fone2"), 581, 582, 625, 626), QString(),
             {"Con_DDD2", "Con_Fone2"});
}

void TDM_Comuns::ValidaCon_FAX()
{
    const Registro r{*Tb_Contribuinte};
    Checagem c = ChecaFax(r.s("Con_DDDFax"), r.s("Con_FAX"));
    // Here either half of the pair missing goes to the area code.
    if (c && c->mensagem == 71)
        c->foco = 0;
    recusaSe(this, c, QString(), {"Con_DDDFax", "Con_FAX"});
}

void TDM_Comuns::ValidaTipLog_CodigoObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaObrig(r.s("TipLog_Codigo"), 60), kCorrespondencia, {"TipLog_Codigo"});
}

void TDM_Comuns::ValidaCon_LogradouroObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaObrig(r.s("Con_Logradouro"), 61), kCorrespondencia, {"Con_Logradouro"});
}

void TDM_Comuns::ValidaNumeroComplementoPreenchidoObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaNumComplObrig(r.s("Con_Numero"), r.s("Con_Complemento"), 62), kCorrespondencia,
             {"Con_Numero"});
}

void TDM_Comuns::ValidaCon_BairroObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaBairro(r.s("Con_Bairro"), r.s("TipBai_Codigo"), 63, 64, true), kCorrespondencia,
             {"Con_Bairro", "TipBai_Codigo"});
}

void TDM_Comuns::ValidaCon_Logradouro()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaLogradouro(r.s("Con_Logradouro"), r.s("TipLog_Codigo"), 60, 61), kCorrespondencia,
             {"Con_Logradouro", "TipLog_Codigo"});
}

void TDM_Comuns::ValidaCon_Bairro()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaBairro(r.s("Con_Bairro"), r.s("TipBai_Codigo"), 63, 64, false), kCorrespondencia,
             {"Con_Bairro", "TipBai_Codigo"});
}

void TDM_Comuns::ValidaMun_EnderecoObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaObrig(r.s("Mun_Endereco"), 65), kCorrespondencia, {"Mun_Endereco"});
}

void TDM_Comuns::ValidaCon_UFObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaUF(r.s("Con_UF"), 66, 66), kCorrespondencia, {"Con_UF"});
}

void TDM_Comuns::ValidaCon_CEPObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaCEPInformado(r.s("Con_CEP"), r.f("Mun_Endereco")->value(), 67, 68, 69), kCorrespondencia,
             {"Con_CEP"});
}

void TDM_Comuns::ValidaCon_CEP()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaCEPInformado(r.s("Con_CEP"), r.f("Mun_Endereco")->value(), 0, 68, 69), kCorrespondencia,
             {"Con_CEP"});
}

void TDM_Comuns::ValidaCon_Email()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaEmail(r.s("Con_Email"), 32), kCorrespondencia, {"Con_Email"});
}

void TDM_Comuns::ValidaTipLog_CodigoEstabObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaObrig(r.s("TipLog_CodigoEstab"), 612), kEstabelecimento, {"TipLog_CodigoEstab"});
}

void TDM_Comuns::ValidaCon_LogradouroEstabObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaObrig(r.s("Con_LogradouroEstab"), 613), kEstabelecimento, {"Con_LogradouroEstab"});
}

void TDM_Comuns::ValidaNumeroComplementoPreenchidoEstabObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaNumComplObrig(r.s("Con_NumeroEstab"), r.s("Con_ComplementoEstab"), 614), kEstabelecimento,
             {"Con_NumeroEstab"});
}

void TDM_Comuns::ValidaCon_BairroEstabObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaBairro(r.s("Con_BairroEstab"), r.s("Tip_Bai_CodigoEstab"), 623, 624, true), kEstabelecimento,
             {"Con_BairroEstab", "Tip_Bai_CodigoEstab"});
}

void TDM_Comuns::ValidaCon_LogradouroEstab()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaLogradouro(r.s("Con_LogradouroEstab"), r.s("TipLog_CodigoEstab"), 612, 613),
             kEstabelecimento, {"Con_LogradouroEstab", "TipLog_CodigoEstab"});
}

void TDM_Comuns::ValidaCon_BairroEstab()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaBairro(r.s("Con_BairroEstab"), r.s("Tip_Bai_CodigoEstab"), 623, 624, false),
             kEstabelecimento, {"Con_BairroEstab", "Tip_Bai_CodigoEstab"});
}

void TDM_Comuns::ValidaMun_EnderecoEstabObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaObrig(r.s("Mun_Propriedade"), 615), kEstabelecimento, {"Mun_Propriedade"});
}

void TDM_Comuns::ValidaMun_EstabelecimentoObrig()
{
    ValidaMun_EnderecoEstabObrig();
}

void TDM_Comuns::ValidaMun_PropriedadeObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaObrig(r.s("Mun_Propriedade"), 74), kEstabelecimento, {"Mun_Propriedade"});
}

void TDM_Comuns::ValidaAge_CodigoObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaObrig(r.s("Age_Codigo"), 75), kEstabelecimento, {"Age_Codigo"});
}

void TDM_Comuns::ValidaCon_UFEstabObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaUF(r.s("Con_UFEstab"), 616, 676), kEstabelecimento, {"Con_UFEstab"});
}

void TDM_Comuns::ValidaCon_CEPEstabObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaCEPInformado(r.s("Con_CEPEstab"), r.f("Mun_Propriedade")->value(), 618, 619, 620),
             kEstabelecimento, {"Con_CEPEstab"});
}

void TDM_Comuns::ValidaCon_CEPEstab()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaCEPInformado(r.s("Con_CEPEstab"), r.f("Mun_Propriedade")->value(), 0, 619, 620),
             kEstabelecimento, {"Con_CEPEstab"});
}

void TDM_Comuns::ValidaCon_EmailEstab()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaEmail(r.s("Con_EmailEstab"), 621), kEstabelecimento, {"Con_EmailEstab"});
}

namespace {
// A Yes/No question that refuses on No like a failure, without a further message.
void perguntaOuRecusa(TDM_Comuns* dm, int mensagem, const QString& pagina, const QString& campo)
{
    if (ConfirmaSimNaoBD(mensagem))
        return;
    if (dm->FocaCampo)
        dm->FocaCampo(pagina, campo);
    vorta::Abort();
}
} // namespace

void TDM_Comuns::ValidaCon_EmailEstabObrig()
{
    const Registro r{*Tb_Contribuinte};
    ValidaCon_EmailEstab();
    if (branco(r.s("Con_EmailEstab")))
        perguntaOuRecusa(this, 622, kEstabelecimento, QStringLiteral("Con_EmailEstab"));
}

void TDM_Comuns::ValidaViadeAcessoPreenchidoObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaObrig(r.s("Con_ComplementoEstab"), 1421), kEstabelecimento, {"Con_ComplementoEstab"});
}

void TDM_Comuns::ValidaCon_FormaEntregaObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaObrig(r.s("Con_FormaEntrega"), 627), kEspecificacao, {"Con_FormaEntrega"});
    ValidaCon_FormaEntregaAnual();
}

void TDM_Comuns::ValidaCon_FormaEntregaAnual()
{
    const Registro r{*Tb_Contribuinte};
    if (!r.f("Con_FormaEntrega")->isNull() && r.f("Con_FormaEntrega")->asInteger() == 2)
        perguntaOuRecusa(this, 1103, kEspecificacao, QStringLiteral("Con_FormaEntrega"));
}

void TDM_Comuns::ValidaCon_RegICMSObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaObrig(r.s("Con_RegICMS"), 593), kEspecificacao, {"Con_RegICMS"});
    if (r.f("Con_FormaEntrega")->asInteger() == 2 && r.f("Con_RegICMS")->asInteger() == 2)
        RecusaCampo(628, kEspecificacao, QStringLiteral("Con_RegICMS"));
}

void TDM_Comuns::ValidaCon_EscritaFiscalObrig()
{
    const Registro r{*Tb_Contribuinte};
    const QString escrita = r.s("Con_EscritaFiscal").trimmed();
    recusaSe(this, ChecaObrig(escrita, 635), kEspecificacao, {"Con_EscritaFiscal"});
    if (escrita != QLatin1String("D")) {
        r.f("Con_IEMatriz")->clear();
        return;
    }
    const QString matriz = r.s("Con_IEMatriz");
    if (branco(matriz))
        RecusaCampo(1105, kEspecificacao, QStringLiteral("Con_IEMatriz"));
    recusaSe(this, ChecaOutraIE(matriz, 54, 53, 53), kEspecificacao, {"Con_IEMatriz"});
}

void TDM_Comuns::ValidaCon_OutraEmpresaObrig()
{
    const Registro r{*Tb_Contribuinte};
    recusaSe(this, ChecaObrig(r.s("Con_OutraEmpresa"), 629), kEspecificacao, {"Con_OutraEmpresa"});
    ValidaCon_OutraEmpresa();
}

void TDM_Comuns::ValidaCon_OutraEmpresa()
{
    const Registro r{*Tb_Contribuinte};
    const QString outra = r.s("Con_OutraEmpresa").trimmed();
    if (outra == QLatin1String("N")) {
        r.f("Con_InscOutra")->clear();
        return;
    }
    if (outra != QLatin1String("S"))
        return;
    const QString inscOutra = r.s("Con_InscOutra");
    if (branco(inscOutra))
        RecusaCampo(630, kEspecificacao, QStringLiteral("Con_InscOutra"));
    recusaSe(this, ChecaOutraIE(inscOutra, 54, 53, 54), kEspecificacao, {"Con_InscOutra"});
}

void TDM_Comuns::ValidaResp_CPFObrig()
{
    const Registro r{*Tb_Contribuinte};
    // The focus goes to the legal representative's list, not the accountant's.
    if (branco(r.s("Resp_CPF")))
        RecusaCampo(634, kResponsavel, QStringLiteral("ResEmp_CPF"));
}

void TDM_Comuns::GravaEstabelecimento()
{
    const Registro r{*Tb_Contribuinte};
    // Only blank establishment fields take the correspondence address: what the user
    // typed there is kept.
    const std::pair<const char*, const char*> pares[] = {
        {"TipLog_Codigo", "TipLog_CodigoEstab"}, {"Con_Logradouro", "Con_LogradouroEstab"},
        {"Con_Numero", "Con_NumeroEstab"},       {"Con_Complemento", "Con_ComplementoEstab"},
        {"TipBai_Codigo", "Tip_Bai_CodigoEstab"}, {"Con_Bairro", "Con_BairroEstab"},
        {"Con_CEP", "Con_CEPEstab"},             {"Mun_Endereco", "Mun_Propriedade"},
        {"Con_UF", "Con_UFEstab"},               {"Con_Email", "Con_EmailEstab"},
        {"Con_CxPostal", "Con_CxPostalEstab"}};
    for (const auto& [de, para] : pares)
        if (branco(r.s(para)))
            r.f(para)->setValue(r.f(de)->value());
}

void TDM_Comuns::Tb_ContribuinteBeforePost(DataSet& ds)
{
    Registro r{ds};
    try {
        const QString tipo = r.s("Con_Tipo");
        if (tipo.isEmpty()) {
            GravaEstabelecimento();
            RecusaCampo(497, QString(), QStringLiteral("Con_Tipo"));
        }
        VerRegistroExiste();
        VerificaIECNPJCPFPreenchido();
        if (tipo == QLatin1String("IE"))
            ValidaDigitoIE();
        else if (tipo == QLatin1String("CNPJ"))
            ValidaDigitoCNPJ();
        else if (tipo == QLatin1String("CPF"))
            ValidaDigitoCPF();
        recusaSe(this, ChecaNome(r.s("Con_Nome"), 37, 56), QString(), {"Con_Nome"});

        const QString titulo = vorta::Application::instance() ? vorta::Application::instance()->title() : QString();
        if (titulo == QLatin1String("KOB") || titulo == QLatin1String("DUX"))
            regrasProdutor();
        else if (titulo == QLatin1String("TUV"))
            regrasTUV();
        else if (titulo == QLatin1String("Vorta_Mod"))
            regrasVortaMod();

        if (tipo == QLatin1String("OI") && r.s("Con_UF") == QLatin1String("QX")) {
            MsgErroBD(496);
            vorta::Abort();
        }
        const DataSetState endereco = Tb_Endereco->state();
        if (!branco(r.s("End_CPF")) && (endereco == DataSetState::Edit || endereco == DataSetState::Insert)) {
            const std::pair<const char*, const char*> pares[] = {
                {"TipLog_Codigo", "TipLog_Codigo"}, {"Con_Logradouro", "End_Logradouro"},
                {"Con_Numero", "End_Numero"},       {"Con_Complemento", "End_Complemento"},
                {"TipBai_Codigo", "TipBai_Codigo"}, {"Con_Bairro", "End_Bairro"},
                {"Con_CEP", "End_CEP"},             {"Mun_Endereco", "Mun_Codigo"},
                {"Con_UF", "End_UF"},               {"Con_DDDFone", "End_DDDFone"},
                {"Con_Fone", "End_Fone"},           {"Con_DDDFax", "End_DDDFax"},
                {"Con_FAX", "End_Fax"},             {"Con_Email", "End_Email"}};
            for (const auto& [de, para] : pares)
                Tb_Endereco->fieldByName(QString::fromLatin1(para))->setValue(r.f(de)->value());
            Tb_Endereco->post();
        }
    } catch (...) {
        // A refused taxpayer leaves no address row half made.
        const DataSetState endereco = Tb_Endereco->state();
        if (endereco == DataSetState::Edit || endereco == DataSetState::Insert)
            Tb_Endereco->cancel();
        throw;
    }

    const QString titulo = vorta::Application::instance() ? vorta::Application::instance()->title() : QString();
    if (titulo == QLatin1String("DUX") && ds.state() == DataSetState::Edit && TipoAlterado)
        AtualizarConTipoNotas(r.s("Con_IECNPJCPF"), r.s("Con_Tipo"));

    // Any delivery row of the registration still waiting is worth a word; the save goes on.
    Q_Geral->close();
    Q_Geral->setSqlLines({QStringLiteral("select Inscricao from Entrega"),
                          QStringLiteral("where upper(Inscricao) = upper(:inscricao) and Data_Entrega is null")});
    Q_Geral->paramByName(QStringLiteral("inscricao"))->setAsString(r.s("Con_IECNPJCPF"));
    Q_Geral->open();
    const bool pendente = !Q_Geral->isEmpty();
    Q_Geral->close();
    if (pendente)
        MsgInfoBD(1410);
}

void TDM_Comuns::regrasProdutor()
{
    const Registro r{*Tb_Contribuinte};
    qint64 inscricao = 0;
    if (r.s("Con_Tipo") != QLatin1String("IE") || !inteiro(r.s("Con_IECNPJCPF"), inscricao) || inscricao <= 285000000
        || inscricao >= 290000000)
        RecusaCampo(306, QString(), QStringLiteral("Con_Tipo"));
    ValidaNomePropriedadeObrig();
    ValidaSalvaEndereco();
    ValidaCPRObrig();
    ValidaCon_DDDFoneObrig();
    ValidaCon_FoneObrig();
    ValidaCon_Fone2();
    ValidaCon_FAX();
    ValidaTipLog_CodigoObrig();
    ValidaCon_LogradouroObrig();
    ValidaNumeroComplementoPreenchidoObrig();
    ValidaCon_BairroObrig();
    ValidaMun_PropriedadeObrig();
    ValidaCon_UFObrig();
    ValidaCon_CEPObrig();
    ValidaCon_Email();
    ValidaMun_PropriedadeObrig();
    ValidaAge_CodigoObrig();
}

// Con_TipoCPFCNPJ follows End_CPF: a number given is a CNPJ.
void TDM_Comuns::tipoCPFCNPJDoEndCPF()
{
    const Registro r{*Tb_Contribuinte};
    if (branco(r.s("End_CPF")))
        r.f("Con_TipoCPFCNPJ")->clear();
    else
        r.f("Con_TipoCPFCNPJ")->setAsString(QStringLiteral("CNPJ"));
}

void TDM_Comuns::regrasTUV()
{
    tipoCPFCNPJDoEndCPF();
    ValidaCNPJObrig();
    ValidaCon_DDDFoneObrig();
    ValidaCon_FoneObrig();
    ValidaCon_Fone2();
    ValidaCon_FAX();
    ValidaTipLog_CodigoEstabObrig();
    ValidaCon_LogradouroEstabObrig();
    ValidaNumeroComplementoPreenchidoEstabObrig();
    ValidaCon_BairroEstabObrig();
    ValidaMun_EnderecoEstabObrig();
    ValidaCon_UFEstabObrig();
    ValidaCon_CEPEstabObrig();
    ValidaCon_EmailEstab();
    ValidaCon_FormaEntregaObrig();
    ValidaCon_FormaEntregaAnual();
    ValidaCon_RegICMSObrig();
    ValidaCon_EscritaFiscalObrig();
    ValidaCon_OutraEmpresaObrig();
    ValidaResp_CPFObrig();
    ValidaCon_NIRE();
}

void TDM_Comuns::regrasVortaMod()
{
    const Registro r{*Tb_Contribuinte};
    const QString inscricao = r.s("Con_IECNPJCPF");
    const bool rural = entreTextos(inscricao, "285000000", "290000000");
    const bool comercio = entreTextos(inscricao, "280000000", "285000000");
    if (rural && r.s("Con_TipoCPFCNPJ") == QLatin1String("CPF") && !branco(r.s("End_CPF")))
        ValidaSalvaEndereco();
    if (comercio && !r.s("End_CPF").isEmpty()) {
        tipoCPFCNPJDoEndCPF();
        ValidaCPFCNPJ();
    }
    ValidaCPR();
    ValidaCon_NIRE();
    ValidaCon_Fone();
    ValidaCon_Fone2();
    ValidaCon_FAX();
    ValidaCon_Logradouro();
    ValidaCon_Bairro();
    const QString tipo = r.s("Con_Tipo");
    if (rural || tipo == QLatin1String("CNPJ") || tipo == QLatin1String("CPF") || tipo == QLatin1String("OI"))
        ValidaMun_EnderecoObrig();
    ValidaCon_CEP();
    ValidaCon_Email();
    ValidaCon_LogradouroEstab();
    ValidaCon_BairroEstab();
    if (comercio)
        ValidaMun_EstabelecimentoObrig();
    ValidaCon_CEPEstab();
    ValidaCon_EmailEstab();
    ValidaCon_FormaEntregaAnual();
    ValidaCon_OutraEmpresa();
}

// ---- The checks on handed-over values --------------------------------------------------

namespace {
// The failure step of the V members: the message, the focus on a control of the field at
// fault (none of another form's pages is switched), the silent abort.
void recusaV(const Checagem& c, std::initializer_list<vorta::db::Field*> campos)
{
    if (!c)
        return;
    MsgErroBD(c->mensagem, c->args);
    if (c->foco >= 0 && c->foco < int(campos.size()))
        campos.begin()[c->foco]->focusControl();
    vorta::Abort();
}
} // namespace

void TDM_Comuns::VDigitoIE(const QString& valor, Field& campo)
{
    recusaV(ChecaDigitoIE(valor), {&campo});
}

void TDM_Comuns::VCon_FAX(const QString& ddd, const QString& fax, Field& campoDDD, Field& campoFax)
{
    recusaV(ChecaFax(ddd, fax), {&campoDDD, &campoFax});
}

void TDM_Comuns::VNome_RazaoObrig(const QString& valor, Field& campo)
{
    recusaV(ChecaNome(valor, 57, 58), {&campo});
}

void TDM_Comuns::VNome_RazaoEstabObrig(const QString& valor, Field& campo)
{
    recusaV(ChecaObrig(valor, 37), {&campo});
}

void TDM_Comuns::VNomeFantasiaObrig(const QString& valor, Field& campo)
{
    recusaV(ChecaNome(valor, 38, 1420), {&campo});
}

void TDM_Comuns::VCNPJObrig(const QString& valor, Field& campo)
{
    recusaV(ChecaCNPJObrig(valor, 1), {&campo});
}

void TDM_Comuns::VCon_DDDObrig(const QString& valor, Field& campo)
{
    recusaV(ChecaDDDObrig(valor), {&campo});
}

void TDM_Comuns::VFoneDDD(const QString& ddd, const QString& fone, Field& campoDDD, Field& campoFone)
{
    recusaV(ChecaFone(ddd, fone, 19, 70, 30, 31), {&campoDDD, &campoFone});
}

void TDM_Comuns::VFoneDDD2(const QString& ddd, const QString& fone, Field& campoDDD, Field& campoFone)
{
    recusaV(ChecaFone(ddd, fone, 581, 582, 625, 626), {&campoDDD, &campoFone});
}

void TDM_Comuns::VFoneObrig(const QString& valor, Field& campo)
{
    recusaV(ChecaFoneObrig(valor), {&campo});
}

void TDM_Comuns::VResponsavelObrig(const QString& valor, Field& campo)
{
    recusaV(ChecaObrig(valor, 634), {&campo});
}

void TDM_Comuns::VTipLogEstabObrig(const QString& valor, Field& campo)
{
    recusaV(ChecaObrig(valor, 612), {&campo});
}

void TDM_Comuns::VLogradouroEstab(const QString& nome, const QString& tipo, Field& campoNome, Field& campoTipo)
{
    recusaV(ChecaLogradouro(nome, tipo, 612, 613), {&campoNome, &campoTipo});
}

void TDM_Comuns::VLogEstabObrig(const QString& valor, Field& campo)
{
    recusaV(ChecaObrig(valor, 613), {&campo});
}

void TDM_Comuns::VLogradouroObrig(const QString& valor, Field& campo)
{
    recusaV(ChecaObrig(valor, 61), {&campo});
}

void TDM_Comuns::VLogradouro(const QString& nome, const QString& tipo, Field& campoNome, Field& campoTipo)
{
    recusaV(ChecaLogradouro(nome, tipo, 60, 61), {&campoNome, &campoTipo});
}

void TDM_Comuns::VTipLogObrig(const QString& valor, Field& campo)
{
    recusaV(ChecaObrig(valor, 60), {&campo});
}

void TDM_Comuns::VNumComplEstabObrig(const QString& numero, const QString& complemento, Field& campo)
{
    recusaV(ChecaNumComplObrig(numero, complemento, 614), {&campo});
}

void TDM_Comuns::VNumComplObrig(const QString& numero, const QString& complemento, Field& campo)
{
    recusaV(ChecaNumComplObrig(numero, complemento, 62), {&campo});
}

void TDM_Comuns::VBairro(const QString& bairro, const QString& tipo, Field& campoBairro, Field& campoTipo)
{
    recusaV(ChecaBairro(bairro, tipo, 63, 64, false), {&campoBairro, &campoTipo});
}

void TDM_Comuns::VBairroEstab(const QString& bairro, const QString& tipo, Field& campoBairro, Field& campoTipo)
{
    recusaV(ChecaBairro(bairro, tipo, 623, 624, false), {&campoBairro, &campoTipo});
}

void TDM_Comuns::VBairroEstabObrig(const QString& bairro, const QString& tipo, Field& campoBairro, Field& campoTipo)
{
    recusaV(ChecaBairro(bairro, tipo, 623, 624, true), {&campoBairro, &campoTipo});
}

void TDM_Comuns::VBairroObrig(const QString& bairro, const QString& tipo, Field& campoBairro, Field& campoTipo)
{
    recusaV(ChecaBairro(bairro, tipo, 63, 64, true), {&campoBairro, &campoTipo});
}

void TDM_Comuns::VMunicipoPropriedadeObrig(const QString& valor, Field& campo)
{
    recusaV(ChecaObrig(valor, 615), {&campo});
}

void TDM_Comuns::VMunicipioEnderecoObrig(const QString& valor, Field& campo)
{
    recusaV(ChecaObrig(valor, 65), {&campo});
}

void TDM_Comuns::VUFEstabObrig(const QString& valor, Field& campo)
{
    recusaV(ChecaUF(valor, 616, 676), {&campo});
}

void TDM_Comuns::VUFObrig(const QString& valor, Field& campo)
{
    recusaV(ChecaUF(valor, 66, 66), {&campo});
}

void TDM_Comuns::VCEP(const QString& cep, int municipio, Field& campo)
{
    recusaV(ChecaCEPInformado(cep, municipio, 0, 68, 69), {&campo});
}

void TDM_Comuns::VCEPEstab(const QString& cep, int municipio, Field& campo)
{
    recusaV(ChecaCEPInformado(cep, municipio, 0, 619, 620), {&campo});
}

void TDM_Comuns::VCEPEstabObrig(const QString& cep, int municipio, Field& campo)
{
    recusaV(ChecaCEPInformado(cep, municipio, 618, 619, 620), {&campo});
}

void TDM_Comuns::VCEPObrig(const QString& cep, int municipio, Field& campo)
{
    recusaV(ChecaCEPInformado(cep, municipio, 67, 68, 69), {&campo});
}

void TDM_Comuns::VNIRE(const QString& valor, Field& campo)
{
    recusaV(ChecaNIREDigito(valor), {&campo});
}

void TDM_Comuns::VEmail(const QString& valor, Field& campo)
{
    recusaV(ChecaEmail(valor, 32), {&campo});
}

void TDM_Comuns::VEmailEstab(const QString& valor, Field& campo)
{
    recusaV(ChecaEmail(valor, 621), {&campo});
}

void TDM_Comuns::VExisteContrib(const QString& inscricao, Field& campo)
{
    // The probe closes its query before anything is shown.
    if (ExisteContribuinte(inscricao))
        recusaV(falha(22), {&campo});
}
