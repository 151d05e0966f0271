// A whole source through the driver: pass 1, pass 2, the object writer, the object
// reader, the linker and the per-file outputs. The input's first text (up to a NUL)
// is the source; then come up to four pairs of a file name and its text, which
// include lines may name: relative names, in a subfolder too, GBK bytes and blanks.
// Beside the working folder lie a FIFO "../fifo" and a folder "../folder", which an
// include must refuse rather than wait on or read.
//
// Properties: a linked image of one object holds exactly that object's code; the hex
// dump shows the raw image's words; assembling again gives the same code.

#include <cstring>
#include <filesystem>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "fuzz_scratch.h"
#include "toolchain/complier_asm.h"
#include "toolchain/convert_error.h"
#include "toolchain/hex_text.h"
#include "toolchain/le_file.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMaxIncludedFiles = 4;

// A name that stays inside the working folder: one or two parts, none empty, "." or
// "..", and no NUL (the input's separator).
bool IsLocalName(const std::string& name) {
  if (name.empty() || name.size() > 200) return false;
  const size_t slash = name.find('/');
  const std::string first = name.substr(0, slash);
  const std::string second = slash == std::string::npos ? "x" : name.substr(slash + 1);
  for (const std::string& part : {first, second}) {
    if (part.empty() || part == "." || part == ".." || part.find('/') != std::string::npos) return false;
  }
  return true;
}

// Fresh folders for every input: "work", the current folder, for the included files
// (include names are taken relative to it) and "out" for the source and its outputs,
// so that no included file can stand where an output goes.
void MakeFreshFolders() {
  MakeFolderAndFifo();
  std::error_code ignored;
  for (const char* name : {"work", "out"}) {
    fs::remove_all(ScratchFolder() / name, ignored);
    fs::create_directory(ScratchFolder() / name);
  }
}

std::string OutFile(const std::string& name) { return (ScratchFolder() / "out" / name).string(); }

void WriteIncludedFiles(TFuzzInput& input) {
  for (int i = 0; i < kMaxIncludedFiles && !input.Empty(); ++i) {
    const std::string name = input.Text();
    const std::string text = input.Text();
    if (!IsLocalName(name)) continue;
    std::error_code ignored;
    const fs::path path(name);
    if (path.has_parent_path()) fs::create_directory(path.parent_path(), ignored);
    WriteBytes(path, text);
  }
}

void CheckOutputs(const TComplierAsm& driver) {
  const TAsmFile& source = driver.Files.Item(0)->Value;
  const std::string image = ReadBytes(driver.Linker.ImageName);
  Check(image.size() == static_cast<size_t>(source.CodeBytes), "the image of one object holds its code");
  const std::string raw = ReadBytes(OutFile("source.tvxbin"));
  std::string hex;
  for (size_t at = 0; at + 4 <= raw.size(); at += 4) {
    AppendHex8(hex, GetWordLE(reinterpret_cast<const unsigned char*>(raw.data()) + at));
    hex += "\r\n";
  }
  Check(raw.size() % 4 == 0 && ReadBytes(OutFile("source.hex")) == hex, "the hex dump shows the raw image's words");
}

// The same source assembled by a fresh file object gives the same words.
void CheckReassembly(const TAsmFile& first) {
  TAsmFile again;
  int32_t result = -100;
  try {
    result = again.AssembleFile(first.FileName);
  } catch (const EConvertError&) {
  }
  Check(result == 0 && again.Code.All() == first.Code.All(), "a source assembles again to the same code");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MakeFreshFolders();
  TInFolder inWork(ScratchFolder() / "work");
  TFuzzInput input(data, size);
  WriteBytes(OutFile("source.casm"), input.Text());
  WriteIncludedFiles(input);

  TComplierAsm driver;
  driver.OutputName = OutFile("project.tvxPrj");
  driver.AddFile(OutFile("source.casm"));
  try {
    if (driver.BuildAll() != 0) return 0;
  } catch (const EConvertError&) {
    return 0;
  }
  driver.SaveAllHex();
  driver.SaveAllTvxBin();
  driver.SaveAllLst();
  CheckOutputs(driver);
  CheckReassembly(driver.Files.Item(0)->Value);
  return 0;
}
