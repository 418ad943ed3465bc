#pragma once

#include "uRel.h"

// The neighbourhood types in the order of their table.
class TRel_TipoBairro : public TRel {
public:
    explicit TRel_TipoBairro(vorta::Component* owner = nullptr);
};

extern vorta::Guarded<TRel_TipoBairro> Rel_TipoBairro;
