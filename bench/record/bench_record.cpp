// Records ten minutes (or the seconds given) of 44.1 kHz stereo from the null
// input, without trim, while two busy processes keep both cores loaded, and
// reports frames offered against frames recorded and the dropouts.
#include "../BusyCores.h"
#include "engine/LOVRecordInfo.h"
#include "engine/LSoundRecorder.h"
#include "platform/LUiDispatcher.h"
#include "platform/sound/LRealTimePacer.h"
#include "platform/sound/LWaveIn.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

int main(int argc, char** argv)
{
    const int iSeconds = argc > 1 ? std::atoi(argv[1]) : 600;
    auto busy = std::make_unique<BusyCores>();
    LOVRecordInfo target(44100, 2);
    LSoundRecorder recorder;
    recorder.SetDevice(LWaveIn::FindDevice("null"));
    auto t0 = std::chrono::steady_clock::now();
    if (!recorder.Start(target.OpenSink(0), 0, -127, 216000000, LSoundRecorder::kStartRecording)) {
        std::fprintf(stderr, "the null input did not open\n");
        return 1;
    }
    auto& dispatcher = static_cast<LHeadlessDispatcher&>(LUiDispatcher::Current());
    const uint32_t uWanted = uint32_t(iSeconds) * 44100u;
    while (recorder.GetFramesOffered() < uWanted) {
        dispatcher.Drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    recorder.Stop();
    const uint32_t uOffered = recorder.GetFramesOffered();
    const uint32_t uDropouts = recorder.GetDropouts();
    double dSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    busy.reset();
    const int32_t iRecorded = target.GetRecording().GetTotalLength();
    std::printf("%d s of 44.1 kHz stereo with both cores busy (2 x yes): took %.2f s, %u frames "
                "offered, %d recorded (%s), %u dropouts, worst lateness of the input clock %.1f "
                "ms\n",
        iSeconds, dSeconds, uOffered, iRecorded,
        int64_t(iRecorded) == uOffered ? "equal" : "DIFFER", uDropouts,
        LRealTimePacer::GetWorstLatenessUs() / 1000.0);
    return int64_t(iRecorded) == uOffered && uDropouts == 0 ? 0 : 1;
}
