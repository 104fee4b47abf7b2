#pragma once

#include "app/LPlayerSource.h"
#include "engine/LOVRecordInfo.h"

// The record target as the player panel sees it: its name is read-only and
// what it plays is the recording so far. User-interface thread; the target
// outlives it.
class LRecordSource : public LPlayerSource {
public:
    explicit LRecordSource(LOVRecordInfo& info)
        : target(info)
    {
        wFlags = kNameReadOnly;
    }
    void OpenSource(SourceHandle& hSource) override { hSource = target.OpenSource(); }
    LOVRecordInfo& GetTarget() { return target; }

private:
    LOVRecordInfo& target;
};
