#pragma once
// The message lines that name a file and why it failed.
//
// Messages are UTF-8 text: the toolchain's own texts are GBK and converted here, and
// a path is shown as the file system names it, so a name GBK cannot hold still
// reads as itself.

#include <cstdint>
#include <string>

// One message line: the text (GBK), the path, "：" and the reason of the error (an
// errno value or kNotARegularFile), ending in CR LF.
std::string FileFailureMessage(const char* gbkText, const std::string& path, int error);
// The same with a reason given as GBK text.
std::string FileFailureMessage(const char* gbkText, const std::string& path, const std::string& gbkReason);
// The text (GBK) and the path, ending in CR LF.
std::string FileMessage(const char* gbkText, const std::string& path);
// The warning line for a reference that did not get its value, naming the source that
// makes it: a label (its GBK name) no object defines, a data reference to a definition
// of another source, or a reference without a name, told by the address of its
// instruction in its source's code.
std::string UnresolvedReferenceMessage(const std::string& gbkName, uint32_t address, bool definedElsewhere,
                                       const std::string& source);
