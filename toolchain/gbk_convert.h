#pragma once
// GBK text to UTF-8, for the programs that print the kit's texts on a terminal.

#include <optional>
#include <string>

// The UTF-8 text, or nothing when the bytes are not valid GBK.
std::optional<std::string> GbkToUtf8Strict(const std::string& gbk);
// As above, but every byte that starts no valid character becomes U+FFFD, so a
// source's stray bytes still print.
std::string GbkToUtf8(const std::string& gbk);
