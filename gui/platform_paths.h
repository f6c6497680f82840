// Folder and file paths the platform layers report (Linux conventions).
#pragma once

#include "base/sky_string.h"

// The running program.
void GetHostPath(SkyString* pPath);
// The folder of the module that contains this code, with a trailing '/'.
void GetModuleFolder(SkyString* pPath);
// $HOME/Desktop.
void GetDesktopPath(SkyString* pPath);
// /usr/share for the system, else $XDG_DATA_HOME or $HOME/.local/share.
void GetAppSupportPath(SkyString* pPath, bool isSystem);
// $HOME/Music.
void GetSandboxSafeAppSupportPath(SkyString* pPath);
