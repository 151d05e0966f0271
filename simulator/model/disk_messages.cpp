#include "simulator/model/disk_messages.h"

#include "base/file_error.h"
#include "simulator/model/sim_texts.h"

namespace {

void AddRefusalLine(std::string& text, const char* fixedText, const std::string& name, int error) {
  if (error == 0) return;
  if (!text.empty()) text += "\n";
  text += std::string(fixedText) + " " + name + kTextColon + FileErrorReason(error);
}

}  // namespace

std::string DiskOpenFailedText(const char* fixedText, int error) {
  return error == 0 ? fixedText : std::string(fixedText) + "\n" + FileErrorReason(error);
}

std::string DiskRefusalText(const TDiskRefusalReport& report) {
  std::string text;
  AddRefusalLine(text, kTextFloppyLostWrites, report.FloppyName, report.Floppy.Write);
  AddRefusalLine(text, kTextFloppyReadRefused, report.FloppyName, report.Floppy.Read);
  AddRefusalLine(text, kTextHardDiskLostWrites, report.HardDiskName, report.HardDisk.Write);
  AddRefusalLine(text, kTextHardDiskReadRefused, report.HardDiskName, report.HardDisk.Read);
  return text;
}
