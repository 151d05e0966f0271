#include "toolchain/file_messages.h"

#include "base/file_error.h"
#include "base/gbk_convert.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/hex_text.h"

std::string FileFailureMessage(const char* gbkText, const std::string& path, const std::string& gbkReason) {
  return TextNamingPath(gbkText, path) + GbkToUtf8(gbk::kMsgPathReasonSeparator + gbkReason) + "\r\n";
}

std::string FileFailureMessage(const char* gbkText, const std::string& path, int error) {
  return FileFailureMessage(gbkText, path, FileErrorReason(error));
}

std::string FileMessage(const char* gbkText, const std::string& path) {
  return TextNamingPath(gbkText, path) + "\r\n";
}

std::string UnresolvedReferenceMessage(const std::string& gbkName, uint32_t address, bool definedElsewhere,
                                       const std::string& source) {
  std::string told;
  if (gbkName.empty()) {
    told = gbk::kMsgNamelessAt;
    AppendHex8(told, address);
    told += gbk::kMsgNamelessIn;
  } else {
    told = gbk::kMsgUndefinedLabel + gbkName + (definedElsewhere ? gbk::kMsgDefinedElsewhereIn : gbk::kMsgUndefinedIn);
  }
  return GbkToUtf8(told) + PathToText(source) + GbkToUtf8(gbk::kMsgUndefinedEnd) + "\r\n";
}
