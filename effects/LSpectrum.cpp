#include "effects/LSpectrum.h"

#include <algorithm>
#include <cmath>

LFFT::LFFT(int iOrder)
    : n(1 << iOrder)
    , reverse(size_t(n))
    , cosines(size_t(n))
    , sines(size_t(n))
{
    for (int k = 0; k < n; ++k) {
        uint32_t r = 0;
        for (int b = 0; b < iOrder; ++b)
            r |= ((uint32_t(k) >> b) & 1u) << (iOrder - 1 - b);
        reverse[size_t(k)] = r;
        cosines[size_t(k)] = std::cos(2 * 3.14159265358979323846 * k / n);
        sines[size_t(k)] = std::sin(2 * 3.14159265358979323846 * k / n);
    }
}

void LFFT::Transform(std::vector<double>& re, std::vector<double>& im) const
{
    for (int k = 0; k < n; ++k) {
        const size_t r = reverse[size_t(k)];
        if (r > size_t(k)) {
            std::swap(re[size_t(k)], re[r]);
            std::swap(im[size_t(k)], im[r]);
        }
    }
    // Butterflies of growing span, twiddles e^(-2 pi i k / len) from the tables.
    for (int len = 2; len <= n; len <<= 1) {
        const int half = len / 2, step = n / len;
        for (int s = 0; s < n; s += len) {
            for (int j = 0; j < half; ++j) {
                const double c = cosines[size_t(j * step)], si = -sines[size_t(j * step)];
                const size_t a = size_t(s + j), b = a + size_t(half);
                const double tr = re[b] * c - im[b] * si;
                const double ti = re[b] * si + im[b] * c;
                re[b] = re[a] - tr;
                im[b] = im[a] - ti;
                re[a] += tr;
                im[a] += ti;
            }
        }
    }
    const double dScale = double(1.0f / float(n));
    for (int k = 0; k < n; ++k) {
        re[size_t(k)] *= dScale;
        im[size_t(k)] *= dScale;
    }
}

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
