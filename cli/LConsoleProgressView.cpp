#include "cli/LConsoleProgressView.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>
#include <utility>

namespace {
volatile sig_atomic_t bInterrupted = 0;
std::string strFirstError;

void OnSignal(int iSignal)
{
    bInterrupted = 1;
    // A second signal is not caught: the user really wants out.
    std::signal(iSignal, SIG_DFL);
}

std::unique_ptr<LProgressView> MakeConsole()
{
    return std::make_unique<LConsoleProgressView>();
}
} // namespace

void LConsoleProgressView::Install()
{
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    LProgressView::SetFactory(MakeConsole);
}

bool LConsoleProgressView::WasInterrupted()
{
    return bInterrupted != 0;
}

std::string LConsoleProgressView::TakeError()
{
    return std::exchange(strFirstError, std::string());
}

void LConsoleProgressView::Open(const std::string& strCaption, void*)
{
    strLabel = strCaption;
    bTerminal = isatty(2) != 0;
    iLastDrawn = -1;
}

void LConsoleProgressView::Close()
{
    if (bDrawn && bTerminal)
        std::fputc('\n', stderr);
    bDrawn = false;
}

void LConsoleProgressView::SetText(const std::string& strText, int iLine)
{
    if (iLine == 0 && !strText.empty() && strText != strLabel) {
        Close();
        strLabel = strText;
        iLastDrawn = -1;
    }
}

void LConsoleProgressView::SetProgress(int i)
{
    iPercent = i;
    Draw();
}

void LConsoleProgressView::Draw()
{
    if (bTerminal) {
        if (iPercent == iLastDrawn)
            return;
        constexpr int kWidth = 30;
        int iFill = iPercent * kWidth / 100;
        std::fprintf(stderr, "\r%-28.28s [%.*s%*s] %3d%%", strLabel.c_str(), iFill,
            "##############################", kWidth - iFill, "", iPercent);
    } else {
        return; // no bar in logs and pipes: only errors are written there
    }
    std::fflush(stderr);
    iLastDrawn = iPercent;
    bDrawn = true;
}

bool LConsoleProgressView::Pump()
{
    return bInterrupted != 0;
}

void LConsoleProgressView::ShowError(const std::string& strText)
{
    if (strFirstError.empty())
        strFirstError = strText;
}
