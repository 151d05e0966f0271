#pragma once
// Giving a new file everything that made the old one the user's: owner, group, mode,
// ACL and every other extended attribute (ACLs are extended attributes on Linux).

#include <sys/stat.h>

// `to` is the new file, open for writing; `from` the old one, open, described by `old`.
// 0, or the errno value of the first thing that could not be given (EPERM for an
// owner or group this user cannot give, an attribute this user may not set).
int CarryAttributes(int from, const struct stat& old, int to);
