#pragma once
// The message lines that name a file and why it failed.
//
// Messages are UTF-8 text: the toolchain's own texts are GBK and converted here, and
// a path is shown as the file system names it, so a name GBK cannot hold still
// reads as itself.

#include <string>

// One message line: the text (GBK), the path, "：" and the reason of the error (an
// errno value or kNotARegularFile), ending in CR LF.
std::string FileFailureMessage(const char* gbkText, const std::string& path, int error);
// The same with a reason given as GBK text.
std::string FileFailureMessage(const char* gbkText, const std::string& path, const std::string& gbkReason);
// The text (GBK) and the path, ending in CR LF.
std::string FileMessage(const char* gbkText, const std::string& path);
// The warning line for a label no object defines (its GBK name) and the source that
// refers to it.
std::string UndefinedLabelMessage(const std::string& gbkName, const std::string& source);
