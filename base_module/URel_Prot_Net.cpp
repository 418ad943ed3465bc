#include "URel_Prot_Net.h"

#include "UDMEntrega.h"
#include "USel_Entrega.h"

#include "DialogsX.h"
#include "Ufuncoes.h"
#include "comum.h"

#include "platform/core/Clock.h"
#include "platform/core/EditMask.h"
#include "platform/core/Exceptions.h"
#include "platform/db/Field.h"
#include "platform/report/ReportPrinter.h"
#include "platform/report/TextLayout.h"
#include "platform/ui/Application.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>

#include <memory>

using namespace vorta::report;

namespace {

const QString kGoverno = QStringLiteral("GOVERNO DO ESTADO DE ORVANIA");
const QString kKalvi = QStringLiteral("KALVI ");
const QString kBrancos(20, QLatin1Char(' '));
const QString kMascaraCNPJ = QStringLiteral("99.999.999/9999-99;0; ");

// The state's arms, in colour or in grey.
QImage brasao(bool cor)
{
    QImage img(240, 240, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor azul = cor ? QColor(0, 70, 160) : QColor(60, 60, 60);
    const QColor ouro = cor ? QColor(230, 180, 20) : QColor(170, 170, 170);
    const QColor verde = cor ? QColor(0, 130, 60) : QColor(110, 110, 110);
    p.setPen(QPen(azul, 10));
    p.setBrush(ouro);
    QPainterPath escudo;
    escudo.moveTo(20, 20);
    escudo.lineTo(220, 20);
    escudo.lineTo(220, 120);
    escudo.quadTo(220, 200, 120, 225);
    escudo.quadTo(20, 200, 20, 120);
    escudo.closeSubpath();
    p.drawPath(escudo);
    p.setBrush(verde);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(120, 105), 55, 55);
    p.setPen(QPen(Qt::white, 8));
    p.drawLine(80, 105, 160, 105);
    p.drawLine(120, 65, 120, 145);
    return img;
}

// The Internet reception stamp.
QImage carimbo()
{
    QImage img(240, 240, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 40, 120), 10));
    p.drawEllipse(QPointF(120, 120), 110, 110);
    p.drawEllipse(QPointF(120, 120), 80, 80);
    QFont f(QStringLiteral("DejaVu Sans"), 22, QFont::Bold);
    p.setFont(f);
    p.drawText(QRectF(40, 80, 160, 40), Qt::AlignCenter, QStringLiteral("KALVI"));
    f.setPointSize(16);
    p.setFont(f);
    p.drawText(QRectF(40, 120, 160, 40), Qt::AlignCenter, QStringLiteral("INTERNET"));
    return img;
}

QString dataHora(const QDateTime& d)
{
    // A declaration without a delivery date prints none.
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")) : QString();
}

QString caminhoImagem()
{
    const QString nome = NomeArquivoSeguro(DeclaracaoAtual.NomeImagem);
    return nome.isEmpty() ? QString() : DirArquivos + nome;
}

// Copies the image beside itself with the extension; raises when it cannot.
QString copiaImagem(const QString& extensao)
{
    const QString origem = caminhoImagem();
    if (origem.isEmpty() || !QFileInfo(origem).isFile())
        throw vorta::EFOpenError(QStringLiteral("A imagem %1 não foi encontrada.").arg(DeclaracaoAtual.NomeImagem));
    const QString destino = origem + extensao;
    QFile::remove(destino);
    if (!QFile::copy(origem, destino))
        throw vorta::EInOutError(QStringLiteral("Não foi possível copiar %1.").arg(origem));
    return destino;
}

[[noreturn]] void falhaImpressao()
{
    if (Sel_Entrega) {
        Sel_Entrega->Panel5->hide();
        Sel_Entrega->pnlImprimir->hide();
    }
    MsgErroBD(513);
    vorta::Abort();
}

// Runs one print: the temporaries are removed and the report freed on every path; a
// failure is message 513 and a silent abort.
template <class F>
void protegido(F&& imprime)
{
    struct Limpa {
        ~Limpa() { ApagaTemporarios(); }
    } limpa;
    try {
        imprime();
    } catch (const vorta::EAbort&) {
        throw;
    } catch (const std::exception&) {
        falhaImpressao();
    }
}

// The common steps of a protocol print.
void imprime(std::unique_ptr<TProtocoloRel> rel, const QString& forma)
{
    protegido([&] {
        const QString emf = copiaImagem(QStringLiteral(".emf"));
        const TDeclaracaoAtual& d = DeclaracaoAtual;
        const bool internet = forma == QLatin1String("INTERNET");
        rel->Protocolo = internet ? d.Protocolo : d.CRC;
        rel->DataEntrega = dataHora(d.DataEntrega);
        rel->Nome = d.Nome.trimmed();
        // A reply without an identification (LIM's) prints none, not the mask's points.
        const QString id = d.Identificacao.trimmed();
        rel->Identificacao = rel->MascaraIdentificacao.isEmpty() || id.isEmpty()
                                 ? id
                                 : vorta::EditMask(rel->MascaraIdentificacao).format(id);
        rel->Forma(internet);
        rel->QRI_RelatNet->picture = Picture::fromFile(emf);
        rel->print();
        rel.reset();
    });
}

TProtNetMovimento::Leiaute leiaute(const QString& sistema, const QString& motivo)
{
    TProtNetMovimento::Leiaute l;
    l.caption = QStringLiteral("Protocolo de Entrega do Movimento");
    l.orgao = kKalvi;
    l.idCaption = QStringLiteral("CNPJ: _______________");
    l.idNome = QStringLiteral("QRL_CNPJ");
    l.mascara = kMascaraCNPJ;
    if (sistema == QLatin1String("TUV")) {
        l.caption = QStringLiteral("Protocolo de Entrega da TUV");
        l.tituloDeclaracao = QStringLiteral("TUV - Declaração do Movimento de Transporte");
        l.recepcao = QStringLiteral("DADOS DE RECEPÇÃO DA TUV");
        l.idCaption = QStringLiteral("NIRE: _______________");
        l.idNome = QStringLiteral("QRL_NIRE");
        l.mascara = QStringLiteral("00.0.0000000-0;0; ");
    } else if (sistema == QLatin1String("WEN") || sistema == QLatin1String("WEN/Com")) {
        if (motivo == QLatin1String("C")) {
            l.caption = QStringLiteral("Protocolo de Entrega do Comunicado");
            l.tituloDeclaracao = QStringLiteral("WEN - Comunicado de Intervenção em Bombas de Combustível");
            l.recepcao = QStringLiteral("DADOS DE RECEPÇÃO DO COMUNICADO");
            l.comunicado = true;
        } else {
            l.tituloDeclaracao = QStringLiteral("WEN - Movimento de Bombas de Combustível");
            l.recepcao = QStringLiteral("DADOS DE RECEPÇÃO DO MOVIMENTO");
        }
    } else if (sistema == QLatin1String("HAX")) {
        l.caption = QStringLiteral("Protocolo de Entrega do Movimento do HAX");
        l.tituloDeclaracao = QStringLiteral("HAX - Movimento de Estabelecimento");
        l.recepcao = QStringLiteral("DADOS DE RECEPÇÃO DO HAX");
    } else if (sistema == QLatin1String("ZIR")) {
        l.tituloDeclaracao = QStringLiteral("Programa de Incentivo de Zirel");
        l.recepcao = QStringLiteral("DADOS DE RECEPÇÃO DA MOVIMENTAÇÃO DE MAPAS");
    } else if (sistema == QLatin1String("RUX")) {
        l.tituloDeclaracao = QStringLiteral("RUX - Movimento de Rebanhos");
        l.recepcao = QStringLiteral("DADOS DE RECEPÇÃO DO RUX");
    } else if (sistema == QLatin1String("LIM")) {
        l.orgao = QStringLiteral("AGÊNCIA ESTADUAL DE DEFESA SANITÁRIA");
        l.tituloDeclaracao = QStringLiteral("LIM - Movimento de Insumos");
        l.recepcao = QStringLiteral("DADOS DE RECEPÇÃO DO LIM");
    }
    return l;
}

void imprimeMovimento(const QString& forma)
{
    const TDeclaracaoAtual& d = DeclaracaoAtual;
    imprime(std::make_unique<TProtNetMovimento>(vorta::Application::instance(), leiaute(d.Sistema, d.Motivo)), forma);
}

} // namespace

// --- reports ---------------------------------------------------------------

TProtocoloRel::TProtocoloRel(vorta::Component* owner) : Report(owner)
{
    paperSize = PaperSize::Letter;
    orientation = Orientation::Portrait;
    printIfEmpty = true;
    Titulo = addBand(BandType::Title, QStringLiteral("Titulo"), 258);
}

Label* TProtocoloRel::texto(const QString& nome, const QString& caption, double left, double top, double width,
                            double pt, bool negrito, HAlign a)
{
    Label* l = Titulo->addLabel(nome, caption, left, top, width, pt * 0.5);
    l->font.pointSize = pt;
    l->font.bold = negrito;
    l->alignment = a;
    return l;
}

Label* TProtocoloRel::valor(const QString& nome, const QString* campo, double left, double top, double width)
{
    Label* l = texto(nome, QString(), left, top, width, 9, true);
    l->OnPrint = [campo](TextItem&, QString& t) { t = *campo; };
    return l;
}

Label* TProtocoloRel::valorSobre(ReportItem* rotulo, const QString& nome, const QString* campo)
{
    // The value is written on the caption's blank line, just after its text.
    const auto* r = static_cast<Label*>(rotulo);
    const QString antes = r->caption.left(r->caption.indexOf(QLatin1Char('_')));
    const double left = r->left + textWidthMm(r->font, antes);
    return valor(nome, campo, left, r->top - 0.5, r->left + r->width - left);
}

void TProtocoloRel::logo(double left, double top, bool cor, const QString& nome)
{
    auto* i = Titulo->add<Image>();
    i->setName(nome);
    i->setGeometry(left, top, 20, 20);
    i->picture = Picture::fromImage(brasao(cor));
    i->stretch = true;
    i->keepAspect = true;
}

void TProtocoloRel::imagemDeclaracao(double top, double height)
{
    auto* moldura = Titulo->add<Shape>(Shape::Kind::Rectangle);
    moldura->setName(QStringLiteral("shpRelatNet"));
    moldura->setGeometry(0, top, 195, height);
    QRI_RelatNet = Titulo->add<Image>();
    QRI_RelatNet->setName(QStringLiteral("QRI_RelatNet"));
    QRI_RelatNet->setGeometry(0.5, top + 0.5, 194, height - 1);
    QRI_RelatNet->stretch = true;
}

void TProtocoloRel::declaracao(double top, const QString& declaro, const QString& assinatura, bool linhaData)
{
    Label* t = texto(QStringLiteral("lblDeclaro"), kBrancos + declaro, 0, top, 195);
    t->wordWrap = true;
    t->height = 9;
    texto(QStringLiteral("lblAssinatura"), assinatura, 0, top + 12, 195, 8);
    if (linhaData)
        texto(QStringLiteral("lblDataAss"), QStringLiteral("____ / ____ / ________"), 0, top + 18, 95, 9, false,
              HAlign::Center);
}

void TProtocoloRel::blocoRecebedor(double top, const QString& matricula, const QString& assinatura)
{
    auto* caixa = Titulo->add<Shape>(Shape::Kind::Rectangle);
    caixa->setGeometry(0, top, 97, 40);
    texto(QStringLiteral("lblCarimbo"), QStringLiteral("CARIMBO ÓRGÃO RECEBEDOR"), 2, top + 1, 93, 9, true);
    texto(QStringLiteral("lblCodigo"), QStringLiteral("Código: ____________________"), 2, top + 8, 93);
    texto(QStringLiteral("lblObrigatorio"), QStringLiteral("Preenchimento obrigatório pelo Órgão Recebedor"), 2,
          top + 14, 93, 7);
    texto(QStringLiteral("lblAgenfa"), QStringLiteral("Agenfa Recebedora: ______________________________"), 2, top + 21,
          93);
    texto(QStringLiteral("lblData"), QStringLiteral("Data: _________________________"), 2, top + 28, 93);
    QRL_Matricula = texto(QStringLiteral("QRL_Matricula"), matricula, 0, top + 44, 195);
    QRL_Assinatura = texto(QStringLiteral("QRL_Assinatura"), assinatura, 0, top + 51, 195);
}

void TProtocoloRel::blocoInternet(double top, const QString& titulo, const QString& idCaption, const QString& idNome)
{
    auto add = [this](ReportItem* i) {
        m_internet.push_back(i);
        return i;
    };
    add(texto(QStringLiteral("lblRecepcao"), titulo, 100, top + 1, 70, 8, true));
    add(valor(QStringLiteral("QRL_Data"), &DataEntrega, 100, top + 7, 70));
    add(texto(QStringLiteral("QRL_Agenfa"), QStringLiteral("Kalvi Internet"), 100, top + 12, 70, 9, true));
    add(texto(QStringLiteral("QRL_ACodigo"), QStringLiteral("993.0007-9"), 100, top + 17, 70, 9, true));
    QRL_Identificacao = valorSobre(add(texto(QStringLiteral("lblIdentificacao"), idCaption, 100, top + 24, 95)), idNome,
                                   &Identificacao);
    add(QRL_Identificacao);
    QRI_Carimbo = Titulo->add<Image>();
    QRI_Carimbo->setName(QStringLiteral("QRI_Carimbo"));
    QRI_Carimbo->setGeometry(172, top, 22, 22);
    QRI_Carimbo->picture = Picture::fromImage(carimbo());
    QRI_Carimbo->stretch = true;
    add(QRI_Carimbo);
}

void TProtocoloRel::Forma(bool internet)
{
    for (ReportItem* i : m_internet)
        i->enabled = internet;
    for (ReportItem* i : m_agenfa)
        i->enabled = !internet;
}

TProtNetMovimento::TProtNetMovimento(vorta::Component* owner, const Leiaute& l) : TProtocoloRel(owner)
{
    title = l.caption;
    MascaraIdentificacao = l.mascara;
    logo(0, 0, true);
    texto(QStringLiteral("lblGoverno"), kGoverno, 24, 1, 100, 10, true);
    texto(QStringLiteral("lblOrgao"), l.orgao, 24, 7, 100, 9, true);
    texto(QStringLiteral("lblTituloDeclaracao"), l.tituloDeclaracao, 24, 13, 110, 9, true);
    texto(QStringLiteral("lblProtocolo"), QStringLiteral("Nº do Protocolo:"), 122, 1, 33, 9, true);
    Label_Protocolo = valor(QStringLiteral("Label_Protocolo"), &Protocolo, 156, 1, 39);
    texto(QStringLiteral("lblProtocoloEntrega"), QStringLiteral("PROTOCOLO DE ENTREGA"), 0, 22, 195, 11, true,
          HAlign::Center);
    imagemDeclaracao(28, 125);
    if (l.comunicado) {
        texto(QStringLiteral("lblDeclaracao"), QStringLiteral("DESPACHO DA AGENFA"), 0, 156, 195, 9, true);
        Label* t = texto(QStringLiteral("lblDeclaro"),
                         QStringLiteral("Considerando a veracidade dos dados constante no presente comunicado, "
                                        "autorizamos a empresa mantenedora acima identificada a executar os servidores "
                                        "solicitados."),
                         0, 161, 195);
        t->wordWrap = true;
        t->height = 9;
        texto(QStringLiteral("lblDataDespacho"), QStringLiteral("Data: ____ / ____ / ________"), 0, 174, 95);
    } else {
        texto(QStringLiteral("lblDeclaracao"), QStringLiteral("DECLARAÇÃO"), 0, 156, 195, 9, true);
        declaracao(161,
                   QStringLiteral("Declaro sob as penas da Lei, que as informações prestadas neste documento e no "
                                  "arquivo de entrega são verdadeiras."),
                   QStringLiteral("DATA E ASSINATURA DO CONTRIBUINTE OU RESPONSÁVEL LEGAL"), true);
    }
    blocoRecebedor(186, QStringLiteral("Matrícula Servidor: ____________________________"),
                   QStringLiteral("Assinatura do Servidor: _______________________________________________________"));
    blocoInternet(186, l.recepcao, l.idCaption, l.idNome);
    Label* razao =
        texto(QStringLiteral("lblRazSoc"), QStringLiteral("Razão Social: _________________________________________"), 100,
              215, 95);
    m_internet.push_back(razao);
    m_internet.push_back(valorSobre(razao, QStringLiteral("QRL_RazSoc"), &Nome));
    if (l.comunicado) {
        // The communication's clerk lines print in both forms, with the clerk's name.
        QRL_Matricula->setName(QStringLiteral("qrlMatricula"));
        QRL_Matricula->caption = QStringLiteral("Matrícula Servidor: ______________________");
        QRL_Assinatura->setName(QStringLiteral("qrlAssinatura"));
        QRL_Assinatura->caption = QStringLiteral("Assinatura do Servidor: _________________________________________");
        texto(QStringLiteral("qrlNome"),
              QStringLiteral("Nome do Servidor: ____________________________________________________________"), 0, 244,
              195);
    } else {
        m_agenfa.push_back(QRL_Matricula);
        m_agenfa.push_back(QRL_Assinatura);
    }
}

TRel_Prot_Net::TRel_Prot_Net(vorta::Component* owner, const QString& motivo) : TProtocoloRel(owner)
{
    title = QStringLiteral("Protocolo de Entrega");
    logo(0, 0, true);
    texto(QStringLiteral("lblGoverno"), kGoverno, 24, 1, 100, 10, true);
    texto(QStringLiteral("lblOrgao"), kKalvi, 24, 7, 100, 9, true);
    texto(QStringLiteral("QRL_TituloAg"), QStringLiteral("KOB - Declaração Anual do Produtor - PROTOCOLO DE ENTREGA"),
          24, 13, 130, 9, true);
    QRL_TituloNet = texto(QStringLiteral("QRL_TituloNet"),
                          QStringLiteral("Válido somente se não tiver havido entrega anterior para a mesma Inscrição "
                                         "Estadual, Ano Base e Motivo"),
                          0, 22, 195, 8, false, HAlign::Center);
    QRL_TituloNet->enabled = motivo == QLatin1String("030");
    texto(QStringLiteral("lblProtocolo"), QStringLiteral("Nº do Protocolo:"), 122, 1, 33, 9, true);
    Label_Protocolo = valor(QStringLiteral("Label_Protocolo"), &Protocolo, 156, 1, 39);
    m_agenfa.push_back(texto(QStringLiteral("lblEmissao"), QStringLiteral("Data de Emissão :"), 122, 7, 33, 9, true));
    Label_Data = valor(QStringLiteral("Label_Data"), &Emissao, 156, 7, 39);
    m_agenfa.push_back(Label_Data);
    imagemDeclaracao(28, 125);
    declaracao(157,
               QStringLiteral("Declaro, para os devidos fins, que as informações prestadas neste documento são "
                              "verdadeiras e representam a situação real de meu estabelecimento."),
               QStringLiteral("DATA E ASSINATURA DO PRODUTOR OU RESPONSÁVEL LEGAL"), false);
    blocoRecebedor(186, QStringLiteral("Matrícula Servidor: ____________________________"),
                   QStringLiteral("Assinatura do Servidor: _______________________________________________________"));
    m_agenfa.push_back(QRL_Matricula);
    m_agenfa.push_back(QRL_Assinatura);
    blocoInternet(186, QStringLiteral("DADOS DE RECEPÇÃO DE KOB"), QStringLiteral("N° CPR: _____________"),
                  QStringLiteral("QRL_CPR"));
    Label* produtor = texto(QStringLiteral("lblProdutor"),
                            QStringLiteral("Nome do Produtor: _____________________________________"), 100, 215, 95);
    m_internet.push_back(produtor);
    m_internet.push_back(valorSobre(produtor, QStringLiteral("QRL_Produtor"), &Nome));
}

void TRel_Prot_Net::Forma(bool internet)
{
    TProtocoloRel::Forma(internet);
}

TReProtPOZ::TReProtPOZ(vorta::Component* owner) : TProtocoloRel(owner)
{
    title = QStringLiteral("Protocolo de Entrega");
    logo(0, 0, true, QStringLiteral("imgKalviCOR"));
    logo(0, 0, false, QStringLiteral("imgKalviPB"));
    imgKalviCOR = static_cast<Image*>(Titulo->items()[0]);
    imgKalviPB = static_cast<Image*>(Titulo->items()[1]);
    texto(QStringLiteral("lblRecibo"), QStringLiteral("RECIBO DE ENTREGA"), 0, 22, 195, 11, true, HAlign::Center);
    texto(QStringLiteral("lblGoverno"), kGoverno, 24, 1, 100, 10, true);
    texto(QStringLiteral("lblOrgaos"), QStringLiteral("KALVI  -  AGÊNCIA ESTADUAL DE DEFESA AGROPECUÁRIA"), 24, 7, 110, 8,
          true);
    texto(QStringLiteral("lblFormulario"), QStringLiteral("FORMULÁRIO DE CADASTRO DA AGROPECUÁRIA"), 24, 13, 110, 9, true);
    texto(QStringLiteral("lblProtocolo"), QStringLiteral("Nº do Protocolo:"), 122, 1, 33, 9, true);
    Label_Protocolo = valor(QStringLiteral("Label_Protocolo"), &Protocolo, 156, 1, 39);
    texto(QStringLiteral("lblEmissao"), QStringLiteral("Data de Emissão :"), 122, 7, 33, 9, true);
    valor(QStringLiteral("Label_DATA"), &DataEntrega, 156, 7, 39);
    imagemDeclaracao(28, 140);
    texto(QStringLiteral("lblHomologacao"), QStringLiteral("DADOS DA HOMOLOGAÇÃO"), 0, 172, 195, 9, true);
    blocoRecebedor(180, QStringLiteral("Matrícula Servidor: ____________________________"),
                   QStringLiteral("Assinatura do Servidor: _______________________________________________________"));
}

// --- printing --------------------------------------------------------------

void ApagaTemporarios()
{
    const QString base = caminhoImagem();
    if (base.isEmpty())
        return;
    for (const char* ext : {".emf", ".QRP"})
        QFile::remove(base + QLatin1String(ext));
}

bool ImpressoraColorida()
{
    return currentPrinterIsColor();
}

void ImprimeProtocoloKOB(const QString& forma)
{
    const TDeclaracaoAtual& d = DeclaracaoAtual;
    if (d.Motivo == QLatin1String("030") || d.Motivo == QLatin1String("043")) {
        auto rel = std::make_unique<TRel_Prot_Net>(vorta::Application::instance(), d.Motivo);
        rel->Emissao = dataHora(vorta::now());
        imprime(std::move(rel), forma);
    } else if (d.Motivo == QLatin1String("051")) {
        protegido([] {
            const QString qrp = copiaImagem(QStringLiteral(".QRP"));
            TRel_Prot_Especial rel(vorta::Application::instance());
            rel.qrPrinter().loadFromFile(qrp);
            rel.printerSettings.copies = 2;
            rel.printPrepared();
        });
    }
}

void ImprimeProtocoloTUV(const QString& forma) { imprimeMovimento(forma); }
void ImprimeProtocoloWEN(const QString& forma) { imprimeMovimento(forma); }
void ImprimeProtocoloHAX(const QString& forma) { imprimeMovimento(forma); }
void ImprimeProtocoloZIR(const QString& forma) { imprimeMovimento(forma); }
void ImprimeProtocoloRUX(const QString& forma) { imprimeMovimento(forma); }
void ImprimeProtocoloLIM(const QString& forma) { imprimeMovimento(forma); }

void ImprimeProtocoloPOZ(const QString& forma)
{
    auto rel = std::make_unique<TReProtPOZ>(vorta::Application::instance());
    const bool cor = ImpressoraColorida();
    rel->imgKalviCOR->enabled = cor;
    rel->imgKalviPB->enabled = !cor;
    TReProtPOZ* r = rel.get();
    // After a copy there is no reply: the row's CRC is its number and no date prints.
    const bool internet = forma != QLatin1String("AGENFA");
    protegido([&] {
        const QString emf = copiaImagem(QStringLiteral(".emf"));
        r->Protocolo = internet ? DeclaracaoAtual.Protocolo : DeclaracaoAtual.CRC;
        r->DataEntrega = internet ? dataHora(DeclaracaoAtual.DataEntrega) : QString();
        r->QRI_RelatNet->picture = Picture::fromFile(emf);
        r->print();
        rel.reset();
    });
}

void ImprimeProtocolo(const QString& forma)
{
    const QString& s = DeclaracaoAtual.Sistema;
    if (s == QLatin1String("KOB"))
        ImprimeProtocoloKOB(forma);
    else if (s == QLatin1String("TUV"))
        ImprimeProtocoloTUV(forma);
    else if (s == QLatin1String("WEN") || s == QLatin1String("WEN/Com"))
        ImprimeProtocoloWEN(forma);
    else if (s == QLatin1String("HAX"))
        ImprimeProtocoloHAX(forma);
    else if (s == QLatin1String("ZIR"))
        ImprimeProtocoloZIR(forma);
    else if (s == QLatin1String("RUX"))
        ImprimeProtocoloRUX(forma);
    else if (s == QLatin1String("LIM"))
        ImprimeProtocoloLIM(forma);
    else if (s == QLatin1String("POZ"))
        ImprimeProtocoloPOZ(forma);
}

int ContaPaginas()
{
    const TDeclaracaoAtual& d = DeclaracaoAtual;
    const QString& s = d.Sistema;
    if (s == QLatin1String("KOB")) {
        if (d.Motivo == QLatin1String("030") || d.Motivo == QLatin1String("043"))
            return 1;
        int paginas = 0;
        protegido([&paginas] {
            const QString qrp = copiaImagem(QStringLiteral(".QRP"));
            TRel_Prot_Especial rel(vorta::Application::instance());
            rel.qrPrinter().loadFromFile(qrp);
            paginas = 2 * rel.qrPrinter().pageCount();
        });
        return paginas;
    }
    for (const char* k : {"TUV", "WEN", "WEN/Com", "ZIR", "RUX", "LIM", "POZ", "HAX"})
        if (s == QLatin1String(k))
            return 1;
    return 0;
}

void ReimprimeProtocolos(TSel_Entrega* form)
{
    const bool enviados = form->Pg_Entrega->activePage() == form->TabSheetEnviado;
    vorta::ui::DBGrid* grade = enviados ? form->DBGrid_Enviados : form->DBGrid_Disquete;
    const QString forma = enviados ? QStringLiteral("INTERNET") : QStringLiteral("AGENFA");
    vorta::db::DataSet* ds = grade->dataSet();
    form->bt_Imprimir->setEnabled(false);
    QList<vorta::db::Query*> listas{DMEntrega->Q_Pendente, DMEntrega->Q_Disquete, DMEntrega->Q_Entregue};
    for (vorta::db::Query* q : listas)
        q->disableControls();
    vorta::CursorGuard ampulheta;
    struct Depois {
        TSel_Entrega* f;
        QList<vorta::db::Query*> listas;
        ~Depois()
        {
            f->pnlImprimir->hide();
            vorta::Application::runGuarded([this] {
                f->ReabreListas();
                for (vorta::db::Query* q : listas)
                    q->enableControls();
            });
            f->bt_Imprimir->setEnabled(true);
        }
    } depois{form, listas};

    if (grade->selectedRows().isEmpty()) {
        MsgInfoBD(506, {QStringLiteral("impresso")});
        vorta::Abort();
    }
    auto campo = [ds](const char* c) { return ds->fieldByName(QString::fromLatin1(c))->asString(); };
    auto declaracao = [&] {
        TDeclaracaoAtual d;
        d.Sistema = campo("Sistema");
        d.Arquivo = campo("Arquivo");
        d.Motivo = campo("Motivo");
        d.Versao = campo("Versao");
        d.Chave = campo("Chave");
        d.CRC = campo("CRC");
        const QString& s = d.Sistema;
        d.NomeImagem = QStringLiteral("P")
                       + (s == QLatin1String("RUX") || s == QLatin1String("LIM") || s == QLatin1String("ZIR")
                                  || s == QLatin1String("POZ")
                              ? d.Arquivo
                              : d.Arquivo.mid(1));
        return d;
    };
    int paginas = 0;
    for (const vorta::db::Bookmark& b : grade->selectedRows()) {
        form->pnlImprimir->show();
        ds->gotoBookmark(b);
        DeclaracaoAtual = declaracao();
        const QString arquivo = NomeArquivoSeguro(DeclaracaoAtual.Arquivo);
        if (arquivo.isEmpty() || caminhoImagem().isEmpty() || !QFileInfo(DirArquivos + arquivo).isFile()
            || !QFileInfo(caminhoImagem()).isFile()) {
            form->pnlImprimir->hide();
            MsgErroBD(505, {QStringLiteral("a impressão"), QStringLiteral("a impressão"), DeclaracaoAtual.Sistema});
            vorta::Abort();
        }
        paginas += ContaPaginas();
    }
    MsgInfoBD(509, {paginas});
    for (const vorta::db::Bookmark& b : grade->selectedRows()) {
        ds->gotoBookmark(b);
        TDeclaracaoAtual d = declaracao();
        vorta::db::Field* data = ds->fieldByName(QStringLiteral("Data_Entrega"));
        const QString dados = campo("Dados_Entrega");
        const QString protocolo = campo("Protocolo");
        DeclaracaoAtual = d;
        LeRetornoEntrega(d.Sistema, dados);
        DeclaracaoAtual.Protocolo = protocolo;
        DeclaracaoAtual.DadosEntrega = dados;
        DeclaracaoAtual.DataEntrega = data->isNull() ? QDateTime() : data->asDateTime();
        form->pnlImprimir->show();
        ImprimeProtocolo(forma);
        form->pnlImprimir->hide();
    }
}

void InstalaProtocolos()
{
    ProtocoloEntrega.ContaPaginas = [] { return ContaPaginas(); };
    ProtocoloEntrega.Imprime = [](const QString& forma) { ImprimeProtocolo(forma); };
    ProtocoloEntrega.Reimprime = [](TSel_Entrega* form) { ReimprimeProtocolos(form); };
}
