#pragma once
// The error a number text that is not an integer raises, as the platform's
// string-to-integer conversion raises it. It is not a result code: it ends the
// running assembly, and the program shows its message.

#include <stdexcept>
#include <string>

#include "base/gbk_convert.h"

class EConvertError : public std::runtime_error {
 public:
  // The message is UTF-8, as every error message of the kit; the text is GBK, as read.
  explicit EConvertError(const std::string& gbkText)
      : std::runtime_error("'" + GbkToUtf8(gbkText) + "' is not a valid integer value") {}
};
