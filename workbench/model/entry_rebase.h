#pragma once
// Project entries for a project file that moves to another folder. A relative entry
// names a file beside the project file, so a project saved elsewhere must hold it
// rewritten to name the same file from there.

#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>

// How the entries of a project file in `oldFolder` read for one in `newFolder`. The
// two folders are resolved once, and each folder the entries name once, for every
// entry of the project.
class TEntryRebase {
 public:
  TEntryRebase(const std::string& oldFolder, const std::string& newFolder);
  // The entry (a name stored in a project file) that the new project file must hold
  // to name the file that `entry` names from the old folder: the file's folder,
  // resolved as the file system resolves it ("..", links), made relative to the new
  // folder where a relative path reaches it, else absolute; so entries do not grow
  // with every move. The entry's own file name bytes are kept behind the new folder
  // part, so a name that is not GBK stays as it was read. Empty and absolute entries,
  // and entries whose folder does not change, stay as they are. Nothing when no
  // stored name can name that file (a folder name GBK cannot hold).
  std::optional<std::string> operator()(const std::string& entry) const;

 private:
  // The folder part of a relative entry's path as the new folder reaches it: empty
  // for the new folder itself, else ending in "/".
  const std::string& FolderFromNew(const std::string& entryFolder) const;

  bool sameFolder_;
  std::filesystem::path old_;
  std::filesystem::path new_;
  mutable std::unordered_map<std::string, std::string> folders_;
};
