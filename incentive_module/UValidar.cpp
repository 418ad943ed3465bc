#include "UValidar.h"

#include "DmValidar.h"
#include "QValidacao.h"
#include "UBuscaMovimento.h"
#include "UDM_MTC.h"
#include "USelMovGera.h"
#include "Ufuncoes.h"

#include "platform/core/Clock.h"
#include "platform/core/EditMask.h"
#include "platform/core/QtGuard.h"
#include "platform/db/Field.h"

#include <QTimer>

vorta::Guarded<TValidar> Validar;

using vorta::ui::Label;
using vorta::ui::SpeedButton;

namespace {
const QString kSeparador = QString(91, QLatin1Char('='));

QString campo(vorta::db::DataSet* ds, const char* name)
{
    return ds->fieldByName(QString::fromLatin1(name))->asString().trimmed();
}
} // namespace

TValidar::TValidar(vorta::Component* owner) : vorta::ui::Form(owner)
{
    setName(QStringLiteral("Validar"));
    setObjectName(QStringLiteral("Validar"));
    setCaption(QStringLiteral("Validar Movimento"));
    setClientSize(700, 480);

    auto label = [this](const char* caption, const char* name, int x, int y, int w) {
        auto* l = new Label(this, QString::fromUtf8(caption), QString::fromLatin1(name));
        l->setGeometry(x, y, w, 16);
        return l;
    };
    label("Inscrição:", "Label1", 8, 8, 90);
    LInscricao = label("", "LInscricao", 100, 8, 200);
    label("Verificando:", "Label2", 8, 26, 90);
    LVerificando = label("", "LVerificando", 100, 26, 300);
    label("Registros Verificados:", "Label3", 420, 8, 150);
    LLidas = label("0", "LLidas", 580, 8, 80);
    label("Erros Encontrados:", "Label4", 420, 26, 150);
    LErros = label("0", "LErros", 580, 26, 80);

    Memo_Validar = new QPlainTextEdit(this);
    Memo_Validar->setObjectName(QStringLiteral("Memo_Validar"));
    Memo_Validar->setReadOnly(true);
    Memo_Validar->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::Monospace);
    mono.setPointSize(8);
    Memo_Validar->setFont(mono);
    Memo_Validar->setGeometry(8, 48, 684, 340);

    auto* texto = label("Os movimentos sem erros passam a validados e podem ser gerados; os demais ficam "
                        "pendentes até serem corrigidos.",
                        "Label5", 8, 392, 684);
    texto->setWordWrap(true);
    texto->setGeometry(8, 392, 684, 30);

    auto button = [this](const char* caption, const char* name, int x) {
        return BotaoMovimento(this, caption, name, x, 430, 90);
    };
    btGerar = button("&Gerar", "btGerar", 8);
    btRelatorio = button("&Imprimir", "btRelatorio", 104);
    btCancelar = button("&Cancelar", "btCancelar", 200);
    btSair = button("&Retornar", "btSair", 296);
    btSairGeral = button("&Sair", "btSairGeral", 602);
    btGerar->setEnabled(false);
    btRelatorio->setEnabled(false);

    // Label shortcuts: clicking one clicks its button when it is enabled.
    struct Atalho {
        const char* texto;
        const char* tecla;
        SpeedButton* botao;
    };
    const Atalho atalhos[] = {{"Gerar  -", "[ ALT + G ]", btGerar},
                              {"Imprimir -", "[ ALT + I ]", btRelatorio},
                              {"Cancelar -", "[ ALT + C ]", btCancelar},
                              {"Retornar -", "[ ALT + R ]", btSair}};
    int x = 8;
    for (const Atalho& a : atalhos) {
        for (const char* text : {a.texto, a.tecla}) {
            auto* l = new Label(this, QString::fromLatin1(text));
            l->setGeometry(x, 460, 70, 16);
            SpeedButton* b = a.botao;
            l->OnClick = [b](QWidget*) {
                if (b->isEnabled())
                    b->click();
            };
            x += 72;
        }
    }

    btGerar->OnClick = [this](QWidget* s) { btGerarClick(s); };
    btRelatorio->OnClick = [this](QWidget* s) { BtRelatorioClick(s); };
    btSair->OnClick = [this](QWidget* s) { btSairClick(s); };
    btSairGeral->OnClick = [this](QWidget* s) { btSairGeralClick(s); };
    OnShow = [this](vorta::ui::Form* f) { FormShow(f); };
    AbreGeracao = [] { AbreSelMovGera(); };
}

TDm_Validar* TValidar::dm() const
{
    return Dm_Validar.get();
}

void TValidar::FormShow(vorta::ui::Form*)
{
    // The check starts once the window is on screen.
    QTimer::singleShot(0, this, [this] { vorta::guardQt([this] { IniciaValidacao(); }); });
}

void TValidar::IniciaValidacao()
{
    AplicacaoEstaEditandoGravar();
    if (TipoValidacao == QLatin1String("Movimento"))
        ValidaMovimento();
}

void TValidar::escreve(const QString& linha)
{
    m_linhas << linha;
    Memo_Validar->appendPlainText(linha);
}

void TValidar::erro(const QString& texto)
{
    escreve(QStringLiteral("    => Erro : ") + texto);
    ++TotalErros;
    MovimentoComErro = true;
}

bool TValidar::verifica(const TMovimentoValidar& m)
{
    TDm_Validar* d = dm();
    d->MovCodigo = m.codigo;
    d->MovInscricao = m.inscricao.trimmed();
    d->MovAno = m.ano.trimmed();
    d->MovMes = m.mes.trimmed();
    d->MovTipo = m.tipo.trimmed();
    if (d->MovInscricao.isEmpty() || d->MovAno.isEmpty() || d->MovMes.isEmpty())
        return false;
    for (auto* t : {d->TblContribuinte, d->tblMTC, d->tblMunicipio, d->tblRespEmpresa, d->tblResponsavel})
        if (!t->active())
            t->open();
    const bool achou = d->TblContribuinte->locate(QStringLiteral("Con_IECNPJCPF"), d->MovInscricao,
                                                  vorta::db::loCaseInsensitive);
    const bool achouMovimento = d->tblMTC->locate(QStringLiteral("mov_codigo;con_iecnpjcpf;mov_ano_referencia;mov_mes_referencia;mov_Tipo"),
                      {m.codigo, d->MovInscricao, d->MovAno.toInt(), d->MovMes.toInt(), d->MovTipo},
                      vorta::db::loCaseInsensitive);
    MovimentoComErro = false;
    LInscricao->setCaption(d->MovInscricao);
    LVerificando->setCaption(QStringLiteral("Movimento"));
    const QString fantasia = achou ? campo(d->TblContribuinte, "Con_NomePropr") : QString();
    const QString linha = QStringLiteral("  IE: ") + vorta::EditMask(QStringLiteral("00.000.000-0;0; ")).format(d->MovInscricao)
                          + QStringLiteral(" - ") + fantasia + QStringLiteral("  Ano: ") + d->MovAno
                          + QStringLiteral(" - ") + d->MovMes + QStringLiteral(" / ") + d->MovTipo;
    escreve(linha.left(90));
    if (achou)
        ValidaCadastro();
    if (achouMovimento)
        RegrasMovimento();
    ++MovimentosVerificados;
    return true;
}

void TValidar::ValidaMovimento()
{
    MovimentosVerificados = MovimentosComErros = TotalErros = 0;
    m_linhas.clear();
    Memo_Validar->clear();
    const QDateTime agora = vorta::now();
    escreve(QStringLiteral("  KALVI").leftJustified(75) + QStringLiteral("DATA: ")
            + agora.date().toString(QStringLiteral("dd/MM/yyyy")));
    escreve(QStringLiteral("  RELATÓRIO PARA SIMPLES CONFERÊNCIA").leftJustified(84) + QStringLiteral("HORA: ")
            + agora.time().toString(QStringLiteral("HH:mm:ss")));
    escreve(kSeparador);

    TDm_Validar* d = dm();
    d->OnErro = [this](int code, const QVariantList& args) {
        erro(GetErrorMessage(code, args));
    };
    bool algumSemErro = false;
    if (UmMovimento) {
        TMovimentoValidar m{d->MovCodigo, d->MovInscricao, d->MovAno, d->MovMes, d->MovTipo, QString()};
        if (!verifica(m))
            return;
        MudarStatusMovimento(m.codigo, m.inscricao, m.tipo, m.mes, m.ano, QStringLiteral("?"));
        if (MovimentoComErro)
            ++MovimentosComErros;
    } else {
        for (const TMovimentoValidar& m : Selecionados) {
            const QString situacao = m.situacao.trimmed().toUpper();
            if (situacao == QLatin1String("G") || situacao == QLatin1String("GD"))
                continue;
            if (!verifica(m))
                continue;
            if (MovimentoComErro)
                ++MovimentosComErros;
            else
                algumSemErro = true;
            MudarStatusMovimento(m.codigo, m.inscricao, m.tipo, m.mes, m.ano,
                                 MovimentoComErro ? QStringLiteral("?") : QStringLiteral("N"));
        }
    }

    escreve(kSeparador);
    escreve(QStringLiteral("  MOVIMENTOS VERIFICADOS: ") + QString::number(MovimentosVerificados));
    escreve(QStringLiteral("  MOVIMENTOS COM ERROS:   ") + QString::number(MovimentosComErros));
    escreve(QStringLiteral("  TOTAL DE ERROS:   ") + QString::number(TotalErros));
    LLidas->setCaption(QString::number(MovimentosVerificados));
    LErros->setCaption(QString::number(TotalErros));
    LVerificando->setCaption(QStringLiteral("Processo concluído"));
    if (!UmMovimento)
        LInscricao->setCaption(QString());
    btRelatorio->setEnabled(TotalErros > 0);
    // The movement window's own transaction is open: no generation from inside it.
    btGerar->setEnabled(!UmMovimento && algumSemErro);
}

void TValidar::ValidaCadastro()
{
    TDm_Validar* d = dm();
    vorta::db::DataSet* c = d->TblContribuinte;
    auto f = [c](const char* n) { return campo(c, n); };
    d->VInscricao(f("Con_IECNPJCPF"));
    d->VRazaoSocial(f("Con_Nome"));
    d->VNomeFantasia(f("Con_NomePropr"));
    d->VCNPJ(f("End_CPF"));
    d->VNIRE(f("Con_NIRE"));
    d->VDDDObrig(f("Con_DDDFone"));
    d->VFone(f("Con_DDDFone"), f("Con_Fone"));
    d->VFone2(f("Con_DDD2"), f("Con_Fone2"));
    d->VFax(f("Con_DDDFax"), f("Con_FAX"));
    d->VTipLogEstabObrig(f("TipLog_CodigoEstab"));
    d->VLogradouroEstabObrig(f("Con_LogradouroEstab"));
    d->VNumComplEstab(f("Con_NumeroEstab"), f("Con_ComplementoEstab"));
    d->VBairroEstabObrig(f("Tip_Bai_CodigoEstab"), f("Con_BairroEstab"));
    d->VMunicipioEstab(f("Mun_Propriedade"));
    d->VUFEstab(f("Con_UFEstab"));
    d->VCEPEstabObrig(f("Con_CEPEstab"), f("Mun_Propriedade"));
    d->VEmailEstab(f("Con_EmailEstab"));
    const QString munEndereco = f("Mun_Endereco");
    if (!munEndereco.isEmpty() && munEndereco != QLatin1String("0"))
        d->VUF(f("Con_UF"));
    d->VCEP(f("Con_CEP"), munEndereco);
    d->VEmail(f("Con_Email"));
    d->VRespLegal(f("ResEmp_CPF"));
}

void TValidar::RegrasMovimento()
{
    TDm_Validar* d = dm();
    vorta::db::DataSet* m = d->tblMTC;
    const int mes = int(m->fieldByName(QStringLiteral("mov_mes_referencia"))->asInteger());
    if (mes < 1 || mes > 12)
        d->OnErro(1451, {});
    if (campo(m, "mov_ano_referencia").isEmpty() || campo(m, "mov_ano_referencia") == QLatin1String("0"))
        d->OnErro(1239, {});
    if (campo(m, "mov_tipo").isEmpty())
        d->OnErro(1504, {});
    if (campo(m, "mov_responsavel").isEmpty())
        d->OnErro(1687, {});

    vorta::db::Query* q = d->qryMapas;
    q->close();
    q->setSql(QStringLiteral("Select * from qel_mapas where con_iecnpjcpf = :vContribuinte and "
                             "EXTRACT(MONTH FROM map_data) = :vmes and EXTRACT(YEAR FROM map_data) = :vANO"));
    q->paramByName(QStringLiteral("vContribuinte"))->setAsString(d->MovInscricao);
    q->paramByName(QStringLiteral("vmes"))->setAsInteger(d->MovMes.toInt());
    q->paramByName(QStringLiteral("vANO"))->setAsInteger(d->MovAno.toInt());
    q->open();
    d->qryMapasItens->open();
    d->QryMapasNotas->open();
    if (q->isEmpty()) {
        escreve(QStringLiteral("    => Alerta: Não existem Mapas para o Movimento selecionado."));
    } else {
        for (q->first(); !q->eof(); q->next()) {
            const QString codigo = campo(q, "map_codigo");
            if (d->qryMapasItens->isEmpty())
                erro(QStringLiteral("O Mapa Nº ") + codigo + QStringLiteral(" não possui itens."));
            if (d->QryMapasNotas->isEmpty())
                erro(QStringLiteral("Mapa Nº ") + codigo + QStringLiteral(" não possui nenhuma Nota Fiscal."));
        }
    }
    d->qryMapasItens->close();
    d->QryMapasNotas->close();
    q->close();
}

void TValidar::MudarStatusMovimento(int codigo, const QString& inscricao, const QString& tipo, const QString& mes,
                                    const QString& ano, const QString& status)
{
    vorta::db::Query* q = DM_MTC->QryGeral;
    q->close();
    q->setSql(QStringLiteral("Update qel_movimento set mov_situacao = :Status Where (mov_codigo = :mov_codigo) and "
                             "(con_iecnpjcpf = :RefContrib) and (mov_Ano_referencia = :RefAno) and "
                             "(mov_Mes_referencia = :RefMes) and (mov_Tipo = :RefTipo)"));
    q->paramByName(QStringLiteral("Status"))->setAsString(status);
    q->paramByName(QStringLiteral("mov_codigo"))->setAsInteger(codigo);
    q->paramByName(QStringLiteral("RefContrib"))->setAsString(inscricao.trimmed());
    q->paramByName(QStringLiteral("RefAno"))->setAsInteger(ano.trimmed().toInt());
    q->paramByName(QStringLiteral("RefMes"))->setAsInteger(mes.trimmed().toInt());
    q->paramByName(QStringLiteral("RefTipo"))->setAsString(tipo.trimmed());
    q->execSql();
}

void TValidar::BtRelatorioClick(QWidget*)
{
    TQValidacao relatorio;
    relatorio.setLinhas(m_linhas);
    relatorio.print();
}

void TValidar::btGerarClick(QWidget*)
{
    if (TipoValidacao == QLatin1String("Movimento") && AbreGeracao)
        AbreGeracao();
}

void TValidar::btSairClick(QWidget*)
{
    close();
}

void TValidar::btSairGeralClick(QWidget*)
{
    if (MsgSimNaoBD(440) == vorta::ui::mrYes)
        vorta::Application::instance()->terminate();
}
