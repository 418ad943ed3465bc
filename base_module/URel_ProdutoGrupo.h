#pragma once

#include "uRel.h"

#include "platform/db/Query.h"

// The products under their groups; the caller fills Q_Grupo and sets the title.
class TRel_ProdutoGrupo : public TRel {
public:
    explicit TRel_ProdutoGrupo(vorta::Component* owner = nullptr);
    vorta::db::Query* Q_Grupo;
    vorta::report::Band* QRGroup1;
};

extern vorta::Guarded<TRel_ProdutoGrupo> Rel_ProdutoGrupo;
