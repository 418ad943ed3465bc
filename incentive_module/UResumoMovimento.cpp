#include "UResumoMovimento.h"

#include "UDM_MTC.h"

#include "platform/db/Field.h"
#include "platform/db/Query.h"

#include <QHash>

using vorta::Money;
using vorta::db::Query;

TSomaClasse& TSomaClasse::operator+=(const TSomaClasse& o)
{
    Qtd += o.Qtd;
    Peso += o.Peso;
    QtdArr += o.QtdArr;
    Repasse += o.Repasse;
    return *this;
}

TClasseMes& TClasseMes::operator+=(const TClasseMes& o)
{
    Aprovado += o.Aprovado;
    Reprovado += o.Reprovado;
    return *this;
}

QDate TResumoMovimento::Inicio(int ano, int mes)
{
    return QDate(ano, mes, 1);
}

QDate TResumoMovimento::Fim(int ano, int mes)
{
    return Inicio(ano, mes).addMonths(1);
}

TClasseMes* TResumoMovimento::Classe(const QString& code)
{
    const QString c = code.trimmed().toUpper();
    struct Item {
        const char* code;
        TClasseMes TResumoMovimento::*member;
    };
    static const Item items[] = {
        {"JD", &TResumoMovimento::JD},   {"J2", &TResumoMovimento::J2},   {"J4", &TResumoMovimento::J4},
        {"TD", &TResumoMovimento::TD},   {"T2", &TResumoMovimento::T2},   {"JFD", &TResumoMovimento::JFD},
        {"JF2", &TResumoMovimento::JF2}, {"JF4", &TResumoMovimento::JF4},
    };
    for (const Item& i : items)
        if (c == QLatin1String(i.code))
            return &(this->*i.member);
    return nullptr;
}

std::vector<std::pair<const char*, const TClasseMes*>> TResumoMovimento::Linhas() const
{
    return {{"JD", &JD},         {"J2", &J2},   {"J4", &J4},   {"TD", &TD},   {"T2", &T2},
            {"TotalM", &TotalM}, {"JFD", &JFD}, {"JF2", &JF2}, {"JF4", &JF4}, {"TotalF", &TotalF}};
}

void TResumoMovimento::limpa()
{
    *this = TResumoMovimento();
}

void TResumoMovimento::Calcula(TDM_MTC* dm, const QString& declarante, int ano, int mes, const QString& raiser)
{
    limpa();
    if (mes < 1 || mes > 12)
        return;
    Query q;
    q.setDatabase(dm->dbMTC);
    q.addSql(QStringLiteral("select map_codigo,mat_codigo, mre_qtd_cabecas as Qtd, mre_peso_kg as Peso, "
                            "mre_qtd_arroba as QtdArr, mre_vlr_arroba as VlrArr, mre_base_calc_icms as BaseCalcIcms, "
                            "mre_vlr_repasse as Repasse, mre_qtd_reprovada as QtdReprovada "
                            "from qel_mapas_resumo as r, qel_mapas as m where 1=1 and r.map_codigo = m.map_codigo "
                            "and m.map_data >= :vInicial and m.map_data < :vFinal"));
    // Only the declarant's maps: other slaughterhouses' maps of the month are theirs.
    q.addSql(QStringLiteral(" and m.con_iecnpjcpf = :vcontribuinte"));
    if (!raiser.trimmed().isEmpty())
        q.addSql(QStringLiteral(" and ie_pecuarista = :vie"));
    q.paramByName(QStringLiteral("vInicial"))->setAsDateTime(QDateTime(Inicio(ano, mes), QTime(0, 0)));
    q.paramByName(QStringLiteral("vFinal"))->setAsDateTime(QDateTime(Fim(ano, mes), QTime(0, 0)));
    q.paramByName(QStringLiteral("vcontribuinte"))->setAsString(declarante.trimmed());
    if (auto* p = q.findParam(QStringLiteral("vie")))
        p->setAsString(raiser.trimmed());
    q.open();

    auto* fMapa = q.fieldByName(QStringLiteral("map_codigo"));
    auto* fMat = q.fieldByName(QStringLiteral("mat_codigo"));
    auto* fQtd = q.fieldByName(QStringLiteral("Qtd"));
    auto* fPeso = q.fieldByName(QStringLiteral("Peso"));
    auto* fArr = q.fieldByName(QStringLiteral("QtdArr"));
    auto* fRepasse = q.fieldByName(QStringLiteral("Repasse"));
    auto* fReprovada = q.fieldByName(QStringLiteral("QtdReprovada"));
    QHash<int, bool> aprovado; // one verdict per map, however many rows it has
    for (q.first(); !q.eof(); q.next()) {
        const QString code = fMat->asString().trimmed().toUpper();
        const int rejected = int(fReprovada->asInteger());
        if (TClasseMes* classe = Classe(code)) {
            const int map = int(fMapa->asInteger());
            auto it = aprovado.find(map);
            if (it == aprovado.end())
                it = aprovado.insert(map, dm->MapaAprovado(map));
            TSomaClasse& soma = it.value() ? classe->Aprovado : classe->Reprovado;
            soma.Qtd += int(fQtd->asInteger());
            soma.Peso += Money::fromDouble(fPeso->asFloat());
            soma.QtdArr += Money::fromDouble(fArr->asFloat());
            if (it.value())
                soma.Repasse += Money::fromDouble(fRepasse->asFloat());
        }
        if (code == QLatin1String("JD"))
            NcJD += rejected;
        else if (code == QLatin1String("J2") || code == QLatin1String("J4"))
            NcJ2J4 += rejected;
        else if (code == QLatin1String("TD"))
            NcTD += rejected;
        else if (code == QLatin1String("T2") || code == QLatin1String("T4"))
            NcT2T4 += rejected;
        else if (code == QLatin1String("I"))
            NcI += rejected;
        else if (code == QLatin1String("A"))
            NcA += rejected;
        else if (code == QLatin1String("JFD"))
            NcJFD += rejected;
        else if (code == QLatin1String("JF2") || code == QLatin1String("JF4"))
            NcJF2JF4 += rejected;
        else if (code == QLatin1String("IF"))
            NcIF += rejected;
        else if (code == QLatin1String("AF"))
            NcAF += rejected;
    }
    q.close();
    totaliza();
}

void TResumoMovimento::totaliza()
{
    TotalM = TClasseMes();
    for (const TClasseMes* c : {&JD, &J2, &J4, &TD, &T2})
        TotalM += *c;
    TotalF = TClasseMes();
    for (const TClasseMes* c : {&JFD, &JF2, &JF4})
        TotalF += *c;
    QtdTotal = TotalM.Qtd() + TotalF.Qtd();
    QtdTotalAprovado = TotalM.Aprovado.Qtd + TotalF.Aprovado.Qtd;
    Incentivo67 = JD.Incentivo() + TD.Incentivo() + JFD.Incentivo();
    Incentivo50 = J2.Incentivo() + T2.Incentivo() + JF2.Incentivo();
    Incentivo33 = J4.Incentivo() + JF4.Incentivo();
    IncentivoTotal = Incentivo67 + Incentivo50 + Incentivo33;
    NcTotalM = NcJD + NcJ2J4 + NcTD + NcT2T4 + NcI + NcA;
    NcTotalF = NcJFD + NcJF2JF4 + NcIF + NcAF;
}
