#pragma once

#include "engine/MainDialog.h"
#include "platform/LSettings.h"
#include "services/LOutsideCommands.h"
#include "support/ScriptedUi.h"

#include <fstream>
#include <sys/stat.h>

// The scripted windows with the outside programs' question and web pages.
class ServicesUi : public ScriptedUi, public LOutsideProgramsUi {
public:
    ServicesUi() { bAcceptDialogs = true; }
    Answer AskQuestion(const std::string& s, const std::string& strCaption) override
    {
        captions.push_back(strCaption);
        return AskYesNoCancel(s, Icon::Question);
    }
    void OpenWebPage(const std::string& strUrl) override { pages.push_back(strUrl); }
    std::vector<std::string> captions, pages;
};

// The editor's controller with the outside program commands.
struct Editor {
    ServicesUi ui;
    LNoPlayback playback;
    MainDialog main { ui, playback };
    LOutsideCommands outside { main, ui };
};

// A shell script standing in for an outside program; "args \"$@\" > $LOG"
// writes its arguments to a file, one a line.
inline std::string FakeProgram(
    const TestSupport::TempDir& dir, const std::string& strName, const std::string& strBody)
{
    const std::string strPath = dir.File(strName);
    std::ofstream(strPath) << "#!/bin/sh\nPATH=/usr/bin:/bin\nLOG='" << dir.File("args.txt")
                           << "'\nargs() { for a in \"$@\"; do printf '%s\\n' \"$a\"; done; }\n"
                           << strBody << "\n";
    chmod(strPath.c_str(), 0755);
    return strPath;
}

inline std::vector<std::string> Lines(const std::string& strPath)
{
    std::vector<std::string> v;
    std::ifstream in(strPath);
    for (std::string s; std::getline(in, s);)
        v.push_back(s);
    return v;
}

// Whether the process of a pid file still runs (a zombie has ended).
inline bool Running(const std::string& strPidFile)
{
    std::vector<std::string> v = Lines(strPidFile);
    std::ifstream stat("/proc/" + (v.empty() ? "0" : v[0]) + "/stat");
    std::string strPid, strName, strState;
    return stat >> strPid >> strName >> strState && strState != "Z";
}

// PATH with the folder first (or only), for the life of the object.
struct ScopedPath {
    std::string strOld = getenv("PATH");
    ScopedPath(const std::string& strFolder, bool bOnly = false)
    {
        setenv("PATH", (bOnly ? strFolder : strFolder + ":" + strOld).c_str(), 1);
    }
    ~ScopedPath() { setenv("PATH", strOld.c_str(), 1); }
};
