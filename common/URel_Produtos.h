#pragma once

#include "uRel.h"

// The products; the caller sets the title in QRLabel_Titulo.
class TRel_Produtos : public TRel {
public:
    explicit TRel_Produtos(vorta::Component* owner = nullptr);
};

extern vorta::Guarded<TRel_Produtos> Rel_Produtos;
