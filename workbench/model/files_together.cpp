#include "workbench/model/files_together.h"

#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>

#include "base/file_read.h"
#include "base/replacing_file.h"
#include "base/written_path.h"

namespace {

// What a file held before the save, to put back; nothing for a file that was not
// there. False when it is there but cannot be read.
bool ReadOldBytes(const std::string& path, std::optional<std::string>& old, int& error) {
  std::string bytes;
  if (ReadRegularFile(path, bytes, &error)) {
    old = std::move(bytes);
    return true;
  }
  old.reset();
  return error == ENOENT;
}

void PutBack(const std::string& path, const std::optional<std::string>& old) {
  if (old) {
    ReplaceFile(path, *old, nullptr, true);
  } else {
    ::unlink(WrittenPath(path).c_str());
  }
}

}  // namespace

bool SaveFilesTogether(const std::vector<TFileToSave>& files, TSaveFailure& failure) {
  std::vector<std::unique_ptr<TReplacingFile>> outs;
  for (const TFileToSave& file : files) {
    outs.push_back(std::make_unique<TReplacingFile>(file.Path, true));
    outs.back()->Write(file.Bytes);
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (!outs[i]->Finish()) {
      failure = {files[i].Path, outs[i]->Error()};
      return false;
    }
  }
  // The last file to take its place needs nothing put back.
  std::vector<std::optional<std::string>> old(files.size());
  for (size_t i = 0; i + 1 < files.size(); ++i) {
    int error = 0;
    if (!ReadOldBytes(files[i].Path, old[i], error)) {
      failure = {files[i].Path, error};
      return false;
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (outs[i]->Commit()) continue;
    failure = {files[i].Path, outs[i]->Error()};
    while (i-- > 0) PutBack(files[i].Path, old[i]);
    return false;
  }
  return true;
}
