#pragma once

#include <cstdint>

// Whole decibels -128..127 to gains with 24 fraction bits (0x1000000 = 0 dB),
// as amplitude (20 log10) and power (10 log10) ratios. -128 and -127 dB are
// silence (0); large gains saturate at 0x7FFFFFFF. Built once, read-only.
class LDBTablesClass {
public:
    static int32_t Amplitude(int iDb);
    static int32_t Power(int iDb);

private:
    LDBTablesClass();
    static const LDBTablesClass& Get();
    int32_t aAmplitude[256];
    int32_t aPower[256];
};
