// talvorun's command line: the arguments, each ended by a NUL, read as talvorun
// reads them.
//
// Properties: what is accepted names an image, a memory of 1 to 2047 MB and dumps
// that lie wholly in it (talvorun prints them from memory without further checks),
// and reads back the same from the arguments that show it.

#include <vector>

#include "fuzz_check.h"
#include "fuzz_input.h"
#include "talvorun_options.h"

namespace {

constexpr int kMaxArguments = 16;

std::vector<std::string> ShownArguments(const TTalvorunOptions& options) {
  std::vector<std::string> args = {"--steps", std::to_string(options.Steps), "--mem-mb",
                                   std::to_string(options.MemMb)};
  if (!options.Floppy.empty()) args.insert(args.end(), {"--floppy", options.Floppy});
  if (!options.Disk.empty()) args.insert(args.end(), {"--disk", options.Disk});
  for (const TMemoryDump& dump : options.Dumps) {
    args.insert(args.end(), {"--dump", std::to_string(dump.Address) + ":" + std::to_string(dump.Length)});
  }
  args.push_back(options.Image);
  return args;
}

bool SameOptions(const TTalvorunOptions& a, const TTalvorunOptions& b) {
  if (a.Dumps.size() != b.Dumps.size()) return false;
  for (size_t i = 0; i < a.Dumps.size(); ++i) {
    if (a.Dumps[i].Address != b.Dumps[i].Address || a.Dumps[i].Length != b.Dumps[i].Length) return false;
  }
  return a.Steps == b.Steps && a.MemMb == b.MemMb && a.Floppy == b.Floppy && a.Disk == b.Disk &&
         a.Image == b.Image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  std::vector<std::string> args;
  while (!input.Empty() && args.size() < kMaxArguments) args.push_back(input.Text());
  TTalvorunOptions options;
  if (!ParseTalvorunOptions(args, options).empty()) return 0;
  Check(!options.Image.empty(), "an accepted command line names an image");
  Check(options.MemMb >= 1 && options.MemMb <= 2047, "an accepted memory size is 1 to 2047 MB");
  const uint64_t memory = options.MemMb * 1024 * 1024;
  for (const TMemoryDump& dump : options.Dumps) {
    Check(dump.Address <= memory && dump.Length <= memory - dump.Address, "an accepted dump lies in memory");
  }
  TTalvorunOptions again;
  Check(ParseTalvorunOptions(ShownArguments(options), again).empty() && SameOptions(again, options),
        "options read back from the arguments that show them");
  return 0;
}
