#pragma once
// GBK text to and from UTF-8, for the terminal programs and the windows, which show
// and take Unicode while every file of the kit holds GBK; and file-system names,
// which are bytes, where they meet those texts.

#include <optional>
#include <string>

// The UTF-8 text, or nothing when the bytes are not valid GBK.
std::optional<std::string> GbkToUtf8Strict(const std::string& gbk);
// As above, but every byte that starts no valid character becomes U+FFFD, so a
// source's stray bytes still print.
std::string GbkToUtf8(const std::string& gbk);
// The GBK bytes of a UTF-8 text, or nothing when a character has no GBK code (or the
// text is not valid UTF-8). Only a text that converts back unchanged has GBK bytes:
// the C library's converter drops some characters without a word.
std::optional<std::string> Utf8ToGbkStrict(const std::string& utf8);

// The file-system path of a name stored in one of the kit's files (a project entry, an
// include line, a ".setting" name), which hold GBK; bytes that are not valid GBK stay
// as they are.
std::string StoredNameToPath(const std::string& gbkName);
// The name to store in one of the kit's files for a file-system path: its GBK text, or
// its own bytes where they are not valid GBK (StoredNameToPath gives them back as
// they are). Nothing when no stored name gives this path back.
std::optional<std::string> PathToStoredName(const std::string& path);

// A file-system path as UTF-8 text for a message: the path itself when it is valid
// UTF-8, else each byte that starts no character shown as U+FFFD.
std::string PathToText(const std::string& path);
// A message naming a path, UTF-8 as every message: the GBK text converted, followed
// by the path as PathToText shows it. Converting the two joined would garble both
// where the path has no GBK form.
std::string TextNamingPath(const std::string& gbkText, const std::string& path);
