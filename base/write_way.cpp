#include "base/write_way.h"

#include <cerrno>

TWayChosen ChooseWriteWay(const TFileFound& found, const std::function<TNewFile()>& makeNewFile) {
  if (found.Error != 0) return {TWriteWay::Refuse, found.Error};
  // Written over its own bytes, a file must give them to be kept for putting back.
  const auto inPlace = [&](int unreadable) {
    return found.Readable ? TWayChosen{TWriteWay::InPlace, 0} : TWayChosen{TWriteWay::Refuse, unreadable};
  };
  if (found.Exists && (!found.SingleLink || !found.FolderLetsReplace)) return inPlace(EACCES);
  const TNewFile made = makeNewFile();
  if (made.Error == 0) return {TWriteWay::Replace, 0};
  if (found.Exists && made.NotHere) return inPlace(made.Error);
  return {TWriteWay::Refuse, made.Error};
}
