#pragma once

#include "uRel.h"

// Legal entities, from the taxpayer query the caller fills; each registration prints
// with the mask of its own kind.
class TRel_PessoaJuridica : public TRel {
public:
    explicit TRel_PessoaJuridica(vorta::Component* owner = nullptr);

    void QRBand1BeforePrint(vorta::report::Band& sender, bool& printBand);
};

extern vorta::Guarded<TRel_PessoaJuridica> Rel_PessoaJuridica;
