#pragma once
// Paths between the file system and the toolchain's GBK texts, and the message lines
// that name a file and why it failed.
//
// The toolchain opens files under their file-system names (UTF-8 on this system),
// while its texts (messages, listings) and the names written in sources are GBK.

#include <string>

// The GBK text of a file-system path; a path that is not valid UTF-8 or has a
// character without a GBK code stays as its bytes.
std::string PathInText(const std::string& fileSystemPath);

// One message line: the text, the path, "：" and the reason of the error (an errno
// value or kNotARegularFile), ending in CR LF.
std::string FileFailureMessage(const char* text, const std::string& path, int error);
// The same with a reason given as GBK text.
std::string FileFailureMessage(const char* text, const std::string& path, const std::string& reason);
// The text and the path, ending in CR LF.
std::string FileMessage(const char* text, const std::string& path);
