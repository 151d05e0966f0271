#pragma once
// The built talvorun as a shell command, bounded in time: a run that hangs ends with
// the exit code 124 and fails its test instead of holding the suite.

#include <string>

inline const std::string kTalvorun = "timeout 120 " TALVO_BINARY_DIR "/tools/talvorun/talvorun";
