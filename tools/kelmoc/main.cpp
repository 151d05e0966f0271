// kelmoc: the workbench's compile and build commands without a window. Prints the
// lines the workbench would put in its "系统信息" pane, in UTF-8.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "toolchain/build_report.h"
#include "toolchain/complier_asm.h"
#include "toolchain/convert_error.h"
#include "base/gbk_convert.h"
#include "toolchain/gbk_texts.h"
#include "kelmoc_commands.h"
#include "project_command.h"

namespace {

constexpr int kExitUsage = 2;

void PrintLine(const std::string& gbkText) { PrintGbkLine(stdout, gbkText); }

void PrintUsage() {
  std::fprintf(stderr,
               "usage: kelmoc compile SOURCE\n"
               "       kelmoc build [--hex] [--tvxbin] [--lst] OUTPUT SOURCE...\n");
}

int CompileCommand(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    PrintUsage();
    return kExitUsage;
  }
  PrintLine(gbk::kReportCompiling);
  TAsmFile file;
  file.FileName = args[0];
  const int32_t result = file.AssembleFile(file.FileName);
  for (const std::string& line : CompileReport(result, file.Messages).Lines) PrintLine(line);
  return result < 0 ? 1 : 0;
}

int BuildCommand(const std::vector<std::string>& args) {
  TBuildOptions options;
  size_t next = 0;
  for (; next < args.size() && args[next].rfind("--", 0) == 0; ++next) {
    if (args[next] == "--hex") {
      options.Hex = true;
    } else if (args[next] == "--tvxbin") {
      options.TvxBin = true;
    } else if (args[next] == "--lst") {
      options.Lst = true;
    } else {
      PrintUsage();
      return kExitUsage;
    }
  }
  if (args.size() - next < 2) {
    PrintUsage();
    return kExitUsage;
  }
  const std::vector<std::string> sources(args.begin() + static_cast<long>(next) + 1, args.end());
  return RunBuild(args[next], sources, options);
}

struct TCommand {
  const char* Name;
  int (*Run)(const std::vector<std::string>& args);
};

const TCommand kCommands[] = {
    {"compile", CompileCommand},
    {"build", BuildCommand},
    {"project", ProjectCommand},
};

}  // namespace

int RunBuild(const std::string& output, const std::vector<std::string>& sources,
             const TBuildOptions& options) {
  PrintLine(gbk::kReportCompiling);
  TComplierAsm compiler;
  compiler.ClearFiles();
  for (const std::string& source : sources) compiler.AddFile(source);
  compiler.OutputName = output;
  const int32_t result = compiler.BuildAll();
  if (result == 0) {
    if (options.Hex) compiler.SaveAllHex();
    if (options.TvxBin) compiler.SaveAllTvxBin();
    if (options.Lst) compiler.SaveAllLst();
  }
  return PrintBuildReport(result, compiler.Messages);
}

void PrintGbkLine(std::FILE* stream, const std::string& gbkText) {
  std::fprintf(stream, "%s\n", GbkToUtf8(gbkText).c_str());
}

int PrintBuildReport(int32_t result, const std::string& driverMessages) {
  for (const std::string& line : BuildReport(result, driverMessages).Lines) PrintLine(line);
  return result == 0 ? 0 : 1;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage();
    return kExitUsage;
  }
  const std::vector<std::string> args(argv + 2, argv + argc);
  for (const TCommand& command : kCommands) {
    if (std::strcmp(argv[1], command.Name) != 0) continue;
    try {
      return command.Run(args);
    } catch (const EConvertError& error) {
      // A register operand whose number is no integer ends the assembly with the
      // conversion's own message, as the workbench's exception display shows it.
      PrintLine(error.what());
      return 1;
    }
  }
  PrintUsage();
  return kExitUsage;
}
