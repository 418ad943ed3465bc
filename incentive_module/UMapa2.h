#pragma once

#include "UMapaImpressao.h"

#include "platform/core/Component.h"

// The map sheet for maps of more than 100 animals: the summary on its own last page.
class TqrMapa2 : public TqrMapaBase {
public:
    explicit TqrMapa2(vorta::Component* owner);
};

extern vorta::Guarded<TqrMapa2> qrMapa2;
