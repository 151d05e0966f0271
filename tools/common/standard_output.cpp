#include "standard_output.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>

void TStandardOutput::Print(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  const int printed = std::vprintf(format, arguments);
  va_end(arguments);
  if (printed < 0 && error_ == 0) error_ = errno;
}

int TStandardOutput::Close() {
  if (std::fflush(stdout) != 0 && error_ == 0) error_ = errno;
  // A failed write that left no errno behind.
  if (std::ferror(stdout) && error_ == 0) error_ = EIO;
  if (std::fclose(stdout) != 0 && error_ == 0) error_ = errno;
  return error_;
}
