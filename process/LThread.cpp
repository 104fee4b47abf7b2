#include "process/LThread.h"

#include "platform/LTrace.h"

#include <chrono>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
// Thread priorities map onto nice values of the thread (Linux applies
// setpriority per thread id).
int NiceFor(int iPriority)
{
    if (iPriority >= LThread::kPriorityTimeCritical)
        return -10;
    return -iPriority * 5;
}
int PriorityFor(int iNice)
{
    if (iNice <= -10)
        return LThread::kPriorityTimeCritical;
    return -iNice / 5;
}
} // namespace

LThread::~LThread()
{
    StopThreadTimed(5000);
}

void LThread::ApplyPriority(int iTid, int iPriority)
{
    if (iTid != 0 && setpriority(PRIO_PROCESS, id_t(iTid), NiceFor(iPriority)) != 0)
        LTrace("LThread::Start priority %d not permitted, keeping the current one", iPriority);
}

int LThread::GetCurrentPriority()
{
    errno = 0;
    int iNice = getpriority(PRIO_PROCESS, id_t(syscall(SYS_gettid)));
    return errno != 0 ? kPriorityNormal : PriorityFor(iNice);
}

void LThread::SetPriority(int iPriority)
{
    if (IsRunning())
        ApplyPriority(pShared->iTid, iPriority);
}

bool LThread::IsRunning() const
{
    return pShared && pShared->bRunning.load();
}

void LThread::Start(int iPriority)
{
    if (IsRunning()) {
        LTrace("LThread::Start Thread is already running!");
        return;
    }
    if (thread.joinable())
        thread.join();
    stopSignal.Reset();
    pShared = std::make_shared<Shared>();
    pShared->bRunning = true;
    std::shared_ptr<Shared> pState = pShared;
    thread = std::thread([this, pState, iPriority] {
        pState->iTid = int(syscall(SYS_gettid));
        ApplyPriority(pState->iTid, iPriority);
        LTrace("LThread::ThreadFunc Thread is starting...");
        ThreadFunction();
        LTrace("LThread::ThreadFunc Thread has terminated.");
        pState->bRunning = false;
    });
}

void LThread::StopThreadTimed(uint32_t uTimeoutMs)
{
    if (!thread.joinable())
        return;
    stopSignal.Set();
    ApplyPriority(pShared->iTid, GetCurrentPriority());
    auto tEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(uTimeoutMs);
    while (pShared->bRunning && std::chrono::steady_clock::now() < tEnd)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (pShared->bRunning) {
        LTrace("LThread::StopThreadTimed TimeOut ERROR");
        thread.detach();
    } else {
        thread.join();
    }
}
