#include "base/write_way.h"

#include <cerrno>

namespace {

// What open(O_TMPFILE) gives on a file system without unnamed files; the writer gives
// the same where this process cannot name them.
bool LacksUnnamedFiles(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL; }

// The folder takes no new file from this user.
bool FolderRefuses(int error) { return error == EACCES || error == EPERM; }

}  // namespace

TWayChosen ChooseWriteWay(const TFileFound& found, const std::function<TNewFile(bool unnamed)>& makeNewFile) {
  if (found.Error != 0) return {TWriteWay::Refuse, found.Error};
  // Written over its own bytes, a file must give them to be kept for putting back.
  const auto inPlace = [&](int unreadable) {
    return found.Readable ? TWayChosen{TWriteWay::InPlace, 0} : TWayChosen{TWriteWay::Refuse, unreadable};
  };
  if (found.Exists && (!found.SingleLink || !found.FolderLetsReplace)) return inPlace(EACCES);
  TWriteWay way = TWriteWay::Unnamed;
  TNewFile made = makeNewFile(true);
  if (!made.Made && LacksUnnamedFiles(made.Error)) {
    way = TWriteWay::Named;
    made = makeNewFile(false);
  }
  if (made.Error == 0) return {way, 0};
  if (found.Exists && (made.Made || FolderRefuses(made.Error))) return inPlace(made.Error);
  return {TWriteWay::Refuse, made.Error};
}
