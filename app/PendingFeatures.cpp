// Commands whose code arrives with its own change. Each definition here does
// nothing and is deleted when the real one lands.
#include "app/MainDialog.h"
