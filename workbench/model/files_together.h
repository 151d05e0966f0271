#pragma once
// Files saved as one, as a project file and its options file are: each is written
// out in full before any takes the place of its old file, and should one still fail
// to, those put in place before it get their old bytes back. So either all of them
// change or none does.

#include <string>
#include <vector>

struct TFileToSave {
  std::string Path;
  std::string Bytes;
};

struct TSaveFailure {
  std::string Path;  // the file that could not be saved
  int Error = 0;     // why: an errno value or kNotARegularFile
};

// True, or false with the failure; every file is then as it was. Each is durable:
// on the disk before it takes its place.
bool SaveFilesTogether(const std::vector<TFileToSave>& files, TSaveFailure& failure);
