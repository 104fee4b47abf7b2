#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// One value a dialog asks for, as its form shows it, the settings keep it
// and scripts name it.
struct LValueField {
    enum Kind { Edit, Rate, Radio, Combo, Slider, Decibel };
    enum When : unsigned { kAlways = 0, kStereoOnly = 1, kSelectionOnly = 2 };

    const char* szKey; // the "StoredValues" key, the form field's and the script's name
    const char* szLabel; // the field's label (a group's title for Radio)
    int32_t iMin; // the accepted range
    int32_t iMax;
    int32_t iDefault;
    const char* szUnit = "";
    // Shown with szCaption for a value outside the range, the dialog staying
    // open; without it the value is moved into the range.
    const char* szRefusal = nullptr;
    const char* szCaption = "Invalid value";
    Kind eKind = Edit;
    // Radio and Combo: the texts shown and the value each stands for.
    std::vector<std::pair<const char*, int32_t>> choices = {};
    unsigned uWhen = kAlways;
    // Kept in "StoredValues"; with szStoredWith, only while that value is
    // iStoredWhen (and the field enabled only then).
    bool bStored = true;
    const char* szStoredWith = nullptr;
    int32_t iStoredWhen = 0;
};

// The fields of one dialog, in the order it shows them.
using LValueForm = std::vector<LValueField>;
