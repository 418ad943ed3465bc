#pragma once

#include "UProtMTC.h"

// The movement print: the declarant's identification and the month's totals per
// maturity class with the incentive amounts, for a movement in any state. Heads, weight
// and arrobas count every map; the incentive only the approved ones.
class TMOVMTC : public TRelatorioMovimento {
public:
    explicit TMOVMTC(vorta::Component* owner = nullptr);

    vorta::report::Band* Titulo;

    // Opens the movement and its details and fills the tables from the month summary.
    void Preenche(int movCodigo);
};

extern vorta::Guarded<TMOVMTC> MOVMTC;
