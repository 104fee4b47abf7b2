#include "audio/MP3TestUtil.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace TestSupport;

namespace MP3Test {

bool MakeWav(
    const std::string& strPath, int32_t iFrames, int iChannels, int32_t iRate, bool bClicks)
{
    std::vector<int16_t> pcm = MakeSignal(iFrames, iChannels, iRate);
    if (bClicks)
        for (int32_t f = 0; f < iFrames; f += iRate / 7)
            for (int32_t i = 0; i < 40 && f + i < iFrames; ++i)
                for (int c = 0; c < iChannels; ++c)
                    pcm[size_t(f + i) * size_t(iChannels) + size_t(c)]
                        = int16_t((i & 1) ? 30000 : -30000);
    std::vector<uint8_t> v;
    uint32_t bytes = uint32_t(pcm.size() * 2);
    PutTag(v, "RIFF");
    Put32(v, 36 + bytes);
    PutTag(v, "WAVE");
    PutTag(v, "fmt ");
    Put32(v, 16);
    Put16(v, 1);
    Put16(v, uint32_t(iChannels));
    Put32(v, uint32_t(iRate));
    Put32(v, uint32_t(iRate * iChannels * 2));
    Put16(v, uint32_t(iChannels * 2));
    Put16(v, 16);
    PutTag(v, "data");
    Put32(v, bytes);
    for (int16_t s : pcm)
        Put16(v, uint16_t(s));
    return WriteAll(strPath, v);
}

bool Lame(
    const std::vector<std::string>& options, const std::string& strIn, const std::string& strOut)
{
    std::vector<std::string> args = { "lame", "--quiet" };
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(strIn);
    args.push_back(strOut);
    return Run(args) == 0;
}

std::vector<int16_t> Mpg123(const std::string& strPath)
{
    std::string raw = strPath + ".raw";
    std::vector<int16_t> out;
    if (Run({ "mpg123", "-q", "--no-gapless", "-e", "s16", "-o", "raw", "-a", raw, strPath }) != 0
        && Run({ "mpg123", "-q", "--no-gapless", "-s", "-w", raw, strPath }) != 0)
        return out;
    std::vector<uint8_t> b = ReadAll(raw);
    out.resize(b.size() / 2);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = int16_t(uint16_t(b[2 * i] | b[2 * i + 1] << 8));
    std::remove(raw.c_str());
    return out;
}

std::vector<int32_t> DecodeAll(
    const std::string& strPath, int32_t iBlock, bool bScalar, int* pChannels, int32_t* pLength)
{
    auto src = MakeHandle<LMP3Source>(strPath);
    src->SetScalar(bScalar);
    std::vector<int32_t> out;
    if (src->IsError())
        return out;
    int ch = src->GetChannels();
    std::vector<int32_t> block(size_t(iBlock) * size_t(ch));
    for (int guard = 0; guard < 1000000; ++guard) {
        src->Read(block.data(), iBlock);
        int32_t valid = iBlock;
        if (src->GetPosition() >= src->GetLength())
            valid = iBlock - (src->GetPosition() - src->GetLength());
        if (valid > 0)
            out.insert(out.end(), block.begin(), block.begin() + size_t(valid) * size_t(ch));
        if (src->GetPosition() >= src->GetLength())
            break;
    }
    if (pChannels)
        *pChannels = ch;
    if (pLength)
        *pLength = src->GetLength();
    return out;
}

Match Compare(const std::vector<int32_t>& ours, const std::vector<int16_t>& ref, int iChannels)
{
    Match m;
    size_t n = std::min(ours.size(), ref.size());
    double err = 0;
    for (size_t i = 0; i < n; ++i) {
        double a = double(ours[i]) / 16.0;
        a = std::clamp(a, -32768.0, 32767.0);
        double d = a - ref[i];
        err += d * d;
        m.iMaxDiff = std::max(m.iMaxDiff, int(std::lround(std::fabs(d))));
    }
    m.iCompared = int64_t(n / size_t(iChannels));
    double mse = n ? err / double(n) : 0;
    m.dPsnr = mse > 0 ? 10.0 * std::log10(32768.0 * 32768.0 / mse) : 200.0;
    return m;
}

} // namespace MP3Test
