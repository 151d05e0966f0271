// A whole source through pass 1, pass 2, the object writer and the per-file outputs.

#include "fuzz_scratch.h"
#include "toolchain/asm_file.h"
#include "toolchain/convert_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = WriteScratch("source.casm", data, size);
  TAsmFile file;
  try {
    if (file.AssembleFile(path) == 0) {
      file.SaveHex();
      file.SaveTvxBin();
      file.SaveLst();
    }
  } catch (const EConvertError&) {
  }
  return 0;
}
