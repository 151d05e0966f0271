#pragma once
// The port table's ".pset" file: 25 decimal lines ending CR LF.

#include <string>

#include "machine/port_table.h"

// "<program file name>.pset" in the current folder.
std::string PeripSettingPath();

// 0 when written, 1 when the file could not be written (the old file then stays).
int SavePeripSetting(const std::string& path, const TPortTable& table);

// 0 when the file was read, 1 when it could not be opened. Items are scanned in file
// order straight into their entries; the first item that is not a 32-bit number
// ends the scan and leaves it and every later entry as it was.
int LoadPeripSetting(const std::string& path, TPortTable& table);
