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

std::vector<int32_t> DecodeAll(const std::string& strPath, int32_t iBlock, bool bScalar,
    int* pChannels, int32_t* pLength, int32_t* pOpenLength)
{
    auto src = MakeHandle<LMP3Source>(strPath);
    src->SetScalar(bScalar);
    std::vector<int32_t> out;
    if (src->IsError())
        return out;
    if (pOpenLength)
        *pOpenLength = src->GetLength();
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

Match Compare(
    const std::vector<int32_t>& ours, const std::vector<int16_t>& ref, int iChannels, int32_t iFrom)
{
    Match m;
    size_t n = std::min(ours.size(), ref.size());
    size_t from = std::min(n, size_t(iFrom) * size_t(iChannels));
    double err = 0;
    for (size_t i = from; i < n; ++i) {
        double a = double(ours[i]) / 16.0;
        a = std::clamp(a, -32768.0, 32767.0);
        double d = a - ref[i];
        err += d * d;
        m.iMaxDiff = std::max(m.iMaxDiff, int(std::lround(std::fabs(d))));
    }
    m.iCompared = int64_t((n - from) / size_t(iChannels));
    double mse = n > from ? err / double(n - from) : 0;
    m.dPsnr = mse > 0 ? 10.0 * std::log10(32768.0 * 32768.0 / mse) : 200.0;
    return m;
}

static bool Sox(std::vector<std::string> args)
{
    args.insert(args.begin(), { "sox", "-V1", "-R" });
    return Run(args) == 0;
}

// Speech is made mono and copied to every channel, as a voice recording is.
static bool MakeSpeech(const std::string& strPath, double dSeconds, int iChannels, int32_t iRate)
{
    const std::vector<std::vector<std::string>> parts = {
        { "synth", "0.45", "sawtooth", "110-160", "sine", "mix", "500-900", "sine", "mix",
            "2200-1300", "vol", "0.4" },
        { "synth", "0.12", "pinknoise", "highpass", "2500", "fade", "0.01", "0.12", "0.04" },
        { "synth", "0.2", "sine", "100", "vol", "0" },
        { "synth", "0.4", "sawtooth", "180-120", "sine", "mix", "300-700", "sine", "mix",
            "1000-1800", "tremolo", "6", "30", "vol", "0.5" },
        { "synth", "0.08", "whitenoise", "fade", "0.005", "0.08", "0.03", "vol", "0.3" },
    };
    std::vector<std::string> cat;
    for (size_t i = 0; i < parts.size(); ++i) {
        std::string seg = strPath + ".part" + std::to_string(i) + ".wav";
        std::vector<std::string> a
            = { "-n", "-r", std::to_string(iRate), "-c", "1", "-b", "16", seg };
        a.insert(a.end(), parts[i].begin(), parts[i].end());
        if (!Sox(a))
            return false;
        cat.push_back(seg);
    }
    std::vector<std::string> a;
    int reps = int(std::ceil(dSeconds / 1.25));
    for (int r = 0; r < reps; ++r)
        a.insert(a.end(), cat.begin(), cat.end());
    a.insert(a.end(),
        { "-c", std::to_string(iChannels), "-b", "16", strPath, "trim", "0",
            std::to_string(dSeconds) });
    bool ok = Sox(a);
    for (const std::string& s : cat)
        std::remove(s.c_str());
    return ok;
}

static bool MakeMusic(const std::string& strPath, double dSeconds, int iChannels, int32_t iRate)
{
    std::string chord = std::to_string(dSeconds / 3);
    const std::vector<std::vector<std::string>> chords = {
        { "pluck", "220", "pluck", "330", "pluck", "mix", "277", "pluck", "mix", "440" },
        { "pluck", "196", "pluck", "294", "pluck", "mix", "247", "pluck", "mix", "587" },
        { "pluck", "175", "pluck", "262", "pluck", "mix", "349", "sawtooth", "mix", "1760" },
    };
    std::vector<std::string> cat;
    for (size_t i = 0; i < chords.size(); ++i) {
        std::string seg = strPath + ".chord" + std::to_string(i) + ".wav";
        std::vector<std::string> a
            = { "-n", "-r", std::to_string(iRate), "-c", "2", "-b", "16", seg, "synth", chord };
        a.insert(a.end(), chords[i].begin(), chords[i].end());
        a.insert(a.end(), { "tremolo", "5", "40", "reverb", "40", "vol", "0.7" });
        if (!Sox(a))
            return false;
        cat.push_back(seg);
    }
    std::vector<std::string> a = cat;
    a.insert(a.end(), { "-c", std::to_string(iChannels), "-b", "16", strPath });
    bool ok = Sox(a);
    for (const std::string& s : cat)
        std::remove(s.c_str());
    return ok;
}

bool MakeMaterial(
    Material m, const std::string& strPath, double dSeconds, int iChannels, int32_t iRate)
{
    switch (m) {
    case Material::Speech:
        return MakeSpeech(strPath, dSeconds, iChannels, iRate);
    case Material::Music:
        return MakeMusic(strPath, dSeconds, iChannels, iRate);
    default:
        return MakeWav(strPath, int32_t(dSeconds * iRate), iChannels, iRate, m == Material::Clicks);
    }
}

std::vector<int16_t> FFmpeg(const std::string& strPath)
{
    std::string raw = strPath + ".ff.raw";
    std::vector<int16_t> out;
    // skip_manual: the decoder reports the encoder delay and padding instead
    // of dropping them.
    if (Run({ "ffmpeg", "-v", "error", "-y", "-flags2", "+skip_manual", "-i", strPath, "-f",
            "s16le", "-c:a", "pcm_s16le", raw })
        != 0)
        return out;
    std::vector<uint8_t> b = ReadAll(raw);
    out.resize(b.size() / 2);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = int16_t(uint16_t(b[2 * i] | b[2 * i + 1] << 8));
    std::remove(raw.c_str());
    return out;
}

std::vector<int32_t> ToInternal(const std::vector<int16_t>& v)
{
    std::vector<int32_t> r(v.size());
    for (size_t i = 0; i < v.size(); ++i)
        r[i] = int32_t(v[i]) * 16;
    return r;
}

} // namespace MP3Test
