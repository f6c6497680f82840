// The editor's off-screen picture, asked of the plug-in through its
// vendor-specific request and written as a PNG file.
#pragma once

#include <string>

class Plugin;

// False with *error when the plug-in offers no picture or the file cannot
// be written.
bool WriteEditorPicture(const Plugin& plugin, const std::string& path, std::string* error);
