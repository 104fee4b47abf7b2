// Conformance report of our codecs against reference outputs and peer
// decoders, one line per case: the largest difference in 16-bit steps and
// the PSNR (10 log10(32767^2 / mean squared error)) over the whole stream.
//  - MP3: every NAME.bit of the compliance folder (argument 1, or
//    ORVENNA_MP3_VECTORS) against its NAME.pcm, decoded by our vector and
//    scalar paths and by mpg123; lame-made files against mpg123.
//  - GSM 06.10: toast/untoast (libgsm-tools) against our frame codec on
//    speech, a sweep and noise.
// The decoder's own output is compared, before any limiter; 96 dB is the
// standard's "full accuracy".

#include "audio/LMP3Source.h"
#include "codecs/gsm/LGSMFrame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Pcm = std::vector<int16_t>;

// Runs argv without a shell, stdin from strIn and stdout to strOut when
// given; true when it exits with 0.
bool Run(const std::vector<std::string>& args, const std::string& strIn = {},
    const std::string& strOut = {})
{
    std::vector<char*> argv;
    for (const std::string& s : args)
        argv.push_back(const_cast<char*>(s.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    if (!strIn.empty())
        posix_spawn_file_actions_addopen(&fa, 0, strIn.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(
        &fa, 1, strOut.empty() ? "/dev/null" : strOut.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    int status = 0;
    return rc == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)
        && WEXITSTATUS(status) == 0;
}

bool Have(const char* szTool)
{
    return Run({ "sh", "-c", std::string("command -v ") + szTool });
}

Pcm ReadPcm(const std::string& strPath)
{
    Pcm v(size_t(fs::exists(strPath) ? fs::file_size(strPath) / 2 : 0));
    if (FILE* f = std::fopen(strPath.c_str(), "rb")) {
        v.resize(std::fread(v.data(), 2, v.size(), f));
        std::fclose(f);
    }
    return v;
}

void WritePcm(const std::string& strPath, const Pcm& v)
{
    if (FILE* f = std::fopen(strPath.c_str(), "wb")) {
        std::fwrite(v.data(), 2, v.size(), f);
        std::fclose(f);
    }
}

int16_t InternalTo16(int32_t x)
{
    return int16_t(std::clamp(int32_t(uint32_t(x) + 8u) >> 4, -32768, 32767));
}

// Our decoder's whole output, rounded to 16 bits.
Pcm DecodeOurs(const std::string& strPath, bool bScalar)
{
    auto src = MakeHandle<LMP3Source>(strPath);
    Pcm v;
    if (src->IsError())
        return v;
    src->SetScalar(bScalar);
    const int ch = src->GetChannels();
    std::vector<int32_t> block(size_t(8192) * size_t(ch));
    while (src->GetPosition() < src->GetLength()) {
        int32_t from = src->GetPosition();
        src->Read(block.data(), 8192);
        size_t n = size_t(std::max(0, std::min(src->GetPosition(), src->GetLength()) - from))
            * size_t(ch);
        for (size_t i = 0; i < n; ++i)
            v.push_back(InternalTo16(block[i]));
    }
    return v;
}

struct Figures {
    int iMaxDiff = 0;
    double dPsnr = 0;
    long lLengthDiff = 0; // test minus reference, samples
};

// Over the reference's length; test samples missing at the end count as 0.
Figures Compare(const Pcm& ref, const Pcm& test, size_t iSkip = 0)
{
    Figures f;
    double dErr = 0;
    for (size_t i = 0; i < ref.size(); ++i) {
        int t = i + iSkip < test.size() ? test[i + iSkip] : 0;
        int d = std::abs(t - ref[i]);
        f.iMaxDiff = std::max(f.iMaxDiff, d);
        dErr += double(d) * d;
    }
    double mse = ref.empty() ? 0 : dErr / double(ref.size());
    f.dPsnr = mse == 0 ? 999.0 : 10.0 * std::log10(32767.0 * 32767.0 / mse);
    f.lLengthDiff = long(test.size()) - long(iSkip) - long(ref.size());
    return f;
}

void PrintRow(const char* szCase, const Figures* pFig, int nFig)
{
    std::printf("%-26s", szCase);
    for (int i = 0; i < nFig; ++i) {
        if (pFig[i].dPsnr == 0)
            std::printf(" | %8s %7s", "-", "-");
        else
            std::printf(" | %8d %7.1f", pFig[i].iMaxDiff, std::min(pFig[i].dPsnr, 999.0));
    }
    std::printf("\n");
}

void Mp3Vectors(const std::string& strDir, const std::string& strTmp, bool bMpg123)
{
    std::printf("\nMP3 compliance streams against the reference output (max diff in 16-bit steps, "
                "PSNR dB)\n%-26s | %16s | %16s | %16s\n",
        "stream", "ours vector", "ours scalar", "mpg123");
    std::vector<fs::path> vBits;
    for (const auto& e : fs::directory_iterator(strDir))
        if (e.path().extension() == ".bit")
            vBits.push_back(e.path());
    std::sort(vBits.begin(), vBits.end());
    for (const fs::path& bit : vBits) {
        fs::path pcm = bit;
        pcm.replace_extension(".pcm");
        Pcm ref = ReadPcm(pcm.string());
        // This reference starts two stereo frames after the first decoded one.
        size_t iSkip = bit.stem() == "l3-sin1k0db" ? 4608 : 0;
        Figures fig[3];
        fig[0] = Compare(ref, DecodeOurs(bit.string(), false), iSkip);
        fig[1] = Compare(ref, DecodeOurs(bit.string(), true), iSkip);
        std::string strOut = strTmp + "/mpg123.raw";
        if (bMpg123 && Run({ "mpg123", "-q", "-s", bit.string() }, {}, strOut))
            fig[2] = Compare(ref, ReadPcm(strOut), iSkip);
        PrintRow(bit.stem().c_str(), fig, 3);
    }
}

// lame files against mpg123's decoding of them.
void Mp3Lame(const std::string& strTmp)
{
    struct Case {
        const char* szName;
        const char* szRate;
        const char* szChannels;
        std::vector<std::string> lame;
    };
    const Case aCases[] = {
        { "lame 128k stereo 44.1k", "44100", "2", { "-b", "128" } },
        { "lame V2 joint 44.1k", "44100", "2", { "-V", "2" } },
        { "lame 320k stereo 48k", "48000", "2", { "-b", "320", "-m", "s" } },
        { "lame 64k mono 22.05k", "22050", "1", { "-b", "64" } },
        { "lame 16k mono 8k", "8000", "1", { "-b", "16" } },
    };
    std::printf("\nMP3 files made by lame against mpg123\n%-26s | %16s | %16s\n", "case",
        "ours vector", "ours scalar");
    for (const Case& c : aCases) {
        std::string wav = strTmp + "/lame.wav", mp3 = strTmp + "/lame.mp3",
                    raw = strTmp + "/lame.raw";
        if (!Run({ "sox", "-R", "-q", "-n", "-r", c.szRate, "-c", c.szChannels, "-b", "16", wav,
                "synth", "8", "sine", "100-7000", "pinknoise", "tremolo", "3", "40", "vol",
                "0.5" }))
            continue;
        std::vector<std::string> args = { "lame", "--quiet" };
        args.insert(args.end(), c.lame.begin(), c.lame.end());
        args.push_back(wav);
        args.push_back(mp3);
        // Without gapless trimming: the decoder's whole output, as ours.
        if (!Run(args) || !Run({ "mpg123", "-q", "--no-gapless", "-s", mp3 }, {}, raw))
            continue;
        Pcm ref = ReadPcm(raw);
        Figures fig[2]
            = { Compare(ref, DecodeOurs(mp3, false)), Compare(ref, DecodeOurs(mp3, true)) };
        PrintRow(c.szName, fig, 2);
    }
}

// Our frame codec with the standard pre- and postprocessing, or with the
// ".gsm" file filters (Normal), over a whole signal.
std::vector<uint8_t> EncodeOurs(const Pcm& pcm)
{
    LGSMFrame frame;
    std::vector<uint8_t> out;
    for (size_t i = 0; i + LGSMFrame::kSamples <= pcm.size(); i += LGSMFrame::kSamples) {
        uint8_t a[LGSMFrame::kBytes];
        frame.EncodeStandard(pcm.data() + i, a);
        out.insert(out.end(), a, a + sizeof a);
    }
    return out;
}

Pcm DecodeOursGsm(const std::vector<uint8_t>& gsm, bool bNormal)
{
    LGSMFrame frame;
    Pcm out;
    for (size_t i = 0; i + LGSMFrame::kBytes <= gsm.size(); i += LGSMFrame::kBytes) {
        int16_t a[LGSMFrame::kSamples];
        int32_t n[LGSMFrame::kSamples];
        if (bNormal) {
            frame.DecodeNormal(gsm.data() + i, n);
            for (int k = 0; k < LGSMFrame::kSamples; ++k)
                a[k] = InternalTo16(n[k]);
        } else {
            frame.DecodeStandard(gsm.data() + i, a);
        }
        out.insert(out.end(), a, a + LGSMFrame::kSamples);
    }
    return out;
}

std::vector<uint8_t> ReadBytes(const std::string& strPath)
{
    std::vector<uint8_t> b(size_t(fs::exists(strPath) ? fs::file_size(strPath) : 0));
    if (FILE* f = std::fopen(strPath.c_str(), "rb")) {
        b.resize(std::fread(b.data(), 1, b.size(), f));
        std::fclose(f);
    }
    return b;
}

void Gsm(const std::string& strTmp)
{
    struct Case {
        const char* szName;
        std::vector<std::string> make; // writes strTmp/gsm.wav
    };
    const std::string wav = strTmp + "/gsm.wav";
    const Case aCases[] = {
        { "speech (espeak-ng)",
            { "espeak-ng", "-w", wav,
                "The quick brown fox jumps over the lazy dog, twice, at dusk." } },
        { "sweep 50-3900 Hz",
            { "sox", "-R", "-q", "-n", "-r", "8000", "-c", "1", "-b", "16", wav, "synth", "6",
                "sine", "50-3900", "vol", "0.7" } },
        { "pink noise",
            { "sox", "-R", "-q", "-n", "-r", "8000", "-c", "1", "-b", "16", wav, "synth", "6",
                "pinknoise", "vol", "0.5" } },
        { "full-scale square 200 Hz",
            { "sox", "-R", "-q", "-n", "-r", "8000", "-c", "1", "-b", "16", wav, "synth", "4",
                "square", "200", "vol", "0.99" } },
    };
    std::printf(
        "\nGSM 06.10 against toast/untoast (max diff in 16-bit steps, PSNR dB; frames: ours "
        "identical to toast's)\n%-26s | %16s | %16s | %16s | %s\n",
        "signal", "decode", "encode", ".gsm file", "frames");
    const std::string raw = strTmp + "/in.l", gsmPeerPath = strTmp + "/peer.gsm",
                      pcmPeer = strTmp + "/peer.l", gsmOursPath = strTmp + "/ours.gsm",
                      pcmOurs = strTmp + "/ours.l";
    for (const Case& c : aCases) {
        if (!Have(c.make[0].c_str())) {
            std::printf("%-26s | %s missing, skipped\n", c.szName, c.make[0].c_str());
            continue;
        }
        if (!Run(c.make)
            || !Run({ "sox", "-q", wav, "-r", "8000", "-c", "1", "-b", "16", "-e", "signed", "-t",
                "raw", raw }))
            continue;
        Pcm in = ReadPcm(raw);
        in.resize(in.size() / LGSMFrame::kSamples * LGSMFrame::kSamples);
        WritePcm(raw, in);
        std::vector<uint8_t> gsmOurs = EncodeOurs(in);
        if (FILE* f = std::fopen(gsmOursPath.c_str(), "wb")) {
            std::fwrite(gsmOurs.data(), 1, gsmOurs.size(), f);
            std::fclose(f);
        }
        if (!Run({ "toast", "-l", "-c", raw }, {}, gsmPeerPath)
            || !Run({ "untoast", "-l", "-c", gsmPeerPath }, {}, pcmPeer)
            || !Run({ "untoast", "-l", "-c", gsmOursPath }, {}, pcmOurs))
            continue;
        Pcm peer = ReadPcm(pcmPeer);
        std::vector<uint8_t> gsmPeer = ReadBytes(gsmPeerPath);
        size_t nSame = 0;
        for (size_t i = 0; i + LGSMFrame::kBytes <= std::min(gsmOurs.size(), gsmPeer.size());
             i += LGSMFrame::kBytes)
            nSame += std::memcmp(&gsmOurs[i], &gsmPeer[i], LGSMFrame::kBytes) == 0;
        Figures fig[3] = {
            Compare(peer, DecodeOursGsm(gsmPeer, false)),
            Compare(peer, ReadPcm(pcmOurs)),
            Compare(peer, DecodeOursGsm(gsmPeer, true)),
        };
        std::printf("%-26s", c.szName);
        for (const Figures& f : fig)
            std::printf(" | %8d %7.1f", f.iMaxDiff, std::min(f.dPsnr, 999.0));
        std::printf(" | %zu/%zu\n", nSame, gsmPeer.size() / LGSMFrame::kBytes);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const char* szEnv = std::getenv("ORVENNA_MP3_VECTORS");
    std::string strDir = argc > 1 ? argv[1] : (szEnv ? szEnv : "");
    char aTmp[] = "/tmp/orvenna-conformance-XXXXXX";
    if (!mkdtemp(aTmp))
        return 1;
    const std::string strTmp = aTmp;
    const bool bMpg123 = Have("mpg123");
    if (!strDir.empty() && fs::is_directory(strDir))
        Mp3Vectors(strDir, strTmp, bMpg123);
    else
        std::printf(
            "MP3 compliance streams: no folder given (argument or ORVENNA_MP3_VECTORS), skipped\n");
    if (bMpg123 && Have("lame") && Have("sox"))
        Mp3Lame(strTmp);
    else
        std::printf("lame, sox or mpg123 missing: lame cases skipped\n");
    if (Have("toast") && Have("untoast") && Have("sox"))
        Gsm(strTmp);
    else
        std::printf("toast, untoast or sox missing: GSM cases skipped\n");
    fs::remove_all(strTmp);
    return 0;
}
