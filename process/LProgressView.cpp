#include "process/LProgressView.h"

#include "process/LThreadProgressView.h"

#include <atomic>

namespace {
std::atomic<LProgressView::Factory> fnFactory { nullptr };
thread_local LProgressView::Factory fnThreadFactory = nullptr;
std::atomic<int> iCancelAfter { 0 };
std::string strSilentError;
std::string strSilentText[2];

std::unique_ptr<LProgressView> MakeSilent()
{
    return std::make_unique<LSilentProgressView>();
}
} // namespace

void LProgressView::SetFactory(Factory fn)
{
    fnFactory = fn;
}

void SetThreadProgressViewFactory(LProgressView::Factory fn)
{
    fnThreadFactory = fn;
}

std::unique_ptr<LProgressView> LProgressView::Create()
{
    Factory fn = fnThreadFactory ? fnThreadFactory : fnFactory.load();
    return fn ? fn() : MakeSilent();
}

void LSilentProgressView::SetText(const std::string& strText, int iLine)
{
    if (iLine == 0 || iLine == 1)
        strSilentText[iLine] = strText;
}

bool LSilentProgressView::Pump()
{
    int n = iCancelAfter.load();
    return n > 0 && ++iPumps >= n;
}

void LSilentProgressView::SetCancelAfterPumps(int n)
{
    iCancelAfter = n;
}
std::string& LSilentProgressView::LastError()
{
    return strSilentError;
}
std::string& LSilentProgressView::LastText(int iLine)
{
    return strSilentText[iLine ? 1 : 0];
}

void LSilentProgressView::ShowError(const std::string& strText)
{
    strLastError = strText;
    strSilentError = strText;
}
