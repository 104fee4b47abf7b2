#include "platform/LTrace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>

bool LTraceEnabled()
{
    static const bool bEnabled = [] {
        const char* sz = std::getenv("ORVENNA_TRACE");
        return sz != nullptr && *sz != 0 && *sz != '0';
    }();
    return bEnabled;
}

void LTrace(const char* szFormat, ...)
{
    if (!LTraceEnabled())
        return;
    static std::mutex mtx;
    std::lock_guard<std::mutex> lock(mtx);
    va_list args;
    va_start(args, szFormat);
    std::fputs("orvenna: ", stderr);
    std::vfprintf(stderr, szFormat, args);
    std::fputc('\n', stderr);
    va_end(args);
}
