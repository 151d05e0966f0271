#include "base/written_path.h"

#include <unistd.h>

#include <climits>

#include "base/path_parts.h"

namespace {

// As many links as the kernel follows before it gives up with ELOOP; a longer chain
// is left to the write, which reports that.
constexpr int kMaxLinks = 40;

}  // namespace

std::string WrittenPath(const std::string& path) {
  std::string current = path;
  char target[PATH_MAX];
  for (int links = 0; links < kMaxLinks; ++links) {
    const ssize_t length = ::readlink(current.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof target) return current;
    // A relative target counts from the folder that holds the link.
    const std::string next(target, static_cast<size_t>(length));
    const std::string folder = FolderOf(current);
    current = next[0] == '/' ? next : (folder == "/" ? "" : folder) + "/" + next;
  }
  return current;
}
