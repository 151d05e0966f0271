#include "workbench/model/entry_rebase.h"

#include "base/gbk_convert.h"
#include "base/path_parts.h"

namespace {

namespace fs = std::filesystem;

// The folder as an absolute path with links, "." and ".." resolved as far as it
// exists, so that ".." in a path made from it goes where the file system goes.
fs::path ResolvedFolder(const fs::path& folder) {
  std::error_code error;
  const fs::path absolute = fs::absolute(folder.empty() ? "." : folder, error);
  if (error) return folder;
  fs::path resolved = fs::weakly_canonical(absolute, error);
  if (error) resolved = absolute.lexically_normal();
  // A part that does not exist is normalised as written, and may keep a final "/".
  if (!resolved.has_filename() && resolved != resolved.root_path()) resolved = resolved.parent_path();
  return resolved;
}

// The folder `from` as the folder `to` reaches it: relative when both resolve,
// absolute where no relative path does.
std::string FolderFrom(const fs::path& from, const fs::path& to) {
  if (from.is_absolute() && to.is_absolute()) {
    const fs::path relative = from.lexically_relative(to);
    if (relative == ".") return {};
    if (!relative.empty()) return relative.string() + "/";
  }
  return from.string() + "/";
}

}  // namespace

TEntryRebase::TEntryRebase(const std::string& oldFolder, const std::string& newFolder)
    : old_(ResolvedFolder(oldFolder)), new_(ResolvedFolder(newFolder)) {
  sameFolder_ = old_ == new_;
}

const std::string& TEntryRebase::FolderFromNew(const std::string& entryFolder) const {
  const auto [at, added] = folders_.try_emplace(entryFolder);
  if (added) at->second = FolderFrom(ResolvedFolder(old_ / entryFolder), new_);
  return at->second;
}

std::optional<std::string> TEntryRebase::operator()(const std::string& entry) const {
  const std::string path = StoredNameToPath(entry);
  if (path.empty() || path.front() == '/' || sameFolder_) return entry;
  const std::string& folder = FolderFromNew(FolderPrefixOf(path));
  const std::string rebasedPath = folder + NameOf(path);
  // The folder part stored beside the entry's own name bytes, where that reads back
  // as the path ("/" is no byte of a GBK character); else the whole path's stored name.
  if (const std::optional<std::string> storedFolder = PathToStoredName(folder)) {
    const std::string kept = *storedFolder + entry.substr(entry.rfind('/') + 1);
    if (StoredNameToPath(kept) == rebasedPath) return kept;
  }
  return PathToStoredName(rebasedPath);
}
