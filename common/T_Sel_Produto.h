#pragma once

#include "USelecao.h"

// Picks a product: the grid shows the product data source the caller gives it
// (the common data module's Ds_Produto), a whole row selected at a time.
class TSel_Produto : public TFSelecaoBusca {
    Q_OBJECT
public:
    explicit TSel_Produto(vorta::Component* owner = nullptr);
    vorta::ui::RadioGroup* const RadioGroup_Produto;
};

extern vorta::Guarded<TSel_Produto> Sel_Produto;
