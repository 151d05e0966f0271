#include "workbench/model/entry_rebase.h"

#include <filesystem>

#include "base/gbk_convert.h"

namespace {

namespace fs = std::filesystem;

// The folder as an absolute path with links, "." and ".." resolved as far as it
// exists, so that ".." in a path made from it goes where the file system goes.
fs::path ResolvedFolder(const std::string& folder) {
  std::error_code error;
  const fs::path absolute = fs::absolute(folder.empty() ? "." : folder, error);
  if (error) return folder;
  const fs::path resolved = fs::weakly_canonical(absolute, error);
  return error ? absolute : resolved;
}

// The old folder as the new one reaches it: relative when both resolve, absolute
// where no relative path does.
std::string FolderFrom(const fs::path& from, const fs::path& to) {
  if (from.is_absolute() && to.is_absolute()) {
    const fs::path relative = from.lexically_relative(to);
    if (!relative.empty()) return relative.string();
  }
  return from.string();
}

}  // namespace

TEntryRebase::TEntryRebase(const std::string& oldFolder, const std::string& newFolder) {
  const fs::path from = ResolvedFolder(oldFolder);
  const fs::path to = ResolvedFolder(newFolder);
  sameFolder_ = from == to;
  oldFromNew_ = FolderFrom(from, to) + "/";
}

std::optional<std::string> TEntryRebase::operator()(const std::string& entry) const {
  const std::string path = StoredNameToPath(entry);
  if (path.empty() || path.front() == '/' || sameFolder_) return entry;
  const std::string rebasedPath = oldFromNew_ + path;
  // The folder part stored beside the entry's own bytes, where that reads back as
  // the path; else the whole path's stored name.
  if (const std::optional<std::string> storedFolder = PathToStoredName(oldFromNew_)) {
    const std::string kept = *storedFolder + entry;
    if (StoredNameToPath(kept) == rebasedPath) return kept;
  }
  return PathToStoredName(rebasedPath);
}
