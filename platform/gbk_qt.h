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
