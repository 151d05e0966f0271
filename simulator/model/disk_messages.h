#pragma once
// What the main window says about a disk image the host refuses: one that cannot be
// opened, or one that lost bytes a program wrote (the guest never learns of those).
// Without widgets, so the texts are tested headless.

#include <string>

// The fixed text of the box (floppy or hard disk), then the reason on the next line;
// the fixed text alone when there is no reason (no image named).
std::string DiskOpenFailedText(const char* fixedText, int error);

// A drive that lost writes since the window last looked: its image's name as the
// settings hold it (GBK) and the reason (an errno value, 0 for none).
struct TLostWrites {
  std::string FloppyName;
  int FloppyError = 0;
  std::string HardDiskName;
  int HardDiskError = 0;
};

// One line per image that lost writes, naming it and the reason; empty when none did.
std::string LostWritesText(const TLostWrites& lost);
