#pragma once

#include <cstdint>
#include <string>
#include <utility>
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

// Why a source opened in error: its reader's reason, or not a supported audio file.
class LSoundSourceBase;
std::string CliReadError(const LSoundSourceBase& source);

int CliInfo(const std::vector<std::string>& args);
int CliConvert(const std::vector<std::string>& args);
int CliEdit(const std::vector<std::string>& args);
int CliPlay(const std::vector<std::string>& args);
int CliRecord(const std::vector<std::string>& args);
int CliDevices(const std::vector<std::string>& args);
int CliFormats(const std::vector<std::string>& args);
int CliProject(const std::vector<std::string>& args);
int CliAssemble(const std::vector<std::string>& args);
int CliBookmarks(const std::vector<std::string>& args);
// The bookmarks of an audio file's ".obm", as info lists them (nothing
// when it has none).
void CliPrintFileBookmarks(const std::string& strAudioPath);
int CliRecover(const std::vector<std::string>& args);

extern const char* const kConvertUsage;
int CliEffects(const std::vector<std::string>& args);
int CliSpectrum(const std::vector<std::string>& args);
int CliKeys(const std::vector<std::string>& args);
int CliCd(const std::vector<std::string>& args);

// The editor's commands as orvenna-cli edit runs them.
class LCommandTable;
const LCommandTable& CliCommandTable();

// The words of a step as the shell gave it in one argument.
std::vector<std::string> CliWords(const std::string& strText);
// The key=value answers after the command's name (words from iFrom on);
// file=PATH goes to strFile, points=x:y,... to *pPoints when given. False
// with the reason for a malformed one.
bool CliParseAnswers(const std::vector<std::string>& words, size_t iFrom,
    const std::string& strText, std::vector<std::pair<std::string, int32_t>>& values,
    std::string& strFile, std::string& strError, std::string* pPoints = nullptr);

int CliBatch(const std::vector<std::string>& args);
int CliVoices(const std::vector<std::string>& args);
int CliSpeak(const std::vector<std::string>& args);
int CliScript(const std::vector<std::string>& args);
