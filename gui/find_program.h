// Finding a desktop helper program (an opener, a file chooser) on PATH.
#pragma once

#include <string>

// The full path of the executable regular file `name` in the first PATH
// folder that has one (the usual folders when PATH is unset), or empty.
std::string FindProgram(const char* name);
