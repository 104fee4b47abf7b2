#include "effects/LStoredValues.h"

#include "platform/LSettings.h"

#include <algorithm>

namespace {
const char* const kSection = "StoredValues";

bool IsKept(const LValueField& f, const LDialogValues& values)
{
    return f.bStored && (!f.szStoredWith || values.Get(f.szStoredWith) == f.iStoredWhen);
}
} // namespace

LDialogValues LStoredValues::Load(const LValueForm& form)
{
    LDialogValues values;
    for (const LValueField& f : form)
        values.Set(f.szKey,
            f.bStored ? LSettings::Get().GetInt(kSection, f.szKey, f.iDefault) : f.iDefault);
    values.pForm = &form;
    return values;
}

LValueCheck LStoredValues::Check(const LValueForm& form, const LDialogValues& values)
{
    for (const LValueField& f : form) {
        const int32_t i = values.Get(f.szKey, f.iDefault);
        if (f.szRefusal && (i < f.iMin || i > f.iMax))
            return { f.szRefusal, f.szCaption };
    }
    return {};
}

void LStoredValues::Clamp(const LValueForm& form, LDialogValues& values)
{
    for (const LValueField& f : form)
        if (!f.szRefusal)
            values.Set(f.szKey, std::clamp(values.Get(f.szKey, f.iDefault), f.iMin, f.iMax));
}

void LStoredValues::Store(const LValueForm& form, const LDialogValues& values)
{
    for (const LValueField& f : form)
        if (IsKept(f, values))
            LSettings::Get().SetInt(kSection, f.szKey, values.Get(f.szKey, f.iDefault));
}
