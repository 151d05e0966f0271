#pragma once
// The CPU settings file: seven text lines (memory MB, memory file, hard-disk MB,
// hard-disk file, floppy MB, floppy file, BIOS file), each ending in the bytes
// 0D 0D 0A. Shared by the core's reset and the simulator's setup dialog.

#include <string>

struct TSettingItems {
  // Raw GBK texts of the seven lines, without their line ends.
  std::string Items[7];
};

enum TSettingLine {
  SettingMemSize = 0,
  SettingMemFile = 1,
  SettingHardDiskSize = 2,
  SettingHardDiskFile = 3,
  SettingFloppySize = 4,
  SettingFloppyFile = 5,
  SettingBiosFile = 6,
};

// 1 when the file was opened (missing lines read as empty texts), 0 when not.
int ReadSettingItems(const std::string& path, TSettingItems& out);

// 1 when written, 0 when not. The old file stays intact on failure: the lines go to
// a temporary file that then replaces it. An item holding CR or LF is refused.
int WriteSettingItems(const std::string& path, const TSettingItems& in);

// A decimal floating-point number, independent of the user's locale. Blanks around
// it are allowed; anything else, and infinities or NaN, make it false.
bool ParseSettingNumber(const std::string& text, double& value);

// Fixed notation with six decimals ("64.000000"), as the number lines hold it.
std::string FormatSettingNumber(double value);

// General notation with up to 15 significant digits ("64", "1.44"), as edits show it.
std::string FormatSettingNumberShort(double value);

// The current folder's file named after this program with the given extension
// (".setting" gives "TALVOSim.setting" for the program TALVOSim).
std::string ProgramNamedPath(const std::string& extension);

// "<program file name>.setting" in the current folder.
std::string DefaultSettingPath();
