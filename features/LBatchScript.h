#pragma once

#include "effects/LDialogValues.h"
#include "effects/LEffectTable.h"
#include "effects/PointList.h"

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

// One command of a batch script with the bytes of its parameters, as the
// script file keeps them. Plain data; any thread.
struct CommandDataItem {
    uint32_t uCommandId = 0;
    std::vector<uint8_t> data; // empty: the command takes the stored settings

    uint32_t GetDataSize() const { return uint32_t(data.size()); }
    // Replaces the data by a zeroed buffer of the given size.
    void SetDataSize(uint32_t uSize) { data.assign(uSize, 0); }
};

// A parameter's bytes are read only when the data holds at least uBytes;
// false otherwise (the caller takes the stored setting).
bool GetCommandDataItemData(const CommandDataItem& item, void* pOut, uint32_t uBytes);

struct LBatchStreamer;

// One parameter of a batch command: where its value goes in the effect's
// values, its width in the data, and the stored setting it falls back to.
struct LBatchParam {
    const char* szKey; // the effect's value name
    uint8_t uWidth; // 1, 2 or 4 bytes, little-endian
    bool bSigned;
    const char* szStoredKey; // "StoredValues" key read when the data is short
    int32_t iDefault;
    // Above it the effect does nothing with the command (a ratio index past
    // the list), so such a value is let through rather than refused.
    int32_t iIgnoredAbove = INT32_MAX;
};

// One command of the batch command table. Which effect runs it comes from
// the effect table (the row carrying this batch id); szEffect names the row
// for the commands that run an effect at a chosen place instead.
struct LBatchCommand {
    enum Where { kWhole, kAtStart, kAtEnd };
    uint32_t uId;
    const char* szName; // as the lists and "script make" name it
    uint32_t uDataSize; // the size the data has when set
    std::vector<LBatchParam> params;
    const char* szDescription; // %d per parameter, %s for a ratio name; null for none
    const char* szCurveFile = nullptr; // a curve command's stored curve in "Current"
    const char* szEffect = nullptr;
    Where eWhere = kWhole;
    // How it runs in a chain from the reader to the writer; null for a
    // command that needs the whole audio (it runs on a document).
    const LBatchStreamer* pStream = nullptr;
};

// One command resolved for a run: its effect and the values it runs with.
struct LBatchStep {
    const LBatchCommand* pCommand = nullptr;
    const LEffect* pEffect = nullptr;
    LDialogValues values;
    PointList curve;
};

class LBatchCommands {
public:
    // The table, in id order (ids 0 to 17).
    static const std::vector<LBatchCommand>& All();
    static const LBatchCommand* Find(uint32_t uId);
    // Names compared without regard to case.
    static const LBatchCommand* FindByName(const std::string& strName);
    // The effect a command runs, null when this program has none for it.
    static const LEffect* FindEffect(const LBatchCommand& command);
    // The item's values from its data, or from the stored settings when the
    // data is shorter than the table's size; checked against the effect's
    // own ranges. False with the reason when the command cannot run.
    static bool Resolve(const CommandDataItem& item, LBatchStep& step, std::string& strError);
    // The values the command would run with, by the effect's value names,
    // without checking them (what a settings dialog opens on).
    static std::vector<std::pair<std::string, int32_t>> Values(const CommandDataItem& item);
    // The curve a curve command runs with: its data's, or its curve file's.
    static PointList Curve(const CommandDataItem& item);
    // The data of a curve command holding the curve (the table's size).
    static void MakeCurveData(
        const LBatchCommand& command, const PointList& curve, CommandDataItem& item);
    // The "Settings" column text, from the values the run would take.
    static std::string Describe(const CommandDataItem& item);
    // The data of the command with the given values (stored settings for the
    // ones not given); false with the reason for a name it does not have.
    static bool MakeData(const LBatchCommand& command,
        const std::vector<std::pair<std::string, int32_t>>& values, CommandDataItem& item,
        std::string& strError);
};

// The ".ovb" file: a version byte 0, then per command its id, its data size
// (both 32-bit little-endian) and the data. A record cut short at the end is
// dropped. 0 read, 2 refused (strError says why).
int ParseBatchScript(
    const std::vector<uint8_t>& bytes, std::vector<CommandDataItem>& items, std::string& strError);
int ReadBatchScript(
    const std::string& strPath, std::vector<CommandDataItem>& items, std::string& strError);
std::vector<uint8_t> FormatBatchScript(const std::vector<CommandDataItem>& items);
// False when the file cannot be written (strError says why).
bool WriteBatchScript(
    const std::string& strPath, const std::vector<CommandDataItem>& items, std::string& strError);

extern const char* const kBatchVersionError;
