#include "installation/InstallDatabase.h"
#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "testing/TempInstallation.h"

#include <gtest/gtest.h>

using namespace vorta::db;

namespace {

QString padLines(const QStringList& lines, int width)
{
    QStringList out;
    for (const QString& l : lines)
        out << l.leftJustified(width);
    return out.join('\n');
}

} // namespace

class InstalledDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        inst.installDatabase();
        db.setDatabaseName("DB_Comuns");
        db.setDirectory(inst.folder("dados"));
        db.open();
    }
    int count(const QString& table)
    {
        Query q;
        q.setDatabase(&db);
        q.setSql("select count(*) as n from " + table);
        q.open();
        return int(q.fieldByName("n")->asInteger());
    }
    vorta::testing::TempInstallation inst;
    Database db;
};

TEST_F(InstalledDatabase, EveryTableIsThereWithItsVersion)
{
    const QStringList expected = {
        "Agenfa", "Bairro", "CFOP", "Contribuinte", "Endereco", "Entrega", "FormaEntr", "Grupo", "Logradouro",
        "mensagem", "Municipio", "NaturezaOperacao", "Parametros", "Produto", "Proxy", "qel_acabamento",
        "qel_conformacao", "Qel_Contribuinte_Complemento", "qel_mapas", "Qel_Mapas_Resumo", "qel_mapas_itens",
        "qel_maturidade", "qel_movimento", "Qel_NotasMapa", "Qel_Parametros", "qel_parametros_mensais",
        "Qel_Tecnico", "qel_tipificacao", "RegICMS", "RespEmpresa", "Responsavel", "TipoResp",
    };
    QStringList sorted = expected;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    EXPECT_EQ(db.tableNames(), sorted);
    for (const char* other : {"KOB", "TUV", "Nota", "Qrn1", "Qrn2"})
        EXPECT_FALSE(db.tableExists(other)) << other << " belongs to another module";
    Table t;
    t.setDatabase(&db);
    t.setTableName("Qel_Mapas_Resumo");
    EXPECT_EQ(t.userMajorVersion(), 1);
    EXPECT_EQ(t.userMinorVersion(), 0);
    EXPECT_THROW(vorta::installation::installDatabase(inst.folder("dados")), vorta::Exception) << "never over an existing one";
}

TEST_F(InstalledDatabase, WidthsIndexesAndReferenceRows)
{
    struct Case {
        const char* table;
        const char* field;
        int size;
    };
    const Case cases[] = {
        {"Entrega", "Arquivo", 50},       {"Entrega", "Chave", 250},          {"Contribuinte", "Con_Fone", 11},
        {"Contribuinte", "End_CPF", 14},  {"Contribuinte", "Con_IECNPJCPF", 18}, {"Proxy", "Servidor", 100},
        {"Municipio", "Mun_Descricao", 40}, {"qel_mapas", "con_iecnpjcpf", 9},  {"Parametros", "Campo", 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + "." + c.field);
        Table t;
        t.setDatabase(&db);
        t.setTableName(c.table);
        t.open();
        EXPECT_EQ(t.fieldByName(c.field)->size(), c.size);
    }
    Table e;
    e.setDatabase(&db);
    e.setTableName("Entrega");
    e.open();
    EXPECT_TRUE(e.fieldByName("Chave")->required());
    EXPECT_EQ(e.fieldByName("Data_Entrega")->dataType(), FieldType::DateTime);
    EXPECT_EQ(e.fieldByName("Dados_Entrega")->dataType(), FieldType::Memo);

    for (const char* t : {"Agenfa", "Municipio", "Produto"}) {
        Table x;
        x.setDatabase(&db);
        x.setTableName(t);
        x.setIndexName("Id_Nome");
        EXPECT_NO_THROW(x.open()) << t;
    }
    Table c;
    c.setDatabase(&db);
    c.setTableName("Contribuinte");
    c.setIndexName("id_Ordenacao");
    EXPECT_NO_THROW(c.open());
    Table p;
    p.setDatabase(&db);
    p.setTableName("Parametros");
    EXPECT_EQ(p.primaryIndexFields(), (QStringList{"Campo", "Tabelas"}));
    // A backup's rows are merged by the primary index; without one a table would not be
    // restored at all.
    for (const char* name : {"Entrega", "Contribuinte", "qel_mapas_itens", "Qel_Mapas_Resumo", "qel_movimento"}) {
        Table k;
        k.setDatabase(&db);
        k.setTableName(name);
        EXPECT_FALSE(k.primaryIndexFields().isEmpty()) << name;
    }
    EXPECT_EQ(e.primaryIndexFields(), (QStringList{"Sistema", "Versao", "Chave", "Arquivo"}));

    EXPECT_GT(count("Logradouro"), 0);
    EXPECT_GT(count("Bairro"), 0);
    EXPECT_GT(count("RegICMS"), 0);
    EXPECT_GT(count("FormaEntr"), 0);
    EXPECT_GT(count("TipoResp"), 0);
    EXPECT_GT(count("Agenfa"), 0);
    EXPECT_GE(count("Municipio where Mun_UF = 'QX' and Mun_CEPInicial <= Mun_CEPFinal"), 3);
    EXPECT_EQ(count("Municipio where Age_Codigo not in (select Age_Codigo from Agenfa)"), 0);
    EXPECT_EQ(count("mensagem"), 0) << "the catalogue's rows come with their own data";
}

// Every statement the programs run, against the installed tables (and the other
// modules' tables that some of them probe, made here).
TEST_F(InstalledDatabase, EveryStatementOfTheSuitePreparesAndRuns)
{
    db.execute("create table nota (NF_Numero integer, Con_Remetente varchar(18), Con_Destinatario varchar(18), Con_tipo varchar(4), NF_Digitou varchar(1))");
    db.execute("create table KOB (Con_Produtor varchar(18), KOB_Status varchar(1))");
    db.execute("create table TUV (Contrib_InscEstad varchar(18), Tuv_Gerada varchar(1))");
    db.execute("create table Qrn1 (Con_IERevenda varchar(18))");
    db.execute("create table Qrn2 (Con_IEPecuarista varchar(18), Con_IERevenda varchar(18))");
    db.execute("insert into Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Mun_Endereco, Mun_Propriedade) "
               "values ('281234567', 'FRIGORIFICO', 'FRIGO', 'IE', 1001, 1002)");
    db.execute("insert into qel_mapas (map_codigo, con_iecnpjcpf, map_data, ie_pecuarista, Tec_Codigo, Aprovado) "
               "values (1, '281234567', '2024-03-15 00:00:00', '289999999', 1, 'M')");
    db.execute("insert into Qel_Tecnico (Tec_Codigo, Tec_Nome) values (1, 'VET')");
    db.execute("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia, mov_tipo, mov_situacao) "
               "values (1, '281234567', 2024, 3, 'N', 'N')");

    struct Statement {
        QString sql;
        bool open;         // opened for rows, else executed
        int rows = -1;     // rows expected when opened (-1: any)
    };
    const QString mapaDia = QStringList{" Select *", " From qel_Mapas",
                                        " Where (ie_pecuarista = :vContribuinte) and (map_data = :vData) and (aprovado = :vSexo) "}
                                .join(' ');
    const QVector<Statement> statements = {
        {"Select * from mensagem where Men_Codigo =86", true, 0},
        {"Select * from Contribuinte", true, 1},
        {"Select * from Parametros", true, 0},
        {"Select Max(Mun_Codigo) max_seq from Municipio", true, 1},
        {"select NF_Numero from nota \nwhere Con_Destinatario =:Destinatario", true},
        {"select NF_Numero from nota \nWhere Con_Remetente =:Remetente", true},
        {"select Con_produtor from Kob \nWhere Con_Produtor =:Produtor", true},
        {"select Contrib_InscEstad from TUV \nWhere Contrib_InscEstad =:Contrib", true},
        {padLines({"Select Con_IECNPJCPF", "From Qel_Movimento", "Where (Con_IECNPJCPF = :Contrib)"}, 36), true},
        {"select Con_IEPecuarista from Qrn2 \nwhere Con_IEPecuarista =:Pecuarista", true},
        {"select Con_IERevenda from Qrn2 \nwhere Con_IERevenda =:Revenda", true},
        {"select Con_IERevenda from Qrn1 \nwhere Con_IERevenda =:Revenda", true},
        {"select con_iecnpjcpf from contribuinte \nwhere resp_cpf =:Contador", true},
        {"select con_iecnpjcpf from contribuinte \nwhere mun_endereco =:endereco", true},
        {"select con_iecnpjcpf from contribuinte \nwhere mun_propriedade =:pro", true},
        {"Update TUV set Tuv_Gerada = '?' \nwhere contrib_InscEstad =:inscricao\n  and Tuv_Gerada = 'N' ", false},
        {"Update KOB set KOB_Status = '?' \nwhere con_produtor =:inscricao\n  and Kob_Status = 'N' ", false},
        {"update nota set Con_tipo= 'CNPJ' where con_remetente = '281234567' and NF_Digitou = 'D'", false},
        {"select * from contribuinte where Con_IECNPJCPF =:IECNPJCPF", true},
        {"select * from responsavel where resp_cpf =:resp", true},
        {"select * from municipio where mun_codigo =:mun", true},
        {"select * from municipio where mun_descricao =:mun", true},
        {"select * from RespEmpresa where ResEmp_CPF =:resp", true},
        {"select Con_IECNPJCPF from Contribuinte \nwhere Con_IECNPJCPF   =:IECNPJCPF", true},
        {"Select * from Responsavel", true},
        {"Select * from Contribuinte where con_tipo = 'IE'", true, 1},
        {"Select * from Contribuinte where con_tipo = 'CNPJ'", true, 0},
        {"Select * from Contribuinte where con_tipo = 'CPF'", true, 0},
        {"UPDATE ENTREGA SET  ResultadoProcessamento = :ResultadoProcessamento, ResultadoTipo = :ResultadoTipo WHERE  Chave   = :Chav ", false},
        {"Select * from Proxy", true, 0},
        {QStringList{"Select Gru_Descricao, Pro_Descricao, Pro_Codigo, ", " Pro_Unidade, Grupo.Gru_Codigo, Pro_CodigoInteger ",
                     "from Grupo, Produto ", "Where  Produto.Gru_Codigo = Grupo.Gru_Codigo and ",
                     " Produto.inibir = false  and Produto.Pro_Status = false", "and Grupo.Gru_Codigo in (1 ,2 ) ",
                     "Order by Gru_Descricao, Pro_CodigoInteger "}.join('\n'),
         true},
        {"Select * from Qel_Parametros", true},
        {"Select Con_IECNPJCPF, Con_Nome, Con_NomePropr, M.Mun_Descricao From Contribuinte C, Municipio M Where C.Con_IECNPJCPF > '280000000' and C.Con_IECNPJCPF < '285000000' and C.con_tipo = 'IE' and not (C.Con_NomePropr is null) and C.Mun_Endereco = M.Mun_Codigo order by Con_IECNPJCPF", true, 1},
        {"select n.*,t.tec_nome from qel_mapas n, qel_tecnico t where n.tec_codigo = t.tec_codigo", true, 1},
        {"select * from qel_mapas_itens where map_codigo = :map_codigo order by itm_num_animal", true},
        {"select max(mov_codigo)as UltimoCodigo from qel_movimento", true, 1},
        {"select max(map_codigo)as UltimoCodigo from qel_mapas", true, 1},
        {"select max(itm_num_animal) as UltimoCodigo from qel_mapas_itens where map_codigo = :vmapa", true, 1},
        {mapaDia, true},
        {" select map_codigo, sum(mre_qtd_cabecas) as QtdAprovadas from qel_mapas_resumo where map_codigo = :vMapa and mat_codigo<>:p1 and mat_codigo<>:p2 and mat_codigo<>:p3 and mat_codigo<>:p4 and mat_codigo<>:p5 group by map_codigo", true},
        {" select map_codigo, sum(mre_qtd_reprovada) as QtdReprovadas from qel_mapas_resumo where map_codigo = :vMapa  group by map_codigo", true},
        {"select sum(mre_vlr_repasse) as valor from qel_mapas_resumo where map_codigo=:vmapa", true, 1},
        {"select count(itm_num_animal) as quantidade from qel_mapas_itens where map_codigo=:vmapa", true, 1},
        {"select count(itm_num_animal) as quantidade from qel_mapas_itens where map_codigo=:vmapa and itm_classificado=:vclassificado", true, 1},
        {"select * from qel_movimento where con_iecnpjcpf=:vcontribuinte and mov_ano_referencia=:vAno and mov_mes_referencia=:vmes", true},
        {"select * from qel_parametros_mensais where pam_ano=:vano and pam_mes=:vmes", true},
        {"delete from qel_mapas_resumo where map_codigo = :vmapcodigo", false},
        {" Insert into Qel_Mapas_Resumo(Map_Codigo,Mat_Codigo,Mre_Qtd_Cabecas,Mre_Peso_Kg,Mre_Qtd_Arroba,Mre_Vlr_Arroba,Mre_Base_Calc_Icms,Mre_icms,Mre_Perc_Incentivo,Mre_Vlr_Repasse,Mre_Qtd_reprovada) values(:Map_Codigo,:Mat_Codigo,:Mre_Qtd_Cabecas,:Mre_Peso_Kg,:Mre_Qtd_Arroba,:Mre_Vlr_Arroba,:Mre_Base_Calc_Icms,:Mre_icms,:Mre_Perc_Incentivo,:Mre_Vlr_Repasse,:Mre_Qtd_reprovada)", false},
        {"select * from qel_parametros_mensais where pam_ano = :vano and pam_mes = :vmes", true},
        {"select * from qel_contribuinte_complemento where con_iecnpjcpf=:vinsc", true},
        {"Select * from Qel_NotasMapa where map_codigo=:vMapa", true},
        {"select * from contribuinte c, municipio m  where c.con_iecnpjcpf=:vcod and  c.mun_propriedade = mun_codigo", true},
        {"select * from qel_notasmapa where map_codigo =:vmapa and mn_nro_nota_fiscal = :vnota", true},
        {"Insert into Qel_NotasMapa(map_codigo,mn_nro_nota_fiscal) values (:vmapa,:vnota)", false},
        {"delete from qel_notasmapa where map_codigo = :vmapa and mn_nro_nota_fiscal = :vnota", false},
        {"Select Con_IECNPJCPF, Con_Nome, Con_NomePropr From Contribuinte Where Con_IECNPJCPF > '280000000' and Con_IECNPJCPF < '285000000' and con_tipo = 'IE' and not (Con_NomePropr is null) order by Con_IECNPJCPF", true, 1},
        {"Select mov_codigo,con_iecnpjcpf, mov_Ano_referencia, mov_Mes_referencia, mov_Tipo, mov_Situacao From Qel_Movimento Where Qel_Movimento.con_iecnpjcpf = :Con_IECNPJCPF Order By mov_Ano_referencia, mov_Mes_referencia, mov_Tipo", true},
        {"Select * from contribuinte Where Con_Tipo = 'IE' and Con_IECNPJCPF < '285000000' Order by Con_IECNPJCPF", true, 1},
        {"select * from Qel_Parametros_Mensais where pam_ano = :vano and pam_mes = :vmes", true},
        {"select * from Qel_movimento where con_iecnpjcpf = :vcontribuinte and mov_ano_referencia = :vano and mov_mes_referencia = :vmes and mov_tipo = :vsituacao", true},
        {"select * from qel_mapas where con_iecnpjcpf=:vcontribuinte and map_data >= :vInicial and map_data < :vFinal", true},
        {"select map_codigo,mat_codigo, mre_qtd_cabecas as Qtd, mre_peso_kg as Peso, mre_qtd_arroba as QtdArr, mre_vlr_arroba as VlrArr, mre_base_calc_icms as BaseCalcIcms, mre_vlr_repasse as Repasse, mre_qtd_reprovada as QtdReprovada from qel_mapas_resumo as r, qel_mapas as m where 1=1 and r.map_codigo = m.map_codigo and m.map_data >= :vInicial and m.map_data < :vFinal", true},
        {"select * from qel_mapas_itens where map_codigo = :map_codigo", true},
        {"select * from qel_NotasMapa where map_codigo = :map_codigo", true},
        {"Select mov_codigo, qel_movimento.con_iecnpjcpf, Con_Nome, Mov_Ano_Referencia, Mov_Mes_Referencia, Mov_Tipo, Mov_Situacao From Contribuinte, Qel_Movimento Where contribuinte.Con_IECNPJCPF = qel_movimento.Con_IECnpjCPF and (Qel_Movimento.Mov_Situacao <> 'N' and Qel_Movimento.Mov_Situacao <> 'G') Order By qel_movimento.Con_IECNPJCPF, Mov_Ano_Referencia, Mov_Mes_Referencia, Mov_Tipo", true, 0},
        {"Select * from qel_mapas where con_iecnpjcpf = :vContribuinte and EXTRACT(MONTH FROM map_data) = :vmes and EXTRACT(YEAR FROM map_data) = :vANO", true, 1},
        {"Update qel_movimento set mov_situacao = :Status Where (mov_codigo = :mov_codigo) and (con_iecnpjcpf = :RefContrib) and (mov_Ano_referencia = :RefAno) and (mov_Mes_referencia = :RefMes) and (mov_Tipo = :RefTipo)", false},
        {"Select qel_movimento.con_iecnpjcpf, mov_codigo, Con_Nome, Mov_Ano_Referencia, Mov_Mes_Referencia, Mov_Tipo, Mov_Situacao From Contribuinte, Qel_Movimento Where contribuinte.Con_IECNPJCPF = qel_movimento.Con_IECnpjCPF and Qel_Movimento.Mov_Situacao = 'N' Order By qel_movimento.Con_IECNPJCPF, Mov_Ano_Referencia, Mov_Mes_Referencia, Mov_Tipo", true, 1},
        {"Select * from qel_movimento where mov_codigo= :vcodigo", true, 1},
        {"Select * From Contribuinte where con_iecnpjcpf = :con_iecnpjcpf", true, 1},
        {"Select * from qel_mapas where con_iecnpjcpf = :con_iecnpjcpf and EXTRACT(MONTH FROM map_data) = :vmes and EXTRACT(YEAR FROM map_data) = :vANO", true, 1},
        {"Select * From Qel_Mapas_Itens where map_codigo = :map_codigo", true},
        {"Select * From Qel_Mapas_Resumo where map_codigo = :map_codigo", true},
        {"Select * From Qel_Tecnico where tec_codigo = :tec_codigo", true, 1},
        {"Select * From Contribuinte where con_iecnpjcpf = :ie_pecuarista", true},
        {"Select * From Municipio where mun_codigo = :mun_endereco", true, 1},
        {"Select * From Municipio where mun_codigo = :mun_propriedade", true, 1},
        {"Select * From Qel_NotasMapa where map_codigo = :map_codigo", true},
        {"Select * From Qel_Contribuinte_Complemento where con_iecnpjcpf = :con_iecnpjcpf", true},
        {"Select * From Municipio where mun_codigo = :mun_codigo", true},
        {"Select * from Qel_Movimento where mov_codigo = :vMov", true, 1},
        {"select * from contribuinte where con_iecnpjcpf = :con_iecnpjcpf", true, 1},
        {"select * from RespEmpresa where resemp_cpf = :resemp_cpf", true},
        {"select * from Municipio where Mun_Codigo = :Mun_Endereco", true, 1},
        {"select * from Bairro where TipBai_Codigo = :TipBai_Codigo", true},
        {"select * from Logradouro where TipLog_Codigo = :TipLog_Codigo", true},
        {"Update Qel_Movimento set Mov_Situacao = 'N' Where con_IECNPJCPF = :vIEContribuinte and mov_Ano_referencia = :vAno and mov_Mes_referencia = :vMes and mov_Tipo = :vTipo", false},
        {"Update Qel_Movimento set mov_situacao = :vSituacao, mov_dt_hr_geracao = :vDataGeracao, mov_versao = :vVersaoGeracao where con_iecnpjcpf = :vIEContribuinte and mov_ano_referencia = :vano and mov_Mes_referencia = :vMes and mov_Tipo = :vTipo", false},
        {"Select n.*, t.tec_nome from qel_mapas n, qel_tecnico t  where n.tec_codigo=t.tec_codigo and   map_codigo = :vmapa", true, 1},
        {"Select Max(Tec_Codigo) max_seq from qel_tecnico", true, 1},
        {"select Con_IECNPJCPF from Contribuinte where Con_IECNPJCPF =:IECNPJCPF", true},
        {"Select count(map_codigo) as Qtd from qel_mapas where Tec_Codigo = :vTecnico", true, 1},
        {"Delete from qel_notasmapa where map_codigo=:vcodigo", false},
        {"Delete from qel_mapas_itens where map_codigo=:vcodigo", false},
        {"Delete from qel_mapas_Resumo where map_codigo=:vcodigo", false},
        {"Delete from qel_movimento where mov_codigo=:vcodigo", false},
        {"Delete from qel_mapas where map_codigo=:vcodigo", false},
    };
    // Parameter values by name; any other parameter gets 1.
    const QHash<QString, QVariant> values = {
        {"con_iecnpjcpf", "281234567"}, {"vcontribuinte", "281234567"}, {"vmes", 3}, {"vano", 2024},
        {"mun_endereco", 1001}, {"mun_propriedade", 1002}, {"mun_codigo", 1001}, {"vmov", 1}, {"vcodigo", 1},
        {"vinicial", QDateTime(QDate(2024, 3, 1), QTime(0, 0))}, {"vfinal", QDateTime(QDate(2024, 4, 1), QTime(0, 0))},
        {"mat_codigo", "JD"}, {"vnota", "123"}, {"vsituacao", "G"}, {"vdatageracao", QDateTime(QDate(2024, 4, 2), QTime(9, 0))},
        {"vversaogeracao", "102"}, {"vieContribuinte", "281234567"}, {"vtipo", "N"}, {"reftipo", "N"},
        {"status", "N"}, {"vclassificado", "S"}, {"vsexo", "M"}, {"vdata", QDateTime(QDate(2024, 3, 15), QTime(0, 0))},
    };
    for (const Statement& s : statements) {
        SCOPED_TRACE(s.sql.toStdString());
        Query q;
        q.setDatabaseName("DB_Comuns");
        q.setSql(s.sql);
        for (int i = 0; i < q.paramCount(); ++i) {
            Param* p = q.params(i);
            p->setValue(values.value(p->name().toLower(), 1));
        }
        try {
            if (s.open) {
                q.open();
                if (s.rows >= 0) {
                    EXPECT_EQ(q.recordCount(), s.rows);
                }
            } else {
                q.execSql();
            }
        } catch (const vorta::Exception& e) {
            ADD_FAILURE() << e.message().toStdString();
        }
    }
}
