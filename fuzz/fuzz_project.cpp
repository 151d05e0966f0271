// The workbench's project and options files, and the number and search arithmetic
// of its editors, on arbitrary bytes.

#include <cstdlib>
#include <string_view>
#include <vector>

#include "fuzz_scratch.h"
#include "toolchain/convert_error.h"
#include "workbench/model/editor_search.h"
#include "workbench/model/project.h"

namespace {

std::vector<std::string> LoadedFiles(const std::string& path) {
  TProject project;
  if (project.LoadFromFile(path) != 0) return {};
  return project.AllFiles();
}

void FuzzProjectFile(const uint8_t* data, size_t size) {
  const std::string path = WriteScratch("fuzz.tvxPrj", data, size);
  WriteScratch("fuzz.tvxPrj.set", data, size);
  const std::vector<std::string> files = LoadedFiles(path);
  if (files.empty()) return;
  // Saving what was read and reading it back gives the same sources.
  TProject saved;
  saved.SetFiles(files);
  const std::string again = (ScratchFolder() / "again.tvxPrj").string();
  if (saved.SaveToFile(again) != 0 || LoadedFiles(again) != files) std::abort();
}

void FuzzEditorArithmetic(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    JumpLine(StrToInt(text), static_cast<int32_t>(size));
  } catch (const EConvertError&) {
  }
  const std::u16string_view units(reinterpret_cast<const char16_t*>(data), size / 2);
  const std::u16string_view find = units.substr(0, units.size() / 4);
  const int32_t selStart = size > 0 ? data[0] : 0;
  const int32_t next = FindNextPosition(units, find, selStart - 16, size > 1 ? data[1] : 0);
  const int32_t first = FindFirstPosition(units, find);
  const auto inText = [&](int32_t at) {
    return at == -1 || (at >= 0 && static_cast<size_t>(at) + find.size() <= units.size());
  };
  if (!inText(next) || !inText(first)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzProjectFile(data, size);
  FuzzEditorArithmetic(data, size);
  return 0;
}
