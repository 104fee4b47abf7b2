#include "cd/LCDROMSimDrive.h"

#include "cd/LCDTOC.h"
#include "platform/LTrace.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

namespace {
const uint8_t kCheckCondition = 0x02;
const uint8_t kMediumError = 0x03;
const uint8_t kIllegalRequest = 0x05;
const uint8_t kAscInvalidOpcode = 0x20;
const uint8_t kAscLbaOutOfRange = 0x21;
const uint8_t kAscInvalidField = 0x24;
const uint8_t kAscUnrecoveredRead = 0x11;
const uint32_t kMaxLba = 449999; // 99:59:74, beyond any disc

bool Number(const std::string& str, uint32_t& u)
{
    const char* pEnd = str.data() + str.size();
    auto [p, ec] = std::from_chars(str.data(), pEnd, u);
    return ec == std::errc() && p == pEnd && !str.empty();
}

void Put32(uint8_t* p, uint32_t u)
{
    p[0] = uint8_t(u >> 24);
    p[1] = uint8_t(u >> 16);
    p[2] = uint8_t(u >> 8);
    p[3] = uint8_t(u);
}
} // namespace

bool LCDROMSimDrive::Load(const std::string& strPath, std::string& strError)
{
    LFile f;
    std::string strText;
    if (f.Open(strPath, LFile::Mode::Read)) {
        strText.resize(size_t(std::min<int64_t>(f.GetFileSizeBytes(), 1 << 20)));
        strText.resize(size_t(f.Read(strText.data(), int64_t(strText.size()))));
    } else {
        strError = strPath + ": " + LFile::DescribeError(f.GetError());
        return false;
    }
    const size_t iSlash = strPath.rfind('/');
    const std::string strFolder = iSlash == std::string::npos ? "." : strPath.substr(0, iSlash);
    if (!Parse(strText, strFolder, strError)) {
        strError = strPath + ":" + strError;
        return false;
    }
    return true;
}

bool LCDROMSimDrive::Parse(
    const std::string& strText, const std::string& strFolder, std::string& strError)
{
    std::istringstream in(strText);
    std::string strLine;
    int iLine = 0;
    while (std::getline(in, strLine)) {
        ++iLine;
        strLine = strLine.substr(0, strLine.find('#'));
        std::istringstream words(strLine);
        std::vector<std::string> v;
        for (std::string w; words >> w;)
            v.push_back(w);
        if (!v.empty() && !ParseLine(v, strFolder, strError)) {
            strError = std::to_string(iLine) + ": " + strError;
            return false;
        }
    }
    if (!bLeadOut) {
        strError = std::to_string(iLine) + ": no leadout line";
        return false;
    }
    if (!tracks.empty() && tracks.back().uStart >= uLeadOut) {
        strError = std::to_string(iLine) + ": the lead-out must follow the last track";
        return false;
    }
    if (!strImage.empty() && !image.Open(strImage, LFile::Mode::Read)) {
        strError = strImage + ": " + LFile::DescribeError(image.GetError());
        return false;
    }
    return true;
}

bool LCDROMSimDrive::ParseLine(
    const std::vector<std::string>& v, const std::string& strFolder, std::string& strError)
{
    const std::string& k = v[0];
    uint32_t a = 0, b = 0;
    if (k == "image" && v.size() >= 2) {
        // The rest of the line, so that a name may hold spaces.
        std::string strName = v[1];
        for (size_t i = 2; i < v.size(); ++i)
            strName += " " + v[i];
        strImage = strName[0] == '/' ? strName : strFolder + "/" + strName;
        return true;
    }
    if (k == "track" && v.size() == 4 && Number(v[1], a) && Number(v[3], b)
        && (v[2] == "audio" || v[2] == "data")) {
        if (a != tracks.size() + 1 || a > 99 || b > kMaxLba
            || (!tracks.empty() && b <= tracks.back().uStart)) {
            strError = "tracks must be numbered from 1 in order with rising starts";
            return false;
        }
        tracks.push_back({ int(a), v[2] == "data", b });
        return true;
    }
    if (v.size() == 2 && Number(v[1], a)) {
        if (k == "leadout" && a <= kMaxLba) {
            uLeadOut = a;
            bLeadOut = true;
            return true;
        }
        if (k == "fail" || k == "short") {
            (k == "fail" ? fails : shorts).push_back(a);
            return true;
        }
        if (k == "toc-length" && a <= 0xFFFF) {
            iTocLength = int(a);
            return true;
        }
        if (k == "delay-ms" && a <= 60000) {
            uDelayMs = a;
            return true;
        }
    }
    if (k == "flaky" && v.size() == 3 && Number(v[1], a) && Number(v[2], b)) {
        flaky[a] = b;
        return true;
    }
    strError = "cannot read \"" + k + "\" line";
    return false;
}

void LCDROMSimDrive::Log(const uint8_t* pCdb, uint8_t uCdbLen) const
{
    const char* szLog = std::getenv("ORVENNA_CDROM_SIM_LOG");
    if (!szLog || !*szLog)
        return;
    std::string strLine;
    char sz[4];
    for (uint8_t i = 0; i < uCdbLen; ++i) {
        std::snprintf(sz, sizeof(sz), i ? " %02X" : "%02X", pCdb[i]);
        strLine += sz;
    }
    strLine += "\n";
    if (FILE* f = std::fopen(szLog, "a")) {
        std::fputs(strLine.c_str(), f);
        std::fclose(f);
    }
}

LSCSIReply LCDROMSimDrive::CheckCondition(uint8_t uKey, uint8_t uAsc)
{
    LSCSIReply r;
    r.bSent = true;
    r.uStatus = kCheckCondition;
    r.aSense[0] = 0x70;
    r.aSense[2] = uKey;
    r.aSense[7] = 6;
    r.aSense[12] = uAsc;
    return r;
}

LSCSIReply LCDROMSimDrive::Execute(
    const uint8_t* pCdb, uint8_t uCdbLen, uint8_t* pData, uint32_t uDataLen, uint32_t uTimeoutMs)
{
    Log(pCdb, uCdbLen);
    if (uDelayMs)
        std::this_thread::sleep_for(std::chrono::milliseconds(uDelayMs));
    // Exactly the blocks a drive is sent for the table of contents and for
    // raw audio sectors; anything else is a fault of the sender.
    static const uint8_t aReadToc[10] = { 0x43, 0, 0, 0, 0, 0, 0x01, 0x08, 0x00, 0 };
    if (uCdbLen == 10 && std::memcmp(pCdb, aReadToc, 10) == 0 && uDataLen == 2048
        && uTimeoutMs == 20000)
        return ReadTOC(pData, uDataLen);
    const uint32_t uCount = uCdbLen == 12 ? pCdb[8] : 0;
    if (uCdbLen == 12 && pCdb[0] == 0xBE && pCdb[1] == 0 && pCdb[6] == 0 && pCdb[7] == 0
        && uCount >= 1 && uCount <= 24 && pCdb[9] == 0xF0 && pCdb[10] == 0 && pCdb[11] == 0
        && uDataLen == uCount * 2352 && uTimeoutMs == 10000) {
        const uint32_t uLba
            = uint32_t(pCdb[2]) << 24 | uint32_t(pCdb[3]) << 16 | uint32_t(pCdb[4]) << 8 | pCdb[5];
        if (uLba >= uLeadOut || uCount > uLeadOut - uLba)
            return CheckCondition(kIllegalRequest, kAscLbaOutOfRange);
        return ReadCD(uLba, uCount, pData);
    }
    LTrace("LCDROMSimDrive::Execute refused a command block (operation 0x%02X, %u bytes)",
        uCdbLen ? pCdb[0] : 0, unsigned(uCdbLen));
    const bool bKnown = uCdbLen && (pCdb[0] == 0x43 || pCdb[0] == 0xBE);
    return CheckCondition(kIllegalRequest, bKnown ? kAscInvalidField : kAscInvalidOpcode);
}

LSCSIReply LCDROMSimDrive::ReadTOC(uint8_t* pData, uint32_t uDataLen)
{
    uint8_t a[4 + 100 * 8] = {};
    const uint32_t uDescriptors = uint32_t(tracks.size()) + 1;
    const uint32_t uLength = iTocLength >= 0 ? uint32_t(iTocLength) : 2 + uDescriptors * 8;
    a[0] = uint8_t(uLength >> 8);
    a[1] = uint8_t(uLength);
    a[2] = 1;
    a[3] = uint8_t(tracks.size());
    for (uint32_t i = 0; i < uDescriptors; ++i) {
        uint8_t* d = a + 4 + i * 8;
        const bool bLeadOutRow = i == tracks.size();
        const bool bData = bLeadOutRow ? !tracks.empty() && tracks.back().bData : tracks[i].bData;
        d[1] = uint8_t(0x10 | (bData ? LCDTOC::kControlData : 0)); // ADR 1: position
        d[2] = bLeadOutRow ? 0xAA : uint8_t(tracks[i].iNumber);
        Put32(d + 4, bLeadOutRow ? uLeadOut : tracks[i].uStart);
    }
    LSCSIReply r;
    r.bSent = true;
    r.uStatus = 0;
    r.uReceived = std::min(uDataLen, 4 + uDescriptors * 8);
    std::memcpy(pData, a, r.uReceived);
    return r;
}

LSCSIReply LCDROMSimDrive::ReadCD(uint32_t uLba, uint32_t uCount, uint8_t* pData)
{
    LSCSIReply r;
    r.bSent = true;
    r.uStatus = 0;
    uint32_t uGood = uCount;
    bool bFail = false;
    for (uint32_t i = 0; i < uCount && uGood == uCount; ++i) {
        const uint32_t s = uLba + i;
        if (std::find(fails.begin(), fails.end(), s) != fails.end()) {
            uGood = i;
            bFail = true;
        } else if (std::find(shorts.begin(), shorts.end(), s) != shorts.end()) {
            uGood = i;
        }
    }
    const int64_t iBytes = int64_t(uGood) * 2352;
    std::memset(pData, 0, size_t(iBytes));
    if (image.IsOpen())
        image.ReadAt(pData, iBytes, int64_t(uLba) * 2352);
    for (auto& [s, uLeft] : flaky)
        if (uLeft && s >= uLba && s - uLba < uGood) {
            --uLeft;
            pData[size_t(s - uLba) * 2352] ^= uint8_t(1 + uReads++ % 255);
        }
    if (bFail) {
        LSCSIReply c = CheckCondition(kMediumError, kAscUnrecoveredRead);
        c.uReceived = uint32_t(iBytes);
        return c;
    }
    r.uReceived = uint32_t(iBytes);
    return r;
}
