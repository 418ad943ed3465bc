#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"

namespace vorta::ui {
class DBGrid;
}

// A column of a data grid: the grid and the column's place among those it shows.
struct TColumnRef {
    vorta::ui::DBGrid* Grid = nullptr;
    int Index = -1;
    // The name of the field the column shows, empty without a column.
    QString FieldName() const;
};

// A stay-on-top box that locates, as the user types, the first record of the grid's
// dataset whose field in Coluna begins with the text (case ignored); Enter closes it
// and the record found stays current.
class TfInput : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TfInput(vorta::Component* owner = nullptr);

    vorta::ui::Label* Label1;
    vorta::ui::Edit* MaskEdit1;
    vorta::ui::Button* BitBtn1;
    vorta::ui::Button* BitBtn2;

    // Set by the caller before showing the box.
    TColumnRef Coluna;

    void FormShow(vorta::ui::Form* sender);
    void FormKeyDown(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift);
    void MaskEdit1Change(QWidget* sender);
};

extern vorta::Guarded<TfInput> fInput;
