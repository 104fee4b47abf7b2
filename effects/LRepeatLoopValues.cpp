#include "effects/LRepeatLoopValues.h"
#include "platform/LSettings.h"

void LRepeatLoopValues::Load() { iTimes = LSettings::Get().GetInt("StoredValues", "RepeatNumTimes", 1); }

void LRepeatLoopValues::Store() const { LSettings::Get().SetInt("StoredValues", "RepeatNumTimes", iTimes); }
