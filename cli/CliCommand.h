#pragma once

#include <string>
#include <vector>

// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitCancelled = 1;
constexpr int kExitFailed = 2;

// One subcommand of orvenna-cli: its name, its usage line and its body,
// which gets the arguments after the name.
struct CliCommand {
    const char* szName;
    const char* szUsage;
    int (*fnRun)(const std::vector<std::string>& args);
};

// The table of subcommands (CliCommands.cpp).
const std::vector<CliCommand>& GetCliCommands();

// Prints "orvenna-cli: <text>" on stderr, or the error an operation showed
// instead when there was one, and returns kExitFailed; after Ctrl+C it
// prints nothing and returns kExitCancelled (main says "cancelled").
int CliFail(const std::string& strText);

// Why a source opened in error: too long, or not a supported audio file.
class LSoundSourceBase;
std::string CliReadError(const LSoundSourceBase& source);

int CliInfo(const std::vector<std::string>& args);
int CliConvert(const std::vector<std::string>& args);
int CliEdit(const std::vector<std::string>& args);
int CliPlay(const std::vector<std::string>& args);
int CliRecord(const std::vector<std::string>& args);
int CliDevices(const std::vector<std::string>& args);
int CliFormats(const std::vector<std::string>& args);

extern const char* const kConvertUsage;
int CliEffects(const std::vector<std::string>& args);
