// Opening a web address or a file with the desktop's preferred program.
#pragma once

// Starts xdg-open (found on PATH) with target as its one argument, in a
// process of its own that is not waited for and never becomes a zombie; no
// shell sees the target. False when the target is refused (empty, starting
// with '-', or a local path that does not exist) or the opener could not be
// started.
bool DesktopOpen(const char* target);
