#include "platform/gbk_text.h"

#include <iconv.h>

#include <cerrno>

namespace {

// One conversion; with strict unset, an invalid input byte is skipped and
// reported through `bad` so the caller may substitute it.
std::optional<std::string> Convert(const char* to, const char* from, const std::string& input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string output(input.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  char* out = output.data();
  size_t outLeft = output.size();
  bool ok = true;
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
      ok = false;
      break;
    }
  }
  if (ok && iconv(cd, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1)) ok = false;
  iconv_close(cd);
  if (!ok) return std::nullopt;
  output.resize(output.size() - outLeft);
  return output;
}

}  // namespace

std::optional<QString> GbkToQString(const std::string& gbk) {
  std::optional<std::string> utf8 = Convert("UTF-8", "GBK", gbk);
  if (!utf8) return std::nullopt;
  return QString::fromStdString(*utf8);
}

std::optional<std::string> QStringToGbk(const QString& text) {
  // Lone surrogates would be silently replaced by toUtf8(); refuse them here.
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      ++i;
      continue;
    }
    if (c.isSurrogate()) return std::nullopt;
  }
  return Convert("GBK", "UTF-8", text.toStdString());
}

QString GbkToQStringLenient(const std::string& gbk) {
  if (std::optional<QString> whole = GbkToQString(gbk)) return *whole;
  QString result;
  size_t i = 0;
  while (i < gbk.size()) {
    const unsigned char lead = static_cast<unsigned char>(gbk[i]);
    const size_t width = lead < 0x80 ? 1 : 2;
    std::optional<QString> part =
        i + width <= gbk.size() ? GbkToQString(gbk.substr(i, width)) : std::nullopt;
    if (part) {
      result += *part;
      i += width;
    } else {
      result += QChar(0xFFFD);
      ++i;
    }
  }
  return result;
}
