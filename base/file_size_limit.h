#pragma once
// The file size limit (ulimit -f) of the kit's programs: by default the kernel ends a
// program with SIGXFSZ at the first write past it, before the program can say which
// file it was writing. Ignored, the write fails with EFBIG instead and is told as
// every failed write is.

// Called once at the start of each program's main.
void IgnoreFileSizeLimitSignal();
