#pragma once
// The built talvorun, run through RunTool (tests/common/run_tool.h), which bounds it in
// time.

#include <string>

inline const std::string kTalvorun = TALVO_BINARY_DIR "/tools/talvorun/talvorun";
