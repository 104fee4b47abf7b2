#include "cd/LSCSI.h"

#include "platform/LTrace.h"

namespace {
const uint8_t kStatusGood = 0x00;
} // namespace

std::string LSCSI::DescribeSenseKey(uint8_t uKey)
{
    static const char* const aszKeys[] = { "no sense", "recovered error", "drive not ready",
        "medium error", "hardware error", "illegal request", "unit attention", "data protect",
        "blank check", "vendor specific", "copy aborted", "aborted command" };
    if (uKey < sizeof(aszKeys) / sizeof(aszKeys[0]))
        return aszKeys[uKey];
    return "sense key " + std::to_string(uKey);
}

int LSCSI::Send(const uint8_t* pCdb, uint8_t uCdbLen, uint8_t* pData, uint32_t uDataLen,
    uint32_t uTimeoutMs, uint32_t& uReceived, std::string& strError)
{
    uReceived = 0;
    if (!pTransport) {
        strError = "the drive is not open";
        return 2;
    }
    LSCSIReply r = pTransport->Execute(pCdb, uCdbLen, pData, uDataLen, uTimeoutMs);
    if (!r.bSent) {
        strError = r.strError.empty() ? "the command could not be sent" : r.strError;
        LTrace("LSCSI::Send command 0x%02X not sent: %s", pCdb[0], strError.c_str());
        return 2;
    }
    // The call succeeding says nothing about the command: the drive's status
    // does, and data received with a check condition is not to be trusted.
    uReceived = r.uReceived > uDataLen ? uDataLen : r.uReceived;
    if (r.uStatus != kStatusGood) {
        const bool bSense = (r.aSense[0] & 0x7E) == 0x70;
        strError = bSense ? DescribeSenseKey(r.aSense[2] & 0x0F)
                          : "drive status " + std::to_string(r.uStatus);
        LTrace(
            "LSCSI::Send command 0x%02X status 0x%02X: %s", pCdb[0], r.uStatus, strError.c_str());
        return 2;
    }
    return 0;
}
