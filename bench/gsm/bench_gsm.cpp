// Encodes and decodes a few minutes of speech-like audio with our GSM 06.10
// codec and with toast/untoast on the same input, and prints the time ratios.
// The peers run as processes on files, so their figures include start-up and
// file I/O (a few milliseconds against seconds of coding).

#include "codecs/gsm/LGSMFrame.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point t0)
{
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Voiced pulses through two moving resonances, alternating with noise.
std::vector<int16_t> Speech(size_t n)
{
    std::vector<int16_t> v(n);
    double y1 = 0, y2 = 0, ph = 0;
    uint32_t u = 1;
    for (size_t i = 0; i < n; ++i) {
        double t = double(i) / 8000;
        u = u * 1664525u + 1013904223u;
        double noise = double(int32_t(u >> 8) - (1 << 23)) / (1 << 23);
        ph += (100 + 60 * std::sin(2 * M_PI * 0.7 * t)) / 8000;
        double exc = ph >= 1 ? 6000 : 0;
        if (ph >= 1)
            ph -= 1;
        double f = 500 + 300 * std::sin(2 * M_PI * 1.3 * t);
        double yy = exc + 2 * 0.97 * std::cos(2 * M_PI * f / 8000) * y1 - 0.97 * 0.97 * y2;
        y2 = y1;
        y1 = yy;
        double x = (i / 4000) % 3 == 2 ? 5000 * noise : yy * 0.5;
        v[i] = int16_t(std::lrint(std::fmax(-32768, std::fmin(32767, x))));
    }
    return v;
}

// Runs argv with stdin from strIn and stdout to strOut; returns seconds, < 0 on failure.
double RunPeer(std::vector<std::string> args, const std::string& strIn, const std::string& strOut)
{
    std::vector<char*> argv;
    for (std::string& s : args)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, strIn.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, strOut.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid;
    Clock::time_point t0 = Clock::now();
    int iErr = posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    if (iErr != 0)
        return -1;
    int iStatus = 0;
    waitpid(pid, &iStatus, 0);
    double d = Seconds(t0);
    return WIFEXITED(iStatus) && WEXITSTATUS(iStatus) == 0 ? d : -1;
}

std::vector<uint8_t> Slurp(const std::string& strPath)
{
    std::vector<uint8_t> v;
    FILE* f = std::fopen(strPath.c_str(), "rb");
    if (!f)
        return v;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        v.insert(v.end(), buf, buf + n);
    std::fclose(f);
    return v;
}

template <class F> double Best(int iRuns, F&& f)
{
    double dBest = 1e30;
    for (int i = 0; i < iRuns; ++i) {
        Clock::time_point t0 = Clock::now();
        f();
        dBest = std::fmin(dBest, Seconds(t0));
    }
    return dBest;
}

} // namespace

int main(int argc, char** argv)
{
    double dMinutes = argc > 1 ? std::atof(argv[1]) : 3.0;
    size_t nFrames = size_t(dMinutes * 60 * 50);
    std::vector<int16_t> pcm = Speech(nFrames * 160);
    char szDir[] = "/tmp/bench-gsm-XXXXXX";
    if (!mkdtemp(szDir))
        return 1;
    std::string strDir = szDir;
    std::string strIn = strDir + "/in.l", strGsm = strDir + "/toast.gsm",
                strDec = strDir + "/dec.l";
    FILE* f = std::fopen(strIn.c_str(), "wb");
    std::fwrite(pcm.data(), 2, pcm.size(), f);
    std::fclose(f);

    std::vector<uint8_t> gsm(nFrames * 33);
    std::vector<int16_t> dec(pcm.size());
    std::vector<int32_t> in32(pcm.size()), out32(pcm.size());
    for (size_t i = 0; i < pcm.size(); ++i)
        in32[i] = int32_t(pcm[i]) * 16;

    const int iRuns = 3;
    double dEnc = Best(iRuns, [&] {
        LGSMFrame c;
        for (size_t i = 0; i < nFrames; ++i)
            c.EncodeStandard(pcm.data() + 160 * i, gsm.data() + 33 * i);
    });
    double dDec = Best(iRuns, [&] {
        LGSMFrame c;
        for (size_t i = 0; i < nFrames; ++i)
            c.DecodeStandard(gsm.data() + 33 * i, dec.data() + 160 * i);
    });
    std::vector<uint8_t> gsmNormal(nFrames * 33);
    double dEncN = Best(iRuns, [&] {
        LGSMFrame c;
        for (size_t i = 0; i < nFrames; ++i)
            c.EncodeNormal(in32.data() + 160 * i, gsmNormal.data() + 33 * i);
    });
    double dDecN = Best(iRuns, [&] {
        LGSMFrame c;
        for (size_t i = 0; i < nFrames; ++i)
            c.DecodeNormal(gsmNormal.data() + 33 * i, out32.data() + 160 * i);
    });

    double dToast = 1e30, dUntoast = 1e30;
    for (int i = 0; i < iRuns; ++i) {
        double d = RunPeer({ "toast", "-l", "-c" }, strIn, strGsm);
        double e = RunPeer({ "untoast", "-l", "-c" }, strGsm, strDec);
        if (d < 0 || e < 0) {
            std::printf("toast/untoast not available\n");
            return 1;
        }
        dToast = std::fmin(dToast, d);
        dUntoast = std::fmin(dUntoast, e);
    }
    bool bSameGsm = Slurp(strGsm) == gsm;
    std::vector<uint8_t> decPeer = Slurp(strDec);
    bool bSamePcm = decPeer.size() == dec.size() * 2
        && std::memcmp(decPeer.data(), dec.data(), decPeer.size()) == 0;

    std::printf(
        "GSM 06.10, %.1f min of audio (%zu frames), best of %d\n", dMinutes, nFrames, iRuns);
    std::printf(
        "encode  ours %.3f s (normal filters %.3f s)  toast   %.3f s  ratio ours/toast %.2f\n",
        dEnc, dEncN, dToast, dEnc / dToast);
    std::printf(
        "decode  ours %.3f s (normal filters %.3f s)  untoast %.3f s  ratio ours/untoast %.2f\n",
        dDec, dDecN, dUntoast, dDec / dUntoast);
    std::printf("output identical to peers: encode %s, decode %s\n", bSameGsm ? "yes" : "NO",
        bSamePcm ? "yes" : "NO");
    std::remove(strIn.c_str());
    std::remove(strGsm.c_str());
    std::remove(strDec.c_str());
    rmdir(strDir.c_str());
    return 0;
}
