#include "UMapa2.h"

vorta::Guarded<TqrMapa2> qrMapa2;

TqrMapa2::TqrMapa2(vorta::Component* owner) : TqrMapaBase(owner, {191, 17, 420, false}) {}
