#include "simulator/model/cpu_setup_model.h"

#include <cmath>

#include "simulator/model/number_text.h"
#include "simulator/model/sim_texts.h"

namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;
constexpr int kSizeLines[] = {SettingMemSize, SettingHardDiskSize, SettingFloppySize};
constexpr int kNameLines[] = {SettingMemFile, SettingHardDiskFile, SettingFloppyFile, SettingBiosFile};

std::string CheckSizesAndNames(const TSettingItems& edits, double sizes[7]) {
  for (int line : kSizeLines) {
    // A size whose byte count overflows would be shown again as "inf", which no edit
    // takes back: it is as unusable as text that is no number.
    if (!ParseFloatText(edits.Items[line], sizes[line]) || !std::isfinite(sizes[line] * kMegabyte))
      return FloatErrorText(edits.Items[line]);
  }
  for (int line : kNameLines) {
    if (edits.Items[line].find_first_of("\r\n") != std::string::npos) return kTextNameHasLineBreak;
  }
  return {};
}

}  // namespace

TSettingItems DesignSetupEdits() {
  TSettingItems edits;
  edits.Items[SettingMemSize] = "64";
  edits.Items[SettingHardDiskSize] = "210";
  edits.Items[SettingFloppySize] = "1.44";
  return edits;
}

std::string CheckSetupForSave(const TSettingItems& edits) {
  double sizes[7] = {};
  return CheckSizesAndNames(edits, sizes);
}

int SaveCPUSetting(const std::string& path, const TSettingItems& edits) {
  double sizes[7] = {};
  if (!CheckSizesAndNames(edits, sizes).empty()) return 0;
  TSettingItems lines = edits;
  for (int line : kSizeLines) lines.Items[line] = FormatSettingNumber(sizes[line]);
  return WriteSettingItems(path, lines);
}

int LoadCPUSetting(const std::string& path, TSettingItems& edits) {
  TSettingItems lines;
  if (!ReadSettingItems(path, lines)) return 0;
  for (int line : kSizeLines) {
    double value = 0;
    if (ParseSettingNumber(lines.Items[line], value)) lines.Items[line] = FormatSettingNumberShort(value);
  }
  edits = lines;
  return 1;
}

std::string ComputeAppliedSetup(const TSettingItems& edits, TAppliedSetup& out) {
  double sizes[7] = {};
  std::string error = CheckSizesAndNames(edits, sizes);
  if (!error.empty()) return error;
  int32_t megabytes = 0;
  const std::string& memText = edits.Items[SettingMemSize];
  if (!ParseInt32Text(memText, megabytes)) return IntegerErrorText(memText);
  if (megabytes < 1 || megabytes > 2047) return kTextMemSizeRange;
  out.MemFileName = edits.Items[SettingMemFile];
  out.FloppyFileName = edits.Items[SettingFloppyFile];
  out.HardDiskFileName = edits.Items[SettingHardDiskFile];
  out.BIOSFileName = edits.Items[SettingBiosFile];
  out.HardDiskSize = sizes[SettingHardDiskSize] * kMegabyte;
  out.FloppyDiskSize = sizes[SettingFloppySize] * kMegabyte;
  out.MemSize = static_cast<double>(megabytes) * kMegabyte;
  return {};
}

TSettingItems SetupEditsFromApplied(const TAppliedSetup& applied, double coreMemSize) {
  TSettingItems edits;
  edits.Items[SettingMemSize] = FormatSettingNumberShort(coreMemSize / kMegabyte);
  edits.Items[SettingMemFile] = applied.MemFileName;
  edits.Items[SettingHardDiskSize] = FormatSettingNumberShort(applied.HardDiskSize / kMegabyte);
  edits.Items[SettingHardDiskFile] = applied.HardDiskFileName;
  edits.Items[SettingFloppySize] = FormatSettingNumberShort(applied.FloppyDiskSize / kMegabyte);
  edits.Items[SettingFloppyFile] = applied.FloppyFileName;
  edits.Items[SettingBiosFile] = applied.BIOSFileName;
  return edits;
}
