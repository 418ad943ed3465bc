#include "UResultadoProcessamento.h"

#include "UResultadoProc.h"

#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Field.h"
#include "platform/ui/Application.h"
#include "platform/ui/DbGrid.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace vorta::ui;

vorta::Guarded<TResultadoProcessamento> ResultadoProcessamento;

TResultadoProcessamento::TResultadoProcessamento(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("ResultadoProcessamento"));
    setObjectName(QStringLiteral("ResultadoProcessamento"));
    setCaption(QStringLiteral("Resultado do Processamento"));
    helpContext = 12500;
    position = FormPosition::OwnerFormCenter;
    keyPreview = true;
    setBorderStyle(BorderStyle::Dialog);
    setClientSize(560, 380);
    dsResultado = new vorta::db::DataSource(this);
    dsResultado->setName(QStringLiteral("dsResultado"));

    auto* layout = new QVBoxLayout(this);
    ScrollBox1 = new ScrollBox(this, QStringLiteral("ScrollBox1"));
    auto* grade = new QGridLayout(ScrollBox1->contents());
    int linha = 0;
    auto campo = [&](const char* rotulo, const char* nome, const char* field) {
        auto* e = new DBEdit(ScrollBox1->contents(), QString::fromLatin1(nome));
        e->setDataSource(dsResultado);
        e->setDataField(QString::fromLatin1(field));
        e->FieldControl::setReadOnly(true);
        auto* l = new Label(ScrollBox1->contents(), QString::fromUtf8(rotulo));
        l->setBuddy(e);
        grade->addWidget(l, linha, 0);
        grade->addWidget(e, linha++, 1);
        return e;
    };
    edInscricao = campo("Inscrição :", "edInscricao", "Inscricao");
    edSistema = campo("Sistema :", "edSistema", "Sistema");
    edReferencia = campo("Período Ref. :", "edReferencia", "Referencia");
    edMotivo = campo("Motivo :", "edMotivo", "Motivo");
    grade->addWidget(new Label(ScrollBox1->contents(), QStringLiteral("Resultado do Processamento :")), linha++, 0, 1, 2);
    MemoResultado = new Memo(ScrollBox1->contents(), QStringLiteral("MemoResultado"));
    MemoResultado->setMinimumHeight(150);
    grade->addWidget(MemoResultado, linha++, 0, 1, 2);
    ScrollBox1->setWidgetResizable(true);
    layout->addWidget(ScrollBox1, 1);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch(1);
    BtRelatorio = new Button(this, QStringLiteral("BtRelatorio"));
    BtRelatorio->setCaption(QStringLiteral("&Visualizar Relatório"));
    btSair = new Button(this, QStringLiteral("btSair"));
    btSair->setCaption(QStringLiteral("&Retornar"));
    botoes->addWidget(BtRelatorio);
    botoes->addWidget(btSair);
    layout->addLayout(botoes);

    btSair->OnClick = [this](QWidget*) { close(); };
    BtRelatorio->OnClick = [this](QWidget*) { BtRelatorioClick(); };
    OnShow = [this](Form*) { FormShow(); };
}

void TResultadoProcessamento::FormShow()
{
    ScrollBox1->setFocus();
}

void TResultadoProcessamento::BtRelatorioClick()
{
    IFormAutoDestroyer destroyer = TFormAutoDestroyer::Create();
    try {
        TResultadoProc* rel = destroyer->CreateForm(ResultadoProc, vorta::Application::instance());
        rel->Preenche(dsResultado->dataSet());
        rel->preview();
    } catch (const vorta::EAbort&) {
        throw;
    } catch (const std::exception&) {
        MsgErroBD(1567);
        vorta::Abort();
    }
}

void AbreResultadoProcessamento(DBGrid* grade)
{
    vorta::db::DataSet* ds = grade->dataSet();
    if (!ds || !ds->active() || ds->isEmpty())
        return;
    const QString tipo = ds->fieldByName(QStringLiteral("ResultadoTipo"))->asString();
    if (tipo.isEmpty())
        return;
    auto* f = vorta::createInto<TResultadoProcessamento>(ResultadoProcessamento, vorta::Application::instance());
    f->dsResultado->setDataSet(ds);
    f->MemoResultado->addLine(ds->fieldByName(QStringLiteral("ResultadoProcessamento"))->asString());
    f->MemoResultado->setReadOnly(true);
    f->BtRelatorio->setVisible(tipo != QLatin1String("Sem Processamento"));
    f->showModal();
    vorta::Component::free(ResultadoProcessamento);
}
