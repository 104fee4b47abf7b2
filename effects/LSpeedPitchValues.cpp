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

LSpeedPitchValues LSpeedPitchValues::Load()
{
    LSettings& s = LSettings::Get();
    LSpeedPitchValues v;
    for (int i = 0; i < 3; ++i)
        v.Percent(i) = s.GetInt(kSection, kNames[i], v.Percent(i));
    return v;
}

void LSpeedPitchValues::Save() const
{
    LSpeedPitchValues v = *this;
    for (int i = 0; i < 3; ++i)
        LSettings::Get().SetInt(kSection, kNames[i], v.Percent(i));
}

int& LSpeedPitchValues::Percent(int iMode)
{
    int* p[3] = {&iSpSpeedPitch, &iConstPitchSpeed, &iConstSpeedPitch};
    return *p[ModeIndex(iMode)];
}

std::string LSpeedPitchValues::Check(int iPercent)
{
    if (iPercent > kMaxPercent)
        return "Speed Change Percent must be less than 300.";
    return "";
}

const char* LSpeedPitchValues::ModeName(int iMode) { return kModes[ModeIndex(iMode)]; }

const char* LSpeedPitchValues::FieldLabel(int iMode) { return kLabels[ModeIndex(iMode)]; }
