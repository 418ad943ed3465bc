#pragma once

#include "uRel.h"

// The fiscal operation codes; the command sets the title in QRLabel_CFOP.
class TRel_CFOP : public TRel {
public:
    explicit TRel_CFOP(vorta::Component* owner = nullptr);
    vorta::report::Label* QRLabel_CFOP;
};

extern vorta::Guarded<TRel_CFOP> Rel_CFOP;
