#pragma once

// The Repeat Loop dialog's value, kept in "StoredValues" between runs.
struct LRepeatLoopValues {
    int iTimes = 1; // copies inserted

    void Load();
    void Store() const;
};
