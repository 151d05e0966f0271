#include "command_line.h"

const char kKelmocUsage[] =
    "usage: kelmoc compile SOURCE\n"
    "       kelmoc build [--hex] [--tvxbin] [--lst] OUTPUT SOURCE...\n"
    "       kelmoc project PROJECTFILE\n";

namespace {

// False for an option kelmoc does not know.
bool TakeOption(const std::string& option, TPerFileOutputs& outputs) {
  if (option == "--hex") {
    outputs.Hex = true;
  } else if (option == "--tvxbin") {
    outputs.TvxBin = true;
  } else if (option == "--lst") {
    outputs.Lst = true;
  } else {
    return false;
  }
  return true;
}

TKelmocCommand ParseBuild(const std::vector<std::string>& args) {
  TKelmocCommand command;
  size_t next = 1;
  for (; next < args.size() && args[next].rfind("--", 0) == 0; ++next) {
    if (!TakeOption(args[next], command.Outputs)) return {};
  }
  if (args.size() < next + 2) return {};
  command.Action = TKelmocAction::Build;
  command.Output = args[next];
  command.Sources.assign(args.begin() + static_cast<std::ptrdiff_t>(next) + 1, args.end());
  return command;
}

}  // namespace

TKelmocCommand ParseCommandLine(const std::vector<std::string>& args) {
  TKelmocCommand command;
  if (args.empty()) return command;
  if (args[0] == "build") return ParseBuild(args);
  if (args.size() != 2) return command;
  if (args[0] == "compile") {
    command.Action = TKelmocAction::Compile;
    command.Source = args[1];
  } else if (args[0] == "project") {
    command.Action = TKelmocAction::Project;
    command.ProjectFile = args[1];
  }
  return command;
}
