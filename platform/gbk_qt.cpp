#include "platform/gbk_qt.h"

#include "toolchain/gbk_convert.h"

QString GbkToQString(const std::string& gbk) { return QString::fromStdString(GbkToUtf8(gbk)); }

std::optional<std::string> QStringToGbk(const QString& text) {
  return Utf8ToGbkStrict(text.toStdString());
}
