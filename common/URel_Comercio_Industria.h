#pragma once

#include "uRel.h"

// Senders and recipients, from the taxpayer query the caller fills.
class TRel_Comercio_Industria : public TRel {
public:
    explicit TRel_Comercio_Industria(vorta::Component* owner = nullptr);
};

extern vorta::Guarded<TRel_Comercio_Industria> Rel_Comercio_Industria;
