#pragma once

#include "support/TestSupport.h"

#include <string>
#include <vector>

// sox as the judge of the files the command line writes and the maker of its
// inputs.
namespace Sox {

// A 16-bit file of "synth" followed by args (e.g. { "1", "sine", "440" }).
inline std::string Synth(const TestSupport::TempDir& dir, const std::string& strName,
    const char* szRate, const char* szChannels, std::vector<std::string> args)
{
    const std::string strPath = dir.File(strName);
    args.insert(args.begin(),
        { "sox", "-n", "-r", szRate, "-c", szChannels, "-b", "16", strPath, "synth" });
    return TestSupport::Run(args) == 0 ? strPath : "";
}

// A half-scale 440 Hz tone, 44.1 kHz stereo.
inline std::string Tone(
    const TestSupport::TempDir& dir, const std::string& strName, const char* szSeconds = "5")
{
    return Synth(dir, strName, "44100", "2", { szSeconds, "sine", "440", "vol", "0.5" });
}

// A value of sox's stat report ("Length (seconds)", "Maximum amplitude" ...)
// after the effects in args (e.g. a trim), -1 when missing.
inline double Stat(
    const std::string& strPath, const std::string& strKey, std::vector<std::string> args = {})
{
    std::string strOut;
    args.insert(args.begin(), { "sox", strPath, "-n" });
    args.push_back("stat");
    TestSupport::Run(args, &strOut);
    const size_t at = strOut.find(strKey);
    return at == std::string::npos ? -1 : std::stod(strOut.substr(strOut.find(':', at) + 1));
}

// The samples as sox decodes them, in the file's own encoding.
inline std::string Raw(const std::string& strPath)
{
    std::string strOut;
    TestSupport::Run({ "sox", strPath, "-t", "raw", "-" }, &strOut);
    return strOut;
}

// soxi's answer to one flag ("-r", "-c" ...), with its line end.
inline std::string Info(const std::string& strFlag, const std::string& strPath)
{
    std::string strOut;
    TestSupport::Run({ "soxi", strFlag, strPath }, &strOut);
    return strOut;
}

} // namespace Sox
