#pragma once
// The object files of one link: loaded in project order, placed one after another
// in the image, and their references patched into it.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>

#include "toolchain/qobj_file.h"
#include "toolchain/tclist.h"

class TOBJFiles {
 public:
  TCList<std::string> Names;
  TCList<int32_t> Bases;  // byte offset of each object's first word in the image
  TCList<TQOBJFile> Objects;

  TOBJFiles& AssignNames(const TCList<std::string>& names);
  int32_t NameCount();
  int32_t QobjCount();
  // 0, or the negative result of the first object that cannot be read.
  int32_t LoadAll();
  // 0; -1 when the counts differ (nothing patched) or the image cannot be read or
  // written back.
  int32_t ResolveAll(const std::string& imagePath);
  // Patches object i's references into the image's bytes; a reference whose operand
  // would not lie inside object i's own code is skipped.
  void ResolveFile(std::string& image, int32_t i, int32_t refBase);
  // 0, or -1 when the listing cannot be written.
  int32_t DumpAll(std::FILE* listing) const;

 private:
  struct TDefinition {
    const TLineSym* Sym;
    int32_t Base;
  };
  // The first definition of every name, in object order and then record order: the
  // one a linear search would find.
  std::unordered_map<std::string_view, TDefinition> Definitions;
  void CollectDefinitions();
};
