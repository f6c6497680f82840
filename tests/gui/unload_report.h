#pragma once
// What the unload test module reports from its last paint, made after the
// module's resource caches were torn down.

struct UnloadReport {
  bool destroyed = false;       // the holder's destructor ran
  bool lateLoadIsNull = false;  // loading after teardown gave nothing
  bool lateTextDrawn = true;    // DrawIText's result after teardown
  int lateInk = -1;             // pixels the late paint left
};
