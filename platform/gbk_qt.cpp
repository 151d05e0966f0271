#include "platform/gbk_qt.h"

#include "base/gbk_convert.h"

QString GbkToQString(const std::string& gbk) { return QString::fromStdString(GbkToUtf8(gbk)); }

std::optional<std::string> QStringToGbk(const QString& text) {
  return Utf8ToGbkStrict(text.toStdString());
}

std::optional<QString> GbkToQStringStrict(const std::string& gbk) {
  const std::optional<std::string> utf8 = GbkToUtf8Strict(gbk);
  if (!utf8) return std::nullopt;
  return QString::fromStdString(*utf8);
}
