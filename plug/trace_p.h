#pragma once
// Time formatting behind CurrentTime, separated so that it can be tested with fixed times.

#include <ctime>

// Minutes local time is ahead of UTC, from the two broken-down forms of one instant.
int UtcOffsetMinutes(const tm& local, const tm& utc);
// Writes "YYYYMMDD HH:MM " and the signed offset "+HHMM" into buf (at least 32 bytes).
void FormatTimeStr(const tm& local, const tm& utc, char* buf);
