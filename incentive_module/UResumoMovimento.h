#pragma once

#include "platform/core/Money.h"

#include <QDate>
#include <QString>

#include <utility>
#include <vector>

class TDM_MTC;

// Heads, weight, arrobas and the amount passed on, summed over summary rows.
struct TSomaClasse {
    int Qtd = 0;
    vorta::Money Peso;
    vorta::Money QtdArr;
    vorta::Money Repasse;

    TSomaClasse& operator+=(const TSomaClasse& o);
};

// One maturity class of a month: what came from approved maps and what from the
// others, kept apart because the protocol prints them apart.
struct TClasseMes {
    TSomaClasse Aprovado;
    TSomaClasse Reprovado;

    // Every map, whatever its approval.
    int Qtd() const { return Aprovado.Qtd + Reprovado.Qtd; }
    vorta::Money Peso() const { return Aprovado.Peso + Reprovado.Peso; }
    vorta::Money QtdArr() const { return Aprovado.QtdArr + Reprovado.QtdArr; }
    // Only approved maps pass an incentive on.
    vorta::Money Incentivo() const { return Aprovado.Repasse; }

    TClasseMes& operator+=(const TClasseMes& o);
};

// The month's summary of one declarant: the summary rows of the declarant's maps dated
// in the reference month, per maturity class, with the totals by sex and by incentive
// band and the animals not classified. The movement window shows it, the protocol of a
// generated movement and the movement print print it.
class TResumoMovimento {
public:
    TClasseMes JD, J2, J4, TD, T2, JFD, JF2, JF4;
    TClasseMes TotalM, TotalF;

    // Rejected animals, by the non-classified table's rows.
    int NcJD = 0, NcJ2J4 = 0, NcTD = 0, NcT2T4 = 0, NcI = 0, NcA = 0, NcTotalM = 0;
    int NcJFD = 0, NcJF2JF4 = 0, NcIF = 0, NcAF = 0, NcTotalF = 0;

    // Heads of every class, and heads of approved maps only.
    int QtdTotal = 0;
    int QtdTotalAprovado = 0;
    // Incentive passed on, per band: 67 % (JD, TD, JFD), 50 % (J2, T2, JF2), 33 % (J4, JF4).
    vorta::Money Incentivo67, Incentivo50, Incentivo33, IncentivoTotal;

    // First day of the month, and first day of the next one.
    static QDate Inicio(int ano, int mes);
    static QDate Fim(int ano, int mes);

    // Recomputes from zero. raiser, when not empty, keeps only that raiser's maps.
    void Calcula(TDM_MTC* dm, const QString& declarante, int ano, int mes, const QString& raiser = {});

    // The class of a code (JD ... JF4, case-insensitive), else nullptr.
    TClasseMes* Classe(const QString& code);
    // The rows of the classified tables in their order, each by its name: JD, J2, J4,
    // TD, T2, TotalM, JFD, JF2, JF4, TotalF.
    std::vector<std::pair<const char*, const TClasseMes*>> Linhas() const;

private:
    void limpa();
    void totaliza();
};
