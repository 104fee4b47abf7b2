// Stretches a few minutes of 44.1 kHz stereo to twice and half its duration
// with LSRCWaveScan (from memory, the grains crossfaded without a search)
// and with "sox tempo" on the same input as a raw file (WSOLA, which also
// searches for the best overlap, so it does more work per segment), and
// prints the time ratios. sox's figure includes its start-up and file I/O.

#include "effects/LSRCWaveScan.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

// Interleaved stereo already in the internal format.
class Memory : public LSoundSourceBase {
public:
    explicit Memory(const std::vector<int32_t>& v)
        : LSoundSourceBase(44100, 2, 0x7FFF0)
        , v(v)
    {
    }
    int32_t ReadAudio(int32_t* p, int32_t n) override
    {
        for (int32_t i = 0; i < 2 * n; ++i, ++iPos)
            p[i] = iPos >= 0 && size_t(iPos) < v.size() ? v[size_t(iPos)] : 0;
        return n;
    }
    int32_t GetPosition() override { return int32_t(iPos / 2); }
    int32_t GetLength() override { return int32_t(v.size() / 2); }
    void Seek(int32_t f) override { iPos = int64_t(f) * 2; }

private:
    const std::vector<int32_t>& v;
    int64_t iPos = 0;
};

double RunSox(double dTempo, const std::string& strIn, const std::string& strOut)
{
    std::string strT = std::to_string(dTempo);
    std::vector<std::string> args = { "sox", "-q", "-t", "raw", "-r", "44100", "-e", "signed", "-b",
        "16", "-c", "2", strIn, "-t", "raw", strOut, "tempo", strT };
    std::vector<char*> argv;
    for (std::string& s : args)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    pid_t pid;
    Clock::time_point t0 = Clock::now();
    if (posix_spawnp(&pid, "sox", nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int iStatus = 0;
    waitpid(pid, &iStatus, 0);
    double d = Seconds(t0);
    return WIFEXITED(iStatus) && WEXITSTATUS(iStatus) == 0 ? d : -1;
}
} // namespace

int main(int argc, char** argv)
{
    double dMinutes = argc > 1 ? std::atof(argv[1]) : 3.0;
    size_t nFrames = size_t(dMinutes * 60 * 44100);
    std::vector<int32_t> v(nFrames * 2);
    std::vector<int16_t> pcm(nFrames * 2);
    for (size_t i = 0; i < nFrames; ++i) {
        double t = double(i) / 44100;
        double x = 9000 * std::sin(2 * M_PI * 440 * t)
            + 6000 * std::sin(2 * M_PI * (300 + 200 * std::sin(t)) * t);
        pcm[2 * i] = pcm[2 * i + 1] = int16_t(std::lrint(x));
        v[2 * i] = v[2 * i + 1] = int32_t(pcm[2 * i]) * 16;
    }
    char szDir[] = "/tmp/bench-stretch-XXXXXX";
    if (!mkdtemp(szDir))
        return 1;
    std::string strDir = szDir, strIn = strDir + "/in.raw", strOut = strDir + "/out.raw";
    FILE* f = std::fopen(strIn.c_str(), "wb");
    std::fwrite(pcm.data(), 2, pcm.size(), f);
    std::fclose(f);

    std::vector<int32_t> block(2 * kBlockFrames);
    for (double dFactor : { 0.5, 2.0 }) {
        double dOurs = 1e30;
        int64_t iOut = 0;
        for (int iRun = 0; iRun < 3; ++iRun) {
            Clock::time_point t0 = Clock::now();
            LSRCWaveScan scan(MakeHandle<Memory>(v), dFactor);
            iOut = 0;
            while (scan.GetPosition() < scan.GetLength()) {
                scan.Read(block.data(), kBlockFrames);
                iOut += kBlockFrames;
            }
            dOurs = std::fmin(dOurs, Seconds(t0));
        }
        double dSox = RunSox(dFactor, strIn, strOut);
        std::printf("%.1f min stereo, hop factor %.1f (%lld frames out): LSRCWaveScan %.3f s "
                    "(%.0fx real time), "
                    "sox tempo %.3f s, ratio ours/sox %.3f\n",
            dMinutes, dFactor, (long long)iOut, dOurs, dMinutes * 60 / dOurs, dSox,
            dSox > 0 ? dOurs / dSox : 0.0);
    }
    std::remove(strIn.c_str());
    std::remove(strOut.c_str());
    rmdir(szDir);
    return 0;
}
