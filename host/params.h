// Parameters and identity of a loaded plug-in: listing, lookup by index or
// name, and setting from normalised values or text.
#pragma once

#include <cstdio>
#include <string>

#include "host/loader.h"
#include "host/options.h"

// Prints identity, channels, flags, programs and every parameter (name,
// display, label, normalised value).
void PrintPluginInfo(const Plugin& plugin, FILE* out);

// Index of the parameter `key` names: a decimal index, else an exact name,
// else a unique case-insensitive name. -1 with *error when none or several match.
int FindParameter(const Plugin& plugin, const std::string& key, std::string* error);

// Applies one --set or --set-text; false with *error when the key is unknown
// or the plug-in refuses the text.
bool ApplySetting(const Plugin& plugin, const ParamSetting& setting, std::string* error);

// Plug-in text made safe for a terminal: control characters become '?'.
std::string Printable(const std::string& text);
