#pragma once

#include "uRel.h"

#include "platform/db/Query.h"

// The accountants by name, through a query of its own.
class TRel_Contabilista : public TRel {
public:
    explicit TRel_Contabilista(vorta::Component* owner = nullptr);

    vorta::db::Query* Q_Responsavel;
};

extern vorta::Guarded<TRel_Contabilista> Rel_Contabilista;
