#pragma once

#include <cstdint>
#include <string>
#include <vector>

class LSCSI;

// A disc's table of contents from READ TOC (format 0, addresses as logical
// block addresses): the start of every track and of the lead-out. Plain data.
struct LCDTOC {
    // Control bit of a data track in a descriptor's ADR/control byte.
    static constexpr uint8_t kControlData = 0x04;
    // What lies between the end of an audio session and its next session's
    // first track: the lead-out (6750 sectors), the next lead-in (4500) and
    // the first track's pre-gap (150).
    static constexpr uint32_t kSessionGap = 11400;
    // The pre-gap a data track following audio in the same session has at
    // least.
    static constexpr uint32_t kDataPreGap = 150;
    static constexpr uint32_t kSectorBytes = 2352;

    struct Track {
        uint32_t uStart = 0;
        bool bData = false;
    };
    std::vector<Track> tracks; // at most 255
    uint32_t uLeadOut = 0;

    // Sends READ TOC and parses the reply: 0, or 2 with the reason.
    int Read(LSCSI& scsi, std::string& strError);
    // Parses a reply of which uReceived bytes arrived; the length the reply
    // claims is believed only as far as those bytes go. False with the reason
    // when it holds no track descriptor.
    bool Parse(const uint8_t* pReply, uint32_t uReceived, std::string& strError);

    uint8_t GetTrackCount() const { return uint8_t(tracks.size()); }
    // Where track i ends (exclusive): the next track's start, but an audio
    // track followed by a data track ends before the gap in front of it.
    uint32_t TrackEnd(size_t i) const;
    // Whole seconds of track i, 0 when it has no sectors.
    uint16_t DurationSeconds(size_t i) const;
    // "m:ss" as lists show it.
    static std::string FormatDuration(uint16_t uSeconds);
    // Whether track i is the last audio track before the lead-out or a data
    // track (the end of what the audio checksums cover).
    bool IsLastAudio(size_t i) const;
};
