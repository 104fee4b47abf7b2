#include "effects/LInsertSilenceValues.h"
#include "audio/LSoundTime.h"
#include "platform/LSettings.h"

void LInsertSilenceValues::Load() { iMs = LSettings::Get().GetInt("StoredValues", "SilenceTimes", 0); }

void LInsertSilenceValues::Store() const { LSettings::Get().SetInt("StoredValues", "SilenceTimes", iMs); }

int32_t LInsertSilenceValues::GetFrames(int32_t iRate) const { return LSoundTime::MsToFrames(iMs, iRate); }
