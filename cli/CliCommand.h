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

// Prints "orvenna-cli: <text>" on stderr and returns kExitFailed.
int CliFail(const std::string& strText);

int CliInfo(const std::vector<std::string>& args);
int CliConvert(const std::vector<std::string>& args);
int CliEdit(const std::vector<std::string>& args);
int CliPlay(const std::vector<std::string>& args);
int CliDevices(const std::vector<std::string>& args);
int CliEffects(const std::vector<std::string>& args);
