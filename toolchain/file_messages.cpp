#include "toolchain/file_messages.h"

#include "base/file_error.h"
#include "base/gbk_convert.h"
#include "toolchain/gbk_texts.h"

std::string FileFailureMessage(const char* gbkText, const std::string& path, const std::string& gbkReason) {
  return TextNamingPath(gbkText, path) + GbkToUtf8(gbk::kMsgPathReasonSeparator + gbkReason) + "\r\n";
}

std::string FileFailureMessage(const char* gbkText, const std::string& path, int error) {
  return FileFailureMessage(gbkText, path, FileErrorReason(error));
}

std::string FileMessage(const char* gbkText, const std::string& path) {
  return TextNamingPath(gbkText, path) + "\r\n";
}

std::string UndefinedLabelMessage(const std::string& gbkName, const std::string& source) {
  return GbkToUtf8(gbk::kMsgUndefinedLabel + gbkName + gbk::kMsgUndefinedIn) + PathToText(source) +
         GbkToUtf8(gbk::kMsgUndefinedEnd) + "\r\n";
}
