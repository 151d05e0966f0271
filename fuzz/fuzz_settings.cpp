// The ".setting" and ".pset" readers and the settings number parser.

#include "fuzz_scratch.h"
#include "machine/setting_file.h"
#include "machine/port_settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TSettingItems items;
  ReadSettingItems(WriteScratch("fuzz.setting", data, size), items);
  for (const std::string& item : items.Items) {
    double value = 0;
    ParseSettingNumber(item, value);
  }
  TPortTable table = DefaultPortTable();
  LoadPeripSetting(WriteScratch("fuzz.pset", data, size), table);
  return 0;
}
