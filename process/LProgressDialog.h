#pragma once

#include "platform/LSignalObject.h"
#include "process/LProgressView.h"

#include <memory>
#include <string>

// A long operation run on the calling thread with progress and Cancel.
// Subclasses implement Operation; between blocks of work it calls
// CheckCancel, which handles pending input and reports whether the user
// cancelled. Run refuses to start while the same object is running.
class LProgressDialog {
public:
    explicit LProgressDialog(std::string strCaption);
    virtual ~LProgressDialog();
    LProgressDialog(const LProgressDialog&) = delete;
    LProgressDialog& operator=(const LProgressDialog&) = delete;

    // True when the operation completed. pOwner is the window the GUI view
    // disables meanwhile (may be null).
    bool Run(void* pOwner = nullptr);

    void SetText(const std::string& strText, int iLine);
    void SetProgress(double dFraction);
    bool CheckCancel();
    // Sleeps in slices of at most 200 ms, checking between them; false as
    // soon as the user cancels.
    bool WaitPumping(uint32_t uMs);
    // Waits for the signal (true), the timeout (false) or a cancel (true; the
    // caller tells it from completion with IsCancelled).
    bool WaitForObjectPumping(LSignalObject& signal, uint32_t uTimeoutMs);
    void ShowError(const std::string& strText);
    bool IsOpen() const { return pView != nullptr; }
    bool IsCancelled() const { return bCancelled; }
    const std::string& GetCaption() const { return strCaption; }

protected:
    // The work; true when it completed.
    virtual bool Operation() = 0;

private:
    std::string strCaption;
    std::unique_ptr<LProgressView> pView;
    bool bCancelled = false;
    int iLastPercent = -1;
};

// The operation on a data record X: its body is the overload
// int ProcessBody(LProgressDialog&, X&) returning 0 completed, 1 cancelled,
// 2 invalid or missing input.
template <class X> class Process : public LProgressDialog {
public:
    Process(std::string strCaption, X& data)
        : LProgressDialog(std::move(strCaption))
        , data(data)
    {
    }
    // The body's result of the last run.
    int GetResult() const { return iResult; }

protected:
    bool Operation() override
    {
        iResult = ProcessBody(*this, data);
        return iResult == 0;
    }

private:
    X& data;
    int iResult = 2;
};
