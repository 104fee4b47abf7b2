#include "platform/sound/LMixer.h"
uint32_t LMixer::MapVolume(int32_t v) { return 0; }
