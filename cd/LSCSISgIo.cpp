#include "cd/LSCSISgIo.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

LSCSISgIo::~LSCSISgIo()
{
    if (iFd >= 0)
        ::close(iFd);
}

bool LSCSISgIo::Open(const std::string& strDevice, std::string& strError)
{
    iFd = ::open(strDevice.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (iFd < 0)
        strError = strDevice + ": " + std::strerror(errno);
    return iFd >= 0;
}

LSCSIReply LSCSISgIo::Execute(
    const uint8_t* pCdb, uint8_t uCdbLen, uint8_t* pData, uint32_t uDataLen, uint32_t uTimeoutMs)
{
    LSCSIReply r;
    sg_io_hdr_t io {};
    io.interface_id = 'S';
    io.dxfer_direction = SG_DXFER_FROM_DEV;
    io.cmd_len = uCdbLen;
    io.mx_sb_len = sizeof(r.aSense);
    io.dxfer_len = uDataLen;
    io.dxferp = pData;
    io.cmdp = const_cast<uint8_t*>(pCdb);
    io.sbp = r.aSense;
    io.timeout = uTimeoutMs;
    int iResult;
    do
        iResult = ::ioctl(iFd, SG_IO, &io);
    while (iResult < 0 && errno == EINTR);
    if (iResult < 0) {
        r.strError = std::string("SG_IO: ") + std::strerror(errno);
        return r;
    }
    // A transport or driver fault (time-out, reset, no such device) is a
    // failed call whatever the status byte says; driver "sense" only means
    // that sense data came with a check condition.
    if (io.host_status != 0 || (io.driver_status & ~0x08) != 0) {
        r.strError = "SG_IO: host status " + std::to_string(io.host_status) + ", driver status "
            + std::to_string(io.driver_status);
        return r;
    }
    r.bSent = true;
    r.uStatus = io.status;
    const int iResid = io.resid < 0 ? 0 : io.resid;
    r.uReceived = uint32_t(iResid) > uDataLen ? 0 : uDataLen - uint32_t(iResid);
    return r;
}
