// The surface every frame is drawn on before it is presented.
#pragma once

#include <ddraw.h>

// zq's back buffer, or null while no display mode is set.
IDirectDrawSurface* BackBuffer();
