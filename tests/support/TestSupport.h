#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Helpers shared by every test program.
// Skips the calling test when a peer program is missing (a failure instead
// when ORVENNA_REQUIRE_PEERS=1).
#define REQUIRE_PEER(name)                                                                         \
    do {                                                                                           \
        if (!TestSupport::HavePeer(name))                                                          \
            GTEST_SKIP() << "peer program " << (name) << " missing";                               \
    } while (0)

namespace TestSupport {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return strPath; }
    // Path of a file inside the folder.
    std::string File(const std::string& strName) const;

private:
    std::string strPath;
};

// Full path of a program found on PATH, or "" when missing.
std::string FindProgram(const std::string& strName);

// True when the peer program is available; when it is missing and
// ORVENNA_REQUIRE_PEERS=1 it also records a failure. Tests use REQUIRE_PEER.
bool HavePeer(const std::string& strName);

// Runs a program with an argument vector (no shell); returns its exit code,
// or -1 when it could not be started. Output is captured into pOut when given
// (stdout and stderr together), otherwise discarded.
int Run(const std::vector<std::string>& args, std::string* pOut = nullptr);

// Whole-file helpers.
std::vector<uint8_t> ReadAll(const std::string& strPath);
bool WriteAll(const std::string& strPath, const std::vector<uint8_t>& data);

// Little-endian append helpers for building hand-made files.
void Put16(std::vector<uint8_t>& v, uint32_t x);
void Put32(std::vector<uint8_t>& v, uint32_t x);
void PutTag(std::vector<uint8_t>& v, const char* szTag);

// Deterministic test signal: a sum of two sines with a little noise, in
// 16-bit PCM, channels interleaved.
std::vector<int16_t> MakeSignal(int32_t iFrames, int iChannels, int32_t iRate, uint32_t uSeed = 1);

} // namespace TestSupport
