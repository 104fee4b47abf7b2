#pragma once

#include <string>

// The program's data folders. Both are created when missing.
class LFolders {
public:
    // The "Current" data folder: setting Folders\Current, else
    // $XDG_DATA_HOME/Orvenna/Current (~/.local/share when unset).
    static std::string GetCurrentFolder();
    // The audio working folder holding cut and graph files: setting
    // Settings\WorkingFolder, else the Current folder.
    static std::string GetWorkingFolder();
    // $szVar when set and not empty, else $HOME followed by szUnderHome,
    // else "." (the XDG base folder rule).
    static std::string XdgBase(const char* szVar, const char* szUnderHome);
    // Creates the folder and its parents; true when it exists afterwards.
    static bool Ensure(const std::string& strFolder);
};
