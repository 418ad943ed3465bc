#include "UMovimento.h"

#include "UResumoMovimento.h"
#include "Ufuncoes.h"

#include "platform/db/Database.h"
#include "platform/db/Field.h"
#include "platform/db/Query.h"

using vorta::db::Database;
using vorta::db::Query;

namespace {
bool temLinhas(Database* db, const QString& sql, const QList<QPair<QString, QVariant>>& params)
{
    Query q;
    q.setDatabase(db);
    q.setSql(sql);
    for (const auto& p : params)
        q.paramByName(p.first)->setValue(p.second);
    q.open();
    return !q.isEmpty();
}
} // namespace

QString ChaveMovimento(const QString& inscricao, int ano, int mes, const QString& tipo, int codigo)
{
    return inscricao.trimmed() + QString::number(ano) + QString::number(mes) + tipo.trimmed()
           + StrZero(QString::number(codigo), 5);
}

TEstadoEntrega EstadoEntregaMovimento(Database* db, const QString& chave)
{
    Query q;
    q.setDatabase(db);
    q.setSql(QStringLiteral("select Data_Copia, Data_Entrega from Entrega where Sistema = 'ZIR' and Chave = :vChave"));
    q.paramByName(QStringLiteral("vChave"))->setAsString(chave);
    q.open();
    TEstadoEntrega estado = TEstadoEntrega::NaoEncontrada;
    for (q.first(); !q.eof(); q.next()) {
        TEstadoEntrega deste = TEstadoEntrega::Pendente;
        if (!q.fieldByName(QStringLiteral("Data_Entrega"))->isNull())
            deste = TEstadoEntrega::Entregue;
        else if (!q.fieldByName(QStringLiteral("Data_Copia"))->isNull())
            deste = TEstadoEntrega::Copiada;
        if (int(deste) > int(estado))
            estado = deste;
    }
    return estado;
}

TAberturaMovimento DecisaoAbertura(TEstadoEntrega estado)
{
    switch (estado) {
    case TEstadoEntrega::Entregue:
        return {1496, false};
    case TEstadoEntrega::Copiada:
        return {1497, true};
    case TEstadoEntrega::Pendente:
        return {1498, true};
    case TEstadoEntrega::NaoEncontrada:
        break;
    }
    return {1499, true};
}

bool AbreMovimentoGerado(Database* db, const QString& chave)
{
    const TAberturaMovimento d = DecisaoAbertura(EstadoEntregaMovimento(db, chave));
    if (!d.pergunta) {
        MsgInfoBD(d.mensagem);
        return false;
    }
    return MsgSimNaoBD(d.mensagem) == 6;
}

bool ExisteParametroMensal(Database* db, int ano, int mes)
{
    return temLinhas(db, QStringLiteral("select * from Qel_Parametros_Mensais where pam_ano = :vano and pam_mes = :vmes"),
                     {{QStringLiteral("vano"), ano}, {QStringLiteral("vmes"), mes}});
}

bool ExisteMovimentoNormal(Database* db, const QString& inscricao, int ano, int mes)
{
    return temLinhas(db,
                     QStringLiteral("select * from Qel_movimento where con_iecnpjcpf = :vcontribuinte and "
                                    "mov_ano_referencia = :vano and mov_mes_referencia = :vmes and mov_tipo = :vsituacao"),
                     {{QStringLiteral("vcontribuinte"), inscricao.trimmed()},
                      {QStringLiteral("vano"), ano},
                      {QStringLiteral("vmes"), mes},
                      {QStringLiteral("vsituacao"), QStringLiteral("N")}});
}

bool ExistemMapasNoMes(Database* db, const QString& inscricao, int ano, int mes)
{
    return temLinhas(db,
                     QStringLiteral("select * from qel_mapas where con_iecnpjcpf=:vcontribuinte and map_data >= :vInicial "
                                    "and map_data < :vFinal"),
                     {{QStringLiteral("vcontribuinte"), inscricao.trimmed()},
                      {QStringLiteral("vInicial"), QDateTime(TResumoMovimento::Inicio(ano, mes), QTime(0, 0))},
                      {QStringLiteral("vFinal"), QDateTime(TResumoMovimento::Fim(ano, mes), QTime(0, 0))}});
}

bool ExcluiMovimento(Database* db, int codigo, const QString& inscricao, int ano, int mes)
{
    if (MsgSimNaoBD(92) != 6)
        return false;
    db->startTransaction();
    try {
        if (mes >= 1 && mes <= 12 && ExistemMapasNoMes(db, inscricao, ano, mes)) {
            // The check ends its transaction too.
            db->rollback();
            MsgErroBD(1664);
            return false;
        }
        Query q;
        q.setDatabase(db);
        q.setSql(QStringLiteral("Delete from qel_movimento where mov_codigo=:vcodigo"));
        q.paramByName(QStringLiteral("vcodigo"))->setAsInteger(codigo);
        q.execSql();
        db->commit();
        return true;
    } catch (...) {
        if (db->inTransaction())
            db->rollback();
        return false;
    }
}
