// Writes the equalizer's 4095 taps for a curve ("x:y,x:y,...") at 44100 Hz
// as 32-bit floats (little-endian, 1.0 = unchanged), for ffmpeg afir to
// convolve with the same coefficients as orvenna-cli's Equalizer.
#include "effects/LSRCEq.h"

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_eq_taps x:y,x:y,... OUT.f32\n");
        return 2;
    }
    PointList curve;
    std::istringstream in(argv[1]);
    for (std::string strPair; std::getline(in, strPair, ',') && curve.nPoints < 64;) {
        unsigned x = 0, y = 0;
        if (std::sscanf(strPair.c_str(), "%u:%u", &x, &y) == 2)
            curve.aPoints[curve.nPoints++] = { uint8_t(x), uint8_t(y) };
    }
    curve.Validate();
    const auto h = LSRCEq::Design(EqGainTable(curve, 44100));
    std::vector<float> taps;
    for (int k = LSRCEq::kTaps - 1; k > 0; --k)
        taps.push_back(float(h[size_t(k)] / 32768.0));
    for (int k = 0; k < LSRCEq::kTaps; ++k)
        taps.push_back(float(h[size_t(k)] / 32768.0));
    FILE* f = std::fopen(argv[2], "wb");
    const bool bOk = f && std::fwrite(taps.data(), sizeof(float), taps.size(), f) == taps.size();
    return (f && std::fclose(f) == 0 && bOk) ? 0 : 1;
}
