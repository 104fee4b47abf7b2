#pragma once

#include "engine/MainDialog.h"
#include "platform/LSettings.h"
#include "services/LOutsideCommands.h"
#include "support/AudioTestSupport.h"
#include "support/TestSupport.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

// A main window without windows: questions answered from a queue, every
// question, message and web page recorded.
class ServicesUi : public MainDialogUi, public LOutsideProgramsUi {
public:
    std::deque<Answer> answers;
    std::vector<std::string> questions, captions, messages, pages;
    std::string strSaveFile;

    Answer AskYesNoCancel(const std::string& s, Icon) override { return Ask(s, "Orvenna"); }
    Answer AskQuestion(const std::string& s, const std::string& strCaption) override
    {
        return Ask(s, strCaption);
    }
    void OpenWebPage(const std::string& strUrl) override { pages.push_back(strUrl); }
    std::vector<std::string> ChooseOpenFiles(const std::string&, std::string&) override
    {
        return {};
    }
    std::string ChooseSaveFile(const std::string&, std::string&) override { return strSaveFile; }
    bool AskDialog(const std::string&, LDialogValues&) override { return true; }
    bool AskFileProperties(LHeaderlessSettings&) override { return true; }
    bool ChooseWaveFormat(LWaveFormat& f, int iChannels, const std::string&) override
    {
        f = LWaveFormat::Pcm(uint16_t(iChannels ? iChannels : 1), 8000, 16);
        return true;
    }
    bool AskMp3Settings(LMp3EncoderSettings&) override { return true; }
    void ShowMessage(const std::string& s, const std::string&, Icon) override
    {
        messages.push_back(s);
    }

private:
    Answer Ask(const std::string& s, const std::string& strCaption)
    {
        questions.push_back(s);
        captions.push_back(strCaption);
        if (answers.empty())
            return Answer::Cancel;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

class NoPlayback : public LPlaybackControl {
public:
    void Stop() override { }
    void Play(LOVFile&, int32_t) override { }
};

// The editor's controller with the outside program commands.
struct Editor {
    ServicesUi ui;
    NoPlayback playback;
    MainDialog main { ui, playback };
    LOutsideCommands outside { main, ui };
};

// An executable shell script standing in for an outside program.
inline std::string FakeProgram(
    const TestSupport::TempDir& dir, const std::string& strName, const std::string& strBody)
{
    const std::string strPath = dir.File(strName);
    std::ofstream(strPath) << "#!/bin/sh\nPATH=/usr/bin:/bin\n" << strBody << "\n";
    chmod(strPath.c_str(), 0755);
    return strPath;
}

// The lines of a text file.
inline std::vector<std::string> Lines(const std::string& strPath)
{
    std::vector<std::string> v;
    std::ifstream in(strPath);
    for (std::string s; std::getline(in, s);)
        v.push_back(s);
    return v;
}

// Whether the process of a pid file still runs (a zombie counts as ended).
inline bool Running(const std::string& strPidFile)
{
    std::vector<std::string> v = Lines(strPidFile);
    if (v.empty())
        return false;
    std::ifstream stat("/proc/" + v[0] + "/stat");
    std::string strPid, strName, strState;
    return stat >> strPid >> strName >> strState && strState != "Z";
}

// Sets PATH for the life of the object.
class ScopedPath {
public:
    explicit ScopedPath(const std::string& strPath)
        : strOld(getenv("PATH") ? getenv("PATH") : "")
    {
        setenv("PATH", strPath.c_str(), 1);
    }
    ~ScopedPath() { setenv("PATH", strOld.c_str(), 1); }

private:
    std::string strOld;
};
