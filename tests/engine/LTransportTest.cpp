#include "engine/LTransport.h"

#include "engine/MainDialog.h"
#include "platform/LSettings.h"
#include "platform/sound/LNullSoundOut.h"
#include "platform/sound/LWaveOut.h"
#include "support/ScriptedUi.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace TestSupport;

namespace {
int16_t Value(int32_t f)
{
    return int16_t(f % 20000 - 10000);
}

struct TransportTest : ::testing::Test {
    TransportTest()
    {
        LSettings::Get().SetInt("Settings", "SoundOutDevice", LWaveOut::FindDevice("null"));
        LSettings::Get().SetInt("Settings", "PlaySpeed", 1);
        LNullSoundOut::SetCaptureEnabled(true);
        transport.onPosition = [this](LOVFile&) { ++iPositions; };
    }
    ~TransportTest() override
    {
        transport.Stop();
        LNullSoundOut::SetCaptureEnabled(false);
        LSettings::Get().Remove("Settings", "SoundOutDevice");
    }
    TempDir dir;
    ScriptedUi ui;
    LTransport transport;
    MainDialog main { ui, transport };
    int iPositions = 0;
};
} // namespace

TEST_F(TransportTest, PlaysTheSelectionExactly)
{
    ASSERT_TRUE(main.LoadFile(MakeRampWav(dir, "t.wav", 8000, 1, 8000), false, false));
    LOVFile& doc = *main.GetCurrentFile();
    main.ModifySelection(1000, 2600, 0);
    main.EvCommand(CM_PLAY);
    ASSERT_TRUE(transport.IsOpen());
    PumpEvents([&] { return !transport.IsOpen(); });
    std::vector<int16_t> played = LNullSoundOut::TakeCapture();
    ASSERT_EQ(played.size(), 1600u);
    for (size_t i = 0; i < played.size(); ++i)
        ASSERT_EQ(played[i], Value(1000 + int32_t(i))) << i;
    EXPECT_GT(iPositions, 0);
    EXPECT_EQ(doc.sSelStart, 1000) << "a played selection stays";
    EXPECT_EQ(doc.sSelEnd, 2600);
}

TEST_F(TransportTest, PositionInTheLastSecondRestartsAndGoToEndWhileStopped)
{
    ASSERT_TRUE(main.LoadFile(MakeRampWav(dir, "t.wav", 8000, 1, 12000), false, false));
    LOVFile& doc = *main.GetCurrentFile();
    main.ModifySelection(9000, 9000, 9000); // within the last second
    main.EvCommand(CM_PLAY);
    ASSERT_TRUE(transport.IsOpen());
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    main.EvCommand(CM_STOP);
    EXPECT_FALSE(transport.IsOpen());
    std::vector<int16_t> played = LNullSoundOut::TakeCapture();
    ASSERT_FALSE(played.empty());
    EXPECT_EQ(played[0], Value(0)) << "playback went back to the start";
    main.EvCommand(CM_GOTOEND);
    EXPECT_EQ(doc.sPosition, 12000);
    main.EvCommand(CM_GOTOSTART);
    EXPECT_EQ(doc.sPosition, 0);
}

TEST_F(TransportTest, ScrubThenPlayAndScansMoveThePosition)
{
    ASSERT_TRUE(main.LoadFile(MakeRampWav(dir, "t.wav", 8000, 1, 80000), false, false));
    LOVFile& doc = *main.GetCurrentFile();
    main.ModifySelection(40000, 40000, 40000);
    main.CmScrub();
    EXPECT_TRUE(transport.IsCued());
    main.EvCommand(CM_PLAY); // leaves the loop and plays on
    EXPECT_FALSE(transport.IsCued());
    EXPECT_TRUE(transport.IsOpen());
    main.EvCommand(CM_STOP);

    doc.sPosition = 40000;
    main.ScanPressed(true);
    PumpEvents([&] { return doc.sPosition > 44000; }, 3000);
    main.ScanReleased();
    EXPECT_GT(doc.sPosition, 44000) << "fast forward runs ahead of real time";
    EXPECT_FALSE(transport.IsOpen()) << "nothing was playing before the scan";

    int32_t iBefore = doc.sPosition;
    main.ScanPressed(false);
    PumpEvents([&] { return doc.sPosition < iBefore - 2000; }, 3000);
    main.ScanReleased();
    EXPECT_LT(doc.sPosition, iBefore - 2000) << "rewind goes back";
}
