// Reading the desktop's clipboard (the CLIPBOARD selection) as UTF-8 text.
#pragma once

#include <X11/Xlib.h>

#include <string>

// Asks the clipboard's owner for its text, converted into a property of
// requestor (a window of this connection), and waits up to timeoutMs for the
// answer. UTF-8 is asked for first, Latin-1 text (STRING) is converted. False
// when nobody owns the clipboard, the owner offers no text, answers too late,
// or the text is over 1 MiB or sent in pieces. Call inside an error trap.
bool X11ReadClipboardText(Display* pDisplay, Window requestor, std::string* pText,
                          int timeoutMs = 1000);
