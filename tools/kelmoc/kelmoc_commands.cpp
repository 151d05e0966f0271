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

int CompileCommand(TStandardOutput& report, const std::string& source) {
  PrintGbkLines(report, gbk::kReportCompiling);
  TAsmFile file;
  file.FileName = source;
  const int32_t result = file.AssembleFile(file.FileName);
  for (const std::string& line : CompileReport(result, file.Messages).Lines) PrintLines(report, line);
  return result < 0 ? 1 : 0;
}

int BuildCommand(TStandardOutput& report, const TKelmocCommand& command) {
  PrintGbkLines(report, gbk::kReportCompiling);
  TComplierAsm compiler;
  compiler.ClearFiles();
  for (const std::string& source : command.Sources) compiler.AddFile(source);
  compiler.OutputName = command.Output;
  compiler.PerFileOutputs = command.Outputs;
  int32_t result = compiler.BuildAll();
  if (result == 0) result = compiler.SavePerFileOutputs();
  return PrintBuildReport(report, result, BuildReport(result, compiler.Messages, compiler.Warnings));
}

int RunCommand(TStandardOutput& report, const TKelmocCommand& command) {
  switch (command.Action) {
    case TKelmocAction::Compile: return CompileCommand(report, command.Source);
    case TKelmocAction::Build: return BuildCommand(report, command);
    case TKelmocAction::Project: return ProjectCommand(report, command.ProjectFile);
    case TKelmocAction::Usage: break;
  }
  std::fputs(kKelmocUsage, stderr);
  return kExitUsage;
}

}  // namespace

void PrintLines(TStandardOutput& report, const std::string& text) {
  for (const std::string& line : PaneLines(text)) report.Print("%s\n", line.c_str());
}

void PrintErrorLines(const std::string& text) {
  for (const std::string& line : PaneLines(text)) std::fprintf(stderr, "%s\n", line.c_str());
}

void PrintGbkLines(TStandardOutput& report, const std::string& gbkText) { PrintLines(report, GbkToUtf8(gbkText)); }

void PrintGbkErrorLines(const std::string& gbkText) { PrintErrorLines(GbkToUtf8(gbkText)); }

int PrintBuildReport(TStandardOutput& report, int32_t result, const TBuildReport& lines) {
  for (const std::string& line : lines.Lines) PrintLines(report, line);
  return result == 0 ? 0 : 1;
}

int RunKelmoc(const TKelmocCommand& command, TStandardOutput& report) {
  try {
    return RunCommand(report, command);
  } catch (const EConvertError& error) {
    // A register operand whose number is no integer ends the assembly with the
    // conversion's own message, as the workbench's exception display shows it.
    PrintLines(report, error.what());
    return 1;
  }
}

int RunKelmoc(const TKelmocCommand& command) {
  TStandardOutput report;
  return RunKelmoc(command, report);
}
