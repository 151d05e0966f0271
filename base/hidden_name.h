#pragma once
// Hidden temporary names beside the file a writer replaces: short whatever the file's
// name, so that any name the file system takes can be written, and unique, so that
// two builds in one folder never share one.

#include <cstddef>
#include <functional>
#include <string>

// Letters and digits the kernel's randomness picked.
std::string RandomLetters(size_t count);

// Makes something under a fresh hidden name in the folder open as `folder`: `create`
// gives 0 or an errno value. The name is registered for removal on interruption from
// before it exists until ForgetOnInterrupt(slot). 0 with the name and its slot, or
// the error (EINTR once an interruption is ending the program).
int CreateUnderFreshName(int folder, const std::function<int(const char* name)>& create, std::string& name,
                         int& slot);
