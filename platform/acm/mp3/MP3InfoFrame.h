#pragma once

#include "platform/acm/mp3/MP3FrameHeader.h"

#include <cstddef>
#include <cstdint>

// True when a whole frame (header first, nBytes of it) is an encoder's
// Xing, Info or VBRI frame: it describes the stream and carries no audio.
bool MP3IsInfoFrame(const uint8_t* pFrame, size_t nBytes, const MP3FrameParams& params);
