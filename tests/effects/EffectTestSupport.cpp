#include "EffectTestSupport.h"

#include "edit/LSNKCutListAudio.h"
#include "edit/LSRCCutListAudio.h"
#include "effects/LCutListAudioLoadSource.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace EffectTest {

LCutListAudio ListOf(const std::vector<int32_t>& samples, int iChannels, int32_t iRate)
{
    LCutListAudio list;
    {
        LSNKCutListAudio sink(list, iRate, iChannels);
        int32_t iFrames = int32_t(samples.size() / size_t(iChannels));
        for (int32_t f = 0; f < iFrames; f += kBlockFrames)
            sink.Write(samples.data() + size_t(f) * size_t(iChannels),
                std::min(kBlockFrames, iFrames - f));
    }
    return list;
}

LCutListAudio Load(SourceHandle hSource)
{
    LCutListAudio list;
    LCutListAudioLoadSource load { "Loading", &list, std::move(hSource) };
    EXPECT_EQ(RunBody(load), 0) << "loading";
    return list;
}

std::vector<int32_t> Samples(const LCutListAudio& list)
{
    LSRCCutListAudio src(list);
    const size_t uCh = size_t(list.GetChannels());
    const int32_t iFrames = list.GetTotalLength();
    std::vector<int32_t> out(size_t(iFrames) * uCh);
    for (int32_t f = 0; f < iFrames; f += kBlockFrames)
        src.Read(out.data() + size_t(f) * uCh, std::min(kBlockFrames, iFrames - f));
    return out;
}

std::vector<int32_t> Signal(
    int32_t iFrames, int iChannels, const std::function<int32_t(int32_t, int)>& fn)
{
    std::vector<int32_t> v(size_t(iFrames) * size_t(iChannels));
    for (int32_t f = 0; f < iFrames; ++f)
        for (int c = 0; c < iChannels; ++c)
            v[size_t(f) * size_t(iChannels) + size_t(c)] = fn(f, c);
    return v;
}

double Rms(const std::vector<int32_t>& v, size_t uFrom, size_t uTo, size_t uStride)
{
    double d = 0;
    for (size_t f = uFrom; f < uTo; ++f)
        d += double(v[f * uStride]) * double(v[f * uStride]);
    return std::sqrt(d / double(uTo - uFrom));
}

std::vector<CutRecord> Records(const LCutListAudio& list)
{
    std::vector<CutRecord> v;
    for (const LAudioCut& c : list.GetCuts())
        v.push_back({ c.wCut, c.iLength, c.iGain, c.iOffset });
    return v;
}

} // namespace EffectTest
