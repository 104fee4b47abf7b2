#include "effects/LNormalizeValues.h"
#include "platform/LSettings.h"

void LNormalizeValues::Load()
{
    iPeakLevel = LSettings::Get().GetInt("StoredValues", "NormalizePeakLevel", 100);
}

void LNormalizeValues::Store() const
{
    LSettings::Get().SetInt("StoredValues", "NormalizePeakLevel", iPeakLevel);
}

LValueCheck LNormalizeValues::Validate() const
{
    // The message keeps the spelling users have always seen.
    if (iPeakLevel > 100)
        return LValueCheck::Invalid("Normailze Peak Level must be less than 100%. Please try again.");
    return {};
}
