#pragma once
// The old bytes of a file the user typed, kept on the disk while the file is written
// over its own bytes, so that a kill or a power loss at any moment leaves the file
// whole or this copy whole. The copies live outside the user's folders, in
// $XDG_STATE_HOME/talvo (by default ~/.local/state/talvo; /var/tmp/talvo-UID where
// the home folder is not the user's), under the file's full path with "%" for "/".

#include <string>
#include <string_view>

// Writes `bytes` (the file's old ones) to a new copy for the file at `path`, forced to
// the disk with its name. 0 with the copy's path, or an errno value.
int KeepOldBytes(const std::string& path, std::string_view bytes, std::string& copy);

// Where the copies go for this user; empty when there is no such folder.
std::string KeptCopyFolder();
