#pragma once

#include "uRel.h"

// Rural producers with their address, contacts, property and accountant, from the
// taxpayer query the caller fills; four lines a producer.
class TRel_Produtor : public TRel {
public:
    explicit TRel_Produtor(vorta::Component* owner = nullptr);
};

extern vorta::Guarded<TRel_Produtor> Rel_Produtor;
