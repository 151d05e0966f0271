#pragma once
// The floppy and hard-disk images named on talvorun's command line, opened all or
// none: a missing image is created only once every named image that exists is open
// and the folder of every missing one may take a new file, so that a run refused for
// one image leaves no new file behind for another.

#include <string>
#include <vector>

#include "machine/disks.h"

struct TNamedImage {
  TDiskDrive& Drive;
  std::string File;  // empty: none named
  const char* What;  // "floppy", "disk"
};

// Empty when every named image is open; else why the run is refused, naming the image.
std::string OpenNamedImages(const std::vector<TNamedImage>& images);
