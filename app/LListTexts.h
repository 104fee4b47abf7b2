#pragma once

#include <QString>
#include <cstdint>

// The texts of the bookmark and region lists.
namespace LListTexts {
// "h:mm:ss.hh" of milliseconds, rounded to the nearest hundredth.
QString Time(int32_t iMs);
// "yyyy-mm-dd hh:mm:ss" in local time of seconds since 1970; "" for 0.
QString Date(uint32_t uSeconds);
} // namespace LListTexts
