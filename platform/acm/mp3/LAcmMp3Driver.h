#pragma once

#include "platform/acm/LAcmDriver.h"

// The codec manager's MPEG Layer 3 driver (format tag 0x55): decodes MPEG-1,
// MPEG-2 and MPEG-2.5 Layer III streams to 16-bit PCM of the same rate and
// channels. Decoding only; it offers no formats to encode to.
LAcmDriver* CreateMp3Driver();
