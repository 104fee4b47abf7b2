#include "cli/CliCommand.h"
#include "engine/LFileFormats.h"
#include "engine/LHeaderlessFormat.h"
#include "engine/LOVSaveToSink.h"
#include "engine/LOpenSource.h"
#include "engine/LWavCodecs.h"

#include <cctype>
#include <cstdlib>
#include <iterator>
#include <optional>

namespace {
// What the options of convert chose; unset parts keep the stored settings.
struct ConvertOptions {
    int32_t iRate = 0; // 0 = the input's
    int iChannels = 0;
    std::string strWavFormat;
    std::optional<LHeaderlessSettings> headerless;
    std::optional<LMp3EncoderSettings> mp3;
    bool bConstant = false; // --mp3-bitrate given
    bool bVariable = false; // a --mp3-vbr-* option given
    bool bRawRate = false;
};

bool ToInt(const std::string& s, int lo, int hi, int& iOut)
{
    char* pEnd = nullptr;
    long l = std::strtol(s.c_str(), &pEnd, 10);
    if (s.empty() || *pEnd || l < lo || l > hi)
        return false;
    iOut = int(l);
    return true;
}

bool ToBitRate(const std::string& s, int& iOut)
{
    for (int k : LMp3EncoderSettings::kBitRates)
        if (std::to_string(k) == s)
            return iOut = k, true;
    return false;
}

bool ToOnOff(const std::string& s, bool& bOut)
{
    if (s != "on" && s != "off")
        return false;
    bOut = s == "on";
    return true;
}

LHeaderlessSettings& Raw(ConvertOptions& o)
{
    return o.headerless ? *o.headerless : o.headerless.emplace(LHeaderlessFormat::Load());
}
LMp3EncoderSettings& Mp3(ConvertOptions& o)
{
    return o.mp3 ? *o.mp3 : o.mp3.emplace(LMp3EncoderSettings::Load());
}

// One option with a value: false when the value is not accepted.
struct Option {
    const char* szName;
    const char* szAccepts; // shown with a refused value
    bool (*fnTake)(ConvertOptions& o, const std::string& strValue);
};

const Option kOptions[] = {
    { "--rate", "6000..96000",
        [](ConvertOptions& o, const std::string& s) { return ToInt(s, 6000, 96000, o.iRate); } },
    { "--channels", "1 or 2",
        [](ConvertOptions& o, const std::string& s) { return ToInt(s, 1, 2, o.iChannels); } },
    { "--wav-format", "a name listed by orvenna-cli formats",
        [](ConvertOptions& o, const std::string& s) {
            for (const LWavCodec& c : LWavCodecs::List())
                if (c.strName == s)
                    return o.strWavFormat = s, true;
            return false;
        } },
    { "--raw-format", "0..6, listed by orvenna-cli formats",
        [](ConvertOptions& o, const std::string& s) {
            return ToInt(s, 0, LHeaderlessFormat::kCount - 1, Raw(o).iFormat);
        } },
    { "--raw-rate", "6000..96000",
        [](ConvertOptions& o, const std::string& s) {
            return o.bRawRate = true, ToInt(s, 6000, 96000, Raw(o).iRate);
        } },
    { "--raw-channels", "1 or 2",
        [](ConvertOptions& o, const std::string& s) { return ToInt(s, 1, 2, Raw(o).iChannels); } },
    { "--mp3-bitrate",
        "8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 192, 224, 256 or 320",
        [](ConvertOptions& o, const std::string& s) {
            o.bConstant = Mp3(o).bConstantBitRate = true;
            return ToBitRate(s, Mp3(o).iCBRBitRate);
        } },
    { "--mp3-vbr-min", "a bit rate of --mp3-bitrate",
        [](ConvertOptions& o, const std::string& s) {
            o.bVariable = true;
            Mp3(o).bConstantBitRate = false;
            return ToBitRate(s, Mp3(o).iVBRMinBitRate);
        } },
    { "--mp3-vbr-max", "a bit rate of --mp3-bitrate",
        [](ConvertOptions& o, const std::string& s) {
            o.bVariable = true;
            Mp3(o).bConstantBitRate = false;
            return ToBitRate(s, Mp3(o).iVBRMaxBitRate);
        } },
    { "--mp3-vbr-quality", "0..9 (0 best)",
        [](ConvertOptions& o, const std::string& s) {
            o.bVariable = true;
            Mp3(o).bConstantBitRate = false;
            return ToInt(s, 0, 9, Mp3(o).iVBRQuality);
        } },
    { "--mp3-mode", "stereo, joint, force or mono",
        [](ConvertOptions& o, const std::string& s) {
            // The dialog's names in lower case.
            for (int i = 0; i < int(std::size(LMp3EncoderSettings::kModeNames)); ++i) {
                std::string strMode = LMp3EncoderSettings::kModeNames[i];
                strMode[0] = char(std::tolower(strMode[0]));
                if (s == strMode)
                    return Mp3(o).iChannelMode = i, true;
            }
            return false;
        } },
    { "--mp3-high-quality", "on or off",
        [](ConvertOptions& o, const std::string& s) { return ToOnOff(s, Mp3(o).bHighQuality); } },
    { "--mp3-crc", "on or off",
        [](ConvertOptions& o, const std::string& s) {
            return ToOnOff(s, Mp3(o).bErrorProtection);
        } },
};

// Refuses options that do not fit the files' types; "" when they fit.
std::string CheckFit(const ConvertOptions& o, const LFileFormat& in, const LFileFormat& out)
{
    if (!o.strWavFormat.empty() && out.settings != LFormatSettings::WaveFormat)
        return "--wav-format is for .wav output";
    if (o.headerless && !in.NeedsHeaderless() && !out.NeedsHeaderless())
        return "--raw-format, --raw-rate and --raw-channels are for .vox and .raw files";
    // Raw output keeps the input's rate (as the editor does); --rate sets it.
    if (o.bRawRate && !in.NeedsHeaderless() && out.NeedsHeaderless() && o.headerless->iFormat != 0)
        return "--raw-rate sets the rate of .vox output and of headerless input; use --rate for "
               "raw output";
    if (o.mp3 && out.settings != LFormatSettings::Mp3Encoder)
        return "the --mp3-* options are for .mp3 output";
    if (o.bConstant && o.bVariable)
        return "--mp3-bitrate (constant bit rate) and --mp3-vbr-* (variable) exclude each other";
    if (o.mp3 && !o.mp3->bConstantBitRate && o.mp3->iVBRMinBitRate > o.mp3->iVBRMaxBitRate)
        return "--mp3-vbr-min is above --mp3-vbr-max";
    return "";
}

// Saves as Save does, with the options' answers in place of the stored
// settings, and the target replaced only by a complete file.
int Save(SourceHandle hSource, const std::string& strPath, const ConvertOptions& o)
{
    LAcceptingPrompts prompts;
    LOVSaveToSink save;
    save.strPath = strPath;
    save.pPrompts = &prompts;
    save.iRate = o.iRate;
    save.iChannels = o.iChannels;
    save.fixedHeaderless = o.headerless;
    save.fixedMp3 = o.mp3;
    if (!o.strWavFormat.empty()) {
        LWaveFormat format;
        LWavCodecs::FindFormat(o.strWavFormat, o.iRate > 0 ? o.iRate : hSource->GetSampleRate(),
            o.iChannels > 0 ? o.iChannels : hSource->GetChannels(), format);
        save.fixedWavFormat = format;
    }
    save.hStream = std::move(hSource);
    Process<LOVSaveToSink> run("Saving...", save);
    run.Run();
    if (run.GetResult() == 1)
        return kExitCancelled;
    if (run.GetResult() != 0) {
        std::string strWhy = !save.strError.empty() ? save.strError : prompts.strLastMessage;
        return CliFail(strWhy.empty() ? "cannot write \"" + strPath + "\"" : strWhy);
    }
    return kExitOk;
}
} // namespace

const char* const kConvertUsage
    = "convert IN OUT [--rate HZ] [--channels 1|2] [--wav-format NAME]\n"
      "                          [--raw-format N] [--raw-rate HZ] [--raw-channels 1|2]\n"
      "                          [--mp3-bitrate K | --mp3-vbr-min K --mp3-vbr-max K "
      "--mp3-vbr-quality 0..9]\n"
      "                          [--mp3-mode stereo|joint|force|mono] [--mp3-high-quality on|off] "
      "[--mp3-crc on|off]\n"
      "                          load IN, convert it if asked, save it as OUT in the type of its "
      "extension;\n"
      "                          unset values are the editor's stored ones (WAV: 16-bit PCM)";

int CliConvert(const std::vector<std::string>& args)
{
    std::vector<std::string> files;
    ConvertOptions o;
    for (size_t i = 0; i < args.size(); ++i) {
        const Option* pOption = nullptr;
        for (const Option& opt : kOptions)
            if (args[i] == opt.szName)
                pOption = &opt;
        if (!pOption) {
            if (args[i].rfind("--", 0) == 0)
                return CliFail("unknown option " + args[i] + " (see orvenna-cli --help)");
            files.push_back(args[i]);
            continue;
        }
        if (i + 1 >= args.size() || !pOption->fnTake(o, args[i + 1]))
            return CliFail(std::string("bad value for ") + pOption->szName + ": \""
                + (i + 1 < args.size() ? args[i + 1] : "") + "\" (" + pOption->szAccepts + ")");
        ++i;
    }
    if (files.size() != 2)
        return CliFail("usage: orvenna-cli convert IN OUT [options] (see orvenna-cli --help)");
    const LFileFormat* pIn = LFileFormats::FindByPath(files[0]);
    const LFileFormat* pOut = LFileFormats::FindByPath(files[1]);
    if (!pIn)
        return CliFail("cannot read \"" + files[0] + "\": not a supported audio file");
    if (!pOut || !pOut->bWritable)
        return CliFail("cannot write \"" + files[1]
            + "\": not a file type orvenna-cli formats lists as written");
    std::string strMisfit = CheckFit(o, *pIn, *pOut);
    if (!strMisfit.empty())
        return CliFail(strMisfit);
    // Straight from the reader to the writer: a conversion needs no edit store.
    SourceHandle hSource
        = OpenSourceByExtension(files[0], o.headerless ? *o.headerless : LHeaderlessFormat::Load());
    if (hSource->IsError())
        return CliFail("cannot read \"" + files[0] + "\": " + CliReadError(*hSource));
    return Save(std::move(hSource), files[1], o);
}
