#pragma once

#include "audio/LSoundSinkBase.h"
#include "audio/LSoundSourceBase.h"
#include "audio/LWaveHeader.h"
#include "platform/LFile.h"

#include <string>

// Opening WAV files for reading and writing.
class LWaveFile {
public:
    // A reader for the file, or LSRCNull (error flag set) when it is not a
    // usable WAV file. 8- and 16-bit PCM are read directly; every other
    // format goes through the codec manager.
    static SourceHandle OpenSource(const std::string& strPath);
    // A PCM writer: up to 8 bits -> 8-bit, 9..16 -> 16-bit, wider -> empty
    // handle. iStartFrame > 0 continues an existing file from that frame.
    static SinkHandle OpenSinkPCM(const std::string& strPath, int32_t iRate, int iChannels,
        int iBitsPerSample, int32_t iStartFrame);
    // A writer for any format: 8- and 16-bit PCM directly, all others
    // (wider PCM too) through the codec manager.
    static SinkHandle OpenSink(const std::string& strPath, const LWaveHeader& format);

    // The chunk walk of OpenSource (RIFF, or RF64 / BW64 with the sizes in
    // ds64): on success the file is positioned at the first data byte and
    // the format and data size are filled in (0xFFFFFFFF: to the end).
    static bool ReadHeader(LFile& file, LWaveHeader& format, int64_t& iDataBytes);
};
