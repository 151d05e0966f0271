#pragma once
// Starting files as the shell's "open" did: programs run detached, other files
// (help files, documents) open with the desktop's program for their kind.

#include <QString>
#include <string>

// False when the file does not exist or nothing could be started. Not waited for; a
// program runs in the current folder.
bool ShellOpen(const std::string& path);
// The folder of the running program, with its trailing separator.
QString ProgramFolder();
// True for an existing file (not a folder).
bool FileExists(const QString& path);
