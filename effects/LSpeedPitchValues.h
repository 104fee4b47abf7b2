#pragma once

#include <string>

// The last percentages of the three speed and pitch effects, kept in the
// settings section "StoredValues", and the check the speed dialog applies.
struct LSpeedPitchValues {
    static constexpr const char* kSection = "StoredValues";
    static constexpr int kMaxPercent = 300;
    static constexpr const char* kInvalidTitle = "Invalid value";

    int iSpSpeedPitch = 100;    // mode 0, "SpSpeedPitch"
    int iConstPitchSpeed = 100; // mode 1, "ConstPitchSpeed"
    int iConstSpeedPitch = 0;   // mode 2, "ConstSpeedPitch"

    static LSpeedPitchValues Load();
    void Save() const;
    // The value of mode 0..2 (the last one for anything else).
    int& Percent(int iMode);

    // "" when the percentage is accepted, else the message to show with
    // kInvalidTitle.
    static std::string Check(int iPercent);

    // Caption and edit-field label of each mode.
    static const char* ModeName(int iMode);
    static const char* FieldLabel(int iMode);
};
