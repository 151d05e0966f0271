// An object file through the reader and the linker: the first input byte picks
// whether it links alone or after a well-formed object. What the reader accepts
// must survive the writer and the reader again unchanged.

#include <cstdlib>
#include <filesystem>

#include "fuzz_scratch.h"
#include "toolchain/complier_asm.h"

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
  if (saved != (fits ? 0 : -1)) std::abort();
  if (!fits) return;
  TQOBJFile again;
  if (again.LoadFromFile((ScratchFolder() / "rewritten.qobj").string()) != 0 ||
      again.Code != object.Code || again.CodeSize != object.CodeSize ||
      !SameRecords(again.mLines, object.mLines) || !SameRecords(again.mOpLines, object.mOpLines)) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string fuzzed = WriteScratch("fuzzed.qobj", data, size);
  TQOBJFile object;
  if (object.LoadFromFile(fuzzed) == 0) CheckRewrite(object);

  static const TQOBJFile good = [] {
    const char text[] = "first:\r\nLD R1 OFFSET second\r\nRET\r\n";
    TAsmFile file;
    TQOBJFile loaded;
    if (file.AssembleFile(WriteScratch("good.casm", reinterpret_cast<const uint8_t*>(text),
                                       sizeof text - 1)) != 0 ||
        loaded.LoadFromFile((ScratchFolder() / "good.qobj").string()) != 0) {
      std::abort();
    }
    return loaded;
  }();
  TCList<TAsmFile> sources;
  TAsmFile entry;
  const bool withGood = size > 0 && data[0] % 2 == 0;
  if (withGood) {
    entry.FileName = (ScratchFolder() / "good.casm").string();
    sources.Append(entry);
  }
  entry.FileName = (ScratchFolder() / "fuzzed.casm").string();
  sources.Append(entry);
  TLink linker;
  linker.ImageName = (ScratchFolder() / "image.tvxbin").string();
  if (linker.Link(&sources) == 0) {
    // The image holds the code of every object, nothing more.
    const uintmax_t expected = static_cast<uintmax_t>(object.CodeSize) + (withGood ? good.CodeSize : 0);
    if (std::filesystem::file_size(linker.ImageName) != expected) std::abort();
  }
  return 0;
}
