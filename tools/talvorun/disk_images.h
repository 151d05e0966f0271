#pragma once
// The floppy and hard-disk images named on talvorun's command line, opened all or
// none: a missing image is created only once every named image that exists is open
// and the folder of every missing one (where its links lead) may take a new file, so
// that a run refused for one image leaves no new file behind for another.

#include <string>
#include <vector>

#include "machine/disks.h"

struct TNamedImage {
  TDiskDrive& Drive;
  std::string File;  // empty: none named
  const char* What;  // "floppy", "disk"
};

// Empty when every named image is open; else why the run is refused, one line for each
// image refused, naming it (and none is open).
std::vector<std::string> OpenNamedImages(const std::vector<TNamedImage>& images);
