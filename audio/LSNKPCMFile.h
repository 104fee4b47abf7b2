#pragma once

#include "audio/LRawFileDataSoundSinkBase.h"
#include "audio/LSampleEncoding.h"

// PCM WAV writers with the 82-byte header of LWaveHeader: RIFF WAVE, or RF64
// when the data passes 4 GiB. While open the header carries 0xFFFFFFFF
// sizes (readers then take the data to the end of the file); an existing
// file is continued from the start frame (recording into a file).
class LSNKPCMFile8 : public LRawFileDataSoundSink<LEncPcm8U> {
public:
    LSNKPCMFile8(const std::string& strPath, int32_t iRate, int iChannels, int32_t iStartFrame);
};

class LSNKPCMFile16 : public LRawFileDataSoundSink<LEncPcm16LE> {
public:
    LSNKPCMFile16(const std::string& strPath, int32_t iRate, int iChannels, int32_t iStartFrame);
};

// The header function of both.
int WriteHeaderWAV(LRawFileDataSoundSinkBase& sink, bool bFinal);
