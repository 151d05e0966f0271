#include "workbench/model/project.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "base/gbk_convert.h"
#include "toolchain/le_file.h"
#include "base/replacing_file.h"
#include "toolchain/source_text.h"
#include "workbench/model/workbench_texts.h"

namespace {

constexpr int kFlagCount = 6;

std::string SetupNameOf(const std::string& projectPath) { return projectPath + ".set"; }

// The project keeps its paths in GBK, as its file holds them; the file system
// here names files in UTF-8.
std::string FileSystemPath(const std::string& gbkPath) {
  return GbkToUtf8Strict(gbkPath).value_or(gbkPath);
}

}  // namespace

std::vector<std::string> SplitProjectLines(const std::string& bytes) {
  // A NUL ends the text.
  return SplitLines(std::string_view(bytes).substr(0, bytes.find('\0')));
}

void TProject::AddFile(const std::string& path) { Files.AddFirst(path); }

std::vector<std::string> TProject::AllFiles() const {
  std::vector<std::string> files;
  const int32_t n = Files.CountNodes();
  for (int32_t i = 0; i < n; ++i) files.push_back(Files.Item(i)->Value);
  return files;
}

void TProject::SetFiles(const std::vector<std::string>& files) {
  Files.Clear();
  for (const std::string& file : files) Files.Append(file);
}

int32_t TProject::SaveToFile(const std::string& path) {
  const std::vector<std::string> files = AllFiles();
  if (files.empty()) return -2;
  std::string bytes;
  for (const std::string& file : files) bytes += file + "\r\n";
  if (!ReplaceFile(FileSystemPath(path), bytes, nullptr, true)) throw std::runtime_error(wbtext::CannotCreateFile(path));
  SaveSetup(SetupNameOf(path));
  return 0;
}

int32_t TProject::LoadFromFile(const std::string& path) {
  std::ifstream in(FileSystemPath(path), std::ios::binary);
  if (!in) throw std::runtime_error(wbtext::CannotOpenFile(path));
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::vector<std::string> lines = SplitProjectLines(bytes);
  if (lines.empty()) return -2;
  SetFiles(lines);
  LoadSetup(SetupNameOf(path));
  return 0;
}

uint8_t* TProject::FlagAt(int index) {
  uint8_t* flags[kFlagCount] = {&ShowCommInfo, &ShowWarning, &ShowError, &MakeList, &MakeTvxbin, &MakeHex};
  return flags[index];
}

int32_t TProject::SaveSetup(const std::string& name) {
  if (name.empty()) return -1;
  std::string bytes;
  for (int i = 0; i < kFlagCount; ++i) {
    unsigned char word[4];
    PutWordLE(word, *FlagAt(i) == 1 ? 1 : 0);
    bytes.append(reinterpret_cast<const char*>(word), 4);
  }
  return ReplaceFile(FileSystemPath(name), bytes, nullptr, true) ? 0 : -2;
}

int32_t TProject::LoadSetup(const std::string& name) {
  if (name.empty()) return -1;
  std::ifstream in(FileSystemPath(name), std::ios::binary);
  if (!in) return -2;
  std::string bytes(4 * kFlagCount, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  // A short file sets only the flags it holds whole; the others keep their values.
  for (int i = 0; i < kFlagCount && static_cast<size_t>(4 * i + 4) <= bytes.size(); ++i)
    *FlagAt(i) = GetWordLE(reinterpret_cast<const unsigned char*>(bytes.data()) + 4 * i) == 1 ? 1 : 0;
  return 0;
}

int32_t TProject::Build() {
  const std::vector<std::string> files = AllFiles();
  if (files.empty()) {
    if (ShowBox) ShowBox(wbtext::kNothingToBuild, 0x30);
    return kBuildNothingToBuild;
  }
  // A relative entry names a file beside the project file, wherever the program runs.
  const std::string projectPath = FileSystemPath(FileName);
  const std::string projectFolder = projectPath.substr(0, projectPath.rfind('/') + 1);
  Compiler.ClearFiles();
  for (const std::string& file : files) {
    const std::string path = FileSystemPath(file);
    Compiler.AddFile(path.empty() || path.front() == '/' ? path : projectFolder + path);
  }
  Compiler.OutputName = projectPath;
  Compiler.PerFileOutputs = {MakeHex == 1, MakeTvxbin == 1, MakeList == 1};
  const int32_t err = Compiler.BuildAll();
  if (err != 0) return err;
  return Compiler.SavePerFileOutputs();
}

int32_t TProject::ToStrings(std::vector<std::string>* list) const {
  if (list == nullptr) return -1;
  list->clear();
  for (const std::string& file : AllFiles())
    if (!file.empty()) list->push_back(file);
  return 0;
}

int32_t TProject::EditFileList() {
  if (Dialogs == nullptr) return -1;
  std::vector<std::string> files = AllFiles();
  if (!Dialogs->EditFileList(wbtext::kFileListCaption + FileName, files)) return 0;
  SetFiles(files);
  return 1;
}

int32_t TProject::EditSetup() {
  if (Dialogs == nullptr) return -1;
  uint8_t flags[kFlagCount];
  for (int i = 0; i < kFlagCount; ++i) flags[i] = *FlagAt(i) != 0 ? 1 : 0;
  if (!Dialogs->EditSetup(flags)) return 0;
  for (int i = 0; i < kFlagCount; ++i) *FlagAt(i) = flags[i] != 0 ? 1 : 0;
  return 1;
}
