#pragma once

#include "audio/LMP3Source.h"

#include <cstdint>
#include <string>
#include <vector>

// Helpers of the MP3 tests: making files with the peers and comparing our
// decoding with theirs.
namespace MP3Test {

// Writes a 16-bit WAV of the test signal; bClicks adds sharp transients that
// make the encoder switch to short blocks.
bool MakeWav(const std::string& strPath, int32_t iFrames, int iChannels, int32_t iRate,
    bool bClicks = false);
// Runs lame with the given options on a WAV; true when it wrote the file.
bool Lame(
    const std::vector<std::string>& options, const std::string& strIn, const std::string& strOut);
// The peer's decoding as 16-bit samples (encoder delay kept).
std::vector<int16_t> Mpg123(const std::string& strPath);
// Our decoding of the whole file, read in blocks of iBlock frames.
// pLength receives the length after the end was met, pOpenLength the one
// reported right after opening.
std::vector<int32_t> DecodeAll(const std::string& strPath, int32_t iBlock = 8192,
    bool bScalar = false, int* pChannels = nullptr, int32_t* pLength = nullptr,
    int32_t* pOpenLength = nullptr);

struct Match {
    double dPsnr = 0; // dB over 16-bit full scale
    int iMaxDiff = 0; // largest difference in 16-bit steps
    int64_t iCompared = 0;
};
// Compares ours (internal units, divided by 16) with the peer's samples,
// from frame iFrom on.
Match Compare(const std::vector<int32_t>& ours, const std::vector<int16_t>& ref, int iChannels,
    int32_t iFrom = 0);

// What the encoder is given: the plain test signal, the signal with clicks
// (short blocks), speech-like sound (voiced sweeps through moving formants,
// noise bursts, pauses) and music-like sound (plucked chords with tremolo
// and reverberation, different in each channel).
enum class Material { Signal, Clicks, Speech, Music };
bool MakeMaterial(
    Material m, const std::string& strPath, double dSeconds, int iChannels, int32_t iRate);
// ffmpeg's decoding as 16-bit samples, encoder delay and padding kept (so it
// lines up with mpg123 --no-gapless).
std::vector<int16_t> FFmpeg(const std::string& strPath);
// 16-bit samples in internal units.
std::vector<int32_t> ToInternal(const std::vector<int16_t>& v);

} // namespace MP3Test
