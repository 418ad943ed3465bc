#include "DBGridX.h"

TDBGridX::TDBGridX(QWidget* parent, const QString& name) : vorta::ui::DBGrid(parent, name) {}

void TDBGridX::colExit()
{
    setColumnAttributes();
    vorta::ui::DBGrid::colExit();
}
