#include "UMapa1.h"

vorta::Guarded<TqrMapa1> qrMapa1;

TqrMapa1::TqrMapa1(vorta::Component* owner) : TqrMapaBase(owner, {229, 20, 504, true}) {}
