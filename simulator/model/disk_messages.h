#pragma once
// What the main window says about a disk image the host refuses: one that cannot be
// opened, or one that lost bytes a program wrote or could not give the bytes it read
// (the guest never learns of those). Without widgets, so the texts are tested headless.

#include <string>

#include "machine/disks.h"

// The fixed text of the box (floppy or hard disk), then the reason on the next line;
// the fixed text alone when there is no reason (no image named).
std::string DiskOpenFailedText(const char* fixedText, int error);

// The drives whose host refused bytes since the window last looked: each image's name
// as the settings hold it (GBK) and the reasons (errno values, 0 for none).
struct TDiskRefusalReport {
  std::string FloppyName;
  TDiskDrive::TRefusals Floppy;
  std::string HardDiskName;
  TDiskDrive::TRefusals HardDisk;
};

// One line per image and refused writes or reads, naming the image and the reason;
// empty when there are none.
std::string DiskRefusalText(const TDiskRefusalReport& report);
