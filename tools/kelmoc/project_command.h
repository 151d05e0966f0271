#pragma once
// `kelmoc project PROJECTFILE`: loads a workbench project and builds it as the
// workbench's build command does.

#include <string>

#include "standard_output.h"

// Exit code: 0 built, 1 failed (the project could not be read, or the build failed).
int ProjectCommand(TStandardOutput& report, const std::string& projectFile);
