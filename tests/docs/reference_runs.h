#pragma once
// Programs of the docs tests built as a student builds them and run by talvorun.

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

#include "../common/run_tool.h"
#include "../common/scratch.h"
#include "../programs/talvorun_command.h"
#include "base/gbk_convert.h"

// Builds the program (UTF-8, lines ending LF) with kelmoc as the kit's files hold it
// (GBK, lines ending CR LF), as `image` in the scratch folder.
inline ::testing::AssertionResult BuildImage(const TScratchFolder& scratch, const std::string& program,
                                             std::string& image) {
  const std::optional<std::string> gbk = Utf8ToGbkStrict(program);
  if (!gbk) return ::testing::AssertionFailure() << "a character of the program has no GBK code";
  std::string source;
  for (const char c : *gbk) source += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const TToolOutput built = RunTool({kKelmoc, "build", scratch.File("built.tvxPrj"), scratch.Write("p.casm", source)});
  if (built.Exit != 0) return ::testing::AssertionFailure() << built.Text;
  image = scratch.File("built.tvxbin");
  return ::testing::AssertionSuccess();
}

// The line of talvorun's output that begins with `start`, or empty.
inline std::string PrintedLine(const std::string& output, const std::string& start) {
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(start, 0) == 0) return line;
  return {};
}
