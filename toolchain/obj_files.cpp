#include "toolchain/obj_files.h"

#include "toolchain/le_file.h"
#include "toolchain/operands.h"

namespace {

// Writes four words, least significant first, at the byte position.
void WriteOperand(std::string& image, size_t position, const uint32_t words[4]) {
  auto* bytes = reinterpret_cast<unsigned char*>(image.data()) + position;
  for (int k = 0; k < 4; ++k) PutWordLE(bytes + 4 * k, words[k]);
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

int32_t TOBJFiles::LoadAll() {
  const int32_t count = NameCount();
  Objects.Clear();
  Bases.Clear();
  int32_t base = 0;
  for (int32_t i = 0; i < count; ++i) {
    TQOBJFile object;
    const int32_t result = object.LoadFromFile(Names.Item(i)->Value);
    if (result != 0) return result;
    const int32_t size = object.CodeSize;
    if (!Objects.Append(std::move(object))) return -4;
    Bases.Append(base);
    // The image's offsets are 32-bit; a set whose code does not fit cannot be placed.
    if (size > INT32_MAX - base) return -4;
    base += size;
  }
  return 0;
}

int32_t TOBJFiles::ResolveAll(const std::string& imagePath) {
  if (NameCount() != QobjCount()) return -1;
  TFilePtr file = OpenFile(imagePath, "r+b");
  if (!file) return -1;
  const int64_t size = BytesLeft(file.get());
  if (size < 0) return -1;
  std::string image(static_cast<size_t>(size), '\0');
  if (std::fread(image.data(), 1, image.size(), file.get()) != image.size()) return -1;
  Bases.UpdateCount();
  CollectDefinitions();
  for (int32_t i = 0; i < Objects.Count; ++i) ResolveFile(image, i, Bases.Item(i)->Value);
  if (fseeko(file.get(), 0, SEEK_SET) != 0) return -1;
  const bool written = std::fwrite(image.data(), 1, image.size(), file.get()) == image.size();
  return CloseWritten(file) && written ? 0 : -1;
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

int32_t TOBJFiles::DumpAll(std::FILE* listing) const {
  for (int32_t i = 0; i < Objects.CountNodes(); ++i) {
    if (Objects.Item(i)->Value.DumpToFile(listing) != 0) return -1;
  }
  return 0;
}
