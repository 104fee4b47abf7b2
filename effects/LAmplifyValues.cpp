#include "effects/LAmplifyValues.h"
#include "platform/LSettings.h"

void LAmplifyValues::Load() { iGain = LSettings::Get().GetInt("StoredValues", "AmplifyGain", 100); }

void LAmplifyValues::Store() const { LSettings::Get().SetInt("StoredValues", "AmplifyGain", iGain); }

LValueCheck LAmplifyValues::Validate() const
{
    if (iGain > 400)
        return LValueCheck::Invalid("Amplify Gain must be less than 400%. Please try again.");
    return {};
}
