#include "UBuscaMovimento.h"

#include "platform/db/DataSet.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbGrid.h"

bool BuscaPorFiltro(vorta::db::DataSet* ds, const QString& field, const QString& text)
{
    if (!ds || !ds->active())
        return false;
    QString literal = text;
    literal.replace(QLatin1String("'"), QLatin1String("''"));
    ds->setFilter(field + QStringLiteral("='") + literal + QStringLiteral("*'"));
    ds->setFiltered(true);
    ds->first();
    if (!ds->isEmpty())
        return true;
    ds->setFilter(QString());
    ds->first();
    return false;
}

QString TextoSituacao(const QString& situacao)
{
    const QString s = situacao.trimmed().toUpper();
    if (s == QLatin1String("?"))
        return QStringLiteral("? - Pendente");
    if (s == QLatin1String("N"))
        return QStringLiteral("N - Validado");
    if (s == QLatin1String("G"))
        return QStringLiteral("G - Gerado");
    return QString();
}

vorta::ui::SpeedButton* BotaoMovimento(QWidget* parent, const char* caption, const char* name, int x, int y, int w)
{
    auto* b = new vorta::ui::SpeedButton(parent, QString::fromLatin1(name));
    b->setCaption(QString::fromUtf8(caption));
    b->setGeometry(x, y, w, 25);
    return b;
}

vorta::ui::DBGrid* GradeMovimento(QWidget* parent, const char* name, vorta::db::DataSource* ds, int y, int h)
{
    auto* g = new vorta::ui::DBGrid(parent, QString::fromLatin1(name));
    g->setGeometry(8, y, 624, h);
    g->setReadOnly(true);
    g->setOptions(vorta::ui::DBGrid::dgTitles | vorta::ui::DBGrid::dgIndicator | vorta::ui::DBGrid::dgColLines |
                  vorta::ui::DBGrid::dgRowLines | vorta::ui::DBGrid::dgRowSelect);
    g->setDataSource(ds);
    return g;
}
