#include "cd/LCDTOC.h"

#include "cd/LSCSI.h"
#include "platform/LTrace.h"

#include <cstdio>

namespace {
const uint32_t kReplyBytes = 2048;
const uint32_t kTocTimeoutMs = 20000;
// Operation READ TOC, addresses as LBA, format 0, from track 1, allocation
// length 2048.
const uint8_t kReadToc[10] = { 0x43, 0x00, 0x00, 0, 0, 0, 0x01, 0x08, 0x00, 0x00 };
} // namespace

int LCDTOC::Read(LSCSI& scsi, std::string& strError)
{
    uint8_t aReply[kReplyBytes] = {};
    uint32_t uReceived = 0;
    if (scsi.Send(
            kReadToc, sizeof(kReadToc), aReply, kReplyBytes, kTocTimeoutMs, uReceived, strError)
        != 0) {
        strError = "reading the table of contents failed: " + strError;
        return 2;
    }
    return Parse(aReply, uReceived, strError) ? 0 : 2;
}

bool LCDTOC::Parse(const uint8_t* p, uint32_t uReceived, std::string& strError)
{
    tracks.clear();
    uLeadOut = 0;
    // The data length counts the bytes after itself; neither it nor the
    // descriptors may reach past what arrived.
    uint32_t uBytes = uReceived >= 2 ? (uint32_t(p[0]) << 8 | p[1]) + 2 : 0;
    if (uBytes > uReceived)
        uBytes = uReceived;
    const uint32_t uDescriptors = uBytes >= 4 ? (uBytes - 4) / 8 : 0;
    // Only the lead-out is a disc without tracks.
    if (uDescriptors < 2) {
        strError = "the table of contents lists no tracks";
        LTrace("LCDTOC::Parse no descriptor in %u bytes", unsigned(uReceived));
        return false;
    }
    // The last descriptor is the lead-out.
    const uint32_t uTracks = uDescriptors - 1 > 255 ? 255 : uDescriptors - 1;
    for (uint32_t i = 0; i <= uTracks; ++i) {
        const uint8_t* d = p + 4 + i * 8;
        const uint32_t uStart
            = uint32_t(d[4]) << 24 | uint32_t(d[5]) << 16 | uint32_t(d[6]) << 8 | d[7];
        if (i == uTracks)
            uLeadOut = uStart;
        else
            tracks.push_back({ uStart, (d[1] & kControlData) != 0 });
    }
    return true;
}

uint32_t LCDTOC::TrackEnd(size_t i) const
{
    const bool bLast = i + 1 >= tracks.size();
    const uint32_t uNext = bLast ? uLeadOut : tracks[i + 1].uStart;
    const uint32_t uStart = tracks[i].uStart;
    if (bLast || tracks[i].bData || !tracks[i + 1].bData)
        return uNext;
    // Audio before data is the layout of a disc with the data in a second
    // session, behind the gap between sessions. READ TOC format 0 does not
    // tell sessions apart, so a track too short for that gap ends before the
    // data track's pre-gap instead.
    if (uNext > uStart && uNext - uStart > kSessionGap)
        return uNext - kSessionGap;
    if (uNext > uStart && uNext - uStart > kDataPreGap)
        return uNext - kDataPreGap;
    return uNext;
}

uint16_t LCDTOC::DurationSeconds(size_t i) const
{
    const uint32_t uEnd = TrackEnd(i);
    const uint32_t uStart = tracks[i].uStart;
    const uint64_t uSectors = uEnd > uStart ? uEnd - uStart : 0;
    const uint64_t uSeconds = uSectors * kSectorBytes / 176400;
    return uint16_t(uSeconds > 0xFFFF ? 0xFFFF : uSeconds);
}

std::string LCDTOC::FormatDuration(uint16_t uSeconds)
{
    char sz[16];
    std::snprintf(sz, sizeof(sz), "%d:%.2d", uSeconds / 60, uSeconds % 60);
    return sz;
}

bool LCDTOC::IsLastAudio(size_t i) const
{
    return i + 1 >= tracks.size() || tracks[i + 1].bData;
}
