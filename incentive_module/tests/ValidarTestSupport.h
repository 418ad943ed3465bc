#pragma once

// Declarants whose register passes every validation rule, their movements of December
// 2026 with a complete map each, the messages as "M<code>", and the validation's data
// module and window created.
#include "DmValidar.h"
#include "MapasTestSupport.h"
#include "UValidar.h"
#include "Ufuncoes.h"

namespace zir_test {

namespace validar_test {
// A registration of the prefix and six digits with its check digit.
inline QString valida(const char* oito)
{
    for (int d = 0; d <= 9; ++d) {
        const QString ie = QString::fromLatin1(oito) + QString::number(d);
        if (ChkINSC(ie.mid(2)))
            return ie;
    }
    return QString();
}
inline const QString kDecl = valida("28123456");
inline const QString kDecl2 = valida("28200000");
inline QString mascara(const QString& ie)
{
    return ie.left(2) + "." + ie.mid(2, 3) + "." + ie.mid(5, 3) + "-" + ie.mid(8);
}
inline QString e(int code)
{
    return QStringLiteral("    => Erro : %1 - M%1").arg(code);
}
// The declarant's register as every validation rule accepts it (municipality 1 with its
// CEP range).
inline void cadastroLimpo(MapasFixture& f, const QString& ie)
{
    f.exec("update Municipio set Mun_CEPInicial = '77000000', Mun_CEPFinal = '77299999' where Mun_Codigo = 1");
    f.exec("update Contribuinte set Con_Nome = 'Frigorifico', Con_NomePropr = 'Frigo', End_CPF = '11222333000181', "
           "Con_NIRE = NULL, Con_DDDFone = '63', Con_Fone = '32151234', Con_DDD2 = NULL, Con_Fone2 = NULL, "
           "Con_DDDFax = NULL, Con_FAX = NULL, TipLog_CodigoEstab = 'RUA', Con_LogradouroEstab = 'Um', "
           "Con_NumeroEstab = '10', Con_ComplementoEstab = NULL, Tip_Bai_CodigoEstab = 'BAI', "
           "Con_BairroEstab = 'Centro', Mun_Propriedade = 1, Con_UFEstab = 'TO', Con_CEPEstab = '77000100', "
           "Con_EmailEstab = NULL, Mun_Endereco = 1, Con_UF = 'TO', Con_CEP = '77000200', Con_Email = NULL "
           "where Con_IECNPJCPF = ?1",
           {ie});
}
} // namespace validar_test
using namespace validar_test;

class ValidarMovimento : public MapasFixture {
protected:
    void SetUp() override
    {
        MapasFixture::SetUp();
        const int codigos[] = {19,  30,  31,  32,  35,  37,  38,  53,  54,  55,  57,  58,  60,  61,   62,   63,
                               64,  65,  66,  67,  68,  69,  70,  71,  72,  73,  440, 581, 582,  612,  613,  614,
                               615, 616, 617, 618, 619, 620, 621, 623, 624, 625, 626, 633, 634, 869, 1239, 1407,
                               1420, 1451, 1504, 1687};
        for (int c : codigos)
            exec("insert or replace into mensagem (Men_Codigo, Men_Descricao) values (?1, ?2)",
                 {c, QStringLiteral("M%1").arg(c)});
        exec("update Municipio set Mun_CEPInicial = '77000000', Mun_CEPFinal = '77299999' where Mun_Codigo = 1");
        exec("insert into Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) values (2, 'Sem Faixa', 'TO')");
        ASSERT_FALSE(kDecl.isEmpty());
        ASSERT_FALSE(kDecl2.isEmpty());
        exec("delete from qel_movimento");
        for (const QString& ie : {kDecl, kDecl2})
            exec("insert into Contribuinte (Con_IECNPJCPF, Con_Tipo) values (?1, 'IE')", {ie});
        exec("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia, "
             "mov_tipo, mov_situacao) values (1, ?1, 2026, 12, 'N', '?')",
             {kDecl});
        limpo(kDecl);
        limpo(kDecl2);
        exec("update qel_movimento set mov_responsavel = 'Fulano' where mov_codigo = 1");
        // A second movement: the other slaughterhouse, same month.
        exec("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia, "
             "mov_tipo, mov_situacao, mov_responsavel) values (2, ?1, 2026, 12, 'N', '?', 'Beltrano')",
             {kDecl2});
        mapaCompleto(10, kDecl);
        mapaCompleto(20, kDecl2);
        vorta::createInto<TDm_Validar>(Dm_Validar, vorta::Application::instance(), dm->dbMTC);
        validar = vorta::createInto<TValidar>(Validar, vorta::Application::instance());
    }
    void TearDown() override
    {
        vorta::Component::free(Validar.get());
        vorta::Component::free(Dm_Validar.get());
        MapasFixture::TearDown();
    }
    void limpo(const QString& ie) { cadastroLimpo(*this, ie); }
    void mapaCompleto(int code, const QString& ie)
    {
        exec("insert into qel_mapas (map_codigo, con_iecnpjcpf, map_data, ie_pecuarista, Aprovado, map_num_lote) "
             "values (?1, ?2, ?3, ?4, 'M', '01/01')",
             {code, ie, QDateTime(kDia, QTime(0, 0)), kPecuarista});
        exec("insert into qel_mapas_itens (map_codigo, itm_num_animal, tip_codigo, itm_classificado, aca_codigo, "
             "mat_codigo, itm_peso) values (?1, 1, 'B', 'S', 3, 'JD', 250)",
             {code});
        exec("insert into Qel_NotasMapa (map_codigo, mn_nro_nota_fiscal) values (?1, '123')", {code});
    }
    TMovimentoValidar mov(int codigo, const QString& ie, const char* situacao = "?")
    {
        return {codigo, ie, QStringLiteral("2026"), QStringLiteral("12"), QStringLiteral("N"),
                QString::fromLatin1(situacao)};
    }
    // The lines written for the movement: those between its own line and the separator.
    QStringList achados()
    {
        const QStringList l = validar->Linhas();
        return l.mid(4, l.size() - 8);
    }
    QString situacao(int codigo)
    {
        return scalar(QStringLiteral("select mov_situacao from qel_movimento where mov_codigo = ?1"), {codigo})
            .toString();
    }
    TValidar* validar = nullptr;
};

} // namespace zir_test
