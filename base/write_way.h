#pragma once
// How a file is written, decided in this one place for every file the kit writes.
//
//   refuse    the file's own protection forbids writing it (whatever its folder
//             allows), or it is no regular file;
//   replace   a new file beside it, unnamed (a hidden name where the file system or
//             this process has no unnamed files to name), given the old one's owner,
//             group, mode, ACL and extended attributes, takes its place: only where
//             all of them can be given, the old file has a single link and its folder
//             lets this user replace it;
//   in place  otherwise (hard links, a folder that takes no new file or keeps others
//             from replacing this one, an owner, group or attribute the writer cannot
//             give), over the file's own bytes, which the writer can read to keep.

#include <functional>

enum class TWriteWay { Refuse, Unnamed, Named, InPlace };

// What the writer found of the file before deciding.
struct TFileFound {
  bool Exists = false;
  int Error = 0;                   // why the file itself cannot be written: an errno value, kNotARegularFile
  bool Readable = false;           // open for reading too: its old bytes can be kept
  bool SingleLink = true;
  bool FolderLetsReplace = true;   // false in a sticky folder for another's file
};

// Making the new file beside the old one and giving it everything the old one has.
struct TNewFile {
  int Error = 0;       // 0 when made and given everything, else the errno value of the step that failed
  bool Made = false;   // the file was made: giving it the old one's owner, group or attributes failed
};

struct TWayChosen {
  TWriteWay Way;
  int Error;  // why the file is refused
};

// `makeNewFile(unnamed)` runs only where the way depends on it, for an unnamed file
// first; a new file it made is the one to write when the way is Unnamed or Named, and
// gone otherwise.
TWayChosen ChooseWriteWay(const TFileFound& found, const std::function<TNewFile(bool unnamed)>& makeNewFile);
