// A whole source through the driver: pass 1, pass 2, the object writer, the object
// reader, the linker and the per-file outputs. Bytes after the input's first NUL
// become "inc.casm", so include lines reach a second fuzzed file.

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "fuzz_scratch.h"
#include "toolchain/complier_asm.h"
#include "toolchain/convert_error.h"

namespace {

// A linked image of one object holds exactly that object's code.
void CheckImageSize(const TComplierAsm& driver) {
  const TAsmFile& source = driver.Files.Item(0)->Value;
  std::error_code error;
  const auto size = std::filesystem::file_size(driver.Linker.ImageName, error);
  if (error || size != static_cast<uintmax_t>(source.CodeBytes)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Include names are taken relative to the working folder.
  static const bool inScratch = ::chdir(ScratchFolder().c_str()) == 0;
  if (!inScratch) std::abort();
  const auto* nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
  const size_t mainSize = nul == nullptr ? size : static_cast<size_t>(nul - data);
  const std::string source = WriteScratch("source.casm", data, mainSize);
  if (nul != nullptr) WriteScratch("inc.casm", nul + 1, size - mainSize - 1);
  else std::filesystem::remove(ScratchFolder() / "inc.casm");

  TComplierAsm driver;
  driver.OutputName = (ScratchFolder() / "project.tvxPrj").string();
  driver.AddFile(source);
  try {
    if (driver.BuildAll() == 0) {
      CheckImageSize(driver);
      driver.SaveAllHex();
      driver.SaveAllTvxBin();
      driver.SaveAllLst();
    }
  } catch (const EConvertError&) {
  }
  return 0;
}
