#pragma once
// The linker: object files of a project in, one program image out, with its
// listing and its ".Bin" copy for the simulator.

#include <cstdint>
#include <memory>
#include <string>

#include "base/replacing_file.h"
#include "toolchain/asm_file.h"
#include "toolchain/obj_files.h"
#include "toolchain/tclist.h"

std::string MakeImageName(const std::string& projectPath);
std::string MakeQobjName(const std::string& sourcePath);
std::string MakeListingName(const std::string& path, const std::string& ext);
// The image path without its last 7 characters (".tvxbin"), then ".Bin".
std::string MakeBinCopyName(const std::string& imagePath);

class TLink {
 public:
  std::string ImageName;
  TCList<std::string> ObjNames;
  TOBJFiles ObjFiles;
  // Why the last link failed, naming the file and the reason; empty after success.
  std::string Messages;
  // A line per reference of the last link that did not get its value (see
  // TOBJFiles::Unresolved, UnresolvedReferenceMessage); the link does not fail for them.
  std::string Warnings;

  TLink();
  ~TLink();

  // The link, reading every object from its ".qobj" file. 0; -1 no list; -2 the
  // image cannot be written, or an object cannot be opened or is no object file;
  // -5 an object cannot be read; -6 references not patched; -4 listing not written;
  // -7 ".Bin" copy not written. The image, the listing and the copy replace their
  // old files together, and only when all three are written: after a failure every
  // old file stays as it was.
  int32_t Link(TCList<TAsmFile>* sources);
  // The link in two steps, for sources that have just been assembled: Prepare takes
  // each object from its source in memory and writes the three files out, leaving
  // every old file in place; Commit then puts them in place. The sources must not
  // change in between. Both give the codes of Link.
  int32_t PrepareAssembled(TCList<TAsmFile>* sources);
  int32_t Commit();
  int32_t CollectObjNames(TCList<TAsmFile>* sources);

 private:
  struct TPrepared;
  int32_t Prepare(TCList<TAsmFile>* sources, bool fromFiles);
  void WriteListing(TReplacingFile& listing, const std::string& image) const;
  // The step's result, with the message naming the file that failed.
  int32_t Failed(int32_t result, const TReplacingFile& out, const std::string& path);

  std::unique_ptr<TPrepared> Prepared;
};
