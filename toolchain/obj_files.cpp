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

// A record's name as its object file gives it back: up to the first NUL.
void CutNamesAsRead(TCList<TLineSym>& list) {
  for (int32_t i = 0; i < list.CountNodes(); ++i) {
    std::string& name = list.Item(i)->Value.SymName;
    if (const size_t nul = name.find('\0'); nul != std::string::npos) name.resize(nul);
  }
}

}  // namespace

TOBJFiles& TOBJFiles::AssignNames(const TCList<std::string>& names) {
  Names.Assign(names);
  return *this;
}

int32_t TOBJFiles::NameCount() {
  Names.UpdateCount();
  return Names.Count;
}

int32_t TOBJFiles::QobjCount() {
  Objects.UpdateCount();
  return Objects.Count;
}

bool TOBJFiles::Place(TQOBJFile&& object, int32_t& base) {
  const int32_t size = object.CodeSize;
  if (!Objects.Append(std::move(object))) return false;
  Bases.Append(base);
  // The image's offsets are 32-bit; a set whose code does not fit cannot be placed.
  if (size > INT32_MAX - base) return false;
  base += size;
  return true;
}

int32_t TOBJFiles::LoadAll(std::string* failure) {
  const int32_t count = NameCount();
  Objects.Clear();
  Bases.Clear();
  int32_t base = 0;
  for (int32_t i = 0; i < count; ++i) {
    TQOBJFile object;
    int error = 0;
    const std::string& name = Names.Item(i)->Value;
    const int32_t result = object.LoadFromFile(name, &error);
    if (result == 0 && !Place(std::move(object), base)) return -4;
    if (result == 0) continue;
    if (failure != nullptr) *failure = LoadFailureMessage(name, result, error);
    return result;
  }
  return 0;
}

int32_t TOBJFiles::TakeAssembled(const TCList<TAsmFile>& sources) {
  const int32_t count = NameCount();
  Objects.Clear();
  Bases.Clear();
  int32_t base = 0;
  for (int32_t i = 0; i < count; ++i) {
    const TAsmFile& source = sources.Item(i)->Value;
    TQOBJFile object;
    object.FileName = Names.Item(i)->Value;
    const auto& words = source.Code.All();
    object.Code.reserve(words.size());
    for (const TCodeWord& word : words) object.Code.push_back(word.Value);
    object.CodeSize = static_cast<int32_t>(4 * words.size());
    object.mLines.Assign(source.mLines);
    object.mOpLines.Assign(source.mOpLines);
    CutNamesAsRead(object.mLines);
    CutNamesAsRead(object.mOpLines);
    if (!Place(std::move(object), base)) return -4;
  }
  return 0;
}

std::string TOBJFiles::ImageBytes() const {
  size_t words = 0;
  for (int32_t i = 0; i < Objects.CountNodes(); ++i) words += Objects.Item(i)->Value.Code.size();
  std::string image(4 * words, '\0');
  auto* bytes = reinterpret_cast<unsigned char*>(image.data());
  for (int32_t i = 0; i < Objects.CountNodes(); ++i) {
    for (const uint32_t word : Objects.Item(i)->Value.Code) {
      PutWordLE(bytes, word);
      bytes += 4;
    }
  }
  return image;
}

int32_t TOBJFiles::ResolveAll(std::string& image) {
  if (NameCount() != QobjCount()) return -1;
  Bases.UpdateCount();
  CollectDefinitions();
  for (int32_t i = 0; i < Objects.Count; ++i) ResolveFile(image, i, Bases.Item(i)->Value);
  return 0;
}

void TOBJFiles::CollectDefinitions() {
  Definitions.clear();
  for (int32_t j = 0; j < Objects.Count; ++j) {
    const TQOBJFile& object = Objects.Item(j)->Value;
    for (int32_t k = 0; k < object.mLines.CountNodes(); ++k) {
      const TLineSym& def = object.mLines.Item(k)->Value;
      Definitions.try_emplace(def.SymName, TDefinition{&def, Bases.Item(j)->Value});
    }
  }
}

void TOBJFiles::ResolveFile(std::string& image, int32_t i, int32_t refBase) {
  const TQOBJFile& object = Objects.Item(i)->Value;
  for (int32_t k = 0; k < object.mOpLines.CountNodes(); ++k) {
    const TLineSym& ref = object.mOpLines.Item(k)->Value;
    if (ref.CodeCount < RefKindOffset || ref.CodeCount > RefKindLabel) continue;
    const auto found = Definitions.find(ref.SymName);
    if (found == Definitions.end()) continue;
    // The operand follows the referring instruction and must lie in this object's
    // own code: the position comes from the file and may be anything.
    const uint64_t operand = uint64_t{ref.Offset[0]} + 4;
    if (operand + 16 > static_cast<uint64_t>(object.CodeSize)) continue;
    const size_t position = static_cast<size_t>(refBase) + static_cast<size_t>(operand);
    if (position + 16 > image.size()) continue;
    const TLineSym& def = *found->second.Sym;
    uint32_t words[4];
    for (int w = 0; w < 4; ++w) {
      words[w] = ref.CodeCount == RefKindSegment ? def.Segment[w] : def.Offset[w];
    }
    // Unsigned: the offset moved by the base wraps at 32 bits like the image's words.
    if (ref.CodeCount == RefKindOffset) words[0] += static_cast<uint32_t>(found->second.Base);
    WriteOperand(image, position, words);
  }
}

int32_t TOBJFiles::DumpAll(TReplacingFile& listing) const {
  for (int32_t i = 0; i < Objects.CountNodes(); ++i) Objects.Item(i)->Value.DumpToFile(listing);
  return 0;
}
