#include "app/LLoudnessStatus.h"

#include "WaveTestSupport.h"

#include <gtest/gtest.h>

TEST(LoudnessStatus, ShowsTheLatestAudioMeasuredInTheBackground)
{
    using namespace WaveTest;
    // 1 kHz stereo sines at -20 and -40 dBFS, whole periods from a zero
    // crossing: as many LUFS, and their amplitude as true peak.
    const LCutListAudio loud = MakeList(Sine(132000, 2, 52429, 44), 2);
    const LCutListAudio quiet = MakeList(Sine(132000, 2, 5243, 44), 2);
    LLoudnessStatus status;
    status.Measure(&loud);
    status.Measure(&quiet); // the older measurement is stopped, its result dropped
    EXPECT_EQ(status.text(), "Loudness: measuring...");
    ASSERT_TRUE(WaitUntil([&] { return status.text().contains("LUFS"); }));
    EXPECT_EQ(status.text(), "Loudness: -40.0 LUFS, range 0.0 LU, true peak -40.0 dBTP");
    status.Measure(&loud);
    ASSERT_TRUE(WaitUntil([&] { return status.text().contains("LUFS"); }));
    EXPECT_EQ(status.text(), "Loudness: -20.0 LUFS, range 0.0 LU, true peak -20.0 dBTP");
    status.Measure(&loud); // the same audio is not measured again
    EXPECT_TRUE(status.text().contains("-20.0 LUFS"));
    status.Measure(nullptr);
    EXPECT_TRUE(status.text().isEmpty());
}
