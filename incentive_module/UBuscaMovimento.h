#pragma once

#include <QString>

class QWidget;

namespace vorta::db {
class DataSet;
class DataSource;
}
namespace vorta::ui {
class DBGrid;
class SpeedButton;
}

// The lists' search: the first row whose field begins with the text, through the
// list's filter ("field='text*'"); without a match the filter text is cleared. A quote
// typed in the text is part of the text, never of the expression.
bool BuscaPorFiltro(vorta::db::DataSet* ds, const QString& field, const QString& text);

// The shown text of a movement state letter.
QString TextoSituacao(const QString& situacao);

// A button of the movement forms: caption ("&" marks its Alt letter), name and place.
vorta::ui::SpeedButton* BotaoMovimento(QWidget* parent, const char* caption, const char* name, int x, int y, int w);

// A list grid of the movement forms: read only, whole rows selected, full width at y.
vorta::ui::DBGrid* GradeMovimento(QWidget* parent, const char* name, vorta::db::DataSource* ds, int y, int h);
