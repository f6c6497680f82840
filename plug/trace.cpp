#include "plug/trace.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "plug/trace_p.h"

namespace {

const int kTimeStrLen = 32;
const int kMinutesPerDay = 1440;

char sTimeStr[kTimeStrLen];

}  // namespace

void Trace(const char*, int, const char*, ...) {}

int UtcOffsetMinutes(const tm& local, const tm& utc) {
  int offset = (local.tm_hour * 60 + local.tm_min) - (utc.tm_hour * 60 + utc.tm_min);
  if (local.tm_yday != utc.tm_yday) {
    int d = local.tm_yday - utc.tm_yday;
    // Across a year boundary the day numbers jump the other way.
    if (d > 1) d = -1;
    else if (d < -1) d = 1;
    offset += d * kMinutesPerDay;
  }
  return offset;
}

void FormatTimeStr(const tm& local, const tm& utc, char* buf) {
  size_t len = strftime(buf, kTimeStrLen, "%Y%m%d %H:%M ", &local);
  int offset = UtcOffsetMinutes(local, utc);
  int absOffset = offset < 0 ? -offset : offset;
  snprintf(buf + len, kTimeStrLen - len, "%c%02d%02d", offset < 0 ? '-' : '+', absOffset / 60,
           absOffset % 60);
}

const char* CurrentTime() {
  time_t now = time(nullptr);
  tm local, utc;
  localtime_r(&now, &local);
  gmtime_r(&now, &utc);
  char buf[kTimeStrLen];
  FormatTimeStr(local, utc, buf);
  memcpy(sTimeStr, buf, kTimeStrLen);
  return sTimeStr;
}

const char* VSTOpcodeStr(int) { return ""; }

const char* AUSelectStr(int) { return ""; }

const char* AUPropertyStr(int) { return ""; }

const char* AUScopeStr(int) { return ""; }
