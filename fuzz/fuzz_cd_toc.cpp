#include "cd/LCDROMSimDrive.h"
#include "cd/LCDTOC.h"

#include <algorithm>
#include <cstdlib>
#include <string>

// Any bytes as a READ TOC reply: parsing never reads past what arrived and
// every track ends at or after its start or at the next one. The same bytes
// as a simulated drive's description: a description that is accepted
// answers READ TOC with the tracks it describes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    LCDTOC toc;
    std::string strError;
    const uint32_t uReceived = uint32_t(std::min<size_t>(nSize, 2048));
    if (toc.Parse(pData, uReceived, strError)) {
        if (toc.tracks.empty() || toc.tracks.size() > 255
            || 4 + 8 * (toc.tracks.size() + 1) > uReceived)
            std::abort();
        for (size_t i = 0; i < toc.tracks.size(); ++i)
            toc.DurationSeconds(i);
    }
    // A description that overrides the reply's length is meant to lie.
    const std::string strText(reinterpret_cast<const char*>(pData), nSize);
    LCDROMSimDrive sim;
    if (strText.find("toc-length") != std::string::npos
        || !sim.Parse(strText, "/nonexistent", strError))
        return 0;
    const uint8_t aReadToc[10] = { 0x43, 0, 0, 0, 0, 0, 0x01, 0x08, 0x00, 0 };
    uint8_t aReply[2048];
    LSCSIReply r = sim.Execute(aReadToc, 10, aReply, sizeof(aReply), 20000);
    if (r.uStatus != 0)
        std::abort();
    LCDTOC back;
    const bool bParsed = back.Parse(aReply, r.uReceived, strError);
    if (bParsed != !sim.GetTracks().empty() || back.tracks.size() != sim.GetTracks().size())
        std::abort();
    for (size_t i = 0; i < back.tracks.size(); ++i)
        if (back.tracks[i].uStart != sim.GetTracks()[i].uStart
            || back.tracks[i].bData != sim.GetTracks()[i].bData)
            std::abort();
    return 0;
}
