#pragma once

#include <string>

// What the bookmark, region and project commands need from the editor's
// windows beyond MainDialogUi: a line of text, the list windows and the
// caption. The editor implements it with widgets; tests and the command
// line with scripted answers.
class ProjectDialogUi {
public:
    virtual ~ProjectDialogUi() = default;
    // The text entry dialog: false on Cancel; strText holds the offer.
    virtual bool AskText(const std::string& strCaption, std::string& strText) = 0;
    // The bookmark or region list changed: the list windows refill.
    virtual void ListsChanged() { }
    // The project path changed ("" when none): the caption follows.
    virtual void ProjectChanged(const std::string& strPath) { }
    virtual void OpenBookMarkWindow() { }
    virtual void OpenRegionWindow() { }
    // The assembly dialog over these region indices of the region list.
    virtual void OpenAssembly() { }
};
