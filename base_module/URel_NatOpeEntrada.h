#pragma once

#include "uRel.h"

// The operation natures of NatOpeEntrada by code.
class TRel_NatOpeEntrada : public TRel {
public:
    explicit TRel_NatOpeEntrada(vorta::Component* owner = nullptr);
};

extern vorta::Guarded<TRel_NatOpeEntrada> Rel_NatOpeEntrada;
