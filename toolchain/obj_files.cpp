#include "toolchain/obj_files.h"

#include "toolchain/file_messages.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/le_file.h"
#include "toolchain/operands.h"

namespace {

// Writes four words, least significant first, at the byte position.
void WriteOperand(std::string& image, size_t position, const uint32_t words[4]) {
  auto* bytes = reinterpret_cast<unsigned char*>(image.data()) + position;
  for (int k = 0; k < 4; ++k) PutWordLE(bytes + 4 * k, words[k]);
}

// Why an object file could not be read, for LoadFromFile's result.
std::string LoadFailureMessage(const std::string& path, int32_t result, int error) {
  if (result == -1) return FileFailureMessage(gbk::kMsgCannotRead, path, error);
  return FileFailureMessage(gbk::kMsgCannotRead, path,
                            result == -2 ? gbk::kReasonNotAnObject : gbk::kReasonObjectDamaged);
}

// A record's name as the object file gives it back: up to the first NUL.
std::string_view NameAsRead(const TLineSym& sym) { return sym.SymName.c_str(); }

}  // namespace

TOBJFiles& TOBJFiles::AssignNames(const TCList<std::string>& names) {
  Names.Assign(names);
  return *this;
}

int32_t TOBJFiles::NameCount() {
  Names.UpdateCount();
  return Names.Count;
}

int32_t TOBJFiles::QobjCount() { return static_cast<int32_t>(Linked.size()); }

void TOBJFiles::Restart() {
  NameCount();
  Objects.Clear();
  Bases.Clear();
  Linked.clear();
}

bool TOBJFiles::Place(const TLinkObject& object, int32_t& base) {
  Linked.push_back(object);
  Bases.Append(base);
  // The image's offsets are 32-bit; a set whose code does not fit cannot be placed.
  const size_t size = 4 * object.Code->size();
  if (size > static_cast<size_t>(INT32_MAX - base)) return false;
  base += static_cast<int32_t>(size);
  return true;
}

int32_t TOBJFiles::LoadAll(std::string* failure) {
  Restart();
  for (int32_t i = 0; i < Names.Count; ++i) {
    TQOBJFile object;
    int error = 0;
    const std::string& name = Names.Item(i)->Value;
    const int32_t result = object.LoadFromFile(name, &error);
    if (result != 0) {
      if (failure != nullptr) *failure = LoadFailureMessage(name, result, error);
      return result;
    }
    if (!Objects.Append(std::move(object))) return -4;
  }
  int32_t base = 0;
  for (int32_t i = 0; i < Names.Count; ++i) {
    const TQOBJFile& object = Objects.Item(i)->Value;
    if (!Place({&object.FileName, &object.Code, &object.mLines, &object.mOpLines}, base)) return -4;
  }
  return 0;
}

int32_t TOBJFiles::TakeAssembled(const TCList<TAsmFile>& sources) {
  Restart();
  int32_t base = 0;
  for (int32_t i = 0; i < Names.Count; ++i) {
    const TAsmFile& source = sources.Item(i)->Value;
    if (!Place({&Names.Item(i)->Value, &source.Code.All(), &source.mLines, &source.mOpLines}, base)) {
      return -4;
    }
  }
  return 0;
}

std::string TOBJFiles::ImageBytes() const {
  size_t words = 0;
  for (const TLinkObject& object : Linked) words += object.Code->size();
  std::string image(4 * words, '\0');
  auto* bytes = reinterpret_cast<unsigned char*>(image.data());
  for (const TLinkObject& object : Linked) {
    for (const uint32_t word : *object.Code) {
      PutWordLE(bytes, word);
      bytes += 4;
    }
  }
  return image;
}

int32_t TOBJFiles::ResolveAll(std::string& image) {
  if (NameCount() != QobjCount()) return -1;
  CollectDefinitions();
  Unresolved_.clear();
  UnresolvedNames.Clear();
  OwnNames.assign(Linked.size(), {});
  OwnNamesIndexed.assign(Linked.size(), false);
  for (size_t i = 0; i < Linked.size(); ++i) {
    ResolveObject(image, i, Bases.Item(static_cast<int32_t>(i))->Value);
  }
  return 0;
}

void TOBJFiles::CollectDefinitions() {
  Definitions.Clear();
  size_t names = 0;
  for (const TLinkObject& object : Linked) names += static_cast<size_t>(object.Lines->CountNodes());
  Definitions.Reserve(names);
  for (size_t j = 0; j < Linked.size(); ++j) {
    const TCList<TLineSym>& lines = *Linked[j].Lines;
    const int32_t base = Bases.Item(static_cast<int32_t>(j))->Value;
    for (int32_t k = 0, count = lines.CountNodes(); k < count; ++k) {
      const TLineSym& def = lines.Item(k)->Value;
      Definitions.InsertFirst(NameAsRead(def), TDefinition{&def, base, static_cast<uint32_t>(j)});
    }
  }
}

void TOBJFiles::NoteUnresolved(const TLineSym& ref, size_t object, bool definedElsewhere) {
  const std::string_view name = NameAsRead(ref);
  if (!name.empty()) {
    if (UnresolvedNames.Find(name) != nullptr) return;
    UnresolvedNames.InsertFirst(name, Unresolved_.size());
  }
  Unresolved_.push_back({name, object, ref.Offset[0], definedElsewhere});
}

bool TOBJFiles::DefinesItself(size_t i, std::string_view name) {
  if (!OwnNamesIndexed[i]) {
    const TCList<TLineSym>& lines = *Linked[i].Lines;
    for (int32_t k = 0, count = lines.CountNodes(); k < count; ++k) {
      OwnNames[i].InsertFirst(NameAsRead(lines.Item(k)->Value), 1);
    }
    OwnNamesIndexed[i] = true;
  }
  return OwnNames[i].Find(name) != nullptr;
}

void TOBJFiles::ResolveObject(std::string& image, size_t i, int32_t refBase) {
  const TLinkObject& object = Linked[i];
  const uint64_t codeSize = 4 * object.Code->size();
  for (int32_t k = 0, count = object.OpLines->CountNodes(); k < count; ++k) {
    const TLineSym& ref = object.OpLines->Item(k)->Value;
    if (ref.CodeCount < RefKindOffset || ref.CodeCount > RefKindData) continue;
    const TDefinition* found = Definitions.Find(NameAsRead(ref));
    if (found == nullptr) {
      NoteUnresolved(ref, i, false);
      continue;
    }
    // A data reference keeps what pass 2 wrote from a constant of its own source; one
    // its source does not define keeps the encoder's 0, which is worth a word.
    if (ref.CodeCount == RefKindData) {
      if (found->Object != i && !DefinesItself(i, NameAsRead(ref))) NoteUnresolved(ref, i, true);
      continue;
    }
    // The operand follows the referring instruction and must lie in this object's
    // own code: the position comes from the file and may be anything.
    const uint64_t operand = uint64_t{ref.Offset[0]} + 4;
    if (operand + 16 > codeSize) continue;
    const size_t position = static_cast<size_t>(refBase) + static_cast<size_t>(operand);
    if (position + 16 > image.size()) continue;
    const TLineSym& def = *found->Sym;
    uint32_t words[4];
    for (int w = 0; w < 4; ++w) {
      words[w] = ref.CodeCount == RefKindSegment ? def.Segment[w] : def.Offset[w];
    }
    // Unsigned: the offset moved by the base wraps at 32 bits like the image's words.
    if (ref.CodeCount == RefKindOffset) words[0] += static_cast<uint32_t>(found->Base);
    WriteOperand(image, position, words);
  }
}

void TOBJFiles::DumpAll(TReplacingFile& listing) const {
  for (const TLinkObject& object : Linked) {
    AppendObjectDump(listing, *object.FileName, *object.Lines, *object.OpLines);
  }
}
