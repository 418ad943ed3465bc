#include "QValidacao.h"

vorta::Guarded<TQValidacao> QValidacao;

using namespace vorta::report;

TQValidacao::TQValidacao(vorta::Component* owner) : Report(owner), m_linhas({QStringLiteral("Linha")})
{
    setName(QStringLiteral("QValidacao"));
    paperSize = PaperSize::Letter;
    orientation = Orientation::Portrait;
    title = QStringLiteral("Validação");
    dataSource = &m_linhas;
    Detalhe = addBand(BandType::Detail, QStringLiteral("Detalhe"), 4.0);
    QRLinha = Detalhe->addDBText(QStringLiteral("QRLinha"), QStringLiteral("Linha"), 0, 0, 190, 4);
    QRLinha->font.family = QStringLiteral("Arial");
    QRLinha->font.pointSize = 8;
}

void TQValidacao::setLinhas(const QStringList& linhas)
{
    m_linhas.clear();
    for (const QString& l : linhas)
        m_linhas.addRow({l});
}
