#pragma once

#include "audio/LSoundSourceBase.h"
#include "effects/LValueField.h"
#include "effects/PointList.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// The values of a command's dialog, in the order the dialog shows them, by
// the names they are stored under ("AmplifyGain", "SilenceTimes" ...). The
// controller fills them from the stored values; the dialog (or a script)
// changes them and returns.
class LDialogValues {
public:
    void Set(const std::string& strName, int32_t iValue);
    // iDefault when the dialog has no such value.
    int32_t Get(const std::string& strName, int32_t iDefault = 0) const;
    bool Has(const std::string& strName) const;
    // Names compared without regard to case; false for a name not shown.
    bool SetByName(const std::string& strName, int32_t iValue);
    const std::vector<std::pair<std::string, int32_t>>& GetItems() const { return items; }

    // The fields the dialog builds its form from; null for a form of one
    // edit field per value.
    const LValueForm* pForm = nullptr;
    // What the dialog's Preview plays with the values it shows; empty for a
    // dialog without Preview. Called on the user-interface thread.
    std::function<SourceHandle(const LDialogValues&)> fnPreview;
    // A dialog that edits a curve instead of a form, and what the curve's x
    // stands for: frequency (the equalizer) or time along the selection
    // (the envelope); the curve shown and returned.
    enum CurveAxis { kNoCurve, kFrequencyCurve, kTimeCurve } eCurve = kNoCurve;
    PointList curve;

private:
    std::vector<std::pair<std::string, int32_t>> items;
};
