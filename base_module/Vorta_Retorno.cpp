#include "Vorta_Retorno.h"

#include "UDMEntrega.h"
#include "UResultadoProcessamento.h"
#include "USel_Entrega.h"
#include "uProxy.h"

#include "DialogsX.h"
#include "Ufuncoes.h"
#include "comum.h"

#include "platform/core/Clock.h"
#include "platform/core/Exceptions.h"
#include "platform/db/Field.h"
#include "platform/os/Registry.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QPainter>
#include <QProgressBar>
#include <QStyledItemDelegate>

#include <cmath>

using namespace vorta::db;

namespace {

// The authority's web root: namespace and action prefix of the service.
const QString kRaizWeb = QStringLiteral("http://www.kalvi.orv.gov.br/vorta");

class ServicoRetorno : public TVorta_RetornoSoap {
public:
    ServicoRetorno(vorta::net::SoapClient& client, QString endpoint) : m_client(client), m_endpoint(std::move(endpoint))
    {
    }
    QString pesquisar(const QString& nomearq, const QString& protocolo) override
    {
        vorta::net::SoapCall c;
        c.endpoint = m_endpoint;
        c.nameSpace = kRaizWeb;
        c.action = kRaizWeb + QStringLiteral("/Pesquisar");
        c.operation = QStringLiteral("pesquisar");
        c.arguments = {{QStringLiteral("nomearq"), nomearq}, {QStringLiteral("protocolo"), protocolo}};
        return m_client.call(c);
    }

private:
    vorta::net::SoapClient& m_client;
    QString m_endpoint;
};

QString textoDe(const std::exception& e)
{
    if (const auto* v = dynamic_cast<const vorta::Exception*>(&e))
        return v->message();
    return QString::fromLocal8Bit(e.what());
}

QString campo(DataSet* ds, const char* nome)
{
    return ds->fieldByName(QString::fromLatin1(nome))->asString();
}

// The columns' widths: a longer text is cut rather than refused by the store.
constexpr int kTamanhoTexto = 250;
constexpr int kTamanhoTipo = 20;

void UpdateProcessamento(const QString& texto, const QString& tipo, const QString& sistema, const QString& versao,
                         const QString& chave, const QString& arquivo)
{
    Query* q = DMEntrega->Q_Processamento;
    q->close();
    // One row: two versions of a declaration share its key.
    q->setSql(QStringLiteral("UPDATE ENTREGA SET  ResultadoProcessamento = :ResultadoProcessamento, ResultadoTipo = "
                             ":ResultadoTipo WHERE coalesce(Sistema, '') = coalesce(:Sist, '') and coalesce(Versao, "
                             "'') = coalesce(:Ver, '') and coalesce(Chave, '') = coalesce(:Chav, '') and "
                             "coalesce(Arquivo, '') = coalesce(:Arqui, '')"));
    q->paramByName(QStringLiteral("ResultadoProcessamento"))->setAsString(texto.trimmed().left(kTamanhoTexto));
    q->paramByName(QStringLiteral("ResultadoTipo"))->setAsString(tipo.trimmed().left(kTamanhoTipo));
    q->paramByName(QStringLiteral("Sist"))->setAsString(sistema);
    q->paramByName(QStringLiteral("Ver"))->setAsString(versao);
    q->paramByName(QStringLiteral("Chav"))->setAsString(chave.trimmed());
    q->paramByName(QStringLiteral("Arqui"))->setAsString(arquivo);
    q->execSql();
}

void ocultaProgresso(TSel_Entrega* form)
{
    form->pnlProgresso->hide();
}

} // namespace

std::shared_ptr<TVorta_RetornoSoap> GetVorta_RetornoSoap(vorta::net::SoapClient& client, const QByteArray& wsdl)
{
    const QString endpoint = vorta::net::SoapClient::endpointFromWsdl(wsdl);
    if (endpoint.isEmpty())
        throw vorta::net::ENetError(QStringLiteral("A descrição do serviço não informa o seu endereço."));
    return std::make_shared<ServicoRetorno>(client, endpoint);
}

bool LeRespostaProcessamento(const QString& resposta, QString& tipo, QString& texto)
{
    if (resposta.startsWith(QLatin1String("OK"))) {
        tipo = resposta.mid(2, 20).trimmed();
        texto = resposta.mid(47);
        return true;
    }
    if (resposta.startsWith(QLatin1String("ER"))) {
        tipo = resposta.mid(2, 20).trimmed();
        texto = resposta.mid(22);
        return true;
    }
    return false;
}

bool VersaoCoberta(const QString& sistema, const QString& versao)
{
    int digitos;
    int minimo;
    if (sistema == QLatin1String("KOB")) {
        digitos = 2;
        minimo = 13;
    } else if (sistema == QLatin1String("TUV")) {
        digitos = 3;
        minimo = 112;
    } else {
        return true;
    }
    bool ok = false;
    const int numero = RemoveMascara(versao).left(digitos).toInt(&ok);
    // A version that reads as no number is none the service knows.
    return ok && numero >= minimo;
}

TRespostaProcessamento ConsultaResultado(TSel_Entrega* form, const QString& arquivo, const QString& protocolo)
{
    vorta::os::Registry reg;
    if (!reg.openKeyReadOnly(QStringLiteral("\\Software\\Kalvi\\Vorta\\Servidor\\"))
        || !reg.valueExists(QStringLiteral("Processamento")))
        throw vorta::Exception(QStringLiteral("O endereço do serviço de resultado de processamento não está configurado."));
    const QString endereco = reg.readString(QStringLiteral("Processamento"));

    vorta::net::HttpRequest pedido;
    pedido.url = endereco;
    pedido.userAgent = "Mozilla/3.0 (compatible; Indy Library)";
    pedido.headers << vorta::net::Header{"Content-Type", "text/html"} << vorta::net::Header{"Accept", "text/html, */*"};
    vorta::net::HttpResponse descricao;
    try {
        descricao = DMEntrega->IdHTTPVerConec->send(pedido);
    } catch (const vorta::net::ENetError& e) {
        return {true, e.message()};
    }
    if (descricao.status != 200)
        return {true, QString::number(descricao.status)};
    try {
        return {false, GetVorta_RetornoSoap(*form->HTTPRIO1, descricao.body)->pesquisar(arquivo, protocolo)};
    } catch (const vorta::net::ENetError& e) {
        return {true, e.message()};
    }
}

void PreparaProcessamento(TSel_Entrega* form, vorta::ui::DBGrid* grade)
{
    DataSet* ds = grade->dataSet();
    const QList<Bookmark> selecao = grade->selectedRows();
    form->ProgressBar1->setRange(0, std::max(0, int(selecao.size()) - 1));
    form->ProgressBar1->setValue(0);
    bool gravando = false;
    try {
        for (const Bookmark& b : selecao) {
            ds->gotoBookmark(b);
            const QString tipoAtual = campo(ds, "ResultadoTipo");
            const QString sistema = campo(ds, "Sistema");
            if (tipoAtual != QLatin1String("Processado") && tipoAtual != QLatin1String("Recusado")
                && sistema != QLatin1String("POZ")) {
                const QString chave = campo(ds, "Chave");
                const QString versao = campo(ds, "Versao");
                const QString arquivo = campo(ds, "Arquivo");
                const QString protocolo = grade == form->DBGrid_Disquete ? campo(ds, "CRC") : campo(ds, "Protocolo");
                const TRespostaProcessamento r = ConsultaResultado(form, arquivo, protocolo);
                QString tipo, texto;
                if (!r.falhou && r.texto.startsWith(QLatin1String("EX"))) {
                    MessageDlg(GetErrorMessage(1555) + QStringLiteral("\r\n\r\n") + r.texto.trimmed(), mtError, {mbOK}, 0);
                    ocultaProgresso(form);
                    return;
                }
                if (r.falhou || !LeRespostaProcessamento(r.texto, tipo, texto)) {
                    MessageDlg(GetErrorMessage(1568) + QStringLiteral("\r\n") + r.texto.trimmed(), mtError, {mbOK}, 0);
                    ocultaProgresso(form);
                    return;
                }
                if (!texto.trimmed().isEmpty()) {
                    gravando = true;
                    UpdateProcessamento(texto, tipo, sistema, versao, chave, arquivo);
                    gravando = false;
                }
            }
            form->ProgressBar1->setValue(form->ProgressBar1->value() + 1);
        }
    } catch (const vorta::EAbort&) {
        throw;
    } catch (const std::exception& e) {
        ocultaProgresso(form);
        if (gravando)
            MsgErroBD(1556);
        else
            MessageDlg(GetErrorMessage(1568) + QStringLiteral("\r\n\r\n") + textoDe(e).trimmed(), mtError, {mbOK}, 0);
        vorta::Abort();
    }
}

void Bt_ProcessamentoClick(TSel_Entrega* form)
{
    ConfiguraProxy(form->HTTPRIO1->http, TUsoProxy::Resultado);
    const bool copiados = form->Pg_Entrega->activePage() == form->TabSheetDisquete;
    vorta::ui::DBGrid* grade = copiados ? form->DBGrid_Disquete : form->DBGrid_Enviados;
    if (grade->selectedRows().isEmpty()) {
        MsgInfoBD(506, {QStringLiteral("pesquisado")});
        vorta::Abort();
    }
    DataSet* ds = grade->dataSet();
    form->pnlProgresso->show();
    struct Oculta {
        TSel_Entrega* f;
        ~Oculta() { f->pnlProgresso->hide(); }
    } oculta{form};

    const QList<Bookmark> selecao = grade->selectedRows();
    bool descoberta = false;
    for (const Bookmark& b : selecao) {
        ds->gotoBookmark(b);
        if (campo(ds, "Sistema") != QLatin1String("POZ") && !VersaoCoberta(campo(ds, "Sistema"), campo(ds, "Versao")))
            descoberta = true;
    }
    if (descoberta) {
        MsgInfoBD(1542);
        vorta::Abort();
    }
    // A declaration handed in today is not processed yet.
    const QDate hoje = vorta::today();
    for (const Bookmark& b : selecao) {
        ds->gotoBookmark(b);
        if (campo(ds, "Sistema") == QLatin1String("POZ"))
            continue;
        Field* data = ds->fieldByName(copiados ? QStringLiteral("Data_Copia") : QStringLiteral("Data_Entrega"));
        if (!data->isNull() && data->asDateTime().date() == hoje) {
            MsgInfoBD(1543);
            vorta::Abort();
        }
    }
    PreparaProcessamento(form, grade);
    form->ReabreListas();
}

void InstalaResultadoProcessamento()
{
    ProtocoloEntrega.ResultadoProcessamento = [](TSel_Entrega* form) { Bt_ProcessamentoClick(form); };
}

QImage ImagemResultado(int indice)
{
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    switch (indice) {
    case 0:
        p.setPen(QPen(QColor(0, 140, 0), 2.5));
        p.drawPolyline(QPolygonF({QPointF(2, 8), QPointF(6, 13), QPointF(14, 3)}));
        break;
    case 1:
        p.setPen(QPen(QColor(200, 0, 0), 2.5));
        p.drawLine(3, 3, 13, 13);
        p.drawLine(13, 3, 3, 13);
        break;
    case 2:
        p.setPen(QPen(QColor(180, 130, 0), 1.5));
        p.setBrush(QColor(255, 220, 80));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.drawLine(QPointF(8, 8), QPointF(8, 4));
        p.drawLine(QPointF(8, 8), QPointF(11, 9));
        break;
    default:
        break;
    }
    return img;
}

int IndiceImagemResultado(const QString& tipo)
{
    if (tipo == QLatin1String("Processado"))
        return 0;
    if (tipo == QLatin1String("Recusado"))
        return 1;
    if (tipo == QLatin1String("Sem Processamento"))
        return 2;
    return -1;
}

namespace {

class ImagemResultadoDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem semTexto = option;
        initStyleOption(&semTexto, index);
        semTexto.text.clear();
        QStyle* estilo = semTexto.widget ? semTexto.widget->style() : QApplication::style();
        estilo->drawControl(QStyle::CE_ItemViewItem, &semTexto, p, semTexto.widget);
        const int i = IndiceImagemResultado(index.data(Qt::DisplayRole).toString());
        if (i < 0)
            return;
        const QImage img = ImagemResultado(i);
        const QRect c = option.rect;
        p->drawImage(QPoint(c.left() + int(std::lround((c.width() - img.width()) / 2.0)), c.top()), img);
    }
};

} // namespace

void DBGrid_EnviadosDrawColumnCell(vorta::ui::DBGrid* grade)
{
    for (int c = 0; c < grade->columns().size(); ++c)
        if (grade->columns()[c].title == QLatin1String("Resul. Proc"))
            grade->setItemDelegateForColumn(c, new ImagemResultadoDelegate(grade));
    grade->OnDblClick = [grade](QWidget*) { AbreResultadoProcessamento(grade); };
}
