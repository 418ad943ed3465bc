#pragma once

#include "uRel.h"

// Individuals, from the taxpayer query the caller fills.
class TRel_PessoaFisica : public TRel {
public:
    explicit TRel_PessoaFisica(vorta::Component* owner = nullptr);
};

extern vorta::Guarded<TRel_PessoaFisica> Rel_PessoaFisica;
