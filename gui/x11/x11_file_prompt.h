// The editor's file prompt on Linux: the desktop's file chooser program
// (zenity, else kdialog, found on PATH) runs as a child process while the
// editor keeps handling its own events.
#pragma once

#include <functional>

#include "base/sky_string.h"
#include "gui/graphics.h"

enum class X11FilePromptResult { kChosen, kCancelled, kNoChooser, kNoWindow };

// Asks for a file to open (kFileOpen) or a name to save under (kFileSave).
// pFile is always emptied first; its old text is the initial file. The
// chooser starts in *pDir ("~" is the home folder); an empty or null pDir
// means ~/Desktop, stored into pDir. extensions lists the allowed types,
// separated by spaces ("fxp fxb"); null or empty allows any.
// kChosen: pFile holds the chosen path (an open resolves symbolic links; a
// save resolves the folder and appends ".<first type>" when the name has
// none of the types) and pDir its folder with a trailing '/'.
// Anything else leaves pFile empty: kNoWindow runs nothing; kNoChooser means
// neither chooser is installed. A null pFile runs nothing (kCancelled).
// While the chooser runs, whileWaiting is called about every 20 ms; when
// shouldStop answers true the chooser is ended (kCancelled). Both may be
// empty. The chooser is always reaped before this returns.
X11FilePromptResult X11PromptForFile(bool windowOpen, unsigned long ownerWindow, SkyString* pFile,
                                     EFileAction action, SkyString* pDir, const char* extensions,
                                     const std::function<void()>& whileWaiting,
                                     const std::function<bool()>& shouldStop);
