#include "effects/LEffectTable.h"

#include "effects/EfMixPaste.h"
#include "effects/LStoredValues.h"
#include "platform/LSettings.h"

#include <gtest/gtest.h>
#include <set>

namespace {
void ClearStoredValues()
{
    for (const LEffect& e : GetEffects())
        for (const LValueField& f : e.form)
            LSettings::Get().Remove("StoredValues", f.szKey);
}
int Stored(const char* szKey)
{
    return LSettings::Get().GetInt("StoredValues", szKey, -999);
}
} // namespace

TEST(LEffectTable, RowsHaveUniqueNamesAndKeysAndDefaultsInRange)
{
    std::set<std::string> names, keys;
    for (const LEffect& e : GetEffects()) {
        SCOPED_TRACE(e.szName);
        EXPECT_TRUE(names.insert(e.szName).second);
        EXPECT_EQ(FindEffect(e.szName), &e);
        EXPECT_EQ(e.form.empty() && !e.szCurveFile, e.szDialog == nullptr)
            << "a dialog exactly when there are values or a curve";
        EXPECT_TRUE(e.fnApply || !e.fnFactory || e.szRunText) << "a rendered row names its run";
        EXPECT_EQ(e.szCurveFile != nullptr, e.eCurve != LDialogValues::kNoCurve);
        for (const LValueField& f : e.form) {
            EXPECT_TRUE(keys.insert(f.szKey).second) << f.szKey << " in two effects";
            EXPECT_TRUE(f.iMin <= f.iDefault && f.iDefault <= f.iMax) << f.szKey;
        }
    }
}

TEST(LEffectTable, StoredValuesDefaultRefuseClampAndKeep)
{
    ClearStoredValues();
    struct Case {
        const char* szEffect;
        const char* szKey;
        int32_t iDefault;
        int32_t iRefused; // INT32_MIN: none refused, the value is clamped instead
        const char* szMessage;
    };
    const Case aCases[] = {
        { "Amplify", "AmplifyGain", 100, 401,
            "Amplify Gain must be less than 400%. Please try again." },
        { "Constant Speed and Pitch Change", "ConstSpeedPitch", 0, 301,
            "Speed Change Percent must be less than 300." },
        { "Insert Silence", "SilenceTimes", 0, INT32_MIN, nullptr },
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.szKey);
        const LValueForm& form = FindEffect(c.szEffect)->form;
        LDialogValues v = LStoredValues::Load(form);
        EXPECT_EQ(v.Get(c.szKey, -1), c.iDefault);
        EXPECT_EQ(v.pForm, &form);
        if (c.szMessage) {
            v.Set(c.szKey, c.iRefused);
            LValueCheck check = LStoredValues::Check(form, v);
            EXPECT_EQ(check.strText, c.szMessage);
            EXPECT_EQ(check.strTitle, "Invalid value");
            v.Set(c.szKey, c.iRefused - 1);
            EXPECT_TRUE(LStoredValues::Check(form, v).IsValid());
        } else {
            v.Set(c.szKey, -5);
            EXPECT_TRUE(LStoredValues::Check(form, v).IsValid());
            LStoredValues::Clamp(form, v);
            EXPECT_EQ(v.Get(c.szKey), 0);
            v.Set(c.szKey, 1500);
        }
        LStoredValues::Store(form, v);
        EXPECT_EQ(Stored(c.szKey), v.Get(c.szKey));
        LSettings::Get().Reload();
        EXPECT_EQ(LStoredValues::Load(form).Get(c.szKey), v.Get(c.szKey)) << "read back";
    }
    LDialogValues rate = LStoredValues::Load(FindEffect("Convert Sample Rate")->form);
    rate.Set("SampleRate", 5999);
    EXPECT_EQ(
        LStoredValues::Check(FindEffect("Convert Sample Rate")->form, rate).strTitle, "Error");
    ClearStoredValues();
}

TEST(LEffectTable, MixKeepsTheFadeTimeOnlyForFadeOutMixAndNeverThePan)
{
    ClearStoredValues();
    const LValueForm& form = FindEffect("Mix")->form;
    LDialogValues v = LStoredValues::Load(form);
    EXPECT_EQ(v.Get("LongerSelection"), MIXMODE_INSERTSILENCE);
    EXPECT_EQ(v.Get("FadeOutTime"), 250);
    EXPECT_EQ(v.Get("Pan"), 50);
    v.Set("LongerSelection", MIXMODE_EXTENDSELECTION);
    v.Set("FadeOutTime", 900);
    v.Set("Pan", 10);
    LStoredValues::Store(form, v);
    EXPECT_EQ(Stored("LongerSelection"), 1);
    EXPECT_EQ(Stored("FadeOutTime"), -999);
    EXPECT_EQ(Stored("Pan"), -999);
    v.Set("LongerSelection", MIXMODE_FADEMIXOUT);
    LStoredValues::Store(form, v);
    EXPECT_EQ(Stored("FadeOutTime"), 900);
    EXPECT_EQ(LStoredValues::Load(form).Get("Pan"), 50);
    ClearStoredValues();
}
