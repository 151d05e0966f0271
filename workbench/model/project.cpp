#include "workbench/model/project.h"

#include <cstdio>
#include <stdexcept>

#include "base/file_error.h"
#include "base/file_read.h"
#include "base/gbk_convert.h"
#include "base/path_parts.h"
#include "toolchain/le_file.h"
#include "toolchain/output_names.h"
#include "toolchain/source_text.h"
#include "workbench/model/entry_rebase.h"
#include "workbench/model/workbench_texts.h"

namespace {

constexpr int kFlagCount = 6;
// A project file lists paths; anything this large is not one.
constexpr uint64_t kMaxProjectFileBytes = 64u << 20;

}  // namespace

TFileNotSaved::TFileNotSaved(const TSaveFailure& failure)
    : std::runtime_error(wbtext::CannotCreateFile(failure.Path, FileErrorReason(failure.Error))), Failure(failure) {}

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

void TProject::WriteFiles(const std::string& path, const std::vector<std::string>& files) {
  std::string bytes;
  for (const std::string& file : files) bytes += file + "\r\n";
  // The options go with the sources: a save that lost either is no save.
  TSaveFailure failure;
  if (!SaveFilesTogether({{path, bytes}, {ProjectSetupName(path), SetupBytes()}}, failure))
    throw TFileNotSaved(failure);
}

int32_t TProject::SaveToFile(const std::string& path) {
  const std::vector<std::string> files = AllFiles();
  if (files.empty()) return -2;
  WriteFiles(path, files);
  return 0;
}

int32_t TProject::SaveAs(const std::string& path, std::string* unstorable) {
  std::vector<std::string> files = AllFiles();
  if (files.empty()) return -2;
  // A project without a file has no folder its entries are relative to.
  if (!FileName.empty()) {
    const TEntryRebase rebase(FolderPrefixOf(FileName), FolderPrefixOf(path));
    for (std::string& file : files) {
      const std::optional<std::string> rebased = rebase(file);
      if (!rebased) {
        if (unstorable != nullptr) *unstorable = EntryPath(file);
        return kSaveNameNotStorable;
      }
      file = *rebased;
    }
  }
  WriteFiles(path, files);
  SetFiles(files);
  FileName = path;
  return 0;
}

int32_t TProject::LoadFromFile(const std::string& path) {
  std::string bytes;
  int error = 0;
  if (!ReadRegularFile(path, bytes, &error, kMaxProjectFileBytes))
    throw std::runtime_error(wbtext::CannotOpenFile(path, FileErrorReason(error)));
  const std::vector<std::string> lines = SplitProjectLines(bytes);
  if (lines.empty()) return -2;
  SetFiles(lines);
  LoadSetup(ProjectSetupName(path));
  return 0;
}

uint8_t* TProject::FlagAt(int index) {
  uint8_t* flags[kFlagCount] = {&ShowCommInfo, &ShowWarning, &ShowError, &MakeList, &MakeTvxbin, &MakeHex};
  return flags[index];
}

std::string TProject::SetupBytes() {
  std::string bytes;
  for (int i = 0; i < kFlagCount; ++i) {
    unsigned char word[4];
    PutWordLE(word, *FlagAt(i) == 1 ? 1 : 0);
    bytes.append(reinterpret_cast<const char*>(word), 4);
  }
  return bytes;
}

int32_t TProject::LoadSetup(const std::string& name) {
  if (name.empty()) return -1;
  TFilePtr in = OpenRegularFile(name);
  if (!in) return -2;
  unsigned char bytes[4 * kFlagCount];
  const size_t read = std::fread(bytes, 1, sizeof bytes, in.get());
  // A short file sets only the flags it holds whole; the others keep their values.
  for (int i = 0; i < kFlagCount && static_cast<size_t>(4 * i + 4) <= read; ++i)
    *FlagAt(i) = GetWordLE(bytes + 4 * i) == 1 ? 1 : 0;
  return 0;
}

int32_t TProject::Build() {
  const std::vector<std::string> files = AllFiles();
  if (files.empty()) {
    if (ShowBox) ShowBox(wbtext::kNothingToBuild, 0x30);
    return kBuildNothingToBuild;
  }
  Compiler.ClearFiles();
  for (const std::string& file : files) Compiler.AddFile(EntryPath(file));
  Compiler.OutputName = FileName;
  Compiler.PerFileOutputs = {MakeHex == 1, MakeTvxbin == 1, MakeList == 1};
  const int32_t err = Compiler.BuildAll();
  if (err != 0) return err;
  return Compiler.SavePerFileOutputs();
}

TBuildReport TProject::BuildReportFor(int32_t result) const {
  if (result == kBuildNothingToBuild) return BuildReport(result, {}, {});
  return BuildReport(result, Compiler.Messages, Compiler.Warnings);
}

std::string TProject::EntryPath(const std::string& entry) const {
  // A relative entry names a file beside the project file, wherever the program runs.
  const std::string path = StoredNameToPath(entry);
  if (path.empty() || path.front() == '/') return path;
  return FolderPrefixOf(FileName) + path;
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
  if (!Dialogs->EditFileList(TextNamingPath(wbtext::kFileListCaption, FileName), files)) return 0;
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
