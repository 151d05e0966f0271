// An object file through the reader and the linker. The first input byte lays out
// the link: how many well-formed objects come before the fuzzed one, whether one
// follows it and whether it is linked twice; the rest is the object file. The
// well-formed objects reference each other and names the fuzzed one may define.
//
// Properties: what the reader accepts survives the writer and the reader unchanged;
// the link succeeds exactly when the fuzzed object can be read; a linked image equals
// the one a plain linear search gives (first definition in object order wins).

#include <filesystem>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "fuzz_scratch.h"
#include "toolchain/complier_asm.h"
#include "toolchain/le_file.h"

namespace {

bool SameRecords(const TCList<TLineSym>& a, const TCList<TLineSym>& b) {
  if (a.CountNodes() != b.CountNodes()) return false;
  for (int32_t i = 0; i < a.CountNodes(); ++i) {
    const TLineSym& x = a.Item(i)->Value;
    const TLineSym& y = b.Item(i)->Value;
    if (x.SymName != y.SymName || x.CodeCount != y.CodeCount || x.LineNum != y.LineNum) return false;
    for (int w = 0; w < 4; ++w) {
      if (x.Offset[w] != y.Offset[w] || x.Segment[w] != y.Segment[w]) return false;
    }
  }
  return true;
}

bool AllNamesFit(const TCList<TLineSym>& list) {
  for (int32_t i = 0; i < list.CountNodes(); ++i) {
    if (!list.Item(i)->Value.NameFits()) return false;
  }
  return true;
}

void CheckRewrite(const TQOBJFile& object) {
  TAsmFile source;
  source.FileName = (ScratchFolder() / "rewritten.casm").string();
  for (uint32_t word : object.Code) source.Code.Append(word);
  source.mLines.Assign(object.mLines);
  source.mOpLines.Assign(object.mOpLines);
  const int32_t saved = source.SaveQobj();
  // A name that fills its whole field cannot be written back, and must be refused.
  const bool fits = AllNamesFit(object.mLines) && AllNamesFit(object.mOpLines);
  Check(saved == (fits ? 0 : -1), "an object that was read is written back unless a name fills its field");
  if (!fits) return;
  TQOBJFile again;
  Check(again.LoadFromFile((ScratchFolder() / "rewritten.qobj").string()) == 0 && again.Code == object.Code &&
            again.CodeSize == object.CodeSize && SameRecords(again.mLines, object.mLines) &&
            SameRecords(again.mOpLines, object.mOpLines),
        "a rewritten object reads back the same");
}

// Assembles the well-formed objects once; their sources name each other's labels and
// "fuzzed", "shared" and "entry", which seeds of the fuzzed object define.
const std::vector<std::string>& WellFormedSources() {
  static const std::vector<std::string> sources = [] {
    const char* texts[][2] = {
        {"first.casm",
         "first:\r\nLD R1 OFFSET second\r\nLD R2 SEGMENT fuzzed\r\nFUNC entry\r\nRET\r\n"
         "shared:\r\nLD R3 LABEL shared\r\n"},
        {"second.casm",
         "ORG 8\r\nsecond:\r\nLD R4 LABEL first\r\nLD R5 OFFSET shared\r\nshared:\r\n"
         "LD R6 OFFSET fuzzed\r\nLD R7 = K\r\nK = 7\r\nIRET\r\n"},
        {"third.casm", "entry:\r\nFUNC first\r\nLD R8 OFFSET entry\r\nLD R9 SEGMENT second\r\n"},
    };
    std::vector<std::string> paths;
    for (const auto& [name, text] : texts) {
      TAsmFile file;
      paths.push_back(WriteScratch(name, text));
      Check(file.AssembleFile(paths.back()) == 0, "harness: the well-formed sources assemble");
    }
    return paths;
  }();
  return sources;
}

// The image a linear search gives: every object's code in order, then each reference
// of kind 0 to 2 patched from the first definition of its name. An operand that does
// not lie within its own object's code is left alone.
std::string LinearLink(const std::vector<const TQOBJFile*>& objects) {
  std::string image;
  std::vector<uint32_t> bases;
  for (const TQOBJFile* object : objects) {
    bases.push_back(static_cast<uint32_t>(image.size()));
    for (uint32_t word : object->Code) {
      unsigned char bytes[4];
      PutWordLE(bytes, word);
      image.append(reinterpret_cast<char*>(bytes), 4);
    }
  }
  for (size_t i = 0; i < objects.size(); ++i) {
    const TCList<TLineSym>& refs = objects[i]->mOpLines;
    for (int32_t r = 0; r < refs.CountNodes(); ++r) {
      const TLineSym& ref = refs.Item(r)->Value;
      if (ref.CodeCount < 0 || ref.CodeCount > 2) continue;
      const uint64_t operand = uint64_t{ref.Offset[0]} + 4;
      if (operand + 16 > static_cast<uint64_t>(objects[i]->CodeSize)) continue;
      bool found = false;
      for (size_t j = 0; j < objects.size() && !found; ++j) {
        const TCList<TLineSym>& defs = objects[j]->mLines;
        for (int32_t d = 0; d < defs.CountNodes() && !found; ++d) {
          const TLineSym& def = defs.Item(d)->Value;
          if (def.SymName != ref.SymName) continue;
          found = true;
          auto* at = reinterpret_cast<unsigned char*>(image.data()) + bases[i] + operand;
          for (int w = 0; w < 4; ++w) {
            uint32_t word = ref.CodeCount == 1 ? def.Segment[w] : def.Offset[w];
            if (ref.CodeCount == 0 && w == 0) word += bases[j];
            PutWordLE(at + 4 * w, word);
          }
        }
      }
    }
  }
  return image;
}

void FuzzLink(uint8_t layout, bool fuzzedReads) {
  const std::vector<std::string>& wellFormed = WellFormedSources();
  const std::string fuzzedSource = (ScratchFolder() / "fuzzed.casm").string();
  std::vector<std::string> order;
  const int before = std::min(layout & 3, 2);
  for (int i = 0; i < before; ++i) order.push_back(wellFormed[static_cast<size_t>(i)]);
  order.push_back(fuzzedSource);
  if (layout & 4) order.push_back(wellFormed[2]);
  if (layout & 8) order.push_back(fuzzedSource);

  TCList<TAsmFile> sources;
  for (const std::string& path : order) {
    TAsmFile entry;
    entry.FileName = path;
    sources.Append(entry);
  }
  TLink linker;
  linker.ImageName = (ScratchFolder() / "image.tvxbin").string();
  const int32_t result = linker.Link(&sources);
  Check((result == 0) == fuzzedReads, "the link succeeds exactly when the fuzzed object can be read");
  if (result != 0) return;

  std::vector<TQOBJFile> loaded(order.size());
  std::vector<const TQOBJFile*> objects;
  for (size_t i = 0; i < order.size(); ++i) {
    Check(loaded[i].LoadFromFile(MakeQobjName(order[i])) == 0, "linked objects can be read");
    objects.push_back(&loaded[i]);
  }
  const std::string image = ReadScratch("image.tvxbin");
  Check(image == LinearLink(objects), "the image is the one a linear search gives");
  Check(ReadScratch("image.Bin") == image, "the copy equals the image");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  const uint8_t layout = input.Byte();
  const std::string fuzzed = WriteScratch("fuzzed.qobj", input.Rest());
  TQOBJFile object;
  const bool reads = object.LoadFromFile(fuzzed) == 0;
  if (reads) CheckRewrite(object);
  FuzzLink(layout, reads);
  return 0;
}
