#pragma once
// GBK text to and from UTF-8, for the terminal programs and the windows, which show
// and take Unicode while every file of the kit holds GBK.

#include <optional>
#include <string>

// The UTF-8 text, or nothing when the bytes are not valid GBK.
std::optional<std::string> GbkToUtf8Strict(const std::string& gbk);
// As above, but every byte that starts no valid character becomes U+FFFD, so a
// source's stray bytes still print.
std::string GbkToUtf8(const std::string& gbk);
// The GBK bytes of a UTF-8 text, or nothing when a character has no GBK code (or the
// text is not valid UTF-8).
std::optional<std::string> Utf8ToGbkStrict(const std::string& utf8);

// The file-system path of a name stored in one of the kit's files (a project entry, an
// include line, a ".setting" name), which hold GBK; bytes that are not valid GBK stay
// as they are.
std::string StoredNameToPath(const std::string& gbkName);
