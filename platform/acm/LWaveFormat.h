#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The format header of a WAVE file, byte for byte as it is stored in the
// "fmt " chunk (little-endian, no padding), so it can be written verbatim.
#pragma pack(push, 1)
struct WAVEFORMATEX {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize; // extra bytes that follow
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is the 18-byte file layout");
static_assert(std::endian::native == std::endian::little,
    "WAVEFORMATEX is used in place of the little-endian file bytes");

constexpr uint16_t WAVE_FORMAT_PCM = 0x0001;
constexpr uint16_t WAVE_FORMAT_ADPCM = 0x0002;
constexpr uint16_t WAVE_FORMAT_IEEE_FLOAT = 0x0003;
constexpr uint16_t WAVE_FORMAT_ALAW = 0x0006;
constexpr uint16_t WAVE_FORMAT_MULAW = 0x0007;
constexpr uint16_t WAVE_FORMAT_IMA_ADPCM = 0x0011;
constexpr uint16_t WAVE_FORMAT_GSM610 = 0x0031;
constexpr uint16_t WAVE_FORMAT_MPEGLAYER3 = 0x0055;
constexpr uint16_t WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

// A format header with its extra bytes. The codec manager takes formats in
// this form so that a driver can never read past the extra bytes it was
// given: cbSize must equal vExtra.size() (the manager rejects it otherwise).
// Plain value type; any thread.
class LWaveFormat {
public:
    WAVEFORMATEX wfx {};
    std::vector<uint8_t> vExtra;

    // Reads a header from its byte image (WAVEFORMATEX then cbSize extra bytes),
    // as found in a "fmt " chunk or a 1024-byte chooser buffer. 16 or 17 bytes
    // give cbSize 0. An image shorter than cbSize claims fails, unless
    // bClampExtra is set: then the extra bytes present are taken and cbSize
    // set to their count. Fewer than 16 bytes fail.
    static bool FromBytes(
        const void* pBytes, size_t nBytes, LWaveFormat& out, bool bClampExtra = false);
    // 18 + cbSize bytes, ready for a "fmt " chunk.
    std::vector<uint8_t> ToBytes() const;
    // Writes the byte image into a buffer of nCapacity bytes; false when it
    // does not fit (nothing written).
    bool CopyTo(void* pBytes, size_t nCapacity) const;

    // 16-bit-style PCM header: block align, average bytes, cbSize 0.
    static LWaveFormat Pcm(uint16_t nChannels, uint32_t nSamplesPerSec, uint16_t wBits);
    // Sets the extra bytes and cbSize together.
    void SetExtra(std::vector<uint8_t> v);

    // True when cbSize matches the carried extra bytes.
    bool IsConsistent() const { return wfx.cbSize == vExtra.size(); }
    // True for tag 1 with 16 bits and block align channels x 2.
    bool IsPcm16() const;
    // Little-endian fields of the extra bytes; 0 past the end.
    uint16_t ExtraU16(size_t iOffset) const;
    uint32_t ExtraU32(size_t iOffset) const;

    // Display text for the format chooser, e.g. "8.000 kHz, Mono, 13 kBit/s"
    // or "44.100 kHz, 16 Bit, Stereo, 1411 kBit/s".
    std::string Description() const;

    bool operator==(const LWaveFormat& o) const;
};
