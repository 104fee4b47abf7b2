#pragma once

#include "audio/LMP3Source.h"

#include <cstdint>
#include <string>
#include <vector>

// Helpers of the audio tests: hand-made RIFF files, making files with the
// peers, and comparing our decoding with theirs.
namespace PeerTest {

// One chunk of a hand-made RIFF file; uSize overrides the body's size.
struct Chunk {
    const char* szId;
    std::vector<uint8_t> body;
    uint32_t uSize = 0xFFFFFFFE;
};
// A "fmt " body of nBytes bytes (the rest zeros).
std::vector<uint8_t> Fmt(
    uint16_t wTag, uint16_t wCh, uint32_t uRate, uint16_t wBits, size_t nBytes = 16);
// A RIFF WAVE file of the chunks, each padded to even length.
std::vector<uint8_t> Riff(const std::vector<Chunk>& chunks);
std::vector<uint8_t> Bytes16(const std::vector<int16_t>& s);
// A plain 16-bit PCM WAV file of the samples.
std::vector<uint8_t> PcmWav(const std::vector<int16_t>& s, int iChannels, uint32_t uRate);
uint32_t Le32(const std::vector<uint8_t>& v, size_t o);
// The bytes of a WAV file's data chunk, and where they start.
std::vector<uint8_t> DataChunk(const std::vector<uint8_t>& wav, size_t* pStart = nullptr);

// Writes a 16-bit WAV of the test signal; bClicks adds sharp transients that
// make the encoder switch to short blocks.
bool MakeWav(const std::string& strPath, int32_t iFrames, int iChannels, int32_t iRate,
    bool bClicks = false);
// What the encoder is given: the plain test signal, the signal with clicks
// (short blocks), speech-like sound (voiced sweeps through moving formants,
// noise bursts, pauses) and music-like sound (plucked chords with tremolo
// and reverberation, different in each channel).
enum class Material { Signal, Clicks, Speech, Music };
bool MakeMaterial(
    Material m, const std::string& strPath, double dSeconds, int iChannels, int32_t iRate);
// Runs lame with the given options on a WAV; true when it wrote the file.
bool Lame(
    const std::vector<std::string>& options, const std::string& strIn, const std::string& strOut);

// A raw 16-bit little-endian file as samples.
std::vector<int16_t> ReadS16(const std::string& strPath);
// sox's (no dither) or ffmpeg's decoding of a file as 16-bit samples;
// inOpts go before the input name.
std::vector<int16_t> PeerDecode(
    const std::string& strPeer, const std::string& strIn, std::vector<std::string> inOpts = {});
// mpg123's decoding, encoder delay kept.
std::vector<int16_t> Mpg123(const std::string& strPath);
// ffmpeg's decoding of an MP3, encoder delay and padding kept (so it lines
// up with mpg123 --no-gapless).
std::vector<int16_t> FFmpeg(const std::string& strPath);
// 16-bit samples in internal units.
std::vector<int32_t> ToInternal(const std::vector<int16_t>& v);

// Every frame of a source whose length may be an estimate, read in blocks of
// iBlock frames until the position passes the length, cut to the final length.
std::vector<int32_t> ReadToEnd(LSoundSourceBase& src, int32_t iBlock = kBlockFrames);
// Our decoding of a whole MP3 file, read in blocks of iBlock frames.
// pLength receives the length after the end was met, pOpenLength the one
// reported right after opening.
std::vector<int32_t> DecodeAll(const std::string& strPath, int32_t iBlock = 8192,
    bool bScalar = false, int* pChannels = nullptr, int32_t* pLength = nullptr,
    int32_t* pOpenLength = nullptr);

struct Match {
    double dPsnr = 0; // dB over 16-bit full scale
    int iMaxDiff = 0; // largest difference in 16-bit steps
};
// Compares ours (internal units, divided by 16) with the peer's samples,
// from frame iFrom on.
Match Compare(const std::vector<int32_t>& ours, const std::vector<int16_t>& ref, int iChannels,
    int32_t iFrom = 0);

} // namespace PeerTest
