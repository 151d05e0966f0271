#pragma once

#include <string>

// The path with the extension of its file name (from the last "." of the file name
// part on, dot included) replaced by ext; a file name without a dot keeps all of its
// characters and gets ext appended. Dots in folder names never count.
std::string ReplaceExtension(const std::string& path, const std::string& ext);

// A project's options file: the project file's whole name followed by ".set".
inline std::string ProjectSetupName(const std::string& projectPath) { return projectPath + ".set"; }
