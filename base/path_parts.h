#pragma once
// The parts of a file-system path, taken apart at its last "/".

#include <string>

// The folder part, "." when the path has none, "/" for a file at the root.
std::string FolderOf(const std::string& path);
// The folder part with its trailing "/", empty for a bare name: a prefix that puts
// another name beside the path.
std::string FolderPrefixOf(const std::string& path);
// The last component.
std::string NameOf(const std::string& path);
