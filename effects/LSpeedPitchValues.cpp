#include "effects/LSpeedPitchValues.h"
#include "platform/LSettings.h"

#include <algorithm>

namespace {
const char* const kNames[3] = {"SpSpeedPitch", "ConstPitchSpeed", "ConstSpeedPitch"};
const char* const kModes[3] = {"Simple Speed and Pitch Change", "Constant Pitch and Speed Change",
                               "Constant Speed and Pitch Change"};
const char* const kLabels[3] = {"Speed/Pitch Adjust (%)", "Speed Adjust (%)", "Pitch Adjust (%)"};

int ModeIndex(int iMode) { return std::clamp(iMode, 0, 2); }
} // namespace

void LSpeedPitchValues::Load()
{
    *this = LSpeedPitchValues();
    for (int i = 0; i < 3; ++i)
        Percent(i) = LSettings::Get().GetInt("StoredValues", kNames[i], Percent(i));
}

void LSpeedPitchValues::Store() const
{
    for (int i = 0; i < 3; ++i)
        LSettings::Get().SetInt("StoredValues", kNames[i], Percent(i));
}

int& LSpeedPitchValues::Percent(int iMode)
{
    int* p[3] = {&iSpSpeedPitch, &iConstPitchSpeed, &iConstSpeedPitch};
    return *p[ModeIndex(iMode)];
}

int LSpeedPitchValues::Percent(int iMode) const { return const_cast<LSpeedPitchValues*>(this)->Percent(iMode); }

LValueCheck LSpeedPitchValues::Validate(int iMode) const
{
    if (Percent(iMode) > 300)
        return LValueCheck::Invalid("Speed Change Percent must be less than 300.");
    return {};
}

const char* LSpeedPitchValues::ModeName(int iMode) { return kModes[ModeIndex(iMode)]; }

const char* LSpeedPitchValues::FieldLabel(int iMode) { return kLabels[ModeIndex(iMode)]; }
