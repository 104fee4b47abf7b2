#pragma once

#include "cd/LSCSI.h"
#include "platform/LFile.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// A CD drive simulated from a description file, so that everything but the
// ioctl runs without a drive. Lines ('#' starts a comment; relative paths are
// taken from the description's folder):
//   image FILE          raw CD audio, 2352 bytes a sector from sector 0;
//                       sectors past its end read as zeros
//   track N audio LBA   track N (from 1, in order) starts at sector LBA
//   track N data LBA    a data track
//   leadout LBA
//   fail LBA            a READ CD covering it answers CHECK CONDITION,
//                       medium error, after the sectors before it
//   short LBA           a READ CD covering it answers GOOD but transfers only
//                       the sectors before it
//   flaky LBA N         the first N reads covering it return it altered
//   toc-length N        the READ TOC reply claims this data length
//   delay-ms N          each command takes N ms
// It answers like a real drive (READ TOC format 0 with the lead-out as track
// 0xAA, READ CD) and refuses any command block other than exactly those two
// as this program sends them. Every command block received is appended in
// hex to the file named by ORVENNA_CDROM_SIM_LOG when that is set. Called on
// the thread of the CD operation.
class LCDROMSimDrive : public LSCSITransport {
public:
    struct Track {
        int iNumber = 0;
        bool bData = false;
        uint32_t uStart = 0;
    };

    // Reads the description; false with "file:line: reason".
    bool Load(const std::string& strPath, std::string& strError);
    // The description's text itself; strFolder resolves relative paths.
    bool Parse(const std::string& strText, const std::string& strFolder, std::string& strError);

    LSCSIReply Execute(const uint8_t* pCdb, uint8_t uCdbLen, uint8_t* pData, uint32_t uDataLen,
        uint32_t uTimeoutMs) override;

    const std::vector<Track>& GetTracks() const { return tracks; }
    uint32_t GetLeadOut() const { return uLeadOut; }

private:
    bool ParseLine(
        const std::vector<std::string>& words, const std::string& strFolder, std::string& strError);
    LSCSIReply ReadTOC(uint8_t* pData, uint32_t uDataLen);
    LSCSIReply ReadCD(uint32_t uLba, uint32_t uCount, uint8_t* pData);
    static LSCSIReply CheckCondition(uint8_t uKey, uint8_t uAsc);
    void Log(const uint8_t* pCdb, uint8_t uCdbLen) const;

    std::string strImage;
    LFile image;
    std::vector<Track> tracks;
    uint32_t uLeadOut = 0;
    bool bLeadOut = false;
    std::vector<uint32_t> fails, shorts;
    std::map<uint32_t, uint32_t> flaky; // sector -> altered reads left
    uint32_t uReads = 0;
    int iTocLength = -1;
    uint32_t uDelayMs = 0;
};
