#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A named position in one document, which is known by its display name. The
// stored record is 529 bytes, written field by field.
struct LOVBookMark {
    static constexpr size_t kRecordSize = 529;
    static constexpr size_t kTextSize = 260;

    std::string szName;
    std::string szFile; // the document's display name
    int32_t iPosition = 0; // milliseconds from the start
    uint8_t bTimesVisited = 1;
    uint32_t uLastVisited = 0; // seconds since 1970 (UTC)
    // Tells bookmarks apart while the program runs; not stored.
    uint32_t uSerial = 0;

    void Store(uint8_t* p) const;
    void Load(const uint8_t* p);
    // A go-to: one more visit (wrapping after 255), now.
    void Visit(uint32_t uNow);
};
