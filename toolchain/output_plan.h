#pragma once
// The files one build reads and writes, checked before anything is written: no
// output may replace an input, and no two outputs may be one file. Paths are
// compared as the files they name: relative or absolute, through symbolic links
// (dangling ones too: a write creates their target) and hard links alike.

#include <string>
#include <vector>

class TOutputPlan {
 public:
  // `overwriteText` is the message an output over this input gets (GBK, followed by
  // the path).
  void AddInput(const std::string& path, const char* overwriteText);
  // An output of the step `role` (the assembly of a source, the link) made from the
  // file `from`. The same output of one step from one file may be named twice (a
  // source listed twice writes its object twice); anything else on one file clashes.
  void AddOutput(const std::string& path, const char* role, const std::string& from);

  // Empty, or the message line naming the first output in the way.
  std::string Conflict() const;

 private:
  struct TEntry {
    std::string Path;
    std::string Key;
    std::string Producer;  // outputs only: the step and the key of the file it reads
    const char* Text;      // inputs only
  };
  std::vector<TEntry> Inputs;
  std::vector<TEntry> Outputs;
};
