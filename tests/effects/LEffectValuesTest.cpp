#include "effects/EfMixPaste.h"
#include "effects/LAmplifyValues.h"
#include "effects/LInsertSilenceValues.h"
#include "effects/LMixValues.h"
#include "effects/LNormalizeValues.h"
#include "effects/LRepeatLoopValues.h"
#include "platform/LSettings.h"

#include <gtest/gtest.h>

namespace {
void ClearStoredValues()
{
    for (const char* sz : {"AmplifyGain", "NormalizePeakLevel", "SilenceTimes", "RepeatNumTimes",
                           "PasteMixVolume", "LongerSelection", "FadeOutTime"})
        LSettings::Get().Remove("StoredValues", sz);
}
int Stored(const char* szName) { return LSettings::Get().GetInt("StoredValues", szName, -999); }
} // namespace

TEST(LEffectValues, DefaultsWhenMissingAndStoredUnderTheirNames)
{
    ClearStoredValues();
    LAmplifyValues amp{7};
    LNormalizeValues norm{7};
    LInsertSilenceValues sil{7};
    LRepeatLoopValues rep{7};
    LMixValues mix{7, 7, 7, 7};
    amp.Load();
    norm.Load();
    sil.Load();
    rep.Load();
    mix.Load();
    EXPECT_EQ(amp.iGain, 100);
    EXPECT_EQ(norm.iPeakLevel, 100);
    EXPECT_EQ(sil.iMs, 0);
    EXPECT_EQ(rep.iTimes, 1);
    EXPECT_EQ(mix.iVolume, 100);
    EXPECT_EQ(mix.iLongerSelection, MIXMODE_INSERTSILENCE);
    EXPECT_EQ(mix.iFadeOutTime, 250);

    LAmplifyValues{250}.Store();
    LNormalizeValues{90}.Store();
    LInsertSilenceValues{1500}.Store();
    LRepeatLoopValues{3}.Store();
    EXPECT_EQ(Stored("AmplifyGain"), 250);
    EXPECT_EQ(Stored("NormalizePeakLevel"), 90);
    EXPECT_EQ(Stored("SilenceTimes"), 1500);
    EXPECT_EQ(Stored("RepeatNumTimes"), 3);
    LSettings::Get().Reload();
    amp.Load();
    rep.Load();
    EXPECT_EQ(amp.iGain, 250);
    EXPECT_EQ(rep.iTimes, 3);
    ClearStoredValues();
}

TEST(LEffectValues, MixStoresTheFadeTimeOnlyForFadeOutMixAndNeverThePan)
{
    ClearStoredValues();
    LMixValues{80, MIXMODE_EXTENDSELECTION, 900, 10}.Store();
    EXPECT_EQ(Stored("PasteMixVolume"), 80);
    EXPECT_EQ(Stored("LongerSelection"), 1);
    EXPECT_EQ(Stored("FadeOutTime"), -999);
    LMixValues{70, MIXMODE_FADEMIXOUT, 900, 10}.Store();
    EXPECT_EQ(Stored("LongerSelection"), 2);
    EXPECT_EQ(Stored("FadeOutTime"), 900);
    LMixValues loaded;
    loaded.iPan = 10;
    loaded.Load();
    EXPECT_EQ(loaded.iVolume, 70);
    EXPECT_EQ(loaded.iFadeOutTime, 900);
    EXPECT_EQ(loaded.iPan, 10) << "the pan is not a stored value";
    loaded.PrepareDialog(false);
    EXPECT_EQ(loaded.iPan, 50);
    EXPECT_EQ(loaded.iLongerSelection, MIXMODE_EXTENDSELECTION);
    loaded.iLongerSelection = MIXMODE_FADEMIXOUT;
    loaded.PrepareDialog(true);
    EXPECT_EQ(loaded.iLongerSelection, MIXMODE_FADEMIXOUT);
    ClearStoredValues();
}

TEST(LEffectValues, ValidationMessagesAndLimits)
{
    EXPECT_TRUE(LAmplifyValues{400}.Validate().IsValid());
    EXPECT_TRUE(LAmplifyValues{-50}.Validate().IsValid());
    LValueCheck amp = LAmplifyValues{401}.Validate();
    EXPECT_EQ(amp.strText, "Amplify Gain must be less than 400%. Please try again.");
    EXPECT_EQ(amp.strTitle, "Invalid value");

    EXPECT_TRUE(LNormalizeValues{100}.Validate().IsValid());
    LValueCheck norm = LNormalizeValues{101}.Validate();
    EXPECT_EQ(norm.strText, "Normailze Peak Level must be less than 100%. Please try again.");
    EXPECT_EQ(norm.strTitle, "Invalid value");

    EXPECT_TRUE((LMixValues{100, 0, 250, 50}.Validate().IsValid()));
    LValueCheck mix = LMixValues{101, 0, 250, 50}.Validate();
    EXPECT_EQ(mix.strText, "Mix Volume must be less than 100%. Please try again.");
    EXPECT_EQ(mix.strTitle, "Invalid value");
    EXPECT_TRUE(LAmplifyValues{100}.Validate().strTitle.empty());
}

TEST(LEffectValues, SilenceTimeInFrames)
{
    EXPECT_EQ(LInsertSilenceValues{1500}.GetFrames(44100), 66150);
    EXPECT_EQ(LInsertSilenceValues{1}.GetFrames(44100), 44);
    EXPECT_EQ(LInsertSilenceValues{0}.GetFrames(8000), 0);
}
