#include "UMOVMTC.h"

using namespace vorta::report;

vorta::Guarded<TMOVMTC> MOVMTC;

namespace {

// The state's emblem at the head of the print.
const char kBrasao[] = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 60 70" width="60" height="70">
<path d="M5 5 H55 V35 C55 52 42 62 30 67 C18 62 5 52 5 35 Z" fill="#ffffff" stroke="#000000" stroke-width="2.5"/>
<path d="M10 10 H50 V34 C50 48 40 56 30 60 C20 56 10 48 10 34 Z" fill="#1f5f3a"/>
<circle cx="30" cy="27" r="9" fill="#f2c230"/>
<path d="M12 44 L22 34 L30 41 L38 33 L48 44 C45 50 38 55 30 58 C22 55 15 50 12 44 Z" fill="#ffffff"/>
</svg>)";

} // namespace

TMOVMTC::TMOVMTC(vorta::Component* owner) : TRelatorioMovimento(owner)
{
    setName(QStringLiteral("MOVMTC"));
    paperSize = PaperSize::A4;
    previewMaximized = true;

    Titulo = addBand(BandType::Title, QStringLiteral("Titulo"), 24);
    auto* logo = Titulo->add<Image>();
    logo->setName(QStringLiteral("Logo"));
    logo->setGeometry(5, 2, 17, 20);
    logo->picture = Picture::fromSvg(QByteArray(kBrasao));
    logo->stretch = true;
    logo->keepAspect = true;
    const std::pair<const char*, QString> linhas[] = {
        {"lblGoverno", QStringLiteral("GOVERNO DO ESTADO DE ORVANIA")},
        {"lblKalvi", QStringLiteral("KALVI")},
        {"lblPrograma", QStringLiteral("Programa de Incentivo de Zirel")}};
    double top = 3;
    for (const auto& [name, text] : linhas) {
        Label* l = Titulo->addLabel(QString::fromLatin1(name), text, 26, top, 150, 6);
        l->font.bold = true;
        l->font.pointSize = 11;
        top += 6.5;
    }

    // One set of columns: every map's animals, the incentive of the approved ones.
    const std::vector<TColuna> colunas = {{QStringLiteral("Qtd. Cabeças"), QStringLiteral("Qtd"), 30, 22},
                                          {QStringLiteral("Peso em Kg"), QStringLiteral("Peso"), 54, 24},
                                          {QStringLiteral("Qtd. Arrobas"), QStringLiteral("Arr"), 80, 24},
                                          {QStringLiteral("% Incentivo"), QStringLiteral("Perc"), 106, 20},
                                          {QStringLiteral("Valor do incentivo a repassar"), QStringLiteral("Vlr"),
                                           130, 45}};
    const double fim = montaClassificados(montaIdentificacao(false) + 4, colunas, false);
    montaResumoGeral(montaNaoClassificados(fim), QStringLiteral("Qtd. Cabeças Tipificas"));
    montaResponsavel();
}

void TMOVMTC::Preenche(int movCodigo)
{
    abreMovimento(movCodigo);
    // Nothing passed on: every amount of the incentive shows zero.
    const bool semIncentivo = Resumo.IncentivoTotal.isZero();
    for (const auto& [code, c] : Resumo.Linhas()) {
        const QString l = QStringLiteral("lbl") + QString::fromLatin1(code);
        setCelula(l + QStringLiteral("Qtd"), QString::number(c->Qtd()));
        setCelula(l + QStringLiteral("Peso"), valor(c->Peso()));
        setCelula(l + QStringLiteral("Arr"), valor(c->QtdArr()));
        setCelula(l + QStringLiteral("Vlr"), valor(semIncentivo ? vorta::Money() : c->Incentivo()));
    }
    preencheNaoClassificados();
    preencheIncentivos(Resumo.QtdTotal);
    if (semIncentivo)
        for (const char* name : {"lblIncentivo67", "lblIncentivo50", "lblIncentivo33", "lblIncentivoTotal"})
            setCelula(QString::fromLatin1(name), QStringLiteral("0,00"));
}
