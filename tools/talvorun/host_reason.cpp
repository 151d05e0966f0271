#include "host_reason.h"

#include <cstring>

#include "base/file_error.h"

std::string HostReason(int error) { return error == kNotARegularFile ? "not a regular file" : std::strerror(error); }
