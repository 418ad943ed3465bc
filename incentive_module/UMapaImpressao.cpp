#include "UMapaImpressao.h"

#include "FrmCadMapas.h"
#include "UDM_MTC.h"
#include "UMapa1.h"
#include "UMapa2.h"

#include "DialogsX.h"
#include "uDmVortaModule.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Query.h"
#include "platform/report/TextFormat.h"
#include "platform/ui/Application.h"

#include <cmath>

using vorta::report::Band;
using vorta::report::BandType;
using vorta::report::HAlign;
using vorta::report::Label;

namespace {

const QString kMoeda = QStringLiteral("###,###,##0.00");

QString moeda(double v)
{
    return vorta::report::formatFloat(kMoeda, v);
}

// The classes of the classified table, with the prefix of their labels.
struct Classe {
    const char* codigo;
    const char* prefixo;
};
constexpr Classe kMachos[] = {{"JD", "Jd"}, {"J2", "J2"}, {"J4", "J4"}, {"TD", "Td"}, {"T2", "T2"}};
constexpr Classe kFemeas[] = {{"JFD", "Jfd"}, {"JF2", "Jf2"}, {"JF4", "Jf4"}};

// Columns of the classified table: label suffix and caption.
struct Coluna {
    const char* sufixo;
    const char* titulo;
};
constexpr Coluna kColunas[] = {
    {"Qtd", "Qtd. Cabeças"},     {"Peso", "Peso em Kg"},         {"QtdArr", "Qtd. Arrobas"},
    {"ValorArr", "Valor Arroba"}, {"BaseCalc", "Base de Calc. Icms"}, {"Icms", "ICMS"},
    {"Incentivo", "% Incentivo"}, {"VlrRepasse", "Valor do incentivo a repassar"},
};
// The sex totals of each column, in the same order.
constexpr const char* kTotais[] = {"qtd", "peso", "qtdarrobas", "vlrarrobas", "calcicms", "icms", "incentivo",
                                   "percincentivo"};

QString nomeDoRotulo(const char* prefixo, const char* sufixo)
{
    QString p = QString::fromLatin1(prefixo);
    // The heads' labels start in lower case, as the form's fields do.
    if (qstrcmp(sufixo, "Qtd") == 0)
        p[0] = p[0].toLower();
    return p + QString::fromLatin1(sufixo);
}

// Rejected heads of a class go to one label of the non-classified table.
struct Reprovados {
    const char* codigo;
    const char* rotulo;
};
constexpr Reprovados kReprovados[] = {{"JD", "qr1"},  {"J2", "qr2"},  {"TD", "qr3"},  {"T2", "qr4"},  {"I", "qr5"},
                                      {"A", "qr6"},   {"JFD", "qrf1"}, {"JF2", "qrf2"}, {"IF", "qrf3"}, {"AF", "qrf4"}};

const QString kSemDireito = QStringLiteral(
    "\"Sem direito aos benefícios fiscais conforme Resolução Conjunta Kalvi/Pradel nº 033 de 16 de junho de 2003\"");

constexpr double kPx = 25.4 / 96.0; // the layouts' sizes are screen pixels

Label* rotulo(Band* band, const QString& name, const QString& caption, double left, double top, double width,
              double height = 3.6, HAlign align = HAlign::Left, double pt = 6.5, bool bold = false)
{
    Label* l = band->addLabel(name, caption, left, top, width, height);
    l->alignment = align;
    l->font.pointSize = pt;
    l->font.bold = bold;
    return l;
}

void caixa(Band* band, double left, double top, double width, double height)
{
    auto* s = band->add<vorta::report::Shape>(vorta::report::Shape::Kind::Rectangle);
    s->setGeometry(left, top, width, height);
}

} // namespace

double StringToFloat(const QString& text)
{
    QString kept;
    bool decimal = false;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const QChar c = text.at(i);
        if (c.isDigit())
            kept.prepend(c);
        else if (c == QLatin1Char(',') && !decimal) {
            kept.prepend(QLatin1Char('.'));
            decimal = true;
        } else if (i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+')))
            kept.prepend(c);
    }
    bool ok = false;
    const double v = kept.toDouble(&ok);
    if (!ok)
        throw vorta::EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return v;
}

TqrMapaBase::TqrMapaBase(vorta::Component* owner, const Layout& layout) : vorta::report::Report(owner)
{
    paperSize = vorta::report::PaperSize::A4;
    orientation = vorta::report::Orientation::Portrait;
    margins = {10, 10, 10, 10};
    columns = 4;
    columnSpace = 1.0;
    firstPageHeader = true;
    lastPageFooter = true;
    printIfEmpty = true;
    title = QStringLiteral("Mapa de Tipificação de Carcaças");
    if (DM_MTC)
        setDataSet(DM_MTC->qRelMapas);

    criaCabecalho(layout.cabecalhoPx * kPx);
    criaAnimal(layout.animalPx * kPx);
    criaResumo(layout.resumoPx * kPx, layout.resumoNoRodape ? BandType::PageFooter : BandType::Summary);
    qrResumo->forceNewPage = !layout.resumoNoRodape;
    QRSubDetail1->BeforePrint = [this](Band& b, bool& p) { QRSubDetail1BeforePrint(b, p); };
    qrResumo->BeforePrint = [this](Band& b, bool& p) { qrResumoBeforePrint(b, p); };
}

Label* TqrMapaBase::label(const QString& name) const
{
    for (Band* b : bands())
        for (vorta::report::ReportItem* item : b->items())
            if (item->name() == name)
                if (auto* l = dynamic_cast<Label*>(item))
                    return l;
    throw vorta::Exception(QStringLiteral("The sheet has no label %1").arg(name));
}

void TqrMapaBase::criaCabecalho(double h)
{
    QRBand1 = addBand(BandType::PageHeader, QStringLiteral("QRBand1"), h);
    Band* b = QRBand1;
    const double w = 190;
    rotulo(b, QStringLiteral("QRLabel1"),
           QStringLiteral("SUBPROGRAMA DE APOIO À CRIAÇÃO DE BOVINOS DE QUALIDADE E CONFORMIDADE DE ORVANIA - ZIREL"), 0,
           0, w, 4.5, HAlign::Center, 8, true);
    rotulo(b, QStringLiteral("QRLabel2"), QStringLiteral("MAPA DAS LINHAS DE TIPIFICAÇÃO DE CARCAÇAS BOVINAS"), 0, 5, w,
           4.5, HAlign::Center, 8, true);
    rotulo(b, QStringLiteral("QRLabel3"), QStringLiteral("Nº"), 0, 11, 6);
    b->addDBText(QStringLiteral("QRDBText_map_codigo"), QStringLiteral("map_codigo"), 6, 11, 18, 3.6)->font.pointSize = 6.5;
    rotulo(b, QStringLiteral("QRLabel4"), QStringLiteral("DATA EMISSÃO :"), 26, 11, 20);
    auto* data = b->addDBText(QStringLiteral("QRDBText_map_data"), QStringLiteral("map_data"), 46, 11, 18, 3.6);
    data->displayFormat = QStringLiteral("dd/mm/yyyy");
    data->font.pointSize = 6.5;
    rotulo(b, QStringLiteral("QRLabel5"), QStringLiteral("LOTE :"), 66, 11, 9);
    b->addDBText(QStringLiteral("QRDBText_map_num_lote"), QStringLiteral("map_num_lote"), 75, 11, 14, 3.6)->font.pointSize = 6.5;
    auto* quando = b->add<vorta::report::SysData>(vorta::report::SysData::Kind::DateTime,
                                                  QStringLiteral("Data/Hora Impressão : "));
    quando->setName(QStringLiteral("QRSysData1"));
    quando->setGeometry(100, 11, 60, 3.6);
    quando->font.pointSize = 6.5;
    auto* pagina = b->add<vorta::report::SysData>(vorta::report::SysData::Kind::PageNumber);
    pagina->setName(QStringLiteral("QRSysData2"));
    pagina->setGeometry(162, 11, 10, 3.6);
    pagina->alignment = HAlign::Right;
    pagina->font.pointSize = 6.5;
    auto* total = rotulo(b, QStringLiteral("qrTotPagina"), QString(), 172, 11, 18);
    total->OnPrint = [this](vorta::report::TextItem&, QString& text) { text = QStringLiteral("/") + QString::number(TotPagina); };

    // The numbered boxes of the parties.
    struct Caixa {
        const char* titulo;
        const char* nome;
        double left, top, width;
    };
    const Caixa caixas[] = {
        {"01- RAZÃO SOCIAL FRIGORÍFICO", "qrRazaoSocial", 0, 16, 95},
        {"02 - INSCR. EST. FRIGORÍFICO", "qrInscricaoFrigo", 95, 16, 35},
        {"03 - MUNICÍPIO", "qrMunicipio", 130, 16, 40},
        {"04 - SIF", "qrSIF", 170, 16, 20},
        {"05 - PECUARISTA", "qrPecuarista", 0, 26, 95},
        {"Inscrição Estadual Produtor", nullptr, 95, 26, 35},
        {"07 - CADASTRO NA Pradel", "QRPradel", 130, 26, 60},
        {"08 - PROPRIEDADE", "qrPropriedade", 0, 36, 130},
        {"09 - MUNICÍPIO", "qrMunicipioPropriedade", 130, 36, 60},
    };
    int n = 0;
    for (const Caixa& c : caixas) {
        caixa(b, c.left, c.top, c.width, 10);
        rotulo(b, QStringLiteral("QRLabelCaixa%1").arg(++n), QString::fromUtf8(c.titulo), c.left + 1, c.top + 0.5,
               c.width - 2, 3.2, HAlign::Left, 5.5, true);
        if (c.nome) {
            rotulo(b, QString::fromLatin1(c.nome), QString(), c.left + 1, c.top + 5, c.width - 2, 4, HAlign::Left, 7);
        } else {
            auto* ie = b->addDBText(QStringLiteral("QRDBText_ie_pecuarista"), QStringLiteral("ie_pecuarista"), c.left + 1,
                                    c.top + 5, c.width - 2, 4);
            ie->font.pointSize = 7;
        }
    }
    // Column heads, once per column of animals.
    const double colW = (190 - 3 * columnSpace) / 4;
    for (int col = 0; col < 4; ++col) {
        const double x = col * (colW + columnSpace);
        const char* heads[][2] = {{"10", "SM"}, {"11", "CA"}, {"12", "PESO"}, {"13", "TIP"}, {"14", "NP"}};
        const double xs[] = {9, 17, 26, 36, 41};
        const double ws[] = {8, 9, 10, 5, 5};
        for (int i = 0; i < 5; ++i) {
            rotulo(b, QStringLiteral("QRLabelNum%1_%2").arg(col).arg(i), QString::fromLatin1(heads[i][0]), x + xs[i],
                   h - 8, ws[i], 3.2, HAlign::Center, 5.5, true);
            rotulo(b, QStringLiteral("QRLabelCol%1_%2").arg(col).arg(i), QString::fromLatin1(heads[i][1]), x + xs[i],
                   h - 4.5, ws[i], 3.2, HAlign::Center, 5.5, true);
        }
    }
}

void TqrMapaBase::criaAnimal(double h)
{
    QRSubDetail1 = addBand(BandType::SubDetail, QStringLiteral("QRSubDetail1"), h);
    if (DM_MTC)
        QRSubDetail1->setDataSet(DM_MTC->qRelMapasItens);
    Band* b = QRSubDetail1;
    const double t = std::max(0.0, (h - 3.4) / 2);
    auto text = [&](const char* name, const char* field, double left, double width, HAlign align) {
        auto* d = b->addDBText(QString::fromLatin1(name), QString::fromLatin1(field), left, t, width, 3.4);
        d->alignment = align;
        d->font.pointSize = 6.5;
        return d;
    };
    text("QRDBText_itm_num_animal", "itm_num_animal", 0, 8, HAlign::Right);
    text("QRDBText_mat_codigo", "mat_codigo", 9, 8, HAlign::Center);
    text("QRDBText_Dsc_Conformacao", "Dsc_Conformacao", 17, 5, HAlign::Center);
    text("QRDBText_aca_codigo", "aca_codigo", 22, 4, HAlign::Center);
    auto* peso = text("QRDBText_itm_peso", "itm_peso", 26, 10, HAlign::Right);
    peso->displayFormat = QStringLiteral("##0.00");
    text("QRDBText_tip_codigo", "tip_codigo", 36, 5, HAlign::Center);
    rotulo(b, QStringLiteral("QRDBText_DIF"), QStringLiteral("-"), 36, t, 5, 3.4, HAlign::Center);
    text("QRDBText_itm_classificado", "itm_classificado", 41, 5, HAlign::Center);
}

void TqrMapaBase::criaResumo(double h, BandType type)
{
    qrResumo = addBand(type, QStringLiteral("qrResumo"), h);
    Band* b = qrResumo;
    const double linha = 4.0;
    double y = 0;
    rotulo(b, QStringLiteral("QRLabel15"), QStringLiteral("15 - RESUMO DOS ANIMAIS CLASSIFICADOS"), 0, y, 190, 4,
           HAlign::Left, 7, true);
    y += 5;
    const double x0 = 20, cw = 21;
    for (int c = 0; c < 8; ++c)
        rotulo(b, QStringLiteral("QRLabelTitulo%1").arg(c), QString::fromUtf8(kColunas[c].titulo), x0 + c * cw, y, cw,
               6.5, HAlign::Center, 5.5, true)
            ->wordWrap = true;
    y += 7;
    auto tabela = [&](const char* sexo, const Classe* classes, int n, const char* totalPrefix) {
        rotulo(b, QStringLiteral("QRLabelSexo%1").arg(QString::fromUtf8(sexo)), QString::fromUtf8(sexo), 0, y, 20, linha,
               HAlign::Left, 6.5, true);
        y += linha;
        for (int i = 0; i < n; ++i) {
            rotulo(b, QStringLiteral("QRLabelClasse%1").arg(QString::fromLatin1(classes[i].codigo)),
                   QString::fromLatin1(classes[i].codigo), 2, y, 18);
            for (int c = 0; c < 8; ++c)
                rotulo(b, nomeDoRotulo(classes[i].prefixo, kColunas[c].sufixo), c == 0 ? QStringLiteral("0") : QStringLiteral("0,00"),
                       x0 + c * cw, y, cw - 1, linha, HAlign::Right);
            y += linha;
        }
        rotulo(b, QStringLiteral("QRLabelTotal%1").arg(QString::fromLatin1(totalPrefix)), QStringLiteral("TOTAL"), 2, y,
               18, linha, HAlign::Left, 6.5, true);
        for (int c = 0; c < 8; ++c)
            rotulo(b, QString::fromLatin1(totalPrefix) + QString::fromLatin1(kTotais[c]),
                   c == 0 ? QStringLiteral("0") : QStringLiteral("0,00"), x0 + c * cw, y, cw - 1, linha, HAlign::Right,
                   6.5, true);
        y += linha + 1;
    };
    tabela("Machos", kMachos, 5, "qrtotm");
    tabela("Fêmeas", kFemeas, 3, "qrtotf");

    rotulo(b, QStringLiteral("QRLabel16"), QStringLiteral("16 - RESUMO DOS ANIMAIS NÃO CLASSIFICADOS"), 0, y, 95, 4,
           HAlign::Left, 7, true);
    rotulo(b, QStringLiteral("QRLabel17"), QStringLiteral("17 - RESUMO GERAL"), 100, y, 90, 4, HAlign::Left, 7, true);
    y += 5;
    const double yNc = y;
    rotulo(b, QStringLiteral("QRLabelNcQtd"), QStringLiteral("Qtd. Cabeças"), 20, y, 20, linha, HAlign::Right, 5.5, true);
    y += linha;
    auto naoClassificados = [&](const char* sexo, const QList<QPair<const char*, const char*>>& linhas, const char* total) {
        rotulo(b, QStringLiteral("QRLabelNcSexo%1").arg(QString::fromUtf8(sexo)), QString::fromUtf8(sexo), 0, y, 20, linha,
               HAlign::Left, 6.5, true);
        y += linha;
        for (const auto& [caption, nome] : linhas) {
            rotulo(b, QStringLiteral("QRLabelNc%1").arg(QString::fromLatin1(nome)), QString::fromLatin1(caption), 2, y, 18);
            rotulo(b, QString::fromLatin1(nome), QStringLiteral("0"), 20, y, 20, linha, HAlign::Right);
            y += linha;
        }
        rotulo(b, QStringLiteral("QRLabelNcTotal%1").arg(QString::fromLatin1(total)), QStringLiteral("TOTAL"), 2, y, 18,
               linha, HAlign::Left, 6.5, true);
        rotulo(b, QString::fromLatin1(total), QStringLiteral("0"), 20, y, 20, linha, HAlign::Right, 6.5, true);
        y += linha + 1;
    };
    naoClassificados("Machos", {{"JD", "qr1"}, {"J2/J4", "qr2"}, {"TD", "qr3"}, {"T2/T4", "qr4"}, {"I", "qr5"}, {"A", "qr6"}},
                     "vtot1");
    naoClassificados("Fêmeas", {{"JFD", "qrf1"}, {"JF2/JF4", "qrf2"}, {"IF", "qrf3"}, {"AF", "qrf4"}}, "vTot2");

    double g = yNc;
    rotulo(b, QStringLiteral("QRLabelRes"), QStringLiteral("TOTAL DE INCENTIVOS A REPASSAR AO PRODUTOR"), 100, g, 90,
           linha, HAlign::Left, 6.5, true);
    g += linha;
    const char* faixas[][2] = {{"67 %", "qrres1"}, {"50 %", "qrres2"}, {"33%", "qrres3"}, {"Total", "qrres4"}};
    for (const auto& f : faixas) {
        rotulo(b, QStringLiteral("QRLabel%1").arg(QString::fromLatin1(f[1])), QString::fromLatin1(f[0]), 102, g, 20);
        rotulo(b, QString::fromLatin1(f[1]), QStringLiteral("0,00"), 125, g, 30, linha, HAlign::Right);
        g += linha;
    }
    g += 1;
    rotulo(b, QStringLiteral("QRLabelNF"), QStringLiteral("Notas Fiscais de Entrada"), 100, g, 35, linha, HAlign::Left, 6.5, true);
    rotulo(b, QStringLiteral("qrNF"), QString(), 136, g, 54, linha * 2)->wordWrap = true;
    g += linha * 2;
    rotulo(b, QStringLiteral("QRLabelTipificada"), QStringLiteral("Qtd. Cabeças Tipificas"), 100, g, 35, linha,
           HAlign::Left, 6.5, true);
    rotulo(b, QStringLiteral("qrTipificada"), QStringLiteral("0"), 136, g, 20, linha, HAlign::Right);
    g += linha + 1;
    rotulo(b, QStringLiteral("QRLabelVeterinario"),
           QStringLiteral("Médico Veterinário responsável pelo preenchimento dos campos 10 a 14"), 100, g, 90, linha, HAlign::Left, 6.5, true);
    g += linha;
    // Read when the print starts: the footer prints after the map's row has been passed.
    rotulo(b, QStringLiteral("QRDBText_tec_nome"), QString(), 102, g, 88, linha, HAlign::Left, 7);
    g += linha + 1;
    rotulo(b, QStringLiteral("pDireito"), QString(), 100, g, 90, linha * 3, HAlign::Center, 7, true)->wordWrap = true;
}

void TqrMapaBase::QRSubDetail1BeforePrint(Band&, bool&)
{
    const bool dif = DM_MTC && DM_MTC->qRelMapasItens->active()
        && DM_MTC->qRelMapasItens->fieldByName(QStringLiteral("Dsc_Conformacao"))->asString().trimmed().toUpper()
            == QLatin1String("DIF");
    for (vorta::report::ReportItem* item : QRSubDetail1->items()) {
        if (item->name() == QLatin1String("QRDBText_aca_codigo") || item->name() == QLatin1String("QRDBText_tip_codigo"))
            item->enabled = !dif;
        else if (item->name() == QLatin1String("QRDBText_DIF"))
            item->enabled = dif;
    }
}

void TqrMapaBase::qrResumoBeforePrint(Band&, bool&)
{
    if (StringToFloat(texto(QStringLiteral("qrres4")).remove(QLatin1Char('.'))) != 0)
        return;
    const QString zero = QStringLiteral("0,00");
    for (const Classe& c : kMachos)
        setTexto(nomeDoRotulo(c.prefixo, "VlrRepasse"), zero);
    for (const Classe& c : kFemeas)
        setTexto(nomeDoRotulo(c.prefixo, "VlrRepasse"), zero);
    setTexto(QStringLiteral("qrtotmpercincentivo"), zero);
    setTexto(QStringLiteral("qrtotfpercincentivo"), zero);
}

namespace {

int contagem(const QString& sql, int map)
{
    vorta::db::Query q;
    q.setDatabase(DM_MTC->dbMTC);
    q.setSql(sql);
    q.paramByName(QStringLiteral("vmapa"))->setAsInteger(map);
    q.open();
    return q.isEmpty() ? 0 : int(q.fields(0)->asInteger());
}

int qtdAnimais(int map)
{
    return contagem(QStringLiteral("select count(itm_num_animal) from qel_mapas_itens where map_codigo=:vmapa"), map);
}

int qtdClassificados(int map)
{
    return contagem(QStringLiteral("select count(itm_num_animal) from qel_mapas_itens where map_codigo=:vmapa and "
                                   "itm_classificado='S'"),
                    map);
}

} // namespace

void CarregaResumoRelatorio(TqrMapaBase& r, int mapCode, const TCabecalhoMapa& cabecalho)
{
    for (const char* n : {"qr1", "qr2", "qr3", "qr4", "qr5", "qr6", "qrf1", "qrf2", "qrf3", "qrf4"})
        r.setTexto(QString::fromLatin1(n), QStringLiteral("0"));

    vorta::db::Query q;
    q.setDatabase(DM_MTC->dbMTC);
    q.setSql(QStringLiteral("select * from Qel_Mapas_Resumo where map_codigo = :vmapa"));
    q.paramByName(QStringLiteral("vmapa"))->setAsInteger(mapCode);
    q.open();
    auto valor = [&](const char* field) { return moeda(q.fieldByName(QString::fromLatin1(field))->asFloat()); };
    for (q.first(); !q.eof(); q.next()) {
        const QString code = q.fieldByName(QStringLiteral("Mat_Codigo"))->asString().trimmed().toUpper();
        auto preenche = [&](const Classe& c) {
            if (code != QLatin1String(c.codigo))
                return;
            r.setTexto(nomeDoRotulo(c.prefixo, "Qtd"), q.fieldByName(QStringLiteral("mre_qtd_cabecas"))->asString());
            r.setTexto(nomeDoRotulo(c.prefixo, "Peso"), valor("mre_peso_kg"));
            r.setTexto(nomeDoRotulo(c.prefixo, "QtdArr"), valor("mre_qtd_arroba"));
            r.setTexto(nomeDoRotulo(c.prefixo, "ValorArr"), valor("mre_vlr_arroba"));
            r.setTexto(nomeDoRotulo(c.prefixo, "BaseCalc"), valor("mre_base_calc_icms"));
            r.setTexto(nomeDoRotulo(c.prefixo, "Icms"), valor("mre_icms"));
            r.setTexto(nomeDoRotulo(c.prefixo, "Incentivo"), valor("mre_perc_incentivo"));
            r.setTexto(nomeDoRotulo(c.prefixo, "VlrRepasse"), valor("mre_vlr_repasse"));
        };
        for (const Classe& c : kMachos)
            preenche(c);
        for (const Classe& c : kFemeas)
            preenche(c);
        for (const Reprovados& rp : kReprovados)
            if (code == QLatin1String(rp.codigo))
                r.setTexto(QString::fromLatin1(rp.rotulo), q.fieldByName(QStringLiteral("mre_qtd_reprovada"))->asString());
    }
    q.close();

    // Sex totals, from what the labels print.
    auto totaliza = [&](const Classe* classes, int n, const char* prefixo) {
        const QString p = QString::fromLatin1(prefixo);
        for (int c = 0; c < 8; ++c) {
            const QString nome = p + QString::fromLatin1(kTotais[c]);
            if (c == 3 || c == 6) {
                r.setTexto(nome, QStringLiteral("---"));
                continue;
            }
            double soma = 0;
            for (int i = 0; i < n; ++i)
                soma += StringToFloat(r.texto(nomeDoRotulo(classes[i].prefixo, kColunas[c].sufixo)));
            r.setTexto(nome, c == 0 ? QString::number(qint64(std::llround(soma))) : moeda(soma));
        }
    };
    totaliza(kMachos, 5, "qrtotm");
    totaliza(kFemeas, 3, "qrtotf");
    auto soma = [&](std::initializer_list<const char*> nomes) {
        double s = 0;
        for (const char* n : nomes)
            s += StringToFloat(r.texto(QString::fromLatin1(n)));
        return s;
    };
    r.setTexto(QStringLiteral("vtot1"), QString::number(qint64(soma({"qr1", "qr2", "qr3", "qr4", "qr5", "qr6"}))));
    r.setTexto(QStringLiteral("vTot2"), QString::number(qint64(soma({"qrf1", "qrf2", "qrf3", "qrf4"}))));

    // The map earns the incentive when at least half of its animals are classified.
    const int a = qtdAnimais(mapCode);
    const int c = qtdClassificados(mapCode);
    const double naoClassificados = (a - c) < 1 ? 0.0 : double(a - c) * 100.0 / a;
    if (naoClassificados > 50.0) {
        for (const char* n : {"qrres1", "qrres2", "qrres3", "qrres4"})
            r.setTexto(QString::fromLatin1(n), QStringLiteral("0,00"));
        r.setTexto(QStringLiteral("pDireito"), kSemDireito);
    } else {
        const double r67 = soma({"JdVlrRepasse", "TdVlrRepasse", "JfdVlrRepasse"});
        const double r50 = soma({"J2VlrRepasse", "T2VlrRepasse", "Jf2VlrRepasse"});
        const double r33 = soma({"J4VlrRepasse", "Jf4VlrRepasse"});
        r.setTexto(QStringLiteral("qrres1"), moeda(r67));
        r.setTexto(QStringLiteral("qrres2"), moeda(r50));
        r.setTexto(QStringLiteral("qrres3"), moeda(r33));
        r.setTexto(QStringLiteral("qrres4"), moeda(StringToFloat(moeda(r67)) + StringToFloat(moeda(r50)) + StringToFloat(moeda(r33))));
        r.setTexto(QStringLiteral("pDireito"), QString());
    }

    r.setTexto(QStringLiteral("qrRazaoSocial"), cabecalho.RazaoSocial);
    r.setTexto(QStringLiteral("qrInscricaoFrigo"), cabecalho.InscricaoFrigo);
    r.setTexto(QStringLiteral("qrMunicipio"), cabecalho.Municipio);
    r.setTexto(QStringLiteral("qrSIF"), cabecalho.SIF);
    r.setTexto(QStringLiteral("qrPecuarista"), cabecalho.Pecuarista);
    r.setTexto(QStringLiteral("QRPradel"), cabecalho.Pradel);
    r.setTexto(QStringLiteral("qrPropriedade"), cabecalho.Propriedade);
    r.setTexto(QStringLiteral("qrMunicipioPropriedade"), cabecalho.MunicipioPropriedade);
}

void ImprimirMapa(int mapCode, const TCabecalhoMapa& cabecalho)
{
    if (qrMapa1 || qrMapa2 || !DM_MTC)
        return;
    vorta::CursorGuard cursor(vorta::Screen::Cursor::Default);
    auto destroyer = TFormAutoDestroyer::Create();
    try {
        // A map whose technician row is missing still prints, with no veterinarian.
        DM_MTC->qRelMapas->close();
        DM_MTC->qRelMapas->setSql(QStringLiteral(
            "Select n.*, t.tec_nome from qel_mapas n left join qel_tecnico t on n.tec_codigo=t.tec_codigo "
            "where map_codigo = :vmapa"));
        DM_MTC->qRelMapas->paramByName(QStringLiteral("vmapa"))->setAsInteger(mapCode);
        DM_MTC->qRelMapas->open();
        DM_MTC->qRelMapasItens->close();
        DM_MTC->qRelMapasItens->open();

        TqrMapaBase* r = nullptr;
        if (DM_MTC->qRelMapasItens->recordCount() <= 100)
            r = destroyer->CreateForm(qrMapa1, nullptr);
        else
            r = destroyer->CreateForm(qrMapa2, nullptr);
        CarregaResumoRelatorio(*r, mapCode, cabecalho);

        vorta::db::Query notas;
        notas.setDatabase(DM_MTC->dbMTC);
        notas.setSql(QStringLiteral("Select * from Qel_NotasMapa where map_codigo=:vMapa order by rowid"));
        notas.paramByName(QStringLiteral("vMapa"))->setAsInteger(mapCode);
        notas.open();
        QStringList numeros;
        for (notas.first(); !notas.eof(); notas.next())
            numeros << notas.fieldByName(QStringLiteral("mn_nro_nota_fiscal"))->asString();
        r->setTexto(QStringLiteral("qrNF"), numeros.join(QStringLiteral(", ")));
        r->setTexto(QStringLiteral("qrTipificada"), QString::number(qtdClassificados(mapCode)));
        r->setTexto(QStringLiteral("QRDBText_tec_nome"), DM_MTC->qRelMapas->fieldByName(QStringLiteral("tec_nome"))->asString());

        r->TotPagina = r->prepare();
        r->preview();
    } catch (const vorta::EAbort&) {
        throw;
    } catch (const vorta::Exception& e) {
        ShowMessage(e.message());
    }
}

void ImprimeMapaDoFormulario()
{
    if (!CadMapas || !DM_MTC || !DM_MTC->TblMapas->active() || DM_MTC->TblMapas->isEmpty())
        return;
    ImprimirMapa(int(DM_MTC->TblMapas->fieldByName(QStringLiteral("map_codigo"))->asInteger()),
                 CadMapas->CabecalhoImpressao());
}
