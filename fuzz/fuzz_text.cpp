// The GBK conversions every window and terminal program shows text through.

#include <cstdlib>

#include "base/gbk_convert.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string shown = GbkToUtf8(bytes);
  // Every shown text is valid UTF-8 that converts back to GBK.
  if (!Utf8ToGbkStrict(shown).has_value() && shown.find("\xef\xbf\xbd") == std::string::npos) {
    std::abort();
  }
  const std::optional<std::string> strict = GbkToUtf8Strict(bytes);
  if (strict) {
    // Valid GBK is shown without replacements.
    if (*strict != shown) std::abort();
    const std::optional<std::string> back = Utf8ToGbkStrict(*strict);
    if (!back) std::abort();
  }
  const std::optional<std::string> gbk = Utf8ToGbkStrict(bytes);
  if (gbk && GbkToUtf8Strict(*gbk) != bytes) std::abort();
  return 0;
}
