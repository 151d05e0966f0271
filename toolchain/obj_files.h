#pragma once
// The object files of one link: loaded in project order, placed one after another
// in the image, and their references patched into it.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "base/replacing_file.h"
#include "toolchain/asm_file.h"
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
  // 0, or the negative result of the first object that cannot be read (see
  // TQOBJFile::LoadFromFile), with the message naming it in `failure`.
  int32_t LoadAll(std::string* failure = nullptr);
  // The same objects taken from the sources that have just written them: what they
  // hold in memory is what their object files hold. 0, or -4 without memory.
  int32_t TakeAssembled(const TCList<TAsmFile>& sources);
  // The objects' code words one after another, as the image holds them.
  std::string ImageBytes() const;
  // 0, or -1 when the counts differ (nothing patched).
  int32_t ResolveAll(std::string& image);
  // Patches object i's references into the image's bytes; a reference whose operand
  // would not lie inside object i's own code is skipped.
  void ResolveFile(std::string& image, int32_t i, int32_t refBase);
  // Appends every object's symbol dump; 0.
  int32_t DumpAll(TReplacingFile& listing) const;

 private:
  struct TDefinition {
    const TLineSym* Sym;
    int32_t Base;
  };
  // The first definition of every name, in object order and then record order: the
  // one a linear search would find.
  std::unordered_map<std::string_view, TDefinition> Definitions;
  void CollectDefinitions();
  // Appends the object and its base; false without memory or room in 32 bits.
  bool Place(TQOBJFile&& object, int32_t& base);
};
