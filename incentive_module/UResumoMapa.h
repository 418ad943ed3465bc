#pragma once

#include "platform/core/Money.h"
#include "platform/db/Connection.h"

#include <QDate>
#include <QString>

#include <functional>

class TDM_MTC;

// Figures of one maturity class (or of one sex) on the map's summary page; every
// amount is held at two places and later steps use the held value.
struct TLinhaResumo {
    int Qtd = 0;
    vorta::Money Peso;
    vorta::Money QtdArr;
    vorta::Money ValorArr;
    vorta::Money BaseCalc;
    vorta::Money Icms;
    vorta::Money Incentivo;
    vorta::Money VlrRepasse;
};

// The summary of one map as the map form shows it: per class the heads, weight,
// arrobas, value per arroba, ICMS base, ICMS and the amount passed on to the raiser;
// totals by sex and by incentive band; the animals not classified; the verdict; and
// the summary rows written when the map is saved. Works on the map that is current in
// DM_MTC, and keeps no widget: the map form shows these figures.
class TResumoMapa {
public:
    explicit TResumoMapa(TDM_MTC* dm);

    TLinhaResumo JD, J2, J4, TD, T2, JFD, JF2, JF4;
    TLinhaResumo TotalM, TotalF; // no incentive percentage
    vorta::Money DbEdit_Icms;             // ICMS percentage
    vorta::Money dbedit_valorArrobaMPauta; // the month's reference values
    vorta::Money dbedit_valorArrobaFPauta;
    vorta::Money dbEdit_VlrArrobaMacho;    // values practised, typed by the user
    vorta::Money dbEdit_VlrArrobaFemea;
    int recm1 = 0, recm2 = 0, recm3 = 0, recm4 = 0, recm5 = 0, recm6 = 0, recmtotal = 0;
    int recf1 = 0, recf2 = 0, recf3 = 0, recf4 = 0, recftotal = 0;
    vorta::Money TotIncentivo67, TotIncentivo50, TotIncentivo33, TotIncentivoTotal;
    int TotalQtdGeral = 0;
    // The "no right to the benefits" panel is showing.
    bool paprovado = false;

    // The row of a class code (JD, J2, J4, TD, T2, JFD, JF2, JF4), else nullptr.
    TLinhaResumo* Linha(const QString& code);

    // The slaughterhouse on screen has a movement for the date's month.
    bool VerificaMovimento(const QDate& date);
    // The percentages of a new map, from the programme parameters.
    void CarregaParametros();
    void CarregaParametrosMensais(const QDate& date);
    void LimpaCampos();
    // Recomputes every figure from the map's animals (nothing while they are closed).
    void Totaliza();
    // Shows a stored map: its percentages and values, then the totals.
    void CarregaResumo();
    void InsereResumo(const QString& code, int heads, vorta::Money weight, vorta::Money arrobas,
                      vorta::Money valuePerArroba, vorta::Money base, vorta::Money icms, vorta::Money percent,
                      vorta::Money passedOn, int rejected);

    // The fields a refused save points at.
    enum class TCampo { Data, Sexo, Lote, CadastroPrograma, Veterinario };
    // Called after a refusal's message, before the abort: the form turns to the field's
    // page and focuses it.
    std::function<void(TCampo)> OnRecusa;
    // The checks, the twelve summary rows, the posts and the commit of the include's or
    // alter's transaction. A refusal leaves the transaction open.
    void Gravar();

private:
    [[noreturn]] void recusa(TCampo campo);
    TDM_MTC* m_dm;
    // What the last walk over the map's stored rows counted, for the map list's figures.
    struct Contagem {
        bool valida = false;
        int mapa = 0;
        int animais = 0;
        int classificados = 0;
        vorta::db::ContentStamp carimbo;
    } m_contagem;
};
