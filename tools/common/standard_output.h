#pragma once
// A command-line tool's standard output, which a caller reads its report from (the
// machine state of a run, the lines of a build): the first write, flush or close that
// fails is kept, so the tool can say its output is not whole (a full disk, /dev/full)
// instead of ending as if it were.

class TStandardOutput {
 public:
  void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Flushes and closes standard output: 0, or why a write, the flush or the close failed
  // (an errno value).
  int Close();

 private:
  int error_ = 0;
};
