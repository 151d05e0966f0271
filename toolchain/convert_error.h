#pragma once
// The error a number text that is not an integer raises, as the platform's
// string-to-integer conversion raises it. It is not a result code: it ends the
// running assembly, and the program shows its message.

#include <stdexcept>
#include <string>

class EConvertError : public std::runtime_error {
 public:
  explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};
