#pragma once

#include "uRel.h"

// The street types in the order of their table.
class TRel_TipoLogradouro : public TRel {
public:
    explicit TRel_TipoLogradouro(vorta::Component* owner = nullptr);
};

extern vorta::Guarded<TRel_TipoLogradouro> Rel_TipoLogradouro;
