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

  // Converts as much as it can; false when it stopped at bytes that are not GBK,
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

}  // namespace

std::optional<std::string> GbkToUtf8Strict(const std::string& gbk) {
  return Convert("UTF-8", "GBK", gbk);
}

std::optional<std::string> Utf8ToGbkStrict(const std::string& utf8) {
  return Convert("GBK", "UTF-8", utf8);
}

std::string GbkToUtf8(const std::string& gbk) {
  TIconv converter("UTF-8", "GBK");
  std::string in = gbk;
  char* inPtr = in.data();
  size_t inLeft = in.size();
  std::string out;
  while (converter.Valid() && !converter.Convert(inPtr, inLeft, out)) {
    out += kReplacement;
    ++inPtr;
    --inLeft;
  }
  if (!converter.Valid()) out = gbk;
  return out;
}

std::string StoredNameToPath(const std::string& gbkName) {
  return GbkToUtf8Strict(gbkName).value_or(gbkName);
}
