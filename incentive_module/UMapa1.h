#pragma once

#include "UMapaImpressao.h"

#include "platform/core/Component.h"

// The map sheet for maps of at most 100 animals: the summary at the foot of every page.
class TqrMapa1 : public TqrMapaBase {
public:
    explicit TqrMapa1(vorta::Component* owner);
};

extern vorta::Guarded<TqrMapa1> qrMapa1;
