#include "toolchain/file_messages.h"

#include "base/file_error.h"
#include "base/gbk_convert.h"
#include "toolchain/gbk_texts.h"

std::string PathInText(const std::string& fileSystemPath) {
  return Utf8ToGbkStrict(fileSystemPath).value_or(fileSystemPath);
}

std::string FileFailureMessage(const char* text, const std::string& path, const std::string& reason) {
  return text + PathInText(path) + gbk::kMsgPathReasonSeparator + reason + "\r\n";
}

std::string FileFailureMessage(const char* text, const std::string& path, int error) {
  return FileFailureMessage(text, path, FileErrorReason(error));
}

std::string FileMessage(const char* text, const std::string& path) {
  return text + PathInText(path) + "\r\n";
}
