#pragma once

#include "audio/LMP3Source.h"

#include <cstdint>
#include <string>
#include <vector>

// Hand-made RIFF files, files made by the peers, our decoding against theirs.
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

// A 16-bit WAV of the test signal; bClicks adds transients (short blocks).
bool MakeWav(const std::string& strPath, int32_t iFrames, int iChannels, int32_t iRate,
    bool bClicks = false);
// Encoder input: the test signal, with clicks, speech-like (sox: voiced
// sweeps, noise bursts, pauses) or music-like (plucked chords, reverb).
enum class Material { Signal, Clicks, Speech, Music };
bool MakeMaterial(
    Material m, const std::string& strPath, double dSeconds, int iChannels, int32_t iRate);
// Runs lame with the given options on a WAV; true when it wrote the file.
bool Lame(
    const std::vector<std::string>& options, const std::string& strIn, const std::string& strOut);

// sox's (no dither) or ffmpeg's 16-bit decoding; inOpts go before the input.
std::vector<int16_t> PeerDecode(
    const std::string& strPeer, const std::string& strIn, std::vector<std::string> inOpts = {});
// mpg123's decoding, encoder delay kept.
std::vector<int16_t> Mpg123(const std::string& strPath);
// 16-bit samples in internal units.
std::vector<int32_t> ToInternal(const std::vector<int16_t>& v);

// Every frame of a source whose length may be an estimate: blocks of iBlock
// frames until the position passes the length, cut to the final length.
std::vector<int32_t> ReadToEnd(LSoundSourceBase& src, int32_t iBlock = kBlockFrames);
// Our decoding of a whole MP3 file; pLength: the length once the end was met,
// pOpenLength: the one reported at opening.
std::vector<int32_t> DecodeAll(const std::string& strPath, int32_t iBlock = 8192,
    bool bScalar = false, int* pChannels = nullptr, int32_t* pLength = nullptr,
    int32_t* pOpenLength = nullptr);

struct Match {
    double dPsnr = 0; // dB over 16-bit full scale
    int iMaxDiff = 0; // largest difference in 16-bit steps
};
// Ours (internal units / 16) against the peer's samples, from frame iFrom on.
Match Compare(const std::vector<int32_t>& ours, const std::vector<int16_t>& ref, int iChannels,
    int32_t iFrom = 0);

} // namespace PeerTest
