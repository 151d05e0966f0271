#pragma once
// Where a write to a path really lands: a symbolic link is written through, at its
// target, whether that target exists yet or not.

#include <string>

// The path with every symbolic link in its last component followed, dangling ones
// included; a path that names no link is given back unchanged.
std::string WrittenPath(const std::string& path);
