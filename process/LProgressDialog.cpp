#include "process/LProgressDialog.h"

#include "platform/LTrace.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

LProgressDialog::LProgressDialog(std::string strCap)
    : strCaption(std::move(strCap))
{
}

LProgressDialog::~LProgressDialog() = default;

bool LProgressDialog::Run(void* pOwner)
{
    if (pView) {
        LTrace("LProgressDialog::Open Called when already open!");
        return false;
    }
    pView = LProgressView::Create();
    bCancelled = false;
    iLastPercent = -1;
    pView->Open(strCaption, pOwner);
    pView->SetProgress(0);
    bool bResult = Operation();
    pView->Close();
    pView.reset();
    return bResult;
}

void LProgressDialog::SetText(const std::string& strText, int iLine)
{
    if (pView && !bCancelled && iLine >= 0 && iLine < 2)
        pView->SetText(strText, iLine);
}

void LProgressDialog::SetProgress(double dFraction)
{
    if (!pView || bCancelled)
        return;
    int iPercent = int(std::lround(std::clamp(dFraction, 0.0, 1.0) * 100));
    if (iPercent != iLastPercent) {
        iLastPercent = iPercent;
        pView->SetProgress(iPercent);
    }
}

bool LProgressDialog::CheckCancel()
{
    if (!pView || bCancelled)
        return true;
    if (pView->Pump())
        bCancelled = true;
    return bCancelled;
}

bool LProgressDialog::WaitPumping(uint32_t uMs)
{
    if (CheckCancel())
        return false;
    while (uMs > 0) {
        uint32_t uSlice = std::min<uint32_t>(uMs, 200);
        std::this_thread::sleep_for(std::chrono::milliseconds(uSlice));
        uMs -= uSlice;
        if (CheckCancel())
            return false;
    }
    return true;
}

bool LProgressDialog::WaitForObjectPumping(LSignalObject& signal, uint32_t uTimeoutMs)
{
    auto tEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(uTimeoutMs);
    for (;;) {
        if (signal.Wait(20) == LSignalObject::kWaitObject0)
            return true;
        if (CheckCancel())
            return true;
        if (uTimeoutMs != LSignalObject::kInfinite && std::chrono::steady_clock::now() >= tEnd)
            return false;
    }
}

void LProgressDialog::ShowError(const std::string& strText)
{
    if (pView)
        pView->ShowError(strText);
}
