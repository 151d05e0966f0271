#include "kelmoc_commands.h"

#include <vector>

#include "base/gbk_convert.h"
#include "project_command.h"
#include "toolchain/build_report.h"
#include "toolchain/complier_asm.h"
#include "toolchain/convert_error.h"
#include "toolchain/gbk_texts.h"

namespace {

constexpr int kExitUsage = 2;

int CompileCommand(const std::string& source) {
  PrintGbkLines(stdout, gbk::kReportCompiling);
  TAsmFile file;
  file.FileName = source;
  const int32_t result = file.AssembleFile(file.FileName);
  for (const std::string& line : CompileReport(result, file.Messages).Lines) PrintLines(stdout, line);
  return result < 0 ? 1 : 0;
}

int BuildCommand(const TKelmocCommand& command) {
  PrintGbkLines(stdout, gbk::kReportCompiling);
  TComplierAsm compiler;
  compiler.ClearFiles();
  for (const std::string& source : command.Sources) compiler.AddFile(source);
  compiler.OutputName = command.Output;
  compiler.PerFileOutputs = command.Outputs;
  int32_t result = compiler.BuildAll();
  if (result == 0) result = compiler.SavePerFileOutputs();
  return PrintBuildReport(result, BuildReport(result, compiler.Messages, compiler.Warnings));
}

int RunCommand(const TKelmocCommand& command) {
  switch (command.Action) {
    case TKelmocAction::Compile: return CompileCommand(command.Source);
    case TKelmocAction::Build: return BuildCommand(command);
    case TKelmocAction::Project: return ProjectCommand(command.ProjectFile);
    case TKelmocAction::Usage: break;
  }
  std::fputs(kKelmocUsage, stderr);
  return kExitUsage;
}

}  // namespace

void PrintLines(std::FILE* stream, const std::string& text) {
  for (const std::string& line : PaneLines(text)) std::fprintf(stream, "%s\n", line.c_str());
}

void PrintGbkLines(std::FILE* stream, const std::string& gbkText) { PrintLines(stream, GbkToUtf8(gbkText)); }

int PrintBuildReport(int32_t result, const TBuildReport& report) {
  for (const std::string& line : report.Lines) PrintLines(stdout, line);
  return result == 0 ? 0 : 1;
}

int RunKelmoc(const TKelmocCommand& command) {
  try {
    return RunCommand(command);
  } catch (const EConvertError& error) {
    // A register operand whose number is no integer ends the assembly with the
    // conversion's own message, as the workbench's exception display shows it.
    PrintLines(stdout, error.what());
    return 1;
  }
}
