// kelmoc: the workbench's compile and build commands without a window. Prints the
// lines the workbench would put in its "系统信息" pane, in UTF-8.

#include <string>
#include <vector>

#include "base/file_error.h"
#include "base/file_size_limit.h"
#include "base/interrupt_cleanup.h"
#include "command_line.h"
#include "kelmoc_commands.h"
#include "standard_output.h"
#include "toolchain/gbk_texts.h"

namespace {

// The report did not reach its reader whole: whatever the build did, the caller
// cannot know it from the report.
constexpr int kExitReportLost = 3;

}  // namespace

int main(int argc, char** argv) {
  // Ctrl+C during a build leaves no temporary file beside the outputs.
  InstallInterruptCleanup();
  IgnoreFileSizeLimitSignal();
  TStandardOutput report;
  const int status = RunKelmoc(ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc)), report);
  if (const int error = report.Close(); error != 0) {
    PrintGbkErrorLines(gbk::kMsgReportNotWritten + FileErrorReason(error));
    return kExitReportLost;
  }
  return status;
}
