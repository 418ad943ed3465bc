#include "UProtMTC.h"

#include "UDM_MTC.h"

#include "platform/report/TextFormat.h"

using namespace vorta::report;
using vorta::Money;

vorta::Guarded<TProtMTC> ProtMTC;

namespace {
const QString kValor = QStringLiteral("###,###,##0.00");
QString qtd(int n) { return QString::number(n); }

struct LinhaClassificada {
    const char* code;
    const char* caption;
    const char* percent;
};
const LinhaClassificada kMachos[] = {{"JD", "JD", "67,00"}, {"J2", "J2", "50,00"}, {"J4", "J4", "33,00"},
                                     {"TD", "TD", "67,00"}, {"T2", "T2", "50,00"}, {"TotalM", "TOTAL", "--"}};
const LinhaClassificada kFemeas[] = {
    {"JFD", "JFD", "67,00"}, {"JF2", "JF2", "50,00"}, {"JF4", "JF4", "33,00"}, {"TotalF", "TOTAL", "--"}};
} // namespace

TRelatorioMovimento::TRelatorioMovimento(vorta::Component* owner) : Report(owner)
{
    zoom = 120;
    orientation = Orientation::Portrait;
    auto query = [this](const char* name, const char* sql, vorta::db::DataSource* master) {
        auto* q = new vorta::db::Query(this);
        q->setName(QString::fromLatin1(name));
        q->setDatabase(DM_MTC->dbMTC);
        q->setSql(QString::fromLatin1(sql));
        if (master)
            q->setDataSource(master);
        return q;
    };
    QryMTC = query("QryMTC", "Select * from Qel_Movimento where mov_codigo = :vMov", nullptr);
    QryMTC->addField(QStringLiteral("calctipo"), vorta::db::FieldType::String, 50, vorta::db::FieldKind::Calculated);
    QryMTC->OnCalcFields = [this](vorta::db::DataSet& ds) { QryMTCCalcFields(ds); };
    dsMTC = new vorta::db::DataSource(this);
    dsMTC->setDataSet(QryMTC);
    QryContribuinte = query("QryContribuinte", "select * from contribuinte where con_iecnpjcpf = :con_iecnpjcpf", dsMTC);
    dsContribuinte = new vorta::db::DataSource(this);
    dsContribuinte->setDataSet(QryContribuinte);
    QryResponsavel = query("QryResponsavel", "select * from RespEmpresa where resemp_cpf = :resemp_cpf", dsContribuinte);
    QryMunicipio = query("QryMunicipio", "select * from Municipio where Mun_Codigo = :Mun_Endereco", dsContribuinte);
    QryBairro = query("QryBairro", "select * from Bairro where TipBai_Codigo = :TipBai_Codigo", dsContribuinte);
    qryLogradouro = query("qryLogradouro", "select * from Logradouro where TipLog_Codigo = :TipLog_Codigo",
                          dsContribuinte);
    setDataSet(QryMTC);
    Identificacao = addBand(BandType::ColumnHeader, QStringLiteral("Identificacao"), 225);
    Sumario = addBand(BandType::Summary, QStringLiteral("Sumario"), 20);
}

double TRelatorioMovimento::montaIdentificacao(bool dataGeracao)
{
    Band* b = Identificacao;
    auto dbText = [&](Band* band, vorta::db::DataSet* ds, const char* field, double l, double t, double w) {
        DBText* d = band->addDBText(QStringLiteral("qrdb") + QString::fromLatin1(field), QString::fromLatin1(field), l,
                                    t, w, 4.5);
        d->setDataSet(ds);
        return d;
    };
    b->addLabel("lblIdent", QStringLiteral("Identificação do Contribuinte"), 5, 2, 80, 5)->font.bold = true;
    b->addLabel("lblVersao", QStringLiteral("Versão :"), 110, 2, 18, 4.5);
    dbText(b, QryMTC, "mov_versao", 128, 2, 20);
    if (dataGeracao) {
        b->addLabel("lblDataGer", QStringLiteral("Data de Geração :"), 150, 2, 30, 4.5);
        dbText(b, QryMTC, "mov_dt_hr_geracao", 150, 7, 45);
    }
    b->addLabel("lblIE", QStringLiteral("Inscrição Estadual :"), 5, 12, 35, 4.5);
    dbText(b, QryContribuinte, "con_iecnpjcpf", 40, 12, 30)->mask = QStringLiteral("99.999.999-9;0;_");
    b->addLabel("lblCNPJ", QStringLiteral("CNPJ :"), 75, 12, 12, 4.5);
    dbText(b, QryContribuinte, "End_CPF", 88, 12, 35);
    b->addLabel("lblInclusao", QStringLiteral("Data de Inclusão :"), 120, 12, 32, 4.5);
    dbText(b, QryMTC, "mov_dt_hr_criacao", 153, 12, 45);
    b->addLabel("lblRazao", QStringLiteral("Razão Social :"), 5, 18, 25, 4.5);
    dbText(b, QryContribuinte, "Con_Nome", 31, 18, 75);
    b->addLabel("lblFantasia", QStringLiteral("Nome Fantasia:"), 108, 18, 25, 4.5);
    dbText(b, QryContribuinte, "Con_NomePropr", 136, 18, 63);
    b->addLabel("lblEndereco", QStringLiteral("Endereço :"), 5, 24, 20, 4.5);
    dbText(b, qryLogradouro, "TipLog_Descricao", 26, 24, 25);
    dbText(b, QryContribuinte, "Con_LogradouroEstab", 52, 24, 75);
    b->addLabel("lblNumero", QStringLiteral("Nº :"), 128, 24, 8, 4.5);
    dbText(b, QryContribuinte, "Con_NumeroEstab", 137, 24, 12);
    b->addLabel("lblCompl", QStringLiteral("Complemento :"), 150, 24, 24, 4.5);
    dbText(b, QryContribuinte, "Con_ComplementoEstab", 150, 29, 50);
    b->addLabel("lblBairro", QStringLiteral("Bairro :"), 5, 35, 15, 4.5);
    dbText(b, QryBairro, "TipBai_Descricao", 21, 35, 25);
    dbText(b, QryContribuinte, "Con_BairroEstab", 47, 35, 60);
    b->addLabel("lblFone", QStringLiteral("Telefone :"), 110, 35, 18, 4.5);
    dbText(b, QryContribuinte, "Con_Fone", 129, 35, 30)->mask = QStringLiteral("(99) 999-9999");
    dbText(b, QryContribuinte, "Con_Fone2", 162, 35, 30)->mask = QStringLiteral("(99) 999-9999");
    b->addLabel("lblMunicipio", QStringLiteral("Município :"), 5, 41, 20, 4.5);
    dbText(b, QryMunicipio, "Mun_Descricao", 26, 41, 70);
    b->addLabel("lblUF", QStringLiteral("UF :"), 100, 41, 8, 4.5);
    dbText(b, QryContribuinte, "Con_UFEstab", 109, 41, 10);
    b->addLabel("lblCEP", QStringLiteral("CEP :"), 125, 41, 10, 4.5);
    dbText(b, QryContribuinte, "Con_CEPEstab", 136, 41, 25);
    b->addLabel("lblEmail", QStringLiteral("E-mail :"), 5, 47, 15, 4.5);
    dbText(b, QryContribuinte, "Con_EmailEstab", 21, 47, 100);
    b->addLabel("lblIdentMov", QStringLiteral("Identificação da Movimentação de Mapas:"), 5, 55, 90, 5)->font.bold =
        true;
    b->addLabel("lblPeriodo", QStringLiteral("Período de Referência:"), 5, 61, 40, 4.5);
    dbText(b, QryMTC, "mov_mes_referencia", 46, 61, 8)->alignment = HAlign::Right;
    b->addLabel("lblBarra", QStringLiteral("/"), 55, 61, 3, 4.5);
    dbText(b, QryMTC, "mov_ano_referencia", 58, 61, 12);
    b->addLabel("lblTipo", QStringLiteral("Tipo:"), 80, 61, 10, 4.5);
    dbText(b, QryMTC, "CalcTipo", 91, 61, 50);
    return 66;
}

void TRelatorioMovimento::montaResponsavel()
{
    Sumario->addLabel("lblResp", QStringLiteral("Identificação do Responsável Legal pela Empresa"), 5, 1, 120, 5)
        ->font.bold = true;
    Sumario->addLabel("lblCPF", QStringLiteral("CPF :"), 5, 8, 10, 4.5);
    auto dbText = [&](vorta::db::DataSet* ds, const char* field, double l, double w) {
        DBText* d = Sumario->addDBText(QStringLiteral("qrdb") + QString::fromLatin1(field), QString::fromLatin1(field),
                                       l, 8, w, 4.5);
        d->setDataSet(ds);
    };
    dbText(QryContribuinte, "ResEmp_CPF", 16, 30);
    Sumario->addLabel("lblNome", QStringLiteral("Nome :"), 50, 8, 12, 4.5);
    dbText(QryResponsavel, "ResEmp_Nome", 63, 80);
    Sumario->addLabel("lblCargo", QStringLiteral("Cargo :"), 145, 8, 14, 4.5);
    dbText(QryResponsavel, "ResEmp_Cargo", 160, 40);
}

TProtMTC::TProtMTC(vorta::Component* owner) : TRelatorioMovimento(owner)
{
    setName(QStringLiteral("ProtMTC"));
    paperSize = PaperSize::Letter;
    // Animals of rejected maps and of approved ones side by side.
    const std::vector<TColuna> colunas = {
        {QStringLiteral("Qtd. Cabeças"), QStringLiteral("QtdSem"), 30, 17},
        {QStringLiteral("Peso em Kg"), QStringLiteral("PesoSem"), 48, 17},
        {QStringLiteral("Qtd. Arrobas"), QStringLiteral("ArrSem"), 66, 17},
        {QStringLiteral("Qtd. Cabeças"), QStringLiteral("QtdCom"), 88, 17},
        {QStringLiteral("Peso em Kg"), QStringLiteral("PesoCom"), 106, 17},
        {QStringLiteral("Qtd. Arrobas"), QStringLiteral("ArrCom"), 124, 17},
        {QStringLiteral("% Incentivo"), QStringLiteral("Perc"), 142, 17},
        {QStringLiteral("Valor do incentivo a repassar"), QStringLiteral("Vlr"), 160, 38}};
    const double fim = montaClassificados(montaIdentificacao(true) + 4, colunas, true);
    montaResumoGeral(montaNaoClassificados(fim), QStringLiteral("Qtd. Cabeças Tipificadas"));
    montaResponsavel();
}

void TRelatorioMovimento::QryMTCCalcFields(vorta::db::DataSet& ds)
{
    ds.fieldByName(QStringLiteral("calctipo"))
        ->setAsString(ds.fieldByName(QStringLiteral("mov_tipo"))->asString() == QLatin1String("N")
                          ? QStringLiteral("NORMAL")
                          : QStringLiteral("RETIFICADOR"));
}

QString TRelatorioMovimento::valor(Money m)
{
    return formatFloat(kValor, m.toDouble());
}

Label* TRelatorioMovimento::titulo(const QString& name, const QString& text, double left, double top, double width)
{
    Label* x = Identificacao->addLabel(name, text, left, top, width, 4);
    x->font.pointSize = 7;
    x->font.bold = true;
    return x;
}

void TRelatorioMovimento::celula(const QString& name, double left, double top, double width, const QString& initial)
{
    Label* l = Identificacao->addLabel(name, initial, left, top, width, 4);
    l->alignment = HAlign::Right;
    l->font.pointSize = 7;
}

Label* TRelatorioMovimento::Celula(const QString& name) const
{
    for (ReportItem* item : Identificacao->items())
        if (item->name() == name)
            return dynamic_cast<Label*>(item);
    return nullptr;
}

void TRelatorioMovimento::setCelula(const QString& name, const QString& text)
{
    if (Label* l = Celula(name))
        l->caption = text;
}

double TRelatorioMovimento::montaNaoClassificados(double t)
{
    titulo("lblResumoNao", QStringLiteral("RESUMO DOS ANIMAIS NÃO CLASSIFICADOS"), 5, t, 120);
    t += 5;
    titulo("lblMachosNc", QStringLiteral("Machos"), 10, t, 30);
    titulo("lblFemeasNc", QStringLiteral("Fêmeas"), 100, t, 30);
    t += 4;
    titulo("lblQtdNcM", QStringLiteral("Qtd. Cabeças"), 40, t, 25);
    titulo("lblQtdNcF", QStringLiteral("Qtd. Cabeças"), 130, t, 25);
    t += 4;
    const QStringList machos = {"JD", "J2/J4", "TD", "T2/T4", "I", "A", "TOTAL"};
    const QStringList nomesM = {"NcJD", "NcJ2J4", "NcTD", "NcT2T4", "NcI", "NcA", "NcTotalM"};
    const QStringList femeas = {"JFD", "JF2/JF4", "IF", "AF", "TOTAL"};
    const QStringList nomesF = {"NcJFD", "NcJF2JF4", "NcIF", "NcAF", "NcTotalF"};
    for (int i = 0; i < machos.size(); ++i) {
        titulo(QStringLiteral("lblR") + nomesM[i], machos[i], 10, t + 4 * i, 25);
        celula(QStringLiteral("lbl") + nomesM[i], 40, t + 4 * i, 20, QStringLiteral("0"));
        if (i < femeas.size()) {
            titulo(QStringLiteral("lblR") + nomesF[i], femeas[i], 100, t + 4 * i, 25);
            celula(QStringLiteral("lbl") + nomesF[i], 130, t + 4 * i, 20, QStringLiteral("0"));
        }
    }
    return t + 4 * machos.size() + 4;
}

void TRelatorioMovimento::montaResumoGeral(double t, const QString& rotuloTipificadas)
{
    titulo("lblResumoGeral", QStringLiteral("RESUMO GERAL"), 5, t, 60);
    t += 5;
    titulo("lblTipificadas", rotuloTipificadas, 10, t, 40);
    titulo("lblTotalIncent", QStringLiteral("TOTAL DE INCENTIVOS A REPASSAR AO PRODUTOR"), 70, t, 90);
    t += 4;
    titulo("lblP67", QStringLiteral("67 %"), 70, t, 25);
    titulo("lblP50", QStringLiteral("50 %"), 100, t, 25);
    titulo("lblP33", QStringLiteral("33%"), 130, t, 25);
    titulo("lblPTotal", QStringLiteral("Total"), 160, t, 25);
    t += 4;
    celula(QStringLiteral("lblTipificadasQtd"), 10, t, 30, QStringLiteral("0"));
    celula(QStringLiteral("lblIncentivo67"), 70, t, 25, QStringLiteral("0,00"));
    celula(QStringLiteral("lblIncentivo50"), 100, t, 25, QStringLiteral("0,00"));
    celula(QStringLiteral("lblIncentivo33"), 130, t, 25, QStringLiteral("0,00"));
    celula(QStringLiteral("lblIncentivoTotal"), 160, t, 25, QStringLiteral("0,00"));
}

void TRelatorioMovimento::abreMovimento(int movCodigo)
{
    QryMTC->close();
    QryMTC->paramByName(QStringLiteral("vMov"))->setAsInteger(movCodigo);
    QryMTC->open();
    for (auto* q : {QryContribuinte, QryResponsavel, QryMunicipio, QryBairro, qryLogradouro}) {
        q->close();
        q->open();
    }
    // The tables hold the declarant's maps only, as the data packet does.
    Resumo.Calcula(DM_MTC.get(), QryMTC->fieldByName(QStringLiteral("con_iecnpjcpf"))->asString(),
                   int(QryMTC->fieldByName(QStringLiteral("mov_ano_referencia"))->asInteger()),
                   int(QryMTC->fieldByName(QStringLiteral("mov_mes_referencia"))->asInteger()));
}

void TRelatorioMovimento::preencheNaoClassificados()
{
    const TResumoMovimento& r = Resumo;
    const std::pair<const char*, int> nc[] = {{"NcJD", r.NcJD},     {"NcJ2J4", r.NcJ2J4},     {"NcTD", r.NcTD},
                                              {"NcT2T4", r.NcT2T4}, {"NcI", r.NcI},           {"NcA", r.NcA},
                                              {"NcTotalM", r.NcTotalM}, {"NcJFD", r.NcJFD},   {"NcJF2JF4", r.NcJF2JF4},
                                              {"NcIF", r.NcIF},     {"NcAF", r.NcAF},         {"NcTotalF", r.NcTotalF}};
    for (const auto& [name, n] : nc)
        setCelula(QStringLiteral("lbl") + QString::fromLatin1(name), qtd(n));
}

void TRelatorioMovimento::preencheIncentivos(int tipificadas)
{
    const TResumoMovimento& r = Resumo;
    setCelula(QStringLiteral("lblTipificadasQtd"), qtd(tipificadas));
    setCelula(QStringLiteral("lblIncentivo67"), valor(r.Incentivo67));
    setCelula(QStringLiteral("lblIncentivo50"), valor(r.Incentivo50));
    setCelula(QStringLiteral("lblIncentivo33"), valor(r.Incentivo33));
    setCelula(QStringLiteral("lblIncentivoTotal"), valor(r.IncentivoTotal));
}

double TRelatorioMovimento::montaClassificados(double t, const std::vector<TColuna>& colunas, bool comESem)
{
    titulo("lblResumoClass", QStringLiteral("RESUMO DOS ANIMAIS CLASSIFICADOS"), 5, t, 120);
    t += 5;
    if (comESem) {
        titulo("lblSem", QStringLiteral("SEM INCENTIVO"), 30, t, 50);
        titulo("lblCom", QStringLiteral("COM INCENTIVO"), 95, t, 60);
        t += 4;
    }
    titulo("lblClassif", QStringLiteral("Classificação"), 10, t, 18);
    for (size_t i = 0; i < colunas.size(); ++i)
        titulo(QStringLiteral("lblH%1").arg(i), colunas[i].titulo, colunas[i].left, t, colunas[i].width + 1);
    t += 5;
    auto linhas = [&](const auto& rows, const QString& side) {
        titulo(QStringLiteral("lblLado") + side.left(1), side, 10, t, 40);
        t += 4;
        for (const LinhaClassificada& r : rows) {
            const QString c = QString::fromLatin1(r.code);
            titulo(QStringLiteral("lbl") + c, QString::fromLatin1(r.caption), 10, t, 18);
            for (const TColuna& col : colunas) {
                const QString inicial = col.sufixo == QLatin1String("Perc") ? QString::fromLatin1(r.percent)
                    : col.sufixo.startsWith(QLatin1String("Qtd"))           ? QStringLiteral("0")
                                                                            : QStringLiteral("0,00");
                celula(QStringLiteral("lbl") + c + col.sufixo, col.left, t, col.width, inicial);
            }
            t += 4;
        }
    };
    linhas(kMachos, QStringLiteral("M A C H O S"));
    t += 2;
    linhas(kFemeas, QStringLiteral("F Ê M E A S"));
    return t + 4;
}

void TProtMTC::Preenche(int movCodigo)
{
    abreMovimento(movCodigo);
    auto linha = [&](const QString& code, const TClasseMes& c) {
        setCelula("lbl" + code + "QtdSem", qtd(c.Reprovado.Qtd));
        setCelula("lbl" + code + "PesoSem", valor(c.Reprovado.Peso));
        setCelula("lbl" + code + "ArrSem", valor(c.Reprovado.QtdArr));
        setCelula("lbl" + code + "QtdCom", qtd(c.Aprovado.Qtd));
        setCelula("lbl" + code + "PesoCom", valor(c.Aprovado.Peso));
        setCelula("lbl" + code + "ArrCom", valor(c.Aprovado.QtdArr));
        setCelula("lbl" + code + "Vlr", valor(c.Incentivo()));
    };
    for (const auto& [code, c] : Resumo.Linhas())
        linha(QString::fromLatin1(code), *c);
    preencheNaoClassificados();
    preencheIncentivos(Resumo.QtdTotalAprovado);
}
