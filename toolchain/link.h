#pragma once
// The linker: object files of a project in, one program image out, with its
// listing and its ".Bin" copy for the simulator.

#include <cstdint>
#include <cstdio>
#include <string>

#include "toolchain/asm_file.h"
#include "toolchain/obj_files.h"
#include "toolchain/tclist.h"

std::string MakeImageName(const std::string& projectPath);
std::string MakeQobjName(const std::string& sourcePath);
std::string MakeListingName(const std::string& path, const std::string& ext);

class TLink {
 public:
  std::string ImageName;
  TCList<std::string> ObjNames;
  TOBJFiles ObjFiles;

  // 0; -1 no list; -2 image not written; -5 an object not read; -6 references not
  // patched; -4 listing not written; -7 ".Bin" copy not written.
  int32_t Link(TCList<TAsmFile>* sources);
  int32_t CollectObjNames(TCList<TAsmFile>* sources);
  // 0; -1 the image cannot be created or written; -2 an object's code cannot be
  // copied.
  int32_t WriteImage(const std::string& imagePath);
  // 0; -1 no image or a write failed; -2 the object cannot be opened; -3 it is no
  // object file or holds fewer words than it counts.
  int32_t AppendQobjCode(std::FILE* image, const std::string& objPath);
  // 0; -1 the image cannot be read; -2 the listing cannot be created or written.
  int32_t WriteListing(const std::string& imagePath, const std::string& listingPath);
  // 0; -1 the copy cannot be created or written; -3 the image cannot be opened.
  int32_t WriteBinCopy(const std::string& imagePath);
};
