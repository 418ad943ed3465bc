#include "uRel.h"

#include <QPainter>
#include <QPainterPath>

vorta::Guarded<TRel> Rel;

using namespace vorta::report;

namespace {
constexpr double LarguraUtil = 195.9;  // letter width less the margins, mm
constexpr double AlturaLinha = 4.5;    // one line of a listing's row, mm
} // namespace

QImage TRel::logotipo()
{
    // A shield in the state's colours: drawn, so no picture file has to travel.
    QImage image(160, 180, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath escudo;
    escudo.moveTo(10, 10);
    escudo.lineTo(150, 10);
    escudo.lineTo(150, 100);
    escudo.quadTo(150, 150, 80, 172);
    escudo.quadTo(10, 150, 10, 100);
    escudo.closeSubpath();
    p.setPen(QPen(QColor(20, 60, 30), 6));
    p.setBrush(QColor(30, 120, 60));
    p.drawPath(escudo);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(240, 200, 40));
    p.drawRect(QRectF(13, 60, 134, 30));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(80, 75), 22, 22);
    return image;
}

TRel::TRel(vorta::Component* owner) : Report(owner)
{
    setName(QStringLiteral("Rel"));
    paperSize = PaperSize::Letter;
    orientation = Orientation::Portrait;

    Titulo = addBand(BandType::PageHeader, QStringLiteral("Titulo"), 24);

    QRImage1 = Titulo->add<Image>();
    QRImage1->setName(QStringLiteral("QRImage1"));
    QRImage1->setGeometry(0, 0, 17, 19);
    QRImage1->picture = Picture::fromImage(logotipo());
    QRImage1->stretch = true;
    QRImage1->keepAspect = true;

    QRLabel1 = Titulo->addLabel(QStringLiteral("QRLabel1"), QStringLiteral("GOVERNO DO ESTADO DE ORVANIA"), 20, 1);
    QRLabel1->font.bold = true;
    QRLabel1->font.pointSize = 12;
    QRLabel2 = Titulo->addLabel(QStringLiteral("QRLabel2"), QStringLiteral("KALVI"), 20, 7.5);
    QRLabel2->font.bold = true;
    QRLabel2->font.pointSize = 11;
    QRLabel5 = Titulo->addLabel(QStringLiteral("QRLabel5"), QStringLiteral("Vorta"), 20, 13.5);
    QRLabel5->font.pointSize = 10;

    QRLabel52 = Titulo->addLabel(QStringLiteral("QRLabel52"), QStringLiteral("Página:"), 163, 1);
    QRLabel52->font.pointSize = 9;
    QRSysData1 = Titulo->add<SysData>(SysData::Kind::PageNumber);
    QRSysData1->setName(QStringLiteral("QRSysData1"));
    QRSysData1->setGeometry(177, 1, 0, 0);
    QRSysData1->font.pointSize = 9;

    QRShape1 = Titulo->add<Shape>(Shape::Kind::HorizontalLine);
    QRShape1->setName(QStringLiteral("QRShape1"));
    QRShape1->setGeometry(0, 21, LarguraUtil, 2);
    QRShape1->penWidth = 0.4;
}

void TRel::montaListagem(const QString& titulo, std::span<const Coluna> colunas, double pontos)
{
    HelpContext = 13000;
    title = titulo.trimmed();

    // The title and the date sit under the rule.
    QRShape1->top = 27;
    Titulo->height = 36;
    QRLabel_Titulo = Titulo->addLabel(QStringLiteral("QRLabel_Titulo"), titulo, 0, 21.5, LarguraUtil, 5.5);
    QRLabel_Titulo->alignment = HAlign::Center;
    QRLabel_Titulo->font.bold = true;
    QRLabel_Titulo->font.pointSize = 11;
    QRLabel_Data = Titulo->addLabel(QStringLiteral("QRLabel_Data"), QStringLiteral("Data:"), 140, 30);
    QRLabel_Data->font.pointSize = 9;
    QRSysData_Data = Titulo->add<SysData>(SysData::Kind::DateTime);
    QRSysData_Data->setName(QStringLiteral("QRSysData_Data"));
    QRSysData_Data->setGeometry(150, 30, 0, 0);
    QRSysData_Data->font.pointSize = 9;

    int linhas = 1;
    for (const Coluna& c : colunas)
        linhas = std::max(linhas, c.linha + 1);
    QRBand_Cabecalho = addBand(BandType::ColumnHeader, QStringLiteral("QRBand_Cabecalho"), linhas * AlturaLinha + 2);
    QRBand1 = addBand(BandType::Detail, QStringLiteral("QRBand1"), linhas * AlturaLinha + 1);
    for (const Coluna& c : colunas) {
        const QString campo = QString::fromLatin1(c.campo);
        const double topo = 0.5 + c.linha * AlturaLinha;
        if (c.titulo) {
            Label* cabecalho = QRBand_Cabecalho->addLabel(QStringLiteral("QRLabel_") + campo,
                                                          QString::fromUtf8(c.titulo), c.esquerda, topo);
            cabecalho->font.bold = true;
            cabecalho->font.pointSize = pontos;
        }
        DBText* texto = QRBand1->addDBText(QStringLiteral("QRDBText_") + campo, campo, c.esquerda, topo, c.largura,
                                           AlturaLinha);
        texto->font.pointSize = pontos;
        if (c.mascara)
            texto->mask = QString::fromLatin1(c.mascara);
    }
    auto* regua = QRBand_Cabecalho->add<Shape>(Shape::Kind::HorizontalLine);
    regua->setName(QStringLiteral("QRShape_Cabecalho"));
    regua->setGeometry(0, linhas * AlturaLinha + 0.5, LarguraUtil, 1);
}

DBText* TRel::texto(const QString& campo) const
{
    if (QRBand1)
        for (ReportItem* item : QRBand1->items())
            if (auto* t = dynamic_cast<DBText*>(item); t && t->field.compare(campo, Qt::CaseInsensitive) == 0)
                return t;
    return nullptr;
}
