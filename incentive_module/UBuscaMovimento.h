#pragma once

#include <QString>

namespace vorta::db {
class DataSet;
}

// The lists' search: the first row whose field begins with the text, through the
// list's filter ("field='text*'"); without a match the filter text is cleared. A quote
// typed in the text is part of the text, never of the expression.
bool BuscaPorFiltro(vorta::db::DataSet* ds, const QString& field, const QString& text);

// The shown text of a movement state letter.
QString TextoSituacao(const QString& situacao);
