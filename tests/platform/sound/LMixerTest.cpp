#include "platform/sound/LMixer.h"

#include "platform/sound/LWaveIn.h"

#include <gtest/gtest.h>

TEST(LMixer, VolumeMapping)
{
    // Silent up to -36 dB, capped from 11 dB on.
    for (auto [iDB, uVolume] : { std::pair { -127, 0u }, { -36, 0u }, { -35, 1424u }, { 0, 51264u },
             { 10, 65504u }, { 11, 65535u }, { 12, 65535u }, { 127, 65535u } })
        EXPECT_EQ(LMixer::MapVolume(iDB), uVolume) << iDB;
}

TEST(LMixer, NullDeviceHasNoMixer)
{
    int32_t iNullIn = LWaveIn::FindDevice("null");
    EXPECT_EQ(LMixer::GetInputChannelCount(iNullIn), 0);
    EXPECT_EQ(LMixer::GetInputChannelCount(-1), 0) << "a negative device";
    std::string strName = "x";
    EXPECT_FALSE(LMixer::GetInputChannelName(iNullIn, 0, strName));
    EXPECT_EQ(strName, "");
    EXPECT_TRUE(LMixer::GetInputChannelName(iNullIn, -1, strName));
    EXPECT_EQ(strName, "Windows Record Mixer");
}
