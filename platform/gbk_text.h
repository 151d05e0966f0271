#pragma once
// The kit's files hold GBK while the windows show Unicode. A character GBK cannot
// encode, or bytes that are not GBK, are reported to the caller, never replaced.

#include <QString>
#include <optional>
#include <string>

// The text of GBK bytes, or nothing when the bytes are not valid GBK.
std::optional<QString> GbkToQString(const std::string& gbk);
// The GBK bytes of a text, or nothing when a character has no GBK code.
std::optional<std::string> QStringToGbk(const QString& text);
// For texts the program itself made (messages, paths from GBK files): invalid
// bytes become U+FFFD so the text still shows.
QString GbkToQStringLenient(const std::string& gbk);
