#pragma once
// The kit's GBK byte strings at the edge of the windows.

#include <QString>
#include <optional>
#include <string>

// Bytes that are not GBK show as U+FFFD.
QString GbkToQString(const std::string& gbk);
// Nothing when a character has no GBK code: the caller tells the user instead of
// storing a replacement.
std::optional<std::string> QStringToGbk(const QString& text);
// Nothing when the bytes are not valid GBK: a file that would change on the next
// save is reported instead of shown.
std::optional<QString> GbkToQStringStrict(const std::string& gbk);

// What a window says when the user typed a character GBK cannot hold:
// 文本中含有不能用GBK编码表示的字符！
inline constexpr char kTextNotGbk[] =
    "\xce\xc4\xb1\xbe\xd6\xd0\xba\xac\xd3\xd0\xb2\xbb\xc4\xdc\xd3\xc3GBK\xb1\xe0\xc2\xeb\xb1\xed\xca\xbe"
    "\xb5\xc4\xd7\xd6\xb7\xfb\xa3\xa1";
