// Plays two minutes through the null device while two busy processes keep
// both cores loaded, and reports the gaps (times the device ran dry before
// the end: late buffers) and the worst lateness of the device's clock.
#include "../BusyCores.h"
#include "engine/LSoundPlayer.h"
#include "platform/LUiDispatcher.h"
#include "platform/sound/LNullSoundOut.h"
#include "platform/sound/LWaveOut.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {
class SineSource : public LSoundSourceBase {
public:
    SineSource(int32_t iRate, int32_t iLen)
        : LSoundSourceBase(iRate, 2, 0x7FFF0)
        , iLength(iLen)
    {
    }
    int32_t ReadAudio(int32_t* p, int32_t n) override
    {
        for (int32_t i = 0; i < n; ++i, ++iPos) {
            int32_t v = iPos < iLength ? int32_t(200000 * std::sin(iPos * 0.0626)) : 0;
            *p++ = v;
            *p++ = -v;
        }
        return n;
    }
    int32_t GetPosition() override { return iPos; }
    int32_t GetLength() override { return iLength; }
    void Seek(int32_t f) override { iPos = f; }

private:
    int32_t iLength, iPos = 0;
};

} // namespace

int main(int argc, char** argv)
{
    const int iSeconds = argc > 1 ? std::atoi(argv[1]) : 120;
    const int32_t iNull = LWaveOut::FindDevice("null");
    auto busy = std::make_unique<BusyCores>();
    LSoundPlayer player;
    player.SetDevice(iNull);
    auto t0 = std::chrono::steady_clock::now();
    if (!player.Start(MakeHandle<SineSource>(44100, 44100 * iSeconds), 0)) {
        std::fprintf(stderr, "the null device did not open\n");
        return 1;
    }
    auto& dispatcher = static_cast<LHeadlessDispatcher&>(LUiDispatcher::Current());
    while (player.GetState() != 0) {
        dispatcher.Drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    double dSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    busy.reset();
    uint32_t uGaps = LNullSoundOut::GetStarvations();
    uGaps = uGaps > 0 ? uGaps - 1 : 0; // the end of the audio is not a gap
    std::printf("%d s of 44.1 kHz stereo with both cores busy (2 x yes): took %.2f s, %u late "
                "buffers (gaps), "
                "worst lateness of the device clock %.1f ms\n",
        iSeconds, dSeconds, uGaps, LNullSoundOut::GetWorstLatenessUs() / 1000.0);
    return 0;
}
