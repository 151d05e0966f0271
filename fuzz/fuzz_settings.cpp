// The ".setting" and ".pset" files on arbitrary bytes: the core's and the CPU setup
// dialog's readers, the settings number parser and the port table reader.
//
// Properties: what is read is written and read back the same (a setting item holding
// a line break is refused, not written); numbers print and parse back to the same
// value (to the six decimals of the file's notation); the CPU setup dialog's edits
// reach a fixed point after one save and load.

#include <cmath>

#include "fuzz_check.h"
#include "fuzz_scratch.h"
#include "machine/setting_file.h"
#include "machine/port_settings_file.h"
#include "simulator/model/cpu_setup_model.h"

namespace {

bool SameItems(const TSettingItems& a, const TSettingItems& b) {
  for (int i = 0; i < 7; ++i) {
    if (a.Items[i] != b.Items[i]) return false;
  }
  return true;
}

void CheckSettingItems(const std::string& path) {
  TSettingItems items;
  Check(ReadSettingItems(path, items) == 1, "a settings file reads");
  bool breaks = false;
  for (const std::string& item : items.Items) breaks = breaks || item.find_first_of("\r\n") != std::string::npos;
  const std::string again = (ScratchFolder() / "again.setting").string();
  WriteScratch("again.setting", "old");
  Check(WriteSettingItems(again, items) == (breaks ? 0 : 1), "items are written unless one holds a line break");
  if (breaks) {
    Check(ReadScratch("again.setting") == "old", "a refused write keeps the old file");
    return;
  }
  TSettingItems back;
  Check(ReadSettingItems(again, back) == 1 && SameItems(back, items), "written items read back the same");
}

void CheckNumber(const std::string& text) {
  double value = 0;
  if (!ParseSettingNumber(text, value)) return;
  Check(std::isfinite(value), "a settings number is finite");
  double shown = 0;
  Check(ParseSettingNumber(FormatSettingNumberShort(value), shown), "a number as the edits show it reads back");
  Check(std::fabs(shown - value) <= std::fabs(value) * 1e-14 + 1e-300, "a number as the edits show it keeps its value");
  double stored = 0;
  Check(ParseSettingNumber(FormatSettingNumber(value), stored), "a number as the file holds it reads back");
  Check(std::fabs(stored - value) <= 5e-7 + std::fabs(value) * 1e-15, "a number as the file holds it keeps six decimals");
}

void CheckCpuSetupDialog(const std::string& path) {
  TSettingItems edits = DesignSetupEdits();
  Check(LoadCPUSetting(path, edits) == 1, "the CPU setup dialog reads a settings file");
  if (!CheckSetupForSave(edits).empty()) return;
  const std::string saved = (ScratchFolder() / "saved.setting").string();
  TSettingItems once;
  TSettingItems twice;
  Check(SaveCPUSetting(saved, edits) == 1 && LoadCPUSetting(saved, once) == 1, "edits that pass are saved and read");
  Check(SaveCPUSetting(saved, once) == 1 && LoadCPUSetting(saved, twice) == 1 && SameItems(once, twice),
        "saved and read edits stay the same through another save");
}

void CheckPortTable(const std::string& path) {
  TPortTable table = DefaultPortTable();
  Check(LoadPeripSetting(path, table) == 0, "a port settings file reads");
  const std::string again = (ScratchFolder() / "again.pset").string();
  TPortTable back{};
  Check(SavePeripSetting(again, table) == 0 && LoadPeripSetting(again, back) == 0 && back == table,
        "a saved port table reads back the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string setting = WriteScratch("fuzz.setting", data, size);
  CheckSettingItems(setting);
  TSettingItems items;
  ReadSettingItems(setting, items);
  for (const std::string& item : items.Items) CheckNumber(item);
  CheckCpuSetupDialog(setting);
  CheckPortTable(WriteScratch("fuzz.pset", data, size));
  return 0;
}
