#pragma once
// The assembler driver of a project: assembles every source in project order, stops
// at the first that fails, links the rest into the program image.

#include <cstdint>
#include <string>
#include <vector>

#include "toolchain/asm_file.h"
#include "toolchain/link.h"
#include "toolchain/tclist.h"

// The per-file outputs a build writes after a successful link.
struct TPerFileOutputs {
  bool Hex = false;
  bool TvxBin = false;
  bool Lst = false;
};

class TComplierAsm {
 public:
  std::string OutputName;  // the project file's path; the image is named from it
  TCList<TAsmFile> Files;
  std::string Messages;
  // What a build that went on should still be told: a line per reference that did not
  // get its value (the linker's Warnings), naming the source that makes it. UTF-8,
  // each line ending in CR LF.
  std::string Warnings;
  TLink Linker;
  // Set before BuildAll, so that the per-file outputs are checked with all the others
  // before anything is written.
  TPerFileOutputs PerFileOutputs;

  void ClearFiles() { Files.Clear(); }
  void AddFile(const std::string& path);
  // 0; -1 no sources, an output that would replace a file the build reads or another
  // output (nothing written), or a source failed; -2 the link failed. Messages says
  // why. Every source is assembled in memory before anything is written, so that
  // the files it includes are known (after a source that fails, the rest is read for
  // its includes alone); the object files are then written on a second
  // thread while the link is prepared, and the build waits for them before it
  // reports anything or puts the link's files in place.
  int32_t BuildAll();
  // -1 without sources or when a file cannot be written (the first such stops, and
  // Messages names it), else 0.
  int32_t SaveAllHex();
  int32_t SaveAllTvxBin();
  int32_t SaveAllLst();
  // The per-file outputs PerFileOutputs asks for, after a successful BuildAll: 0, or
  // -1 from the first that fails.
  int32_t SavePerFileOutputs();

 private:
  int32_t ForEachFile(int32_t (TAsmFile::*save)());
  // Empty, or the message naming an output that would replace a file it must not;
  // every source has been read, with its includes.
  std::string OutputConflict();
  // Writes the object files of the sources in order, stopping at the first that
  // cannot be written. It reads only the sources, never the list, so the link may be
  // prepared meanwhile.
  struct TObjectsWritten {
    int32_t Failed;          // the source whose object was not written, or the count
    TWriteFailure Failure;   // why, for TAsmFile::AddQobjFailure
  };
  static TObjectsWritten WriteObjects(const std::vector<const TAsmFile*>& sources);
  // The first `count` sources.
  std::vector<const TAsmFile*> FirstSources(int32_t count) const;
  // 0, or -1 with the failure in Messages.
  int32_t AddObjectFailure(const TObjectsWritten& written);
};
