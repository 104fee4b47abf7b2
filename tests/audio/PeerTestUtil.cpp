#include "audio/PeerTestUtil.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace TestSupport;

namespace PeerTest {

std::vector<uint8_t> Fmt(uint16_t wTag, uint16_t wCh, uint32_t uRate, uint16_t wBits, size_t nBytes)
{
    std::vector<uint8_t> v;
    Put16(v, wTag);
    Put16(v, wCh);
    Put32(v, uRate);
    Put32(v, uRate * wCh * (wBits / 8));
    Put16(v, uint16_t(wCh * (wBits / 8)));
    Put16(v, wBits);
    v.resize(nBytes, 0);
    return v;
}

std::vector<uint8_t> Riff(const std::vector<Chunk>& chunks)
{
    std::vector<uint8_t> v;
    PutTag(v, "RIFF");
    Put32(v, 0);
    PutTag(v, "WAVE");
    for (const Chunk& c : chunks) {
        PutTag(v, c.szId);
        Put32(v, c.uSize == 0xFFFFFFFE ? uint32_t(c.body.size()) : c.uSize);
        v.insert(v.end(), c.body.begin(), c.body.end());
        if (c.body.size() & 1)
            v.push_back(0);
    }
    uint32_t uRiff = uint32_t(v.size() - 8);
    for (int i = 0; i < 4; ++i)
        v[size_t(4 + i)] = uint8_t(uRiff >> (8 * i));
    return v;
}

std::vector<uint8_t> Bytes16(const std::vector<int16_t>& s)
{
    std::vector<uint8_t> v;
    for (int16_t x : s)
        Put16(v, uint16_t(x));
    return v;
}

std::vector<uint8_t> PcmWav(const std::vector<int16_t>& s, int iChannels, uint32_t uRate)
{
    return Riff({ { "fmt ", Fmt(1, uint16_t(iChannels), uRate, 16) }, { "data", Bytes16(s) } });
}

uint32_t Le32(const std::vector<uint8_t>& v, size_t o)
{
    return uint32_t(v[o] | (v[o + 1] << 8) | (v[o + 2] << 16) | (uint32_t(v[o + 3]) << 24));
}

std::vector<uint8_t> DataChunk(const std::vector<uint8_t>& wav, size_t* pStart)
{
    for (size_t o = 12; o + 8 <= wav.size(); o += 8 + ((Le32(wav, o + 4) + 1) & ~1u)) {
        if (std::equal(wav.begin() + long(o), wav.begin() + long(o) + 4, "data")) {
            size_t n = std::min<size_t>(Le32(wav, o + 4), wav.size() - o - 8);
            if (pStart)
                *pStart = o + 8;
            return { wav.begin() + long(o) + 8, wav.begin() + long(o + 8 + n) };
        }
    }
    return {};
}

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
    return WriteAll(strPath, PcmWav(pcm, iChannels, uint32_t(iRate)));
}

bool Lame(
    const std::vector<std::string>& options, const std::string& strIn, const std::string& strOut)
{
    std::vector<std::string> args = { "lame", "--quiet" };
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), { strIn, strOut });
    return Run(args) == 0;
}

// Runs a decoding command writing raw 16-bit samples to strRaw; the samples,
// or none when it failed.
static std::vector<int16_t> RunToS16(
    const std::vector<std::string>& args, const std::string& strRaw)
{
    std::string strLog;
    std::vector<int16_t> out;
    if (Run(args, &strLog) == 0) {
        std::vector<uint8_t> b = ReadAll(strRaw);
        for (size_t i = 0; i + 1 < b.size(); i += 2)
            out.push_back(int16_t(uint16_t(b[i] | b[i + 1] << 8)));
    } else {
        std::printf("%s failed: %s\n", args[0].c_str(), strLog.c_str());
    }
    std::remove(strRaw.c_str());
    return out;
}

std::vector<int16_t> PeerDecode(
    const std::string& strPeer, const std::string& strIn, std::vector<std::string> inOpts)
{
    const std::string strRaw = strIn + "." + strPeer + ".raw";
    std::vector<std::string> args = { strPeer };
    if (strPeer == "ffmpeg")
        args.insert(args.end(), { "-v", "error", "-y" });
    else
        args.push_back("-D");
    args.insert(args.end(), inOpts.begin(), inOpts.end());
    if (strPeer == "ffmpeg")
        args.insert(args.end(), { "-i", strIn, "-f", "s16le", "-c:a", "pcm_s16le", strRaw });
    else
        args.insert(args.end(), { strIn, "-t", "raw", "-e", "signed", "-b", "16", "-L", strRaw });
    return RunToS16(args, strRaw);
}

std::vector<int16_t> Mpg123(const std::string& strPath)
{
    std::string raw = strPath + ".raw";
    std::vector<int16_t> out = RunToS16(
        { "mpg123", "-q", "--no-gapless", "-e", "s16", "-o", "raw", "-a", raw, strPath }, raw);
    return out.empty() ? RunToS16({ "mpg123", "-q", "--no-gapless", "-s", "-w", raw, strPath }, raw)
                       : out;
}

std::vector<int32_t> ToInternal(const std::vector<int16_t>& v)
{
    std::vector<int32_t> r(v.size());
    for (size_t i = 0; i < v.size(); ++i)
        r[i] = int32_t(v[i]) * 16;
    return r;
}

std::vector<int32_t> ReadToEnd(LSoundSourceBase& src, int32_t iBlock)
{
    size_t nCh = size_t(src.GetChannels());
    std::vector<int32_t> block(size_t(iBlock) * nCh), out;
    for (int guard = 0; guard < 1000000 && src.GetPosition() < src.GetLength(); ++guard) {
        src.Read(block.data(), iBlock);
        out.insert(out.end(), block.begin(), block.end());
    }
    out.resize(size_t(src.GetLength()) * nCh);
    return out;
}

std::vector<int32_t> DecodeAll(const std::string& strPath, int32_t iBlock, bool bScalar,
    int* pChannels, int32_t* pLength, int32_t* pOpenLength)
{
    auto src = MakeHandle<LMP3Source>(strPath);
    src->SetScalar(bScalar);
    if (src->IsError())
        return {};
    if (pOpenLength)
        *pOpenLength = src->GetLength();
    std::vector<int32_t> out = ReadToEnd(*src, iBlock);
    if (pChannels)
        *pChannels = src->GetChannels();
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
    double mse = n > from ? err / double(n - from) : 0;
    m.dPsnr = mse > 0 ? 10.0 * std::log10(32768.0 * 32768.0 / mse) : 200.0;
    return m;
}

// Makes each part with sox (parts of iPartCh channels), joins them iRepeat
// times into strPath with the tail's options, and removes the parts.
static bool SoxJoin(const std::string& strPath, int32_t iRate, int iPartCh,
    const std::vector<std::vector<std::string>>& parts, int iRepeat,
    const std::vector<std::string>& tail)
{
    std::vector<std::string> segs, join;
    bool ok = true;
    for (size_t i = 0; i < parts.size() && ok; ++i) {
        segs.push_back(strPath + ".part" + std::to_string(i) + ".wav");
        std::vector<std::string> a = { "sox", "-V1", "-R", "-n", "-r", std::to_string(iRate), "-c",
            std::to_string(iPartCh), "-b", "16", segs.back() };
        a.insert(a.end(), parts[i].begin(), parts[i].end());
        ok = Run(a) == 0;
    }
    join = { "sox", "-V1", "-R" };
    for (int r = 0; r < iRepeat; ++r)
        join.insert(join.end(), segs.begin(), segs.end());
    join.insert(join.end(), tail.begin(), tail.end());
    ok = ok && Run(join) == 0;
    for (const std::string& s : segs)
        std::remove(s.c_str());
    return ok;
}

bool MakeMaterial(
    Material m, const std::string& strPath, double dSeconds, int iChannels, int32_t iRate)
{
    const std::vector<std::string> out = { "-c", std::to_string(iChannels), "-b", "16", strPath };
    if (m == Material::Speech) {
        // Mono, copied to every channel as a voice recording is.
        std::vector<std::string> tail = out;
        tail.insert(tail.end(), { "trim", "0", std::to_string(dSeconds) });
        return SoxJoin(strPath, iRate, 1,
            { { "synth", "0.45", "sawtooth", "110-160", "sine", "mix", "500-900", "sine", "mix",
                  "2200-1300", "vol", "0.4" },
                { "synth", "0.12", "pinknoise", "highpass", "2500", "fade", "0.01", "0.12",
                    "0.04" },
                { "synth", "0.2", "sine", "100", "vol", "0" },
                { "synth", "0.4", "sawtooth", "180-120", "sine", "mix", "300-700", "sine", "mix",
                    "1000-1800", "tremolo", "6", "30", "vol", "0.5" },
                { "synth", "0.08", "whitenoise", "fade", "0.005", "0.08", "0.03", "vol", "0.3" } },
            int(std::ceil(dSeconds / 1.25)), tail);
    }
    if (m == Material::Music) {
        std::vector<std::vector<std::string>> chords = { { "220", "330", "277", "440", "pluck" },
            { "196", "294", "247", "587", "pluck" }, { "175", "262", "349", "1760", "sawtooth" } };
        for (std::vector<std::string>& c : chords)
            c = { "synth", std::to_string(dSeconds / 3), "pluck", c[0], "pluck", c[1], "pluck",
                "mix", c[2], c[4], "mix", c[3], "tremolo", "5", "40", "reverb", "40", "vol",
                "0.7" };
        return SoxJoin(strPath, iRate, 2, chords, 1, out);
    }
    return MakeWav(strPath, int32_t(dSeconds * iRate), iChannels, iRate, m == Material::Clicks);
}

} // namespace PeerTest
