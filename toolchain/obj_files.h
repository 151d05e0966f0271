#pragma once
// The object files of one link: loaded in project order, placed one after another
// in the image, and their references patched into it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/replacing_file.h"
#include "toolchain/asm_file.h"
#include "toolchain/name_index.h"
#include "toolchain/qobj_file.h"
#include "toolchain/tclist.h"

class TOBJFiles {
 public:
  TCList<std::string> Names;
  TCList<int32_t> Bases;  // byte offset of each object's first word in the image
  TCList<TQOBJFile> Objects;  // the objects read from their files

  TOBJFiles& AssignNames(const TCList<std::string>& names);
  int32_t NameCount();
  // The objects of the last link, read or taken from their sources.
  int32_t QobjCount();
  // 0, or the negative result of the first object that cannot be read (see
  // TQOBJFile::LoadFromFile), with the message naming it in `failure`.
  int32_t LoadAll(std::string* failure = nullptr);
  // The same objects taken from the sources that have just written them: what they
  // hold in memory is what their object files hold. The sources must stay as they
  // are until the link is done. 0, or -4 when the code does not fit 32-bit offsets.
  int32_t TakeAssembled(const TCList<TAsmFile>& sources);
  // The objects' code words one after another, as the image holds them.
  std::string ImageBytes() const;
  // 0, or -1 when the counts differ (nothing patched).
  int32_t ResolveAll(std::string& image);
  // A reference of the last ResolveAll that did not get the value it names, keeping
  // the operand the assembler wrote: no object defines its name, or it is a data
  // reference to a definition of another object, which only its own source fills in.
  struct TUnresolved {
    std::string_view Name;  // held by the objects, until the next link
    size_t Object;          // the first object that refers to it
    uint32_t Address;       // where that reference's instruction lies in the object's code
    bool DefinedElsewhere;
  };
  // Each such name once, in the order of its first reference; a reference without a
  // name every time, as each names no other line.
  const std::vector<TUnresolved>& Unresolved() const { return Unresolved_; }
  // Appends every object's symbol dump.
  void DumpAll(TReplacingFile& listing) const;

 private:
  // An object as the link uses it, wherever its parts are held.
  struct TLinkObject {
    const std::string* FileName;
    const std::vector<uint32_t>* Code;
    const TCList<TLineSym>* Lines;
    const TCList<TLineSym>* OpLines;
  };
  struct TDefinition {
    const TLineSym* Sym = nullptr;
    int32_t Base = 0;
    uint32_t Object = 0;  // 32 bits keep the entry small; objects are counted in 32 bits
  };

  void Restart();
  // Appends the object and its base; false when its code does not fit 32-bit offsets.
  bool Place(const TLinkObject& object, int32_t& base);
  void CollectDefinitions();
  // Patches object i's references into the image's bytes; a reference whose operand
  // would not lie inside object i's own code is skipped. Notes the names it finds
  // no definition of.
  void ResolveObject(std::string& image, size_t i, int32_t refBase);
  void NoteUnresolved(const TLineSym& ref, size_t object, bool definedElsewhere);
  // Whether object i defines the name itself; its names are indexed when first asked.
  bool DefinesItself(size_t i, std::string_view name);

  std::vector<TLinkObject> Linked;
  // The first definition of every name, in object order and then record order: the
  // one a linear search would find.
  TNameIndex<TDefinition> Definitions;
  std::vector<TUnresolved> Unresolved_;
  TNameIndex<size_t> UnresolvedNames;  // where each stands in Unresolved_
  std::vector<TNameIndex<char>> OwnNames;  // per object, empty until DefinesItself needs it
  std::vector<bool> OwnNamesIndexed;
};
