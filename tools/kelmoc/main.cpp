// kelmoc: the workbench's compile and build commands without a window. Prints the
// lines the workbench would put in its "系统信息" pane, in UTF-8.

#include <string>
#include <vector>

#include "base/file_size_limit.h"
#include "base/interrupt_cleanup.h"
#include "command_line.h"
#include "kelmoc_commands.h"

int main(int argc, char** argv) {
  // Ctrl+C during a build leaves no temporary file beside the outputs.
  InstallInterruptCleanup();
  IgnoreFileSizeLimitSignal();
  return RunKelmoc(ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc)));
}
