#pragma once

#include "support/TestSupport.h"

#include <cstdlib>
#include <string>
#include <vector>

// Runs orvenna-cli with its settings in dir and its data (the audio working
// folder) under strData; stdout and stderr go to pOut.
inline int CliWithData(const TestSupport::TempDir& dir, const std::string& strData,
    std::vector<std::string> args, std::string* pOut = nullptr)
{
    setenv("ORVENNA_CONFIG_DIR", dir.Path().c_str(), 1);
    setenv("XDG_DATA_HOME", strData.c_str(), 1);
    args.insert(args.begin(), ORVENNA_CLI_PATH);
    return TestSupport::Run(args, pOut);
}

// The same with its data in dir too.
inline int Cli(
    const TestSupport::TempDir& dir, std::vector<std::string> args, std::string* pOut = nullptr)
{
    return CliWithData(dir, dir.Path(), std::move(args), pOut);
}
