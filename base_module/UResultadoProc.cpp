#include "UResultadoProc.h"

#include "Ufuncoes.h"
#include "uRel.h"
#include "comum.h"

#include "platform/core/EditMask.h"
#include "platform/db/DataSet.h"
#include "platform/db/Field.h"

using namespace vorta::report;

vorta::Guarded<TResultadoProc> ResultadoProc;

namespace {

QString tituloSistema(const QString& s)
{
    if (s == QLatin1String("HAX"))
        return QStringLiteral("HAX - Movimento de Estabelecimento");
    if (s == QLatin1String("KOB"))
        return QStringLiteral("KOB - Declaração Anual do Produtor");
    if (s == QLatin1String("RUX"))
        return QStringLiteral("RUX - Movimento de Rebanhos");
    if (s == QLatin1String("TUV"))
        return QStringLiteral("TUV - Declaração do Movimento de Transporte");
    if (s == QLatin1String("WEN") || s == QLatin1String("WEN/Com"))
        return QStringLiteral("WEN - Movimento de Bombas de Combustível");
    return QString();
}

} // namespace

QString DescricaoMotivo(const QString& m)
{
    if (m == QLatin1String("N") || m == QLatin1String("1"))
        return QStringLiteral("Normal");
    if (m == QLatin1String("R") || m == QLatin1String("3") || m == QLatin1String("043"))
        return QStringLiteral("Retificadora");
    if (m == QLatin1String("2"))
        return QStringLiteral("Encerramento");
    if (m == QLatin1String("4"))
        return QStringLiteral("Sem Movimento");
    if (m == QLatin1String("C"))
        return QStringLiteral("Comunicado");
    if (m == QLatin1String("030"))
        return QStringLiteral("Revalidação");
    if (m == QLatin1String("051"))
        return QStringLiteral("Baixa");
    return QString();
}

TResultadoProc::TResultadoProc(vorta::Component* owner) : Report(owner)
{
    setName(QStringLiteral("ResultadoProc"));
    paperSize = PaperSize::Letter;
    orientation = Orientation::Portrait;
    firstPageHeader = true;
    lastPageFooter = true;
    printIfEmpty = true;
    previewMaximized = true;
    title = QStringLiteral("Resultado do Processamento");
    Band* cab = addBand(BandType::PageHeader, QStringLiteral("PageHeaderBand1"), 26);
    auto* logo = cab->add<Image>();
    logo->setName(QStringLiteral("imgLogo"));
    logo->setGeometry(0, 0, 20, 20);
    logo->picture = Picture::fromImage(TRel::logotipo());
    logo->stretch = true;
    logo->keepAspect = true;
    auto rotulo = [](Band* b, const QString& nome, const QString& texto, double l, double t, double w, double pt,
                     bool negrito) {
        Label* x = b->addLabel(nome, texto, l, t, w, pt * 0.5);
        x->font.pointSize = pt;
        x->font.bold = negrito;
        return x;
    };
    rotulo(cab, QStringLiteral("lbGoverno"), QStringLiteral("GOVERNO DO ESTADO DE ORVANIA"), 24, 1, 110, 10, true);
    rotulo(cab, QStringLiteral("lbKalvi"), QStringLiteral("KALVI "), 24, 7, 110, 9, true);
    rotulo(cab, QStringLiteral("lbProduto"), QStringLiteral("Vorta"), 24, 13, 110, 9, false);
    auto* pagina = cab->add<SysData>(SysData::Kind::PageNumber, QStringLiteral("Página: "));
    pagina->setGeometry(150, 1, 45, 5);
    auto* data = cab->add<SysData>(SysData::Kind::DateTime);
    data->setGeometry(150, 7, 45, 5);

    Band* t = addBand(BandType::Title, QStringLiteral("TitleBand1"), 150);
    lbSistema = rotulo(t, QStringLiteral("lbSistema"), QString(), 0, 2, 195, 11, true);
    lbSistema->alignment = HAlign::Center;
    lbTipo = rotulo(t, QStringLiteral("lbTipo"), QStringLiteral("Tipo"), 0, 10, 195, 11, true);
    lbTipo->alignment = HAlign::Center;
    lbMensagem = rotulo(t, QStringLiteral("lbMensagem"), QStringLiteral("Mensagem1"), 0, 20, 195, 9, false);
    lbMensagem->wordWrap = true;
    lbMensagem->autoStretch = true;
    lbMensagem2 = rotulo(t, QStringLiteral("lbMensagem2"), QString(), 0, 32, 195, 9, true);
    lbMensagem2->wordWrap = true;
    lbMensagem2->autoStretch = true;
    rotulo(t, QStringLiteral("lbIdContrib"), QStringLiteral("IDENTIFICAÇÃO DO CONTRIBUINTE :"), 0, 60, 195, 9, true);
    rotulo(t, QStringLiteral("lbIECap"), QStringLiteral("Inscrição Estadual :"), 0, 67, 40, 9, false);
    lbIE = rotulo(t, QStringLiteral("lbIE"), QString(), 42, 67, 60, 9, true);
    rotulo(t, QStringLiteral("lbRSCap"), QStringLiteral("Razão Social :"), 0, 73, 40, 9, false);
    lbRSocial = rotulo(t, QStringLiteral("lbRSocial"), QString(), 42, 73, 150, 9, true);
    rotulo(t, QStringLiteral("lbIdSistema"), QStringLiteral("IDENTIFICAÇÃO DO SISTEMA"), 0, 83, 195, 9, true);
    rotulo(t, QStringLiteral("lbRefCap"), QStringLiteral("Período de Referência :"), 0, 90, 42, 9, false);
    lbReferencia = rotulo(t, QStringLiteral("lbReferencia"), QString(), 44, 90, 60, 9, true);
    rotulo(t, QStringLiteral("lbTipoCap"), QStringLiteral("Tipo :"), 0, 96, 42, 9, false);
    lbTipoDesc = rotulo(t, QStringLiteral("lbTipoDesc"), QString(), 44, 96, 100, 9, true);
    rotulo(t, QStringLiteral("lbProtCap"), QStringLiteral("Número do Protocolo :"), 0, 102, 42, 9, false);
    lbProtocolo = rotulo(t, QStringLiteral("lbProtocolo"), QString(), 44, 102, 100, 9, true);
}

void TResultadoProc::Preenche(vorta::db::DataSet* ds)
{
    auto c = [ds](const char* n) { return ds->fieldByName(QString::fromLatin1(n))->asString(); };
    const QString sistema = c("Sistema");
    const QString tipo = c("ResultadoTipo");
    const bool tuv = sistema == QLatin1String("TUV");
    lbSistema->caption = tituloSistema(sistema);
    if (tipo == QLatin1String("Processado")) {
        lbTipo->caption = QStringLiteral("Comprovante de Validação de ") + sistema;
        lbMensagem->caption =
            tuv ? QStringLiteral("NOS TERMOS DO Art. 4°, INC. I, DO SUBANEXO IV DO ANEXO XV DO RICMS, COMUNICAMOS QUE A TUV "
                                 "ABAIXO IDENTIFICADA FOI RECEPCIONADA E PROCESSADA COM SUCESSO.")
                : QStringLiteral("COMUNICAMOS QUE A DECLARAÇÃO ABAIXO IDENTIFICADA FOI RECEPCIONADA E PROCESSADA COM "
                                 "SUCESSO.");
    } else if (tipo == QLatin1String("Recusado")) {
        lbTipo->caption = QStringLiteral("Notificação");
        lbMensagem->caption =
            tuv ? QStringLiteral("NOS TERMOS DO Art. 4°, INC. II, DO SUBANEXO IV DO ANEXO XV DO RICMS, INFORMAMOS QUE A TUV "
                                 "ABAIXO IDENTIFICADA FOI RECUSADA PELO SISTEMA DE PROCESSAMENTO DEVIDO AO(S) SEGUINTE(S) "
                                 "ERROS(S):")
                : QStringLiteral("INFORMAMOS QUE A DECLARAÇÂO ABAIXO IDENTIFICADA FOI RECUSADA PELO SISTEMA DE "
                                 "PROCESSAMENTO DEVIDO AO(S) SEGUINTE(S) ERROS(S):");
    }
    lbMensagem2->caption = c("ResultadoProcessamento");
    lbIE->caption = vorta::EditMask(MascaraDesteConTipo(QStringLiteral("IE"))).format(c("Inscricao"));
    lbRSocial->caption = c("Nome");
    lbReferencia->caption = c("Referencia");
    lbTipoDesc->caption = c("Motivo") + QStringLiteral(" - ") + DescricaoMotivo(c("Motivo"));
    lbProtocolo->caption = c("Data_Entrega").trimmed().isEmpty() ? c("CRC") : c("Protocolo");
}
