#include "workbench/model/files_together.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <tuple>

#include "base/file_read.h"
#include "base/kept_copy.h"
#include "base/path_parts.h"
#include "base/replacing_file.h"
#include "base/written_path.h"

namespace {

// What a file is, for telling whether two names lead to it: its device and inode, or,
// where nothing is there yet, its folder's and the name it will have there.
std::tuple<dev_t, ino_t, std::string> IdentityOf(const std::string& path) {
  const std::string written = WrittenPath(path);
  struct stat info {};
  if (::stat(written.c_str(), &info) == 0) return {info.st_dev, info.st_ino, ""};
  if (::stat(FolderOf(written).c_str(), &info) == 0) return {info.st_dev, info.st_ino, NameOf(written)};
  return {0, 0, written};
}

// The first of the files whose name leads to a file named before it, or the count.
size_t FirstSecondName(const std::vector<TFileToSave>& files) {
  for (size_t i = 1; i < files.size(); ++i) {
    for (size_t j = 0; j < i; ++j) {
      if (IdentityOf(files[i].Path) == IdentityOf(files[j].Path)) return i;
    }
  }
  return files.size();
}

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

// The file as it was before the save: its old bytes back, or gone where it was not
// there. What the disk holds after: where the old bytes could not be put back, they
// are kept whole elsewhere where that can be done.
TWriteFailure PutBack(const std::string& path, const std::optional<std::string>& old) {
  if (!old) return {0, ::unlink(WrittenPath(path).c_str()) != 0 && errno != ENOENT, {}};
  int error = 0;
  if (ReplaceFile(path, *old, &error, true)) return UnchangedFailure(0);
  TWriteFailure failure{error, true, {}};
  TKeptCopy copy;
  if (copy.Keep(WrittenPath(path), *old) == 0) failure.KeptCopy = copy.Path();
  return failure;
}

}  // namespace

bool SaveFilesTogether(const std::vector<TFileToSave>& files, TSaveFailure& failure) {
  if (const size_t second = FirstSecondName(files); second < files.size()) {
    failure = {UnchangedFailure(kOneFileTwice), files[second].Path};
    return false;
  }
  std::vector<std::unique_ptr<TReplacingFile>> outs;
  for (const TFileToSave& file : files) {
    outs.push_back(std::make_unique<TReplacingFile>(file.Path, true));
    outs.back()->Write(file.Bytes);
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (!outs[i]->Finish()) {
      failure = {outs[i]->Failure(), files[i].Path};
      return false;
    }
  }
  // The last file to take its place needs nothing put back.
  std::vector<std::optional<std::string>> old(files.size());
  for (size_t i = 0; i + 1 < files.size(); ++i) {
    int error = 0;
    if (!ReadOldBytes(files[i].Path, old[i], error)) {
      failure = {UnchangedFailure(error), files[i].Path};
      return false;
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (outs[i]->Commit()) continue;
    failure = {outs[i]->Failure(), files[i].Path};
    while (i-- > 0) {
      const TWriteFailure back = PutBack(files[i].Path, old[i]);
      if (!back.Changed) continue;
      failure.Changed = true;
      failure.KeptCopy = back.KeptCopy;
    }
    return false;
  }
  return true;
}
