#include "effects/LMixValues.h"
#include "effects/EfMixPaste.h"
#include "platform/LSettings.h"

void LMixValues::Load()
{
    LSettings& s = LSettings::Get();
    iVolume = s.GetInt("StoredValues", "PasteMixVolume", 100);
    iLongerSelection = s.GetInt("StoredValues", "LongerSelection", MIXMODE_INSERTSILENCE);
    iFadeOutTime = s.GetInt("StoredValues", "FadeOutTime", 250);
}

void LMixValues::Store() const
{
    LSettings& s = LSettings::Get();
    s.SetInt("StoredValues", "PasteMixVolume", iVolume);
    s.SetInt("StoredValues", "LongerSelection", iLongerSelection);
    if (iLongerSelection == MIXMODE_FADEMIXOUT)
        s.SetInt("StoredValues", "FadeOutTime", iFadeOutTime);
}

LValueCheck LMixValues::Validate() const
{
    if (iVolume > 100)
        return LValueCheck::Invalid("Mix Volume must be less than 100%. Please try again.");
    return {};
}

void LMixValues::PrepareDialog(bool bSelection)
{
    iPan = 50;
    if (!bSelection)
        iLongerSelection = MIXMODE_EXTENDSELECTION;
}
