#include "project_command.h"

#include <cstdio>
#include <stdexcept>

#include "kelmoc_commands.h"
#include "toolchain/file_messages.h"
#include "toolchain/gbk_texts.h"
#include "workbench/model/project.h"

int ProjectCommand(const std::string& projectFile) {
  TProject project;
  project.ShowBox = [](const std::string& text, int) {
    PrintGbkLines(stderr, text);
    return 1;
  };
  // The project keeps its paths in GBK, as its file holds them.
  const std::string path = PathInText(projectFile);
  // A file that cannot be read, a folder or a FIFO among them, says so and why.
  try {
    project.LoadFromFile(path);
  } catch (const std::runtime_error& error) {
    PrintGbkLines(stderr, error.what());
    return 1;
  }
  project.FileName = path;
  PrintGbkLines(stdout, gbk::kReportCompiling);
  const int32_t result = project.Build();
  // Without sources the driver did not run and has no text of its own.
  const std::string messages = result == kBuildNothingToBuild ? std::string() : project.Compiler.Messages;
  return PrintBuildReport(result, messages);
}
