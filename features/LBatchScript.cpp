#include "features/LBatchScript.h"

#include "effects/LCLAConvertRateChannels.h"
#include "effects/LSRCCompressor.h"
#include "features/LBatchStream.h"
#include "platform/LFile.h"
#include "platform/LSettings.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

const char* const kBatchVersionError = "This file does not have the same version with the current "
                                       "Orvenna version or it is corrupted.";

namespace {
using B = LBatchCommand;

int ConvertChannels(LProgressDialog& dlg, LEffectRun& r)
{
    LCLAConvertRateChannels data { r.pDoc, r.pDoc->GetSampleRate(),
        int(r.values.Get("ConvertChannel")) };
    return ProcessBody(dlg, data);
}

// Effects only scripts name: the main window converts channels by two
// commands without a dialog of values.
const std::vector<LEffect>& ScriptEffects()
{
    static const std::vector<LEffect> effects = {
        { "Convert Channels", "Convert Channels",
            { { "ConvertChannel", "Channels:", 1, 2, 1, "",
                "The channel count must be 1 (mono) or 2 (stereo)." } },
            ConvertChannels },
    };
    return effects;
}

std::vector<LBatchCommand> MakeCommands()
{
    const LBatchParam silence { "SilenceTimes", 4, true, "SilenceTimes", 0 };
    const char* const kSilenceText = "Silence Time (ms) = %d";
    const char* const kCurveText = "Click on Settings to view or change.";
    return {
        { 0, "Auto Trim", 0, {}, nullptr },
        { 1, "Insert Silence At The Start", 4, { silence }, kSilenceText, nullptr, "Insert Silence",
            B::kAtStart, &kStreamSilence },
        { 2, "Insert Silence At The End", 4, { silence }, kSilenceText, nullptr, "Insert Silence",
            B::kAtEnd, &kStreamSilence },
        { 3, "Amplify", 2, { { "AmplifyGain", 2, false, "AmplifyGain", 100 } },
            "Amplify Gain (%%) = %d", nullptr, nullptr, B::kWhole, &kStreamAmplify },
        { 4, "Normalize", 2, { { "NormalizePeakLevel", 2, false, "NormalizePeakLevel", 100 } },
            "Normalize Peak Level (%%) = %d" },
        { 5, "High-Pass Filter", 4, { { "LowCutFreq", 4, true, "LowCutFreq", 250 } },
            "Frequency (Hz) = %d", nullptr, nullptr, B::kWhole, &kStreamEffect },
        { 6, "Equalizer", 129, {}, kCurveText, "equalizer.dat", nullptr, B::kWhole,
            &kStreamEffect },
        { 7, "Echo", 6,
            { { "EchoTime", 4, true, "EchoTime", 800 }, { "EchoGain", 2, false, "EchoGain", 50 } },
            "Echo Time (ms) = %d, Echo Gain (%%) = %d", nullptr, nullptr, B::kWhole,
            &kStreamEffect },
        { 8, "Reverb", 6,
            { { "ReverbTime", 4, true, "ReverbTime", 50 },
                { "ReverbLevel", 2, false, "ReverbLevel", 100 } },
            "Reverb Time (ms) = %d, Reverb Level (%%) = %d", nullptr, nullptr, B::kWhole,
            &kStreamEffect },
        { 9, "Envelope", 129, {}, kCurveText, "envelope.dat" },
        { 10, "Automatic Gain Control", 0, {}, nullptr },
        { 11, "Noise Reduction", 1, { { "NoiseGateLevel", 1, true, "NoiseGateLevel", -30 } },
            "Noise Gate Level (dB) = %d" },
        { 12, "Simple Speed and Pitch Change", 2,
            { { "SpSpeedPitch", 2, false, "SpSpeedPitch", 100 } }, "Speed/Pitch Adjust (%%) = %d",
            nullptr, nullptr, B::kWhole, &kStreamSpeed },
        { 13, "Constant Pitch and Speed Change", 2,
            { { "ConstPitchSpeed", 2, false, "ConstPitchSpeed", 100 } }, "Speed Adjust (%%) = %d",
            nullptr, nullptr, B::kWhole, &kStreamSpeed },
        { 14, "Constant Speed and Pitch Change", 2,
            { { "ConstSpeedPitch", 2, false, "ConstSpeedPitch", 100 } }, "Pitch Adjust (%%) = %d",
            nullptr, nullptr, B::kWhole, &kStreamSpeed },
        { 15, "Dynamic Range Compressor", 3,
            { { "CompressorThreshold", 1, true, "CompressorThreshold", -20 },
                { "CompressorRatio", 1, false, "CompressorRatio", 0,
                    int32_t(CompressorRatioList().size()) - 1 },
                { "CompressorLimit", 1, true, "CompressorLimit", 3 } },
            "Threshold (db) = %d, Ratio = %s, Limit (db) = %d" },
        { 16, "Convert Sample Rate", 4, { { "SampleRate", 4, false, "ConvertSampleRate", 44100 } },
            "Convert Sample Rate = %d", nullptr, nullptr, B::kWhole, &kStreamConvert },
        { 17, "Convert Channels (Mono <-> Stereo)", 1,
            { { "ConvertChannel", 1, false, "ConvertChannel", 1 } }, "Convert Channel = %d",
            nullptr, "Convert Channels", B::kWhole, &kStreamConvert },
    };
}

int32_t ReadLittle(const uint8_t* p, const LBatchParam& param)
{
    uint32_t u = 0;
    for (unsigned i = 0; i < param.uWidth; ++i)
        u |= uint32_t(p[i]) << (8 * i);
    const unsigned uBits = 8u * param.uWidth;
    if (param.bSigned && uBits < 32 && (u >> (uBits - 1)) != 0)
        u |= ~0u << uBits; // sign-extend
    return int32_t(u);
}

bool HasData(const LBatchCommand& c, const CommandDataItem& item)
{
    return c.uDataSize > 0 && item.GetDataSize() >= c.uDataSize;
}

// The values the command runs with: from its data when that holds the
// table's size, each from its stored setting otherwise.
std::vector<int32_t> ReadParams(const LBatchCommand& c, const CommandDataItem& item)
{
    std::vector<int32_t> values;
    const bool bData = HasData(c, item);
    size_t iOffset = 0;
    for (const LBatchParam& p : c.params) {
        values.push_back(bData
                ? ReadLittle(item.data.data() + iOffset, p)
                : LSettings::Get().GetInt("StoredValues", p.szStoredKey, p.iDefault));
        iOffset += p.uWidth;
    }
    return values;
}

// A count byte then two bytes per point; more than the list holds is cut.
PointList CurveFromBytes(const uint8_t* p, size_t iSize)
{
    PointList list;
    if (iSize == 0)
        return list;
    const size_t n = std::min<size_t>({ p[0], PointList::POINTLISTMAX, (iSize - 1) / 2 });
    for (size_t i = 0; i < n; ++i)
        list.aPoints[i] = { p[1 + 2 * i], p[2 + 2 * i] };
    list.nPoints = uint8_t(n);
    return list;
}

PointList ReadCurve(const LBatchCommand& c, const CommandDataItem& item)
{
    PointList list;
    if (HasData(c, item))
        list = CurveFromBytes(item.data.data(), item.data.size());
    else
        list.Load(PointList::CurvePath(c.szCurveFile));
    return list.nPoints ? list : PointList::Flat();
}

bool CheckRanges(
    const LBatchCommand& c, const LEffect& e, const LDialogValues& v, std::string& strError)
{
    for (const LValueField& f : e.form) {
        const int32_t i = v.Get(f.szKey, f.iDefault);
        if (!v.Has(f.szKey) || (i >= f.iMin && i <= f.iMax))
            continue;
        strError = std::string("\"") + c.szName + "\": "
            + (f.szRefusal ? std::string(f.szRefusal)
                           : std::string(f.szKey) + " must be between " + std::to_string(f.iMin)
                        + " and " + std::to_string(f.iMax) + " (it is " + std::to_string(i) + ").");
        return false;
    }
    return true;
}
} // namespace

bool GetCommandDataItemData(const CommandDataItem& item, void* pOut, uint32_t uBytes)
{
    if (item.GetDataSize() < uBytes)
        return false;
    if (uBytes)
        std::memcpy(pOut, item.data.data(), uBytes);
    return true;
}

const std::vector<LBatchCommand>& LBatchCommands::All()
{
    static const std::vector<LBatchCommand> commands = MakeCommands();
    return commands;
}

const LBatchCommand* LBatchCommands::Find(uint32_t uId)
{
    const auto& all = All();
    return uId < all.size() ? &all[uId] : nullptr;
}

const LBatchCommand* LBatchCommands::FindByName(const std::string& strName)
{
    for (const LBatchCommand& c : All())
        if (strcasecmp(c.szName, strName.c_str()) == 0)
            return &c;
    return nullptr;
}

const LEffect* LBatchCommands::FindEffect(const LBatchCommand& command)
{
    for (const LEffect& e : GetEffects())
        if (e.iBatchId >= 0 && uint32_t(e.iBatchId) == command.uId)
            return &e;
    if (!command.szEffect)
        return nullptr;
    if (const LEffect* p = ::FindEffect(command.szEffect))
        return p;
    for (const LEffect& e : ScriptEffects())
        if (strcasecmp(e.szName, command.szEffect) == 0)
            return &e;
    return nullptr;
}

bool LBatchCommands::Resolve(const CommandDataItem& item, LBatchStep& step, std::string& strError)
{
    step = {};
    step.pCommand = Find(item.uCommandId);
    if (!step.pCommand) {
        strError = "Unknown command (id " + std::to_string(item.uCommandId) + ")";
        return false;
    }
    const LBatchCommand& c = *step.pCommand;
    step.pEffect = FindEffect(c);
    if (!step.pEffect) {
        strError = std::string("\"") + c.szName + "\" is not available in this version of Orvenna.";
        return false;
    }
    const std::vector<int32_t> values = ReadParams(c, item);
    bool bIgnored = false;
    for (size_t i = 0; i < values.size(); ++i) {
        step.values.Set(c.params[i].szKey, values[i]);
        bIgnored = bIgnored || values[i] > c.params[i].iIgnoredAbove;
    }
    step.values.pForm = &step.pEffect->form;
    if (c.szCurveFile) {
        step.curve = ReadCurve(c, item);
        step.values.curve = step.curve;
    }
    return bIgnored || CheckRanges(c, *step.pEffect, step.values, strError);
}

std::vector<std::pair<std::string, int32_t>> LBatchCommands::Values(const CommandDataItem& item)
{
    std::vector<std::pair<std::string, int32_t>> pairs;
    if (const LBatchCommand* c = Find(item.uCommandId)) {
        const std::vector<int32_t> values = ReadParams(*c, item);
        for (size_t i = 0; i < values.size(); ++i)
            pairs.emplace_back(c->params[i].szKey, values[i]);
    }
    return pairs;
}

PointList LBatchCommands::Curve(const CommandDataItem& item)
{
    const LBatchCommand* c = Find(item.uCommandId);
    return c && c->szCurveFile ? ReadCurve(*c, item) : PointList::Flat();
}

void LBatchCommands::MakeCurveData(
    const LBatchCommand& c, const PointList& curve, CommandDataItem& item)
{
    item = {};
    item.uCommandId = c.uId;
    item.SetDataSize(c.uDataSize);
    const size_t n
        = std::min<size_t>({ curve.nPoints, PointList::POINTLISTMAX, (item.data.size() - 1) / 2 });
    item.data[0] = uint8_t(n);
    for (size_t i = 0; i < n; ++i) {
        item.data[1 + 2 * i] = curve.aPoints[i].x;
        item.data[2 + 2 * i] = curve.aPoints[i].y;
    }
}

std::string LBatchCommands::Describe(const CommandDataItem& item)
{
    const LBatchCommand* c = Find(item.uCommandId);
    if (!c)
        return "Unknown command (id " + std::to_string(item.uCommandId) + ")";
    if (!c->szDescription)
        return "";
    const std::vector<int32_t> values = ReadParams(*c, item);
    std::string strText;
    size_t iNext = 0;
    for (const char* p = c->szDescription; *p; ++p) {
        if (*p != '%' || !p[1]) {
            strText += *p;
            continue;
        }
        const char cKind = *++p;
        if (cKind == '%') {
            strText += '%';
        } else if (iNext < values.size()) {
            const int32_t i = values[iNext++];
            if (cKind == 's')
                strText += (i >= 0 && size_t(i) < CompressorRatioList().size())
                    ? CompressorRatioList()[size_t(i)].szName
                    : "";
            else
                strText += std::to_string(i);
        }
    }
    return strText;
}

bool LBatchCommands::MakeData(const LBatchCommand& c,
    const std::vector<std::pair<std::string, int32_t>>& given, CommandDataItem& item,
    std::string& strError)
{
    item = {};
    item.uCommandId = c.uId;
    if (given.empty())
        return true; // no data: the stored settings when it runs
    std::vector<int32_t> values = ReadParams(c, item);
    for (const auto& [strKey, iValue] : given) {
        size_t i = 0;
        while (i < c.params.size() && strcasecmp(c.params[i].szKey, strKey.c_str()) != 0
            && strcasecmp(c.params[i].szStoredKey, strKey.c_str()) != 0)
            ++i;
        if (i == c.params.size()) {
            std::string strKnown;
            for (const LBatchParam& p : c.params)
                strKnown += std::string(" ") + p.szKey;
            strError = std::string("\"") + c.szName + "\" has no value \"" + strKey
                + "\" (it has:" + (strKnown.empty() ? " none" : strKnown) + ")";
            return false;
        }
        values[i] = iValue;
    }
    item.SetDataSize(c.uDataSize);
    size_t iOffset = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        for (unsigned b = 0; b < c.params[i].uWidth; ++b)
            item.data[iOffset + b] = uint8_t(uint32_t(values[i]) >> (8 * b));
        iOffset += c.params[i].uWidth;
    }
    return true;
}

int ParseBatchScript(
    const std::vector<uint8_t>& bytes, std::vector<CommandDataItem>& items, std::string& strError)
{
    items.clear();
    if (bytes.empty() || bytes[0] != 0) {
        strError = kBatchVersionError;
        return 2;
    }
    auto u32 = [&bytes](size_t i) {
        return uint32_t(bytes[i]) | uint32_t(bytes[i + 1]) << 8 | uint32_t(bytes[i + 2]) << 16
            | uint32_t(bytes[i + 3]) << 24;
    };
    size_t iPos = 1;
    while (bytes.size() - iPos >= 8) {
        CommandDataItem item;
        item.uCommandId = u32(iPos);
        const uint32_t uSize = u32(iPos + 4);
        iPos += 8;
        // A size beyond the end is a record cut short: dropped, never allocated.
        if (uSize > bytes.size() - iPos)
            break;
        item.data.assign(
            bytes.begin() + std::ptrdiff_t(iPos), bytes.begin() + std::ptrdiff_t(iPos + uSize));
        iPos += uSize;
        items.push_back(std::move(item));
    }
    return 0;
}

int ReadBatchScript(
    const std::string& strPath, std::vector<CommandDataItem>& items, std::string& strError)
{
    LFile file;
    if (!file.Open(strPath, LFile::Mode::Read)) {
        strError = "Orvenna cannot open this file. The file does not exist or may be corrupted.";
        return 2;
    }
    std::vector<uint8_t> bytes(size_t(std::max<int64_t>(file.GetFileSizeBytes(), 0)));
    if (file.Read(bytes.data(), int64_t(bytes.size())) != int64_t(bytes.size())) {
        strError = "Orvenna cannot open this file. The file does not exist or may be corrupted.";
        return 2;
    }
    return ParseBatchScript(bytes, items, strError);
}

std::vector<uint8_t> FormatBatchScript(const std::vector<CommandDataItem>& items)
{
    std::vector<uint8_t> bytes { 0 };
    auto put = [&bytes](uint32_t u) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(uint8_t(u >> (8 * i)));
    };
    for (const CommandDataItem& item : items) {
        put(item.uCommandId);
        put(item.GetDataSize());
        bytes.insert(bytes.end(), item.data.begin(), item.data.end());
    }
    return bytes;
}

bool WriteBatchScript(
    const std::string& strPath, const std::vector<CommandDataItem>& items, std::string& strError)
{
    const std::vector<uint8_t> bytes = FormatBatchScript(items);
    LFile file;
    if (!file.Open(strPath, LFile::Mode::CreateWrite)
        || file.Write(bytes.data(), int64_t(bytes.size())) != int64_t(bytes.size())
        || !file.Close()) {
        strError = "Orvenna cannot open this file. The file does not exist or may be corrupted.";
        return false;
    }
    return true;
}
