#pragma once
// Why the host refused something, as the terminal shows it.

#include <string>

// An errno value, or kNotARegularFile.
std::string HostReason(int error);
