#pragma once

#include <cstdint>
#include <memory>
#include <string>

// What a drive answered to one command block.
struct LSCSIReply {
    bool bSent = false; // the command reached the drive and came back
    uint8_t uStatus = 0xFF; // SCSI status byte: 0 good, 2 check condition
    uint32_t uReceived = 0; // bytes the drive transferred
    uint8_t aSense[14] = {}; // fixed-format sense data after a check condition
    std::string strError; // why the command did not reach the drive
};

// Carries one command block with a data-in phase to a drive: the SG_IO
// ioctl on a real drive, or a simulated drive. Called on the thread that
// runs the CD operation; the caller owns the command and data buffers.
class LSCSITransport {
public:
    virtual ~LSCSITransport() = default;
    virtual LSCSIReply Execute(const uint8_t* pCdb, uint8_t uCdbLen, uint8_t* pData,
        uint32_t uDataLen, uint32_t uTimeoutMs)
        = 0;
};

// The address of one CD drive and the transport to it. On Linux every drive
// is reached by pass-through, so adapter, target and LUN stay 0; they are
// kept as the drive's address for traces. Owns its transport.
class LSCSI {
public:
    uint32_t uAdapter = 0;
    uint32_t uTarget = 0;
    uint32_t uLun = 0;

    void SetTransport(std::unique_ptr<LSCSITransport> p) { pTransport = std::move(p); }
    bool IsOpen() const { return pTransport != nullptr; }
    void Close() { pTransport.reset(); }

    // Sends a data-in command. 0 when the drive answered GOOD, 2 otherwise
    // (the call failed, or a check condition: strError names the sense key).
    // uReceived is what the drive transferred, which may be less than asked.
    int Send(const uint8_t* pCdb, uint8_t uCdbLen, uint8_t* pData, uint32_t uDataLen,
        uint32_t uTimeoutMs, uint32_t& uReceived, std::string& strError);

    // "medium error", "illegal request" ... for a sense key.
    static std::string DescribeSenseKey(uint8_t uKey);

private:
    std::unique_ptr<LSCSITransport> pTransport;
};
