#pragma once

#include "codecs/mp3/MP3Header.h"

#include <cstddef>
#include <cstdint>

// True when a whole frame (header first, nBytes of it) is an encoder's
// Xing, Info or VBRI frame: it describes the stream and carries no audio.
bool MP3IsInfoFrame(const uint8_t* pFrame, size_t nBytes, const MP3Header& params);
