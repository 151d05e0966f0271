#pragma once
// Giving an unnamed file (open(O_TMPFILE)) its name: through /proc, which needs no
// privilege, or, without /proc, by its descriptor (linkat AT_EMPTY_PATH), which the
// kernel allows the file's opener from Linux 6.10 on and before only with
// CAP_DAC_READ_SEARCH.

// False once this process learnt that unnamed files cannot be named: make none then.
bool MayNameUnnamedFiles();

// Whether unnamed files can be named in this process. Without /proc, the first time
// it is asked, an unnamed file in the folder open as `folder` answers, linked under a
// hidden name that goes again at once.
bool CanNameUnnamedFiles(int folder);

// Links the unnamed file in under `name`: 0 or an errno value.
int NameUnnamedFile(int fd, int folder, const char* name);
