#pragma once

#include "uRel.h"

// The operation natures of NatOpeTodas by code.
class TRel_NatOpeTodas : public TRel {
public:
    explicit TRel_NatOpeTodas(vorta::Component* owner = nullptr);
};

extern vorta::Guarded<TRel_NatOpeTodas> Rel_NatOpeTodas;
