#include "simulator/model/disk_messages.h"

#include "base/file_error.h"
#include "simulator/model/sim_texts.h"

namespace {

void AddLostWritesLine(std::string& text, const char* fixedText, const std::string& name, int error) {
  if (error == 0) return;
  if (!text.empty()) text += "\n";
  text += std::string(fixedText) + " " + name + kTextColon + FileErrorReason(error);
}

}  // namespace

std::string DiskOpenFailedText(const char* fixedText, int error) {
  return error == 0 ? fixedText : std::string(fixedText) + "\n" + FileErrorReason(error);
}

std::string LostWritesText(const TLostWrites& lost) {
  std::string text;
  AddLostWritesLine(text, kTextFloppyLostWrites, lost.FloppyName, lost.FloppyError);
  AddLostWritesLine(text, kTextHardDiskLostWrites, lost.HardDiskName, lost.HardDiskError);
  return text;
}
