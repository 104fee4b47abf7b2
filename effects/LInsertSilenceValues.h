#pragma once

#include <cstdint>

// The Insert Silence dialog's value, kept in "StoredValues" between runs.
struct LInsertSilenceValues {
    int iMs = 0; // silence time in milliseconds

    void Load();
    void Store() const;
    // The time in frames at iRate: (ms / 1000) x rate + ((ms mod 1000) x rate) / 1000.
    int32_t GetFrames(int32_t iRate) const;
};
