#include "talvorun_options.h"

#include <charconv>

const char* const kTalvorunUsage =
    "usage: talvorun [--steps N] [--mem-mb M] [--floppy FILE] [--disk FILE] [--dump ADDR:LEN]... IMAGE\n"
    "  Loads IMAGE as the BIOS, resets, and runs until a step fails or N steps have run\n"
    "  (default 100000000); memory is M MB (1..2047, default 4). The devices answer at\n"
    "  their default ports; FILE images are opened (and created) for the floppy and the\n"
    "  hard disk. ADDR and LEN are decimal, or hexadecimal with 0x. Prints the steps that\n"
    "  completed, why the run stopped, the special registers, every non-zero general\n"
    "  register and each dump. Exits 0 after the run; 2 when the command line, IMAGE (or\n"
    "  an empty one), a disk image or the memory cannot be had; 3 when the host refused\n"
    "  bytes the program wrote to or read from a disk image (stderr says which image and\n"
    "  why); 4 when the state could not be written out whole (stderr says why).\n";

namespace {

bool ParseNumber(const std::string& text, uint64_t& out) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* first = text.data() + (hex ? 2 : 0);
  const char* last = text.data() + text.size();
  // from_chars refuses what does not fit 64 bits, so every 64-bit value is taken in
  // either base and nothing larger wraps.
  const auto [end, error] = std::from_chars(first, last, out, hex ? 16 : 10);
  return first != last && error == std::errc() && end == last;
}

bool ParseDump(const std::string& text, TMemoryDump& out) {
  const size_t colon = text.find(':');
  return colon != std::string::npos && ParseNumber(text.substr(0, colon), out.Address) &&
         ParseNumber(text.substr(colon + 1), out.Length);
}

}  // namespace

std::string ParseTalvorunOptions(const std::vector<std::string>& args, TTalvorunOptions& out) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool takesValue = arg == "--steps" || arg == "--mem-mb" || arg == "--floppy" || arg == "--disk" ||
                            arg == "--dump";
    if (takesValue) {
      if (i + 1 >= args.size()) return arg + " needs a value";
      const std::string& value = args[++i];
      if (arg == "--steps" && !ParseNumber(value, out.Steps)) return "bad step count: " + value;
      if (arg == "--mem-mb" && (!ParseNumber(value, out.MemMb) || out.MemMb < 1 || out.MemMb > 2047))
        return "memory must be 1 to 2047 MB: " + value;
      if (arg == "--floppy") out.Floppy = value;
      if (arg == "--disk") out.Disk = value;
      if (arg == "--dump") {
        TMemoryDump dump;
        if (!ParseDump(value, dump)) return "bad dump, expected ADDR:LEN: " + value;
        out.Dumps.push_back(dump);
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option: " + arg;
    } else if (out.Image.empty()) {
      out.Image = arg;
    } else {
      return "more than one image: " + arg;
    }
  }
  if (out.Image.empty()) return "no image given";
  for (const TMemoryDump& dump : out.Dumps)
    if (dump.Address > out.MemBytes() || dump.Length > out.MemBytes() - dump.Address)
      return "dump outside memory: " + std::to_string(dump.Address) + ":" + std::to_string(dump.Length);
  return {};
}
