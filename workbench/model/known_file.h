#pragma once
// Which file stands under a name: its device, inode, size and modification time to
// the nanosecond. Another program's save, a checkout or a second editor changes at
// least one of them, so an editor that remembers them when it reads or writes its
// file can tell, before it saves, that the file it would write over is no longer the
// one it holds.

#include <sys/types.h>

#include <ctime>
#include <optional>
#include <string>

struct TFileIdentity {
  dev_t Device = 0;
  ino_t Inode = 0;
  off_t Size = 0;
  time_t ModifiedSeconds = 0;
  long ModifiedNanoseconds = 0;
  bool operator==(const TFileIdentity&) const = default;
};

// The file at `path` now, links followed as a save follows them; nothing where no
// file can be looked at, with the errno value in `error`.
std::optional<TFileIdentity> IdentityOf(const std::string& path, int* error = nullptr);

// The file an editor last read or wrote.
class TKnownFile {
 public:
  // Taken before a read, so that a change while the file is read shows as a change,
  // and after a write.
  void Remember(const std::string& path);
  // True where a file stands at `path` that is not the one remembered (or one stands
  // where none could be looked at when remembered): a save over it would lose what
  // someone else put there. A file removed since is not, and the save writes it anew;
  // nor is one that cannot be looked at now: the save then fails and says why.
  bool ChangedOnDisk(const std::string& path) const;

 private:
  std::optional<TFileIdentity> known_;
};
