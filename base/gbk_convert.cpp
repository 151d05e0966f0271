#include "base/gbk_convert.h"

#include <iconv.h>

#include <cerrno>

namespace {

class TIconv {
 public:
  TIconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~TIconv() {
    if (Valid()) iconv_close(cd_);
  }
  TIconv(const TIconv&) = delete;
  TIconv& operator=(const TIconv&) = delete;
  bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as it can; false when it stopped at bytes it cannot take,
  // with `in` and `inLeft` pointing at them.
  bool Convert(char*& in, size_t& inLeft, std::string& out) {
    char buffer[4096];
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      const size_t done = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
      out.append(buffer, sizeof buffer - outLeft);
      if (done == static_cast<size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

constexpr char kReplacement[] = "\xef\xbf\xbd";

std::optional<std::string> Convert(const char* to, const char* from, const std::string& text) {
  TIconv converter(to, from);
  if (!converter.Valid()) return std::nullopt;
  std::string in = text;
  char* inPtr = in.data();
  size_t inLeft = in.size();
  std::string out;
  if (!converter.Convert(inPtr, inLeft, out)) return std::nullopt;
  return out;
}

// The UTF-8 text of bytes in `from`, each byte that starts no valid character
// shown as U+FFFD.
std::string ConvertShowingStrayBytes(const char* from, const std::string& text) {
  TIconv converter("UTF-8", from);
  if (!converter.Valid()) return text;
  std::string in = text;
  char* inPtr = in.data();
  size_t inLeft = in.size();
  std::string out;
  while (!converter.Convert(inPtr, inLeft, out)) {
    out += kReplacement;
    ++inPtr;
    --inLeft;
  }
  return out;
}

}  // namespace

std::optional<std::string> GbkToUtf8Strict(const std::string& gbk) {
  return Convert("UTF-8", "GBK", gbk);
}

std::optional<std::string> Utf8ToGbkStrict(const std::string& utf8) {
  std::optional<std::string> gbk = Convert("GBK", "UTF-8", utf8);
  if (!gbk || GbkToUtf8Strict(*gbk) != utf8) return std::nullopt;
  return gbk;
}

std::string GbkToUtf8(const std::string& gbk) { return ConvertShowingStrayBytes("GBK", gbk); }

std::string StoredNameToPath(const std::string& gbkName) {
  return GbkToUtf8Strict(gbkName).value_or(gbkName);
}

std::optional<std::string> PathToStoredName(const std::string& path) {
  if (std::optional<std::string> gbk = Utf8ToGbkStrict(path)) return gbk;
  if (StoredNameToPath(path) == path) return path;
  return std::nullopt;
}

std::string PathToText(const std::string& path) { return ConvertShowingStrayBytes("UTF-8", path); }

std::string TextNamingPath(const std::string& gbkText, const std::string& path) {
  return GbkToUtf8(gbkText) + PathToText(path);
}
