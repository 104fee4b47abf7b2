#pragma once

#include <cstdint>
#include <string>

// A time in milliseconds with its on-screen text forms.
class LSoundTime {
public:
    LSoundTime() = default;
    explicit LSoundTime(int32_t iMs)
        : iMilliseconds(iMs)
    {
    }

    // ms = (frames / rate) x 1000 + ((frames mod rate) x 1000) / rate, split so
    // nothing overflows 32 bits; a rate <= 0 leaves the value unchanged.
    void SetSamples(int32_t iSamples, int32_t iRate);
    void SetMilliseconds(int32_t iMs) { iMilliseconds = iMs; }
    int32_t GetMilliseconds() const { return iMilliseconds; }

    // "h:mm:ss.hh", rounded to the nearest hundredth: every position shown.
    std::string GetHundredthsText() const;
    // "h:mm:ss.mmm", exact: the selection length.
    std::string GetMillisecondsText() const;

    // Reads a time typed by a person: whole milliseconds ("1500"), or either
    // text form and its shorter variants ("0:00:01.50", "1:02.250", "3.5").
    // False for anything else.
    static bool ParseText(const std::string& strText, int32_t& iMs);

    // Frames <-> milliseconds with the same split arithmetic.
    static int32_t FramesToMs(int32_t iFrames, int32_t iRate);
    static int32_t MsToFrames(int32_t iMs, int32_t iRate);

private:
    int32_t iMilliseconds = 0;
};
