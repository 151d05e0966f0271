// An object file through the reader and the linker: the first input byte picks
// whether it links alone or after a well-formed object.

#include "fuzz_scratch.h"
#include "toolchain/complier_asm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string fuzzed = WriteScratch("fuzzed.qobj", data, size);
  TQOBJFile object;
  object.LoadFromFile(fuzzed);

  static const bool wellFormed = [] {
    const char text[] = "first:\r\nLD R1 OFFSET second\r\nRET\r\n";
    TAsmFile file;
    return file.AssembleFile(WriteScratch("good.casm", reinterpret_cast<const uint8_t*>(text),
                                          sizeof text - 1)) == 0;
  }();
  TCList<TAsmFile> sources;
  TAsmFile entry;
  if (wellFormed && size > 0 && data[0] % 2 == 0) {
    entry.FileName = (ScratchFolder() / "good.casm").string();
    sources.Append(entry);
  }
  entry.FileName = (ScratchFolder() / "fuzzed.casm").string();
  sources.Append(entry);
  TLink linker;
  linker.ImageName = (ScratchFolder() / "image.tvxbin").string();
  linker.Link(&sources);
  return 0;
}
