#pragma once

#include <memory>
#include <string>

// What a running operation shows and how the user cancels it. The editor
// window shows a dialog; the command line draws a bar on stderr; tests use a
// silent view. Called on the thread that runs the operation.
class LProgressView {
public:
    virtual ~LProgressView() = default;
    virtual void Open(const std::string& strCaption, void* pOwner) = 0;
    virtual void Close() = 0;
    // Line 0: the operation or item; line 1: the step.
    virtual void SetText(const std::string& strText, int iLine) = 0;
    virtual void SetProgress(int iPercent) = 0;
    // Handles pending input; true once the user has cancelled.
    virtual bool Pump() = 0;
    virtual void ShowError(const std::string& strText) = 0;

    // Makes the view new operations use (the console or the editor window
    // installs one at start-up; the default is LSilentProgressView).
    using Factory = std::unique_ptr<LProgressView> (*)();
    static void SetFactory(Factory fn);
    static std::unique_ptr<LProgressView> Create();
};

// Shows nothing. Cancel can be requested from outside (tests) after a given
// number of pumps; errors are kept for inspection.
class LSilentProgressView : public LProgressView {
public:
    void Open(const std::string&, void*) override { }
    void Close() override { }
    void SetText(const std::string& strText, int iLine) override;
    void SetProgress(int iPercent) override { iLastPercent = iPercent; }
    bool Pump() override;
    void ShowError(const std::string& strText) override;

    // For tests: cancel on the n-th pump of every silent view (0 = never).
    static void SetCancelAfterPumps(int n);
    static std::string& LastError();
    static std::string& LastText(int iLine);

    int iLastPercent = 0;
    std::string strLastError;

private:
    int iPumps = 0;
};
