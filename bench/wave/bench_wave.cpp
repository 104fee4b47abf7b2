// Column computation speed of the waveform display.
#include "app/LWaveColumns.h"
#include "app/LWaveView.h"
#include "edit/LCutListAudio.h"
#include "edit/LSNKCutListAudio.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
constexpr int32_t kRate = 44100;
constexpr int kColumns = 1000;

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// iFrames of a mono tone with a slowly changing level, written as one cut.
LCutListAudio Write(int32_t iFrames)
{
    LCutListAudio list;
    SinkHandle h = MakeHandle<LSNKCutListAudio>(list, kRate, 1);
    std::vector<int32_t> block(kBlockFrames);
    for (int32_t i = 0; i < iFrames; i += kBlockFrames) {
        int32_t n = std::min(kBlockFrames, iFrames - i);
        for (int32_t k = 0; k < n; ++k) {
            double t = double(i + k) / kRate;
            block[size_t(k)] = int32_t(300000 * std::sin(t * 0.01) * std::sin(2 * M_PI * 440 * t));
        }
        h->Write(block.data(), n);
    }
    h.Reset();
    return list;
}

// Milliseconds per computation of all columns of the view (best of iRuns).
double Time(LWaveColumns& c, int32_t iStart, int32_t iLength, bool bAudioOnly, int iRuns, int& iSum)
{
    LWaveView v;
    v.SetClientSize(kColumns + 2, 300);
    v.Apply(iStart, iLength);
    uint8_t top[LWaveView::kMaxColumns], bottom[LWaveView::kMaxColumns];
    double dBest = 1e9;
    for (int r = 0; r < iRuns; ++r) {
        double t0 = Now();
        if (bAudioOnly)
            c.FillFromAudio(v, 0, v.nWidth, top, bottom, nullptr);
        else
            c.Fill(v, 0, v.nWidth, top, bottom, nullptr);
        dBest = std::min(dBest, (Now() - t0) * 1000);
        for (int x = 0; x < v.nWidth; ++x)
            iSum += top[x] + bottom[x];
    }
    return dBest;
}
} // namespace

int main(int argc, char** argv)
{
    const int iMinutes = argc > 1 ? std::atoi(argv[1]) : 60;
    const int32_t iFrames = iMinutes * 60 * kRate;
    double t0 = Now();
    LCutListAudio doc = Write(iFrames);
    std::printf(
        "wrote %d min mono 44100 Hz (%d frames) in %.1f s\n", iMinutes, iFrames, Now() - t0);

    LWaveColumns c;
    c.SetCutList(doc, LWaveColumns::kPlusMinus, false);
    int iSum = 0;
    double dGraph = Time(c, 0, iFrames, false, 5, iSum);
    double dTen = Time(c, iFrames / 2, 10 * kRate, false, 5, iSum);
    double dWhole = Time(c, 0, iFrames, true, 1, iSum);
    std::printf("%d columns, whole document from graph records: %8.2f ms\n", kColumns, dGraph);
    std::printf("%d columns, 10 s view from audio:              %8.2f ms\n", kColumns, dTen);
    std::printf("%d columns, whole document from audio:         %8.2f ms (graph is %.0fx faster)\n",
        kColumns, dWhole, dWhole / dGraph);

    // The same length made of a one-minute clip repeated: one cut per minute.
    LCutListAudio clip = Write(60 * kRate);
    clip.EfRepeat(0, 60 * kRate, iMinutes - 1);
    c.SetCutList(clip, LWaveColumns::kPlusMinus, false);
    double dCuts = Time(c, 0, clip.GetTotalLength(), false, 5, iSum);
    std::printf("%d columns, %zu cuts of one minute, graph records:  %8.2f ms\n", kColumns,
        clip.GetCuts().size(), dCuts);
    std::printf("(checksum %d)\n", iSum);
    return 0;
}
