#pragma once
// Opens a file with the desktop's program for its kind (help files, documents).

#include <string>

// False when the file does not exist or no program took it.
bool ShellOpen(const std::string& path);
