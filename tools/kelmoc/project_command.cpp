#include "project_command.h"

#include <cstdio>
#include <stdexcept>

#include "kelmoc_commands.h"
#include "base/gbk_convert.h"
#include "toolchain/gbk_texts.h"
#include "workbench/model/project.h"

int ProjectCommand(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: kelmoc project PROJECTFILE\n");
    return 2;
  }
  TProject project;
  project.ShowBox = [](const std::string& text, int) {
    PrintGbkLine(stderr, text);
    return 1;
  };
  // The project keeps its paths in GBK, as its file holds them.
  const std::string path = Utf8ToGbkStrict(args[0]).value_or(args[0]);
  try {
    project.LoadFromFile(path);
  } catch (const std::runtime_error& error) {
    PrintGbkLine(stderr, error.what());
    return 1;
  }
  project.FileName = path;
  PrintGbkLine(stdout, gbk::kReportCompiling);
  const int32_t result = project.Build();
  // Without sources the driver did not run and has no text of its own.
  const std::string messages = result == kBuildNothingToBuild ? std::string() : project.Compiler.Messages;
  return PrintBuildReport(result, messages);
}
