#pragma once
// Project entries for a project file that moves to another folder. A relative entry
// names a file beside the project file, so a project saved elsewhere must hold it
// rewritten to name the same file from there.

#include <optional>
#include <string>

// How the entries of a project file in `oldFolder` read for one in `newFolder`. The
// two folders are resolved once, for every entry of the project.
class TEntryRebase {
 public:
  TEntryRebase(const std::string& oldFolder, const std::string& newFolder);
  // The entry (a name stored in a project file) that the new project file must hold
  // to name the file that `entry` names from the old folder: relative where a
  // relative path reaches it, else absolute. The entry's own bytes are kept behind
  // the new folder part, so a name that is not GBK stays as it was read. Empty and
  // absolute entries, and entries whose folder does not change, stay as they are.
  // Nothing when no stored name can name that file (a folder name GBK cannot hold).
  std::optional<std::string> operator()(const std::string& entry) const;

 private:
  bool sameFolder_;
  std::string oldFromNew_;  // the old folder as the new one reaches it, ending in "/"
};
