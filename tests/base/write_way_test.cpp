// The one decision of how a file is written, from what the writer found and what
// making a new file beside it gave: every way, without a file system.

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <vector>

#include "base/file_error.h"
#include "base/write_way.h"

namespace {

TEST(WriteWay, EachFileGetsTheWayWhatItHasAllows) {
  const TFileFound none, plain{true, 0, true, true, true}, writeOnly{true, 0, false, true, true},
      linked{true, 0, true, false, true};
  const TNewFile made, noUnnamed{EOPNOTSUPP, false}, folderRefuses{EACCES, false}, ownerNotGiven{EPERM, true};
  const struct {
    const char* Name;
    TFileFound Found;
    // What making the new file gives, unnamed and under a hidden name; nothing: it must
    // not be made.
    std::optional<TNewFile> Unnamed, Named;
    TWriteWay Way;
    int Error;
  } cases[] = {
      {"a new file", none, made, {}, TWriteWay::Unnamed, 0},
      {"an old file", plain, made, {}, TWriteWay::Unnamed, 0},
      {"no unnamed files", plain, noUnnamed, made, TWriteWay::Named, 0},
      {"unnamed files refused as a folder", none, TNewFile{EISDIR, false}, made, TWriteWay::Named, 0},
      {"the file refuses writing", {true, EACCES, false, true, true}, {}, {}, TWriteWay::Refuse, EACCES},
      {"no regular file", {true, kNotARegularFile, false, true, true}, {}, {}, TWriteWay::Refuse, kNotARegularFile},
      {"hard links", linked, {}, {}, TWriteWay::InPlace, 0},
      {"hard links, not readable", {true, 0, false, false, true}, {}, {}, TWriteWay::Refuse, EACCES},
      {"another's file in a sticky folder", {true, 0, true, true, false}, {}, {}, TWriteWay::InPlace, 0},
      {"a folder that takes no new file", plain, folderRefuses, {}, TWriteWay::InPlace, 0},
      {"a folder that takes no new file from him", plain, TNewFile{EPERM, false}, {}, TWriteWay::InPlace, 0},
      {"no file, a folder that takes none", none, TNewFile{EPERM, false}, {}, TWriteWay::Refuse, EPERM},
      {"an owner not given", plain, ownerNotGiven, {}, TWriteWay::InPlace, 0},
      {"an owner not given, not readable", writeOnly, ownerNotGiven, {}, TWriteWay::Refuse, EPERM},
      {"an attribute not given, whatever its error", plain, TNewFile{EOPNOTSUPP, true}, {}, TWriteWay::InPlace, 0},
      {"no unnamed files, the folder takes no named one", plain, noUnnamed, folderRefuses, TWriteWay::InPlace, 0},
      {"no unnamed files, an owner not given", plain, noUnnamed, ownerNotGiven, TWriteWay::InPlace, 0},
      {"a full disk", plain, TNewFile{ENOSPC, false}, {}, TWriteWay::Refuse, ENOSPC},
      {"no unnamed files, a full disk", none, noUnnamed, TNewFile{ENOSPC, false}, TWriteWay::Refuse, ENOSPC},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    std::vector<bool> asked;
    const TWayChosen chosen = ChooseWriteWay(c.Found, [&](bool unnamed) {
      asked.push_back(unnamed);
      const std::optional<TNewFile>& given = unnamed ? c.Unnamed : c.Named;
      EXPECT_TRUE(given.has_value()) << (unnamed ? "an unnamed file" : "a named file") << " made";
      return given.value_or(TNewFile{EIO, false});
    });
    EXPECT_EQ(chosen.Way, c.Way);
    EXPECT_EQ(chosen.Error, c.Error);
    std::vector<bool> expected;
    if (c.Unnamed) expected.push_back(true);
    if (c.Named) expected.push_back(false);
    EXPECT_EQ(asked, expected);
  }
}

}  // namespace
