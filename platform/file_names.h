#pragma once
// File-system names at the edge of the windows. A path is bytes: the one a dialog
// gives becomes the file system's name at once and stays so, never passing through
// GBK; a path is turned into text only to be shown.

#include <QString>
#include <string>

// The file system's name of a path a dialog gave.
std::string FileSystemName(const QString& path);
// The path as legible text, whatever its bytes (those that start no character show
// as U+FFFD).
QString ShownPath(const std::string& fileSystemPath);
