#pragma once

#include "USelecao.h"

// Picks a product, a whole row selected at a time: the grid shows the common data
// module's Ds_Produto when that module exists; a caller may give it another source.
class TSel_Produto : public TFSelecaoBusca {
    Q_OBJECT
public:
    explicit TSel_Produto(vorta::Component* owner = nullptr);
    vorta::ui::RadioGroup* const RadioGroup_Produto;
};

extern vorta::Guarded<TSel_Produto> Sel_Produto;
