#pragma once

#include "USelecao.h"

// Picks a taxpayer: the grid shows the common data module's Ds_Contribuinte when that
// module exists; a caller may give it another source.
class TSel_Contribuinte : public TFSelecaoBusca {
    Q_OBJECT
public:
    explicit TSel_Contribuinte(vorta::Component* owner = nullptr);
    vorta::ui::RadioGroup* const RadioGroup_Produtor;
};

extern vorta::Guarded<TSel_Contribuinte> Sel_Contribuinte;
