#pragma once

#include "platform/acm/LAcmDriver.h"

// The codec manager's GSM 6.10 driver (format tag 0x31): mono, 65-byte
// blocks of 320 samples, to and from 16-bit PCM at the same rate.
LAcmDriver* CreateGsmDriver();
