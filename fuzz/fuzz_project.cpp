// The workbench's project and options files on arbitrary bytes, a build of what they
// list, and the number and search arithmetic of its editors.
//
// The project file lies in "proj/a/", the current folder while it is built, beside the sources
// "x.casm", "sub/y.casm" and "../z.casm" (which reference each other), a source that
// does not assemble, "bad.casm", and a folder "dir.casm". A project whose entries are
// all relative and stay inside "proj/" is built.
//
// Properties: saving what was read and reading it back gives the same sources; a
// build that succeeds has written the object of every source it lists; search
// positions lie in the text.

#include <filesystem>
#include <string_view>
#include <vector>

#include "base/gbk_convert.h"
#include "fuzz_check.h"
#include "fuzz_scratch.h"
#include "toolchain/convert_error.h"
#include "toolchain/link.h"
#include "workbench/model/editor_search.h"
#include "workbench/model/project.h"

namespace {

namespace fs = std::filesystem;

// A fresh tree of sources for every input, so that no object of an earlier build
// stands in for one this build should write.
void PrepareSources() {
  const fs::path root = ScratchFolder() / "proj";
  std::error_code ignored;
  fs::remove_all(root, ignored);
  fs::create_directories(root / "a" / "sub");
  fs::create_directories(root / "a" / "dir.casm");
  WriteScratch("proj/a/x.casm", "x:\r\nLD R1 OFFSET y\r\nFUNC z\r\nRET\r\n");
  WriteScratch("proj/a/sub/y.casm", "y:\r\nLD R2 LABEL x\r\nIRET\r\n");
  WriteScratch("proj/z.casm", "z:\r\nLD R3 SEGMENT y\r\nRET\r\n");
  WriteScratch("proj/a/bad.casm", "no such line\r\n");
}

// Relative, and never above "proj/" (two levels up from the current folder).
bool StaysInside(const std::string& entry) {
  if (entry.empty() || entry[0] == '/') return false;
  int depth = 0;
  for (const auto& part : fs::path(entry)) {
    if (part == "..") --depth;
    else if (part != "." && !part.empty()) ++depth;
    if (depth < -1) return false;
  }
  return true;
}

std::vector<std::string> LoadedFiles(const std::string& path) {
  TProject project;
  try {
    if (project.LoadFromFile(path) != 0) return {};
  } catch (const std::exception&) {
    return {};
  }
  return project.AllFiles();
}

void CheckBuild(const std::string& path, const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    if (!StaysInside(file)) return;
  }
  TProject project;
  project.LoadFromFile(path);
  project.FileName = path;
  int32_t result = 0;
  try {
    result = project.Build();
  } catch (const EConvertError&) {
    return;
  }
  if (result != 0) return;
  for (const std::string& file : files) {
    const std::string object = MakeQobjName(StoredNameToPath(file));
    Check(file.empty() || fs::is_regular_file(object), "a build that succeeds has written every object");
  }
}

void FuzzProjectFile(const uint8_t* data, size_t size) {
  PrepareSources();
  TInFolder inProject(ScratchFolder() / "proj" / "a");
  const std::string path = "p.tvxPrj";
  WriteScratch("proj/a/" + path, data, size);
  WriteScratch("proj/a/" + path + ".set", data, size);
  const std::vector<std::string> files = LoadedFiles(path);
  if (files.empty()) return;
  // Saving what was read and reading it back gives the same sources.
  TProject saved;
  saved.SetFiles(files);
  Check(saved.SaveToFile("again.tvxPrj") == 0 && LoadedFiles("again.tvxPrj") == files,
        "a saved project reads back the same sources");
  CheckBuild(path, files);
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
  Check(inText(next) && inText(first), "search positions lie in the text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzProjectFile(data, size);
  FuzzEditorArithmetic(data, size);
  return 0;
}
