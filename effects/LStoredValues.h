#pragma once

#include "effects/LDialogValues.h"
#include "effects/LValueCheck.h"
#include "effects/LValueField.h"

// Loads, checks and keeps a dialog's values against "StoredValues" by its
// form, so every effect and edit dialog shares one rule. Called on the
// thread that owns the settings (the user-interface thread).
class LStoredValues {
public:
    // The form's values: the stored ones, defaults where none is stored.
    static LDialogValues Load(const LValueForm& form);
    // The first refusal among the values (empty when all are accepted).
    static LValueCheck Check(const LValueForm& form, const LDialogValues& values);
    // Moves the values that have no refusal into their range.
    static void Clamp(const LValueForm& form, LDialogValues& values);
    // Writes the stored values of the form.
    static void Store(const LValueForm& form, const LDialogValues& values);
};
