#include "project_command.h"

#include <cstdio>
#include <stdexcept>

#include "toolchain/build_report.h"
#include "toolchain/gbk_convert.h"
#include "toolchain/gbk_texts.h"
#include "workbench/model/project.h"

namespace {

void PrintGbk(std::FILE* stream, const std::string& gbkText) {
  std::fprintf(stream, "%s\n", GbkToUtf8(gbkText).c_str());
}

}  // namespace

int ProjectCommand(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: kelmoc project PROJECTFILE\n");
    return 2;
  }
  TProject project;
  project.ShowBox = [](const std::string& text, int) {
    PrintGbk(stderr, text);
    return 1;
  };
  // The project keeps its paths in GBK, as its file holds them.
  const std::string path = Utf8ToGbkStrict(args[0]).value_or(args[0]);
  try {
    project.LoadFromFile(path);
  } catch (const std::runtime_error& error) {
    PrintGbk(stderr, error.what());
    return 1;
  }
  project.FileName = path;
  PrintGbk(stdout, gbk::kReportCompiling);
  const int32_t result = project.Build();
  // Without sources the driver did not run and has no text of its own.
  const std::string messages = result == kBuildNothingToBuild ? std::string() : project.Compiler.Messages;
  for (const std::string& line : BuildReport(result, messages).Lines) PrintGbk(stdout, line);
  return result == 0 ? 0 : 1;
}
