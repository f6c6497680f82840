// Program and bank files to and from a loaded plug-in, through its chunk
// opcodes (plug-ins with program chunks) or its parameter functions.
#pragma once

#include <string>

#include "host/loader.h"

// Each returns false with a one-line message in *error; a refused file leaves
// the plug-in unchanged.
bool SaveProgramFile(const Plugin& plugin, const std::string& path, std::string* error);
bool SaveBankFile(const Plugin& plugin, const std::string& path, std::string* error);
bool LoadProgramFile(const Plugin& plugin, const std::string& path, std::string* error);
bool LoadBankFile(const Plugin& plugin, const std::string& path, std::string* error);
