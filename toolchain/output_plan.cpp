#include "toolchain/output_plan.h"

#include <sys/stat.h>

#include <filesystem>
#include <unordered_map>

#include "base/written_path.h"
#include "toolchain/file_messages.h"
#include "toolchain/gbk_texts.h"

namespace {

// What identifies the file a write to the path lands in: its device and inode when it
// exists (so that a hard link is the same file), else its absolute path with links
// resolved, a dangling link to where its target will be.
std::string FileKey(const std::string& named) {
  const std::string path = WrittenPath(named);
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    return "#" + std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
  }
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  if (error) return path;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(absolute, error);
  return (error ? absolute.lexically_normal() : canonical).string();
}

}  // namespace

void TOutputPlan::AddInput(const std::string& path, const char* overwriteText) {
  Inputs.push_back({path, FileKey(path), {}, overwriteText});
}

void TOutputPlan::AddOutput(const std::string& path, const char* role, const std::string& from) {
  Outputs.push_back({path, FileKey(path), role + FileKey(from), nullptr});
}

std::string TOutputPlan::Conflict() const {
  std::unordered_map<std::string, const TEntry*> inputs;
  for (const TEntry& input : Inputs) inputs.try_emplace(input.Key, &input);
  std::unordered_map<std::string, const TEntry*> outputs;
  for (const TEntry& output : Outputs) {
    if (const auto input = inputs.find(output.Key); input != inputs.end()) {
      return FileMessage(input->second->Text, output.Path);
    }
    const auto [earlier, added] = outputs.try_emplace(output.Key, &output);
    if (!added && earlier->second->Producer != output.Producer) {
      return FileMessage(gbk::kMsgOutputTwice, output.Path);
    }
  }
  return {};
}
