#include "app/LListTexts.h"

#include "audio/LSoundTime.h"

#include <ctime>

QString LListTexts::Time(int32_t iMs)
{
    return QString::fromStdString(LSoundTime(iMs).GetHundredthsText());
}

QString LListTexts::Date(uint32_t uSeconds)
{
    if (uSeconds == 0)
        return "";
    std::time_t t = std::time_t(uSeconds);
    std::tm tm {};
    localtime_r(&t, &tm);
    return QString::asprintf("%.4d-%.2d-%.2d %.2d:%.2d:%.2d", tm.tm_year + 1900, tm.tm_mon + 1,
        tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
}
