#pragma once

// Development diagnostics: one line per failure point, naming the class,
// the method and what happened. Written to stderr only when ORVENNA_TRACE is
// set in the environment; never shown to a user.
void LTrace(const char* szFormat, ...) __attribute__((format(printf, 1, 2)));

// True when tracing is switched on (read once per process).
bool LTraceEnabled();
