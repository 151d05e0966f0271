// The GBK conversions every window and terminal program shows text through.
//
// Properties: every shown text is valid UTF-8 (a replacement character marks what was
// no GBK); valid GBK shows without replacements and converts back to the same bytes;
// UTF-8 that converts to GBK converts back to the same text.

#include "base/gbk_convert.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string shown = GbkToUtf8(bytes);
  Check(Utf8ToGbkStrict(shown).has_value() || shown.find("\xef\xbf\xbd") != std::string::npos,
        "a shown text converts back to GBK, or marks what was no GBK");
  const std::optional<std::string> strict = GbkToUtf8Strict(bytes);
  if (strict) {
    Check(*strict == shown, "valid GBK shows without replacements");
    Check(Utf8ToGbkStrict(*strict) == bytes, "valid GBK converts back to the same bytes");
  }
  const std::optional<std::string> gbk = Utf8ToGbkStrict(bytes);
  if (gbk) Check(GbkToUtf8Strict(*gbk) == bytes, "UTF-8 that converts to GBK converts back");
  return 0;
}
