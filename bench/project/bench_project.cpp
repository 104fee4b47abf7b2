// Saves and opens a project of one document of one hour of 44.1 kHz stereo
// (32-bit samples in the file, 1.27 GB), then has dd write (flushed to the
// disk, as the save is) and read the same number of bytes in the same
// folder, and prints the best times of three rounds and the ratios; also dd
// copying those bytes, which is what the open does.
#include "audio/LWaveFile.h"
#include "edit/LAudioCutTank.h"
#include "features/LOVProject.h"
#include "platform/LFile.h"
#include "platform/LSettings.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {
// Wall and processor time (user and system) of one job: this process's own
// for the project operations, its children's for dd. Processor time says
// more than wall time when other work shares the machine.
struct Times {
    double dWall = 1e9, dCpu = 1e9;
};

double CpuSeconds(int iWho)
{
    rusage ru {};
    getrusage(iWho, &ru);
    auto Sec = [](const timeval& tv) { return double(tv.tv_sec) + double(tv.tv_usec) * 1e-6; };
    return Sec(ru.ru_utime) + Sec(ru.ru_stime);
}

// Runs job and keeps the best wall and processor times in best.
template <class Job> void Time(Times& best, int iWho, Job job)
{
    const double dCpu0 = CpuSeconds(iWho);
    const auto t0 = std::chrono::steady_clock::now();
    job();
    const double dWall
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    best.dWall = std::min(best.dWall, dWall);
    best.dCpu = std::min(best.dCpu, CpuSeconds(iWho) - dCpu0);
}

// Each dd starts, as the open does, with nothing left to write back.
void Dd(Times& best, const std::string& strArgs)
{
    sync();
    Time(best, RUSAGE_CHILDREN, [&] {
        if (std::system(("dd " + strArgs + " status=none").c_str()) != 0)
            std::fprintf(stderr, "dd failed: %s\n", strArgs.c_str());
    });
}

void Print(const char* pszWhat, const Times& ours, const char* pszPeer, const Times& peer)
{
    std::printf("%s %.2f s (processor %.2f s), %s %.2f s (processor %.2f s): %.2f x, "
                "processor %.2f x\n",
        pszWhat, ours.dWall, ours.dCpu, pszPeer, peer.dWall, peer.dCpu, ours.dWall / peer.dWall,
        ours.dCpu / peer.dCpu);
}
} // namespace

int main(int argc, char** argv)
{
    const int iMinutes = argc > 1 ? std::atoi(argv[1]) : 60;
    char szDir[] = "/tmp/orvenna-bench-XXXXXX";
    if (!mkdtemp(szDir))
        return 1;
    const std::string strDir = szDir;
    setenv("ORVENNA_CONFIG_DIR", szDir, 1);
    setenv("XDG_DATA_HOME", szDir, 1);
    LSettings::Get().Reload();
    // One cut of the whole length, its file holding a real signal.
    const int32_t iFrames = 44100 * 60 * iMinutes;
    auto pDoc = std::make_unique<LOVFile>();
    {
        const uint16_t wCut = LAudioCutTank::Get().GetNewRefAndIncRef();
        LFile f;
        f.Open(LAudioCutTank::Get().GetAudFilePath(wCut), LFile::Mode::CreateWrite);
        std::vector<int32_t> block(2 * 44100);
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = int32_t((i * 37) % 60000) * 8 - 240000;
        for (int32_t i = 0; i < iFrames; i += 44100)
            f.Write(block.data(), int64_t(block.size()) * 4);
        f.Close();
        pDoc->claAudio.SetFormat(44100, 2);
        pDoc->claAudio.SetSingleCut(LAudioCut(wCut, iFrames, LAudioCut::kUnityGain, 0));
        LAudioCutTank::Get().DecRef(wCut);
    }
    const std::string strProject = strDir + "/p.ovp";
    const std::string strDd = strDir + "/dd.bin";
    const int64_t iBytes = int64_t(iFrames) * 8;
    const std::string strCount = std::to_string(iBytes / (1 << 20));
    // Best of three rounds, each timing all five in turn, so that a busy
    // moment of the machine weighs on all alike.
    Times save, load, ddWrite, ddRead, ddCopy;
    for (int iRound = 0; iRound < 3; ++iRound) {
        LOVSaveProject saveJob;
        saveJob.strPath = strProject;
        saveJob.files = { pDoc.get() };
        Process<LOVSaveProject> runSave("Saving Project", saveJob);
        Time(save, RUSAGE_SELF, [&] { runSave.Run(); });

        // The open starts, as dd does, with nothing left to write back (the
        // source cut file above is not flushed, and would slow any writer).
        sync();
        LOVProjectData data;
        LOVLoadProject loadJob { strProject, &data };
        Process<LOVLoadProject> runLoad("Loading Project", loadJob);
        Time(load, RUSAGE_SELF, [&] { runLoad.Run(); });
        if (runSave.GetResult() != 0 || runLoad.GetResult() != 0 || data.files.size() != 1) {
            std::fprintf(stderr, "the project did not round-trip\n");
            return 1;
        }
        data = LOVProjectData();
        std::remove(strProject.c_str());
        sync();

        Dd(ddWrite, "if=/dev/zero of=" + strDd + " bs=1M count=" + strCount + " conv=fsync");
        Dd(ddRead, "if=" + strDd + " of=/dev/null bs=1M");
        // Opening copies the audio into the working folder: dd copying the
        // same bytes (read and write, not flushed, as the open) is what that
        // costs, in pieces of the size the open reads.
        Dd(ddCopy, "if=" + strDd + " of=" + strDd + ".copy bs=1M");
        std::remove((strDd + ".copy").c_str());
        std::remove(strDd.c_str());
        sync();
    }
    LAudioCutTank::Get().RemoveFolder();
    std::string strRm = "rm -rf " + strDir;
    (void)std::system(strRm.c_str());

    std::printf(
        "project of %d min of 44.1 kHz stereo, %.0f MB of audio\n", iMinutes, double(iBytes) / 1e6);
    Print("save", save, "dd write", ddWrite);
    Print("open", load, "dd read", ddRead);
    Print("open", load, "dd copy", ddCopy);
    return 0;
}
