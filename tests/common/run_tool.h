#pragma once
// Runs one of the kit's command-line programs and collects what it prints.

#include <sys/wait.h>

#include <cstdio>
#include <string>

// kelmoc as this build made it.
inline const std::string kKelmoc = TALVO_BINARY_DIR "/tools/kelmoc/kelmoc";

struct TToolOutput {
  int Exit = -1;
  std::string Text;  // standard output and standard error together
};

inline TToolOutput RunTool(const std::string& commandLine) {
  TToolOutput out;
  std::FILE* pipe = ::popen((commandLine + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.Text.append(buffer, n);
  const int status = ::pclose(pipe);
  out.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return out;
}
