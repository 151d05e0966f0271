#pragma once
// The CPU setup dialog's logic without widgets. Its seven edits are held in the order
// of the settings file's lines (TSettingLine), as GBK texts.

#include <string>

#include "machine/setting_file.h"

// What the setup hands to the main window: names, and sizes in bytes.
struct TAppliedSetup {
  std::string MemFileName;
  std::string FloppyFileName;
  std::string HardDiskFileName;
  std::string BIOSFileName;
  double MemSize = 64.0;
  double HardDiskSize = 210.0;
  double FloppyDiskSize = 1.44;
};

// The edits as the dialog is designed: "64", "210", "1.44" and empty names.
TSettingItems DesignSetupEdits();

// Empty when the edits can be saved; else the message for the first bad edit
// (a size that is not a number, a name holding a line break).
std::string CheckSetupForSave(const TSettingItems& edits);

// 1 when written, 0 when the edits do not pass CheckSetupForSave or the file could not
// be written; an existing file is then left as it was.
int SaveCPUSetting(const std::string& path, const TSettingItems& edits);

// 1 when the file was opened, 0 when not (the edits then keep their texts). Sizes show
// in general notation ("64", "1.44"); a size line that is no number shows as it stands.
int LoadCPUSetting(const std::string& path, TSettingItems& edits);

// Checks every edit before anything is taken: sizes must be numbers, the memory size
// a whole number of megabytes from 1 to 2047, names free of line breaks. Empty and
// `out` filled when they pass; else the message and `out` untouched.
std::string ComputeAppliedSetup(const TSettingItems& edits, TAppliedSetup& out);

// The edits the main window hands to the dialog before showing it: its names and its
// sizes in megabytes, the memory size being the core's current one.
TSettingItems SetupEditsFromApplied(const TAppliedSetup& applied, double coreMemSize);
