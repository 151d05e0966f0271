#pragma once
// Files saved as one, as a project file and its options file are: each is written
// out in full before any takes the place of its old file, and should one still fail
// to, those put in place before it get their old bytes back. So either all of them
// change or none does; where even putting back fails, the failure says so and where
// the old bytes are kept whole.

#include <string>
#include <vector>

#include "base/file_error.h"

struct TFileToSave {
  std::string Path;
  std::string Bytes;
};

// Why the save failed (Error: an errno value, kNotARegularFile, kOneFileTwice), and
// what it left on the disk.
struct TSaveFailure : TWriteFailure {
  std::string Path;  // the file that could not be saved
};

// True, or false with the failure. Each file is durable: on the disk before it takes
// its place. Two names of one file are refused before anything is written.
bool SaveFilesTogether(const std::vector<TFileToSave>& files, TSaveFailure& failure);
