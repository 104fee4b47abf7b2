#include "effects/LSpectrum.h"

#include <algorithm>
#include <cmath>

LSpectrumValues LSpectrum::Of(const std::vector<int32_t>& samples)
{
    static const LFFT fft(12);
    std::vector<double> re(kFrames, 0.0), im(kFrames, 0.0);
    for (size_t i = 0; i < std::min<size_t>(samples.size(), kFrames); ++i)
        re[i] = double(samples[i]);
    fft.Transform(re, im);
    LSpectrumValues values;
    for (size_t k = 0; k < values.size(); ++k) {
        const double m = std::trunc(std::sqrt(re[k] * re[k] + im[k] * im[k]));
        // A real division: as whole numbers every bin below 0 dB would be empty.
        const double x = m / 92682.0;
        values[k]
            = int8_t(x > 0 ? std::clamp(std::round(20 * std::log10(x)), -127.0, 127.0) : -127);
    }
    return values;
}

LSpectrumValues LSpectrum::At(LSoundSourceBase& source, int32_t iAt)
{
    const size_t uCh = size_t(source.GetChannels());
    std::vector<int32_t> frames(uCh * kFrames), left(kFrames);
    source.Seek(std::max(iAt, 0));
    source.Read(frames.data(), kFrames);
    for (size_t i = 0; i < kFrames; ++i)
        left[i] = frames[i * uCh];
    return Of(left);
}

int LSpectrum::BinHz(int iBin, int32_t iRate)
{
    return int(std::lround(iBin * (double(iRate) * double(1.0f / 4096.0f))));
}
