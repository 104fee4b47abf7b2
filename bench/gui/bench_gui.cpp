// Times of the editor window on the offscreen platform: start to the first
// painted frame, opening a one-hour 44.1 kHz stereo WAV until its overview is
// drawn, redrawing the overview of a ten-hour document made of repeated
// cuts; and the peak memory with the hour open. The open is set against sox
// reading the same file through to nothing, in the same run.
#include "app/LMDIMainWindow.h"
#include "app/LOVFileWindow.h"
#include "app/LOVWaveWindow.h"
#include "app/LQtProgressView.h"
#include "audio/LWaveFile.h"
#include "engine/LOVFile.h"
#include "platform/LSettings.h"
#include "platform/qt/LQtUiDispatcher.h"

#include <QApplication>
#include <QEvent>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

// The waveform controls let a probe ask whether their worker is idle.
class LOVWaveWindowProbe {
public:
    static bool Idle(const LOVWaveWindow& w) { return w.IsWorkerIdle(); }
};

namespace {
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point t0)
{
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

long PeakRssMb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Notes the first paint of the frame.
class PaintWatch : public QObject {
public:
    bool bPainted = false;
    bool eventFilter(QObject*, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::Paint)
            bPainted = true;
        return false;
    }
};

template <class Fn> bool RunUntil(Fn fnDone, int iSeconds)
{
    const auto tEnd = Clock::now() + std::chrono::seconds(iSeconds);
    while (!fnDone()) {
        if (Clock::now() > tEnd)
            return false;
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    QApplication::processEvents();
    return true;
}

// A sine chord with a slow swell, so that the overview has shape.
void WriteWav(const std::string& strPath, int32_t iRate, int32_t iSeconds)
{
    SinkHandle h = LWaveFile::OpenSinkPCM(strPath, iRate, 2, 16, 0);
    std::vector<int32_t> block(size_t(iRate) * 2);
    for (int32_t s = 0; s < iSeconds; ++s) {
        const double dSwell = 0.3 + 0.6 * std::fabs(std::sin(s * 0.05));
        for (int32_t i = 0; i < iRate; ++i) {
            const double t = double(s) + double(i) / iRate;
            block[size_t(i) * 2] = int32_t(dSwell * 0x7FFF0 * std::sin(2 * M_PI * 220 * t));
            block[size_t(i) * 2 + 1]
                = int32_t(dSwell * 0x7FFF0 * 0.5 * std::sin(2 * M_PI * 330 * t));
        }
        h->Write(block.data(), iRate);
    }
}

bool OverviewIdle(LMDIMainWindow& w)
{
    LOVFile* pDoc = w.GetController().GetCurrentFile();
    LOVFileWindow* pWindow = pDoc ? w.GetFileWindow(*pDoc) : nullptr;
    return pWindow && LOVWaveWindowProbe::Idle(pWindow->GetOverview())
        && LOVWaveWindowProbe::Idle(pWindow->GetZoomed());
}
} // namespace

int main(int argc, char** argv)
{
    const auto tStart = Clock::now();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char szDir[] = "/tmp/orvenna-bench-gui-XXXXXX";
    if (!mkdtemp(szDir))
        return 1;
    setenv("ORVENNA_CONFIG_DIR", szDir, 1);
    setenv("XDG_DATA_HOME", szDir, 1);

    QApplication app(argc, argv);
    LQtUiDispatcher dispatcher;
    LUiDispatcher::SetCurrent(&dispatcher);
    LQtProgressView::Install();
    LSettings::Get().Reload();
    int iResult = 0;
    {
        auto pWindow = std::make_unique<LMDIMainWindow>();
        LMDIMainWindow& w = *pWindow;
        PaintWatch watch;
        w.installEventFilter(&watch);
        w.resize(1280, 800);
        w.show();
        if (!RunUntil([&] { return watch.bPainted; }, 30))
            return 1;
        std::printf("start to first painted window:    %8.3f s\n", Seconds(tStart));

        const std::string strHour = std::string(szDir) + "/hour.wav";
        auto tWrite = Clock::now();
        WriteWav(strHour, 44100, 3600);
        std::printf("(writing the one-hour WAV:        %8.3f s)\n", Seconds(tWrite));

        auto tOpen = Clock::now();
        if (!w.GetController().LoadFile(strHour, false, false)
            || !RunUntil([&] { return OverviewIdle(w); }, 600))
            return 2;
        const double dOpen = Seconds(tOpen);
        std::printf("open 1 h 44.1 kHz stereo WAV:     %8.3f s (to the overview drawn)\n", dOpen);
        // The peer: sox reading the same file and writing raw samples to nothing.
        auto tPeer = Clock::now();
        if (std::system(("sox -q '" + strHour + "' -t raw /dev/null 2>/dev/null").c_str()) == 0) {
            const double dPeer = Seconds(tPeer);
            std::printf("sox reading the same file:        %8.3f s (ratio ours / sox %.2f)\n",
                dPeer, dOpen / dPeer);
        } else {
            std::printf("(sox not found: no peer figure)\n");
        }
        std::printf("peak RSS with the hour open:      %8ld MB\n", PeakRssMb());

        // Ten hours of cuts: ten seconds of the hour, repeated.
        LOVFile& doc = *w.GetController().GetCurrentFile();
        doc.claAudio.EfDeleteAfter(44100 * 10);
        doc.claAudio.EfRepeat(0, 44100 * 10, 3599);
        std::printf("(ten-hour document: %d frames in %zu cuts)\n", doc.claAudio.GetTotalLength(),
            doc.claAudio.GetCuts().size());
        LOVFileWindow& window = *w.GetFileWindow(doc);
        for (int i = 0; i < 3; ++i) {
            auto tRedraw = Clock::now();
            window.SetSource();
            window.WavApply();
            const bool bQueued = !OverviewIdle(w);
            if (!RunUntil([&] { return OverviewIdle(w); }, 600))
                return 3;
            std::printf("redraw 10 h overview (run %d):     %8.3f s%s\n", i + 1, Seconds(tRedraw),
                bQueued ? "" : " (the worker had nothing queued)");
        }
        std::printf("peak RSS at the end:              %8ld MB\n", PeakRssMb());
        w.GetController().EvCommand(CM_CLOSEALL);
    }
    LProgressView::SetFactory(nullptr);
    LUiDispatcher::SetCurrent(nullptr);
    std::system((std::string("rm -rf ") + szDir).c_str());
    return iResult;
}
