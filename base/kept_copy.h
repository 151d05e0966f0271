#pragma once
// The old bytes of a file the user typed, kept on the disk while the file is written
// over its own bytes (or where it could not be given them back), so that a kill or a
// power loss at any moment leaves the file whole or this copy whole.
//
// The copies are the user's alone: files of mode 0600 in a folder of his closed to
// everyone else, outside the user's folders. The places, tried in order:
// $XDG_STATE_HOME/talvo and ~/.local/state/talvo, each only where it lies in a folder
// the user owns; /var/tmp/talvo-UID; and, where something not his alone has that
// name, a folder of his own beside it (/var/tmp/talvo-UID-XXXXXX). A copy is named by
// the file's full path with "%" for "/".

#include <string>
#include <string_view>
#include <vector>

class TKeptCopy {
 public:
  TKeptCopy() = default;
  // The copy stays for the user: only Drop removes it.
  ~TKeptCopy();
  TKeptCopy(const TKeptCopy&) = delete;
  TKeptCopy& operator=(const TKeptCopy&) = delete;

  // Writes `bytes`, the old ones of the file at `path`, to a new copy forced to the
  // disk with its name, in the first place that takes it: 0, or kNoKeptCopy.
  int Keep(const std::string& path, std::string_view bytes);
  // The file is whole on the disk again: the copy goes.
  void Drop();
  // Where the copy is; empty until Keep succeeded.
  const std::string& Path() const { return path_; }

 private:
  // Locked while the save that made it runs, so that no other save takes it for an
  // old one.
  int fd_ = -1;
  int folder_ = -1;
  std::string name_;
  std::string path_;
};

// After a save of the file at `path` ended whole: the copies earlier saves of it left
// behind (killed, or failing to put the old bytes back) go.
void RemoveOlderCopies(const std::string& path);

// The places a copy may go for this user, in the order they are tried.
std::vector<std::string> KeptCopyPlaces();
