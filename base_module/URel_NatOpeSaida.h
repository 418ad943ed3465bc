#pragma once

#include "uRel.h"

// The operation natures of NatOpeSaida by code.
class TRel_NatOpeSaida : public TRel {
public:
    explicit TRel_NatOpeSaida(vorta::Component* owner = nullptr);
};

extern vorta::Guarded<TRel_NatOpeSaida> Rel_NatOpeSaida;
