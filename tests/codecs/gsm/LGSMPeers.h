#pragma once

// Test helpers shared by the GSM codec and ".gsm" file tests: the reference
// peers toast/untoast (libgsm-tools) on raw 16-bit host-order files, test
// signals that exercise the codec, and error measures.

#include "support/TestSupport.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace LGSMPeers {

inline std::vector<uint8_t> ToBytes(const std::vector<int16_t>& v)
{
    std::vector<uint8_t> b(v.size() * 2);
    std::memcpy(b.data(), v.data(), b.size());
    return b;
}

inline std::vector<int16_t> ToSamples(const std::vector<uint8_t>& b)
{
    std::vector<int16_t> v(b.size() / 2);
    std::memcpy(v.data(), b.data(), v.size() * 2);
    return v;
}

// toast on 16-bit linear samples; empty on failure.
inline std::vector<uint8_t> Toast(const TestSupport::TempDir& dir, const std::vector<int16_t>& pcm)
{
    std::string strIn = dir.File("toast-in.l");
    std::filesystem::remove(strIn + ".gsm");
    if (!TestSupport::WriteAll(strIn, ToBytes(pcm)))
        return {};
    if (TestSupport::Run({ "toast", "-l", "-p", "-f", strIn }) != 0)
        return {};
    return TestSupport::ReadAll(strIn + ".gsm");
}

// untoast of 33-byte frames to 16-bit linear samples; empty on failure.
inline std::vector<int16_t> Untoast(
    const TestSupport::TempDir& dir, const std::vector<uint8_t>& gsm)
{
    std::string strOut = dir.File("untoast-out");
    std::filesystem::remove(strOut);
    if (!TestSupport::WriteAll(strOut + ".gsm", gsm))
        return {};
    if (TestSupport::Run({ "untoast", "-l", "-p", "-f", strOut + ".gsm" }) != 0)
        return {};
    return ToSamples(TestSupport::ReadAll(strOut));
}

// Signal-to-noise ratio of pTest against pRef in dB, both in the same units,
// after skipping iSkip samples of start-up.
template <class A, class B>
double SnrDb(const A* pRef, const B* pTest, size_t n, size_t iSkip = 0, double dScale = 1.0)
{
    double dSig = 0;
    double dErr = 0;
    for (size_t i = iSkip; i < n; ++i) {
        double r = double(pRef[i]);
        double e = double(pTest[i]) * dScale - r;
        dSig += r * r;
        dErr += e * e;
    }
    if (dErr == 0)
        return 200.0;
    return 10.0 * std::log10(dSig / dErr);
}

// A speech-like test signal: a 100-160 Hz pulse train through two moving
// resonances, with pauses, a noise burst and a near-full-scale square wave,
// so that every codec path (lags, gains, grids, amplitudes) is used.
inline std::vector<int16_t> SpeechLike(int32_t iSamples, uint32_t uSeed = 7)
{
    std::vector<int16_t> v(static_cast<size_t>(iSamples));
    uint32_t uNoise = uSeed * 2654435761u + 12345u;
    double y1 = 0, y2 = 0, z1 = 0, z2 = 0;
    double dPhase = 0;
    for (int32_t i = 0; i < iSamples; ++i) {
        double t = i / 8000.0;
        int32_t iPart = (i / 4000) % 6; // half-second parts
        uNoise = uNoise * 1664525u + 1013904223u;
        double dNoise = double(int32_t(uNoise >> 8) - (1 << 23)) / (1 << 23);
        double dF0 = 100 + 60 * std::sin(2 * M_PI * 0.7 * t);
        dPhase += dF0 / 8000.0;
        double dExc = 0;
        if (dPhase >= 1) {
            dPhase -= 1;
            dExc = 1;
        }
        double x = 0;
        if (iPart == 0 || iPart == 1 || iPart == 4) {
            // Voiced: resonators at moving formants.
            double f1 = 500 + 300 * std::sin(2 * M_PI * 1.3 * t);
            double f2 = 1500 + 600 * std::sin(2 * M_PI * 0.9 * t);
            double r = 0.97;
            double a1 = 2 * r * std::cos(2 * M_PI * f1 / 8000), a2 = -r * r;
            double b1 = 2 * r * std::cos(2 * M_PI * f2 / 8000);
            double yy = dExc * 6000 + a1 * y1 + a2 * y2;
            y2 = y1;
            y1 = yy;
            double zz = yy + b1 * z1 + a2 * z2;
            z2 = z1;
            z1 = zz;
            x = zz * 0.35 + yy * 0.5;
        } else if (iPart == 2) {
            x = 6000 * dNoise; // unvoiced
        } else if (iPart == 3) {
            x = ((i / 20) % 2 ? 32000 : -32000); // loud square, saturating paths
        } else {
            x = 0; // silence
        }
        x = std::fmax(-32768, std::fmin(32767, x));
        v[size_t(i)] = int16_t(std::lrint(x));
    }
    return v;
}

} // namespace LGSMPeers
