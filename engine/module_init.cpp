// The module's initialisation entry in a build without a user interface:
// there are no resources to register and no viewer to open.
#include "engine/ba_engine.h"

extern "C" ZELBA_EXPORT void InitBaDLL(void) {}
