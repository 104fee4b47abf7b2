#pragma once

#include "cd/LSCSI.h"

#include <string>

// Pass-through to a real drive: the SG_IO ioctl on its /dev/sr* node, opened
// read-only and non-blocking (so a drive without a disc still opens). Owns
// the descriptor.
class LSCSISgIo : public LSCSITransport {
public:
    ~LSCSISgIo() override;
    // False with the reason when the node cannot be opened.
    bool Open(const std::string& strDevice, std::string& strError);
    LSCSIReply Execute(const uint8_t* pCdb, uint8_t uCdbLen, uint8_t* pData, uint32_t uDataLen,
        uint32_t uTimeoutMs) override;

private:
    int iFd = -1;
};
