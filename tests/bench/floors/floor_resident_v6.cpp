// The resident floor with the common controls 6 loaded (its manifest asks for them).
#define HUEPEEK_FLOOR_COMMON_CONTROLS 1
#include "floor_resident.cpp"
