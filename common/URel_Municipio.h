#pragma once

#include "uRel.h"

// The municipalities in the order of their table.
class TRel_Municipio : public TRel {
public:
    explicit TRel_Municipio(vorta::Component* owner = nullptr);
};

extern vorta::Guarded<TRel_Municipio> Rel_Municipio;
