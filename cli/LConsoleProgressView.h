#pragma once

#include "process/LProgressView.h"

// Progress on stderr: a bar redrawn in place when stderr is a terminal,
// nothing otherwise. Ctrl+C (or SIGTERM) cancels the running operation; a second one
// ends the program at once. Errors shown by operations are kept, not
// printed: a failing command prints one line.
class LConsoleProgressView : public LProgressView {
public:
    // Installs the signal handlers and makes this the view of new operations.
    static void Install();
    static bool WasInterrupted();
    // The first error an operation showed (then forgotten), "" when none:
    // errors are printed once, by the command that ends on them.
    static std::string TakeError();

    void Open(const std::string& strCaption, void* pOwner) override;
    void Close() override;
    void SetText(const std::string& strText, int iLine) override;
    void SetProgress(int iPercent) override;
    bool Pump() override;
    void ShowError(const std::string& strText) override;

private:
    void Draw();

    std::string strLabel;
    int iPercent = 0;
    int iLastDrawn = -1;
    bool bTerminal = false;
    bool bDrawn = false;
};
