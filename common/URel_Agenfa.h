#pragma once

#include "uRel.h"

// The agencies (AGENFAs) in the order of their table.
class TRel_Agenfa : public TRel {
public:
    explicit TRel_Agenfa(vorta::Component* owner = nullptr);
};

extern vorta::Guarded<TRel_Agenfa> Rel_Agenfa;
