#include "T_Sel_Rel_Produtos.h"

#include "T_DM_Comuns.h"
#include "URel_ProdutoGrupo.h"
#include "URel_Produtos.h"
#include "Ufuncoes.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Field.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/ui/Application.h"

#include <memory>
#include <utility>

vorta::Guarded<TSel_Rel_Produtos> Sel_Rel_Produtos;

using vorta::ui::Label;
using vorta::ui::SpeedButton;

TSel_Rel_Produtos::TSel_Rel_Produtos(vorta::Component* owner) : Form(owner)
{
    setName(QStringLiteral("Sel_Rel_Produtos"));
    setObjectName(QStringLiteral("Sel_Rel_Produtos"));
    setCaption(QStringLiteral("Seleção para Emissão de Relatório de Produtos"));
    helpContext = 13000;
    setBorderStyle(vorta::ui::BorderStyle::Single);
    position = vorta::ui::FormPosition::ScreenCenter;
    setClientSize(560, 420);
    keyPreview = true;

    RadioGroup_Tipo = new vorta::ui::RadioGroup(this, QStringLiteral("RadioGroup_Tipo"));
    RadioGroup_Tipo->setCaption(QStringLiteral("Exibir : "));
    RadioGroup_Tipo->setItems({QStringLiteral("Produtos"), QStringLiteral("Produtos por grupo")});
    RadioGroup_Tipo->setItemIndex(0);
    RadioGroup_Tipo->setGeometry(8, 8, 266, 70);
    RadioGroup_Ordenar = new vorta::ui::RadioGroup(this, QStringLiteral("RadioGroup_Ordenar"));
    RadioGroup_Ordenar->setCaption(QStringLiteral("Ordenar por : "));
    RadioGroup_Ordenar->setItems({QStringLiteral("Código do Produto"), QStringLiteral("Descrição do Produto")});
    RadioGroup_Ordenar->setItemIndex(1);
    RadioGroup_Ordenar->setGeometry(286, 8, 266, 70);

    auto* titulo = new Label(this, QStringLiteral("Selecione abaixo os grupos desejados :"), QStringLiteral("Label1"));
    titulo->setGeometry(8, 86, 400, 18);
    Ds_Grupo = new vorta::db::DataSource(this);
    if (DM_Comuns)
        Ds_Grupo->setDataSet(DM_Comuns->Tb_Grupo);
    DBGrid_Grupo = new vorta::ui::DBGrid(this, QStringLiteral("DBGrid_Grupo"));
    DBGrid_Grupo->setOptions(vorta::ui::DBGrid::dgTitles | vorta::ui::DBGrid::dgIndicator | vorta::ui::DBGrid::dgColLines
                             | vorta::ui::DBGrid::dgRowLines | vorta::ui::DBGrid::dgRowSelect
                             | vorta::ui::DBGrid::dgMultiSelect | vorta::ui::DBGrid::dgAlwaysShowSelection);
    DBGrid_Grupo->setReadOnly(true);
    DBGrid_Grupo->addColumn(QStringLiteral("Gru_Codigo"), QStringLiteral("Código"), 60);
    DBGrid_Grupo->addColumn(QStringLiteral("Gru_Descricao"), QStringLiteral("Descrição"), 400);
    DBGrid_Grupo->setDataSource(Ds_Grupo);
    DBGrid_Grupo->setGeometry(8, 106, 544, 226);
    DBGrid_Grupo->setEnabled(false);

    struct BotaoDef {
        SpeedButton** alvo;
        const char* nome;
        const char* caption;
        int left;
        int width;
    };
    const BotaoDef botoes[] = {
        {&BtSairGeral, "BtSairGeral", "&Sair", 4, 70},
        {&BtRelatorio, "BtRelatorio", "&Visualizar Relatório", 78, 150},
        {&BtRetornar, "BtRetornar", "&Retornar", 232, 80},
        {&BtSelecionarTodos, "BtSelecionarTodos", "Selecionar &Todos", 316, 120},
        {&BtLimparSelecao, "BtLimparSelecao", "&Limpar Seleção", 440, 116},
    };
    for (const BotaoDef& d : botoes) {
        auto* b = new SpeedButton(this, QString::fromLatin1(d.nome));
        b->setCaption(QString::fromUtf8(d.caption));
        b->setBounds(d.left, 342, d.width, 25);
        *d.alvo = b;
    }
    const std::pair<std::pair<const char*, const char*>, SpeedButton*> legendas[] = {
        {{"Retornar -", "[ ALT + R ]"}, BtRetornar},
        {{"Visualizar Relatório -", "[ ALT + V ]"}, BtRelatorio},
        {{"Selecionar Todas -", "[ ALT + T ]"}, BtSelecionarTodos},
        {{"Limpar Seleção -", "[ ALT + L ]"}, BtLimparSelecao},
    };
    const QFont pequena = vorta::ui::scaledFont(font(), 0.85);
    int x = 4;
    int y = 374;
    for (const auto& [textos, botao] : legendas) {
        for (const char* texto : {textos.first, textos.second}) {
            auto* l = new Label(this, QString::fromUtf8(texto));
            l->setFont(pequena);
            const int w = l->fontMetrics().horizontalAdvance(l->caption()) + 4;
            if (texto == textos.first && x + w + 70 > 556) {
                x = 4;
                y += 16;
            }
            l->setGeometry(x, y, w, 16);
            x += w + (texto == textos.second ? 8 : 1);
            SpeedButton* b = botao;
            l->OnClick = [b](QWidget*) {
                if (b->isEnabled())
                    b->click();
            };
        }
    }

    RadioGroup_Tipo->OnClick = [this](QWidget* s) { RadioGroup_TipoClick(s); };
    BtRelatorio->OnClick = [this](QWidget* s) { BtRelatorioClick(s); };
    BtSelecionarTodos->OnClick = [this](QWidget* s) { BtSelecionarTodosClick(s); };
    BtLimparSelecao->OnClick = [this](QWidget* s) { BtLimparSelecaoClick(s); };
    BtRetornar->OnClick = [this](QWidget*) { close(); };
    BtSairGeral->OnClick = [](QWidget*) {
        if (MsgSimNaoBD(86) == vorta::ui::mrYes)
            vorta::Application::instance()->terminate();
    };
    OnShow = [this](Form* f) { FormShow(f); };
    OnClose = [this](Form* f, vorta::ui::CloseAction& a) { FormClose(f, a); };
    // Enter moves to the next control, except inside the grid.
    OnKeyDown = [this](Form*, int& key, Qt::KeyboardModifiers) {
        if (key == 13 && !DBGrid_Grupo->hasFocus())
            key = 9;
    };
    OnKeyUp = [this](Form*, int& key, Qt::KeyboardModifiers) {
        if (key == 13 && !DBGrid_Grupo->hasFocus())
            key = 9;
    };
}

void TSel_Rel_Produtos::FormShow(Form*)
{
    DM_Comuns->Tb_Grupo->close();
    DM_Comuns->Tb_Grupo->setIndexName(QStringLiteral("Id_Nome"));
    DM_Comuns->Tb_Grupo->open();
}

void TSel_Rel_Produtos::FormClose(Form*, vorta::ui::CloseAction& action)
{
    if (DM_Comuns)
        DM_Comuns->Tb_Grupo->close();
    action = vorta::ui::CloseAction::Free;
}

void TSel_Rel_Produtos::RadioGroup_TipoClick(QWidget*)
{
    const bool porGrupo = RadioGroup_Tipo->itemIndex() == 1;
    if (!porGrupo)
        DBGrid_Grupo->clearSelectedRows();
    DBGrid_Grupo->setEnabled(porGrupo);
}

void TSel_Rel_Produtos::BtSelecionarTodosClick(QWidget*)
{
    if (!DBGrid_Grupo->isEnabled())
        vorta::Abort();
    vorta::db::Table* t = DM_Comuns->Tb_Grupo;
    DBGrid_Grupo->clearSelectedRows();
    const vorta::db::Bookmark volta = t->bookmark();
    for (t->first(); !t->eof(); t->next())
        DBGrid_Grupo->toggleCurrentRowSelected();
    t->gotoBookmark(volta);
}

void TSel_Rel_Produtos::BtLimparSelecaoClick(QWidget*)
{
    if (!DBGrid_Grupo->isEnabled())
        vorta::Abort();
    DBGrid_Grupo->clearSelectedRows();
}

QStringList TSel_Rel_Produtos::sqlProdutosPorGrupo() const
{
    QStringList sql{QStringLiteral("Select Gru_Descricao, Pro_Descricao, Pro_Codigo, "),
                    QStringLiteral(" Pro_Unidade, Grupo.Gru_Codigo, Pro_CodigoInteger "),
                    QStringLiteral("from Grupo, Produto "),
                    QStringLiteral("Where  Produto.Gru_Codigo = Grupo.Gru_Codigo and "),
                    QStringLiteral(" Produto.inibir = false  and Produto.Pro_Status = false")};
    // The selected groups in the table's order by name; the list holds integer codes
    // only, never text taken from the rows.
    QStringList codigos;
    vorta::db::Table* t = DM_Comuns->Tb_Grupo;
    if (t->active() && !DBGrid_Grupo->selectedRows().isEmpty()) {
        const vorta::db::Bookmark volta = t->bookmark();
        for (t->first(); !t->eof(); t->next())
            if (DBGrid_Grupo->rowSelected(t->bookmark()))
                codigos << QString::number(t->fieldByName(QStringLiteral("Gru_Codigo"))->asInteger());
        t->gotoBookmark(volta);
    }
    if (!codigos.isEmpty())
        sql << QStringLiteral("and Grupo.Gru_Codigo in (") + codigos.join(QStringLiteral(" ,")) + QStringLiteral(" ) ");
    sql << (RadioGroup_Ordenar->itemIndex() == 0 ? QStringLiteral("Order by Gru_Descricao, Pro_CodigoInteger ")
                                                 : QStringLiteral("Order by Gru_Descricao, Pro_Descricao "));
    return sql;
}

void TSel_Rel_Produtos::BtRelatorioClick(QWidget*)
{
    if (m_relatorioAberto)
        return;
    m_relatorioAberto = true;
    struct Fim {
        bool& f;
        ~Fim() { f = false; }
    } fim{m_relatorioAberto};
    vorta::CursorGuard cursor;
    const bool porCodigo = RadioGroup_Ordenar->itemIndex() == 0;
    if (RadioGroup_Tipo->itemIndex() == 0) {
        vorta::db::Table* t = DM_Comuns->Tb_Produto;
        t->close();
        t->setIndexName(porCodigo ? QStringLiteral("Id_Codigo") : QStringLiteral("Id_Nome"));
        std::unique_ptr<TRel_Produtos> r(vorta::createInto<TRel_Produtos>(Rel_Produtos, this));
        const QString titulo = porCodigo ? QStringLiteral("Listagem de produtos - Ordem de Código")
                                         : QStringLiteral("Listagem de produtos - Ordem Alfabética");
        r->QRLabel_Titulo->caption = titulo;
        r->title = titulo;
        t->setFilter(QStringLiteral("Inibir = false and Pro_Status = False"));
        t->setFiltered(true);
        t->open();
        t->first();
        r->preview();
        return;
    }
    std::unique_ptr<TRel_ProdutoGrupo> r(vorta::createInto<TRel_ProdutoGrupo>(Rel_ProdutoGrupo, this));
    r->Q_Grupo->close();
    r->Q_Grupo->setSqlLines(sqlProdutosPorGrupo());
    const QString titulo = porCodigo ? QStringLiteral("Listagem de produtos por grupo - Ordem de Código")
                                     : QStringLiteral("Listagem de produtos por grupo - Ordem Alfabética");
    r->QRLabel_Titulo->caption = titulo;
    r->title = titulo;
    r->Q_Grupo->open();
    r->preview();
    DBGrid_Grupo->clearSelectedRows();
}
