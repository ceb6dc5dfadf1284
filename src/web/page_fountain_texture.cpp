#include "effects/fountain.h"

// On the page the renderer makes the fire's texture once, for all the
// fountains; a fountain keeps none and draws nothing itself.
int fountain::LoadGLTextures() { return 0; }
