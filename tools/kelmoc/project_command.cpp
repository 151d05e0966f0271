#include "project_command.h"

#include <cstdio>
#include <stdexcept>

#include "kelmoc_commands.h"
#include "toolchain/gbk_texts.h"
#include "workbench/model/project.h"

int ProjectCommand(TStandardOutput& report, const std::string& projectFile) {
  TProject project;
  project.ShowBox = [](const std::string& text, int) {
    PrintGbkErrorLines(text);
    return 1;
  };
  // The path is the file system's, as given: the project names the file by it and
  // finds its relative entries beside it.
  try {
    project.LoadFromFile(projectFile);
  } catch (const std::runtime_error& error) {
    // A file that cannot be read, a folder or a FIFO among them, says so and why.
    PrintErrorLines(error.what());
    return 1;
  }
  project.FileName = projectFile;
  PrintGbkLines(report, gbk::kReportCompiling);
  const int32_t result = project.Build();
  return PrintBuildReport(report, result, project.BuildReportFor(result));
}
